#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "kept_globals.h"
#include "peakseek.h"

class Peakseek : public testing::Test {
  KeptGlobals kept{peakseek::options};
};

TEST_F(Peakseek, DecodesDigitsAsABinaryFraction) {
  peakseek::len = 16;
  EXPECT_EQ(peakseek::str2num("1000000000000000"), 0.5);
  EXPECT_EQ(peakseek::str2num("0000000000000000"), 0.0);
  EXPECT_EQ(peakseek::str2num("1111111111111111"), 1.0 - std::pow(2.0, -16));
  peakseek::len = 3;
  EXPECT_EQ(peakseek::str2num("011"), 0.375);
  // Genomes longer than a double's exponent range still decode to numbers.
  std::string long_genome = "1" + std::string(1099, '0');
  peakseek::len = 1100;
  EXPECT_EQ(peakseek::str2num(long_genome.c_str()), 0.5);
  long_genome.replace(1, 2, "11");
  EXPECT_EQ(peakseek::str2num(long_genome.c_str()), 0.875);
}

TEST_F(Peakseek, FitnessIsTheBumpAndItsWeightsSumToOne) {
  peakseek::target = 0.5;
  peakseek::var = 1.0;
  peakseek::len = 4;
  peakseek::size = 2;
  char g0[] = "1000", g1[] = "0000";
  char *pop[] = {g0, g1};
  double fit[2], nfit[2];
  peakseek::compute_fitness(pop, fit, nfit);
  EXPECT_EQ(fit[0], 1.0);
  EXPECT_EQ(fit[1], std::exp(-0.25));
  EXPECT_DOUBLE_EQ(nfit[0] + nfit[1], 1.0);
  EXPECT_EQ(nfit[0], 1.0 / (1.0 + std::exp(-0.25)));
  peakseek::var = 0.0; // 0/0 at the target is not a number, elsewhere 0
  peakseek::compute_fitness(pop, fit, nfit);
  EXPECT_TRUE(std::isnan(fit[0]));
  EXPECT_EQ(fit[1], 0.0);
}
