#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gacycle.h"
#include "hillscan.h"
#include "kept_globals.h"

class Hillscan : public testing::Test {
  KeptGlobals kept{hillscan::options};
};

namespace {

// The highest surface value on a fine grid within half a unit of (cx, cy),
// with the point where it lies.
double local_peak(double cx, double cy, double *px, double *py) {
  double best = -1.0;
  for (int i = -250; i <= 250; i++)
    for (int j = -250; j <= 250; j++) {
      double x = cx + i / 500.0, y = cy + j / 500.0;
      double v = hillscan::surface(x, y);
      if (v > best) {
        best = v;
        *px = x;
        *py = y;
      }
    }
  return best;
}

} // namespace

TEST_F(Hillscan, SurfaceIsOneAtTheOriginWithLowerHillsAround) {
  EXPECT_NEAR(hillscan::surface(0, 0), 1.0, 3e-15);
  double x, y;
  EXPECT_NEAR(local_peak(0, 0, &x, &y), 1.0, 3e-15);
  const double corners[][2] = {{2, 2}, {-2, 2}, {-2, -2}, {2, -2}};
  for (const auto &c : corners) {
    EXPECT_NEAR(local_peak(c[0], c[1], &x, &y), 0.6708, 5e-5);
    EXPECT_NEAR(x, c[0], 0.01);
    EXPECT_NEAR(y, c[1], 0.01);
  }
  const double axes[][2] = {{3, 0}, {-3, 0}, {0, 3}, {0, -3}};
  for (const auto &c : axes) {
    EXPECT_NEAR(local_peak(c[0], c[1], &x, &y), 0.3423, 5e-5);
    EXPECT_NEAR(x, c[0], 0.05);
    EXPECT_NEAR(y, c[1], 0.05);
  }
  EXPECT_NEAR(hillscan::surface(-4, -4), 0.000223, 5e-7);
}

TEST_F(Hillscan, HalvesDecodeToCoordinatesInMinusFourToFour) {
  hillscan::len = 16;
  EXPECT_EQ(hillscan::str2num("1000000000000000"), 0.0);
  EXPECT_EQ(hillscan::str2num("0000000000000000"), -4.0);
  EXPECT_EQ(hillscan::str2num("1111111111111111"), 4.0 - 8.0 / 65536);
  hillscan::len = 1;
  EXPECT_EQ(hillscan::str2num("0"), -4.0);
  EXPECT_EQ(hillscan::str2num("1"), 0.0);
  // Rounds exactly like v / 2^len of the integer v read in double
  // precision, and stays a number where that quotient would be inf / inf.
  seed_random(3);
  for (int n : {20, 53, 54, 60, 200, 1000, 1022, 1023}) {
    for (int k = 0; k < 20; k++) {
      std::string half(n, '1');
      if (k > 0)
        for (char &c : half) c = static_cast<char>('0' + next_random() % 2);
      double v = 0;
      for (char c : half) v = 2 * v + (c - '0');
      hillscan::len = n;
      EXPECT_EQ(hillscan::str2num(half.c_str()), v / std::pow(2.0, n) * 8 - 4);
    }
  }
  hillscan::len = 3000;
  std::string half = "1" + std::string(2999, '0');
  EXPECT_EQ(hillscan::str2num(half.c_str()), 0.0);
  half[2] = '1';
  EXPECT_EQ(hillscan::str2num(half.c_str()), 1.0);
}

TEST_F(Hillscan, FitnessReadsXFromTheFirstHalfAndYFromTheSecond) {
  hillscan::len = 2;
  hillscan::size = 2;
  char g0[] = "1010", g1[] = "1100"; // (0, 0) and (4 - 2, -4)
  char *pop[] = {g0, g1};
  double fit[2], nfit[2];
  hillscan::compute_fitness(pop, fit, nfit);
  EXPECT_EQ(fit[0], hillscan::surface(0, 0));
  EXPECT_EQ(fit[1], hillscan::surface(2, -4));
  EXPECT_DOUBLE_EQ(nfit[0] + nfit[1], 1.0);
}

// Breeding runs over the whole genome of 2 len digits, as the program breeds.
TEST_F(Hillscan, BreedingCoversBothHalves) {
  hillscan::len = 2;
  char a[] = "0000", b[] = "1111", c[] = "....", d[] = "....";
  breed_strings(a, b, c, d, 2 * hillscan::len, 0.0, 0.0, '0');
  EXPECT_EQ(std::string(c), "0000");
  EXPECT_EQ(std::string(d), "1111");
  // With one digit per half the only cut lies between x and y.
  hillscan::len = 1;
  char e[] = "01", f[] = "10", g[] = "..", h[] = "..";
  seed_random(5);
  for (int k = 0; k < 20; k++) {
    breed_strings(e, f, g, h, 2 * hillscan::len, 1.0, 0.0, '0');
    EXPECT_EQ(std::string(g), "00");
    EXPECT_EQ(std::string(h), "11");
  }
}
