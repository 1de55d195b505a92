#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "misc.h"

namespace {

std::vector<long> draws(int seed, int n) {
  srandom(seed);
  std::vector<long> v;
  for (int i = 0; i < n; i++) v.push_back(random());
  return v;
}

} // namespace

TEST(RandomRange, UsesOneDrawAndStaysInItsInterval) {
  auto expect = draws(3, 4);
  seed_random(3);
  EXPECT_EQ(random_range(0.0, 1.0), expect[0] / 2147483648.0);
  EXPECT_EQ(random_range(5.0, 5.0), 5.0);
  EXPECT_EQ(random_range(-2.0, 2.0), -2.0 + 4.0 * (expect[2] / 2147483648.0));
  EXPECT_EQ(next_random(), expect[3]);
  seed_random(11);
  for (int i = 0; i < 100000; i++) {
    double u = random_range(0.0, 1.0);
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
  }
}

TEST(RandomGauss, DrawsPairsAndHoldsTheSecondValue) {
  if (holding) random_gauss();
  auto v = draws(5, 40);
  seed_random(5);
  double first = random_gauss();
  size_t used = 2;
  // Rejected pairs are skipped two draws at a time.
  while (true) {
    double x = 2.0 * (v[used - 2] / 2147483648.0) - 1.0;
    double y = 2.0 * (v[used - 1] / 2147483648.0) - 1.0;
    double r = x * x + y * y;
    if (r < 1.0 && r > 0.0) {
      double f = std::sqrt(-2.0 * std::log(r) / r);
      EXPECT_EQ(first, y * f);
      EXPECT_EQ(random_gauss(), x * f);
      break;
    }
    used += 2;
  }
  EXPECT_EQ(next_random(), v[used]); // the held value drew nothing
}

TEST(RandomGauss, RunsGiveWhatSingleCallsGive) {
  // Runs of any length, started with and without a held value: the same
  // values, the same draws, the same value held at the end.
  for (int n : {0, 1, 2, 3, 8, 513}) {
    for (int held = 0; held < 2; held++) {
      seed_random(n + 10 * held);
      if (holding) random_gauss();
      if (held) random_gauss();
      RANDOM_STATE start = random_state;
      int start_holding = holding;
      double start_hold = hold;
      std::vector<double> single(n), run(n + 1);
      for (double &z : single) z = random_gauss();
      long following = next_random();
      int end_holding = holding;
      double end_hold = hold;
      random_state = start;
      holding = start_holding;
      hold = start_hold;
      random_gauss_run(run.data(), n);
      for (int i = 0; i < n; i++) ASSERT_EQ(run[i], single[i]) << n << " " << held << " " << i;
      ASSERT_EQ(holding, end_holding) << n << " " << held;
      if (holding) {
        ASSERT_EQ(hold, end_hold) << n << " " << held;
      }
      ASSERT_EQ(next_random(), following) << n << " " << held;
    }
  }
}

TEST(RandomGauss, HasMeanZeroAndVarianceOne) {
  seed_random(17);
  const int n = 200000;
  double sum = 0, sq = 0;
  for (int i = 0; i < n; i++) {
    double z = random_gauss();
    ASSERT_TRUE(std::isfinite(z));
    sum += z;
    sq += z * z;
  }
  EXPECT_NEAR(sum / n, 0.0, 0.01);
  EXPECT_NEAR(sq / n, 1.0, 0.02);
}

TEST(RandomStream, ReproducesThePlatformSequence) {
  const int seeds[] = {0, 1, 2, 7, 42, -1, -5, 2147483647, -2147483647 - 1,
                       123456789, 1000000};
  for (int seed : seeds) {
    srandom(static_cast<unsigned>(seed));
    seed_random(seed);
    int n = seed == 0 || seed == -1 ? 5000000 : 300000;
    for (int i = 0; i < n; i++) {
      long expect = random();
      long got = next_random();
      if (expect != got) {
        ADD_FAILURE() << "seed " << seed << " differs at draw " << i;
        break;
      }
    }
  }
}

TEST(RandomStream, SkipsAndScansDrawForDraw) {
  // Against single draws from a copy of the stream, across block ends.
  const unsigned int limits[] = {0, 1, 21474837, 214748365, 1073741824, 2147483647u,
                                 2147483648u};
  for (int trial = 0; trial < 400; trial++) {
    seed_random(trial);
    skip_random(trial * 37 % 1500);
    RANDOM_STATE start = random_state;
    long long n = trial % 5 == 0 ? 3000 : trial * 13 % 200;
    unsigned int limit = limits[trial % 7];
    long long expect = n;
    for (long long i = 0; i < n; i++)
      if (static_cast<unsigned long>(next_random()) < limit) {
        expect = i;
        break;
      }
    long following = next_random();
    random_state = start;
    ASSERT_EQ(draws_until_below(limit, n), expect) << "trial " << trial;
    ASSERT_EQ(next_random(), following) << "trial " << trial;
    random_state = start;
    for (long long i = 0; i < expect; i++) next_random();
    long after_skip = next_random();
    random_state = start;
    skip_random(expect);
    ASSERT_EQ(next_random(), after_skip) << "trial " << trial;
  }
}

TEST(UniformLimit, SplitsTheDrawsWhereRandomRangeDoes) {
  // random_range(0, 1) grows with the draw k, so the limit is right when
  // the draw just below it passes the test and the draw at it fails.
  auto passes = [](unsigned long k, double p) { return k / 2147483648.0 < p; };
  std::vector<double> rates = {0.0, -0.0, -1.0, NAN, INFINITY, -INFINITY,
                               1e-300, 4.9e-324, 0.5, 1.0, 2.0, 0.01, 0.001,
                               0.25, 0.75, 1.0 - 1.0 / 2147483648.0};
  for (unsigned long k : {1ul, 2ul, 3ul, 21474836ul, 1073741823ul, 2147483647ul})
    for (double f : {-1.0, 0.0, 1.0}) {
      double p = k / 2147483648.0;
      rates.push_back(f < 0 ? std::nextafter(p, 0.0) : f > 0 ? std::nextafter(p, 1.0) : p);
    }
  seed_random(3);
  for (int i = 0; i < 1000; i++) rates.push_back(random_range(-0.1, 1.1));
  for (double p : rates) {
    unsigned long limit = uniform_limit(p);
    ASSERT_LE(limit, 2147483648ul) << p;
    if (limit > 0) {
      EXPECT_TRUE(passes(limit - 1, p)) << p;
    }
    if (limit < 2147483648ul) {
      EXPECT_FALSE(passes(limit, p)) << p;
    }
  }
  // On the stream itself.
  seed_random(8);
  std::vector<long> k(20000);
  for (long &x : k) x = next_random();
  for (double p : {0.01, 0.5, 0.999}) {
    seed_random(8);
    for (long x : k) ASSERT_EQ(random_range(0.0, 1.0) < p, x < uniform_limit(p));
  }
}
