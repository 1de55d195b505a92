#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "kept_globals.h"
#include "orbitpin.h"

using namespace orbitpin;

class Orbitpin : public testing::Test {
  KeptGlobals kept{options};
};

namespace {

void set_timing(int a, int b, int c, int n, int s) {
  on1 = a, off = b, on2 = c, points = n, skip = s;
}

} // namespace

TEST_F(Orbitpin, ControlConstantsFromTheParameters) {
  CONTROL c = control_constants(1.29, 0.3);
  EXPECT_NEAR(c.xstar, 0.838486, 5e-7);
  EXPECT_NEAR(c.lu, -1.840015, 5e-7);
  EXPECT_NEAR(c.ls, 0.163042, 5e-7);
  EXPECT_NEAR(c.gx, 1.840015, 5e-7);
  EXPECT_NEAR(c.gy, -0.3, 5e-7);
  // The fixed point solves x = A - x^2 + B x; the eigenvectors are unit
  // vectors, and f is dual to them.
  EXPECT_NEAR(c.xstar, 1.29 - c.xstar * c.xstar + 0.3 * c.xstar, 1e-15);
  EXPECT_NEAR(c.eux * c.eux + c.euy * c.euy, 1.0, 1e-15);
  EXPECT_NEAR(c.fx * c.eux + c.fy * c.euy, 1.0, 1e-15);
  EXPECT_NEAR(c.fx * c.esx + c.fy * c.esy, 0.0, 1e-15);
  c = control_constants(1.4, 0.3);
  EXPECT_NEAR(c.xstar, 0.883896, 5e-7);
  EXPECT_NEAR(c.lu, -1.923739, 5e-7);
  EXPECT_NEAR(c.gx, 1.923739, 5e-7);
  EXPECT_NEAR(c.gy, -0.3, 5e-7);
  // No real fixed point: the gains are not numbers.
  c = control_constants(-5.0, 0.3);
  EXPECT_TRUE(std::isnan(c.xstar));
  EXPECT_TRUE(std::isnan(c.gx));
}

TEST_F(Orbitpin, TimingMustBeOrdered) {
  set_timing(50, 100, 200, 300, 100);
  EXPECT_TRUE(timing_ok());
  set_timing(0, 0, 0, 0, -7);
  EXPECT_TRUE(timing_ok());
  set_timing(10, 10, 300, 300, 0);
  EXPECT_TRUE(timing_ok());
  set_timing(-1, 100, 200, 300, 100);
  EXPECT_FALSE(timing_ok());
  set_timing(50, 250, 200, 300, 100);
  EXPECT_FALSE(timing_ok());
  set_timing(50, 100, 400, 300, 100);
  EXPECT_FALSE(timing_ok());
  set_timing(101, 100, 200, 300, 100);
  EXPECT_FALSE(timing_ok());
}

TEST_F(Orbitpin, ControlWindowsAndTheirWideBounds) {
  set_timing(50, 100, 200, 300, 100);
  for (long long t : {0LL, 149LL, 200LL, 299LL}) EXPECT_FALSE(control_on(t)) << t;
  for (long long t : {150LL, 199LL, 300LL, 399LL}) EXPECT_TRUE(control_on(t)) << t;
  set_timing(7, 7, 9, 9, 0); // both windows empty
  for (long long t = 0; t < 9; t++) EXPECT_FALSE(control_on(t)) << t;
  set_timing(0, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
  EXPECT_FALSE(control_on(INT_MAX - 1LL));
  EXPECT_TRUE(control_on(INT_MAX));
  EXPECT_TRUE(control_on(2LL * INT_MAX - 1));
  EXPECT_TRUE(control_on(2LL * INT_MAX)); // second window: t >= skip + on2
}

TEST_F(Orbitpin, LargePerturbationsAreDroppedNotClipped) {
  CONTROL c = control_constants(1.29, 0.3);
  double x = c.xstar + 0.05, y = c.xstar - 0.1;
  plimit = 0.2;
  double p = perturbation(c, x, y);
  EXPECT_NEAR(p, c.gx * 0.05 + c.gy * -0.1, 1e-15);
  EXPECT_EQ(perturbation(c, c.xstar, c.xstar), 0.0);
  plimit = p; // the limit itself is still applied
  EXPECT_EQ(perturbation(c, x, y), p);
  plimit = std::nextafter(p, 0.0);
  EXPECT_EQ(perturbation(c, x, y), 0.0);
  plimit = -1.0;
  EXPECT_EQ(perturbation(c, x, y), 0.0);
  plimit = 0.2; // a perturbation that is not a number passes the test
  EXPECT_TRUE(std::isnan(perturbation(c, NAN, y)));
}
