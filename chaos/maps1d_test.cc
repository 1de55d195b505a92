#include <gtest/gtest.h>

#include <cmath>

#include "kept_globals.h"
#include "maps1d.h"

using namespace mapseries;

class Maps1d : public testing::Test {
protected:
  Maps1d() {
    kept.keep(aux);
    kept.keep(func);
  }
  KeptGlobals kept;
};

TEST_F(Maps1d, MapsFormTheirProductsInFixedOrder) {
  aux = 1.0;
  EXPECT_EQ(flog(0.25, 0.9), 4.0 * 0.9 * 0.25 * 0.75);
  EXPECT_EQ(flog(0.5, 1.0), 1.0);
  EXPECT_EQ(ftent(0.2, 0.8), 2.0 * 0.8 * 0.2);
  EXPECT_EQ(ftent(0.7, 0.8), 2.0 * 0.8 * (1.0 - 0.7));
  EXPECT_EQ(ftent(0.5, 0.37), 0.37); // the peak belongs to the rising branch
  EXPECT_EQ(fsin(0.25, 1.0), 1.0);   // sin(pi/2)
  EXPECT_EQ(fsin(0.0, 1.0), 0.5);
  EXPECT_EQ(fgauss(0.5, 0.7), 0.7);
  EXPECT_EQ(fgauss(0.1, 2.0), std::exp(-0.4 * (1.0 * 0.4)) * 2.0);
}

TEST_F(Maps1d, AuxShapesOnlySineAndGauss) {
  aux = 1.0;
  double log1 = flog(0.3, 0.95), tent1 = ftent(0.3, 0.95);
  double sin1 = fsin(0.3, 0.95), gauss1 = fgauss(0.3, 0.95);
  aux = 3.5;
  EXPECT_EQ(flog(0.3, 0.95), log1);
  EXPECT_EQ(ftent(0.3, 0.95), tent1);
  EXPECT_NE(fsin(0.3, 0.95), sin1);
  EXPECT_NE(fgauss(0.3, 0.95), gauss1);
  aux = 0.0; // no width: the Gaussian map is flat at height r
  EXPECT_EQ(fgauss(0.9, 0.6), 0.6);
}

TEST_F(Maps1d, LookupIsExactAndFallsBackToLogistic) {
  const struct { const char *name; map_function f; } cases[] = {
    {"sin", fsin}, {"tent", ftent}, {"log", flog}, {"gauss", fgauss},
    {"LOG", flog}, {"Sin", flog}, {"logistic", flog}, {"", flog},
    {"gaussian", flog}, {"tent ", flog},
  };
  for (const auto &c : cases) {
    func = c.name;
    EXPECT_EQ(get_named_function(), c.f) << '"' << c.name << '"';
  }
}
