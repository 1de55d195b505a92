#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gacycle.h"
#include "misc.h"

namespace {

// The index roulette-wheel selection must return for draw k of the stream.
int scan(const double *w, int n, long k) {
  double u = k / static_cast<double>(RANDOM_VALUES), c = 0;
  for (int i = 0; i < n; i++) {
    c += w[i];
    if (u <= c) return i;
  }
  return n - 1;
}

// Roulette-wheel selection as a plain scan, drawing from the stream: the
// reference that pick_one must match pick for pick.
int select_one(const double *weight, int size) {
  double u = random_range(0.0, 1.0);
  double c = 0.0;
  for (int i = 0; i < size; i++) {
    c += weight[i];
    if (u <= c) return i;
  }
  return size - 1;
}

} // namespace

TEST(Roulette, PicksTheFirstIndexWhoseRunningSumReachesTheDraw) {
  const double w[] = {0.1, 0.0, 0.4, 0.2, 0.3};
  ROULETTE wheel = make_roulette(5);
  spin_up(&wheel, w);
  seed_random(9);
  long k[50];
  for (long &x : k) x = next_random();
  seed_random(9);
  for (long x : k) EXPECT_EQ(pick_one(&wheel), scan(w, 5, x));
  // Weights that are not numbers fall back to the last index.
  const double bad[] = {NAN, NAN, NAN};
  ROULETTE none = make_roulette(3);
  spin_up(&none, bad);
  EXPECT_EQ(pick_one(&none), 2);
  free(wheel.sum);
  free(none.sum);
}

TEST(BestIndex, TakesTheFirstOfEqualsAboveMinusOne) {
  double sum = 0;
  const double v[] = {0.5, 0.9, 0.9, 0.1};
  EXPECT_EQ(best_index(v, 4, &sum), 1);
  EXPECT_DOUBLE_EQ(sum, 2.4);
  const double low[] = {-1.0, -5.0, NAN};
  EXPECT_EQ(best_index(low, 3, &sum), -1);
}

TEST(PopulationSize, RoundsUpToEvenAndRefusesZero) {
  EXPECT_EQ(round_population_size(7), 8);
  EXPECT_EQ(round_population_size(1), 2);
  EXPECT_EQ(round_population_size(10), 10);
  EXPECT_EQ(round_population_size(-3), -2);
  EXPECT_EXIT(round_population_size(0), testing::ExitedWithCode(1),
              "-size must be from 1 to 2147483646\\.\n");
  EXPECT_EXIT(round_population_size(-1), testing::ExitedWithCode(1),
              "-size must be from 1 to 2147483646\\.\n");
  EXPECT_EXIT(round_population_size(2147483647), testing::ExitedWithCode(1),
              "-size must be");
}

TEST(BreedStrings, CrossesAtOneCutAndMutatesWithFreshDigits) {
  std::string a(12, '0'), b(12, '1'), c1(12, '?'), c2(12, '?');
  seed_random(4);
  breed_strings(a.data(), b.data(), c1.data(), c2.data(), 12, 1.0, 0.0, '0');
  size_t cut = c1.find('1');
  ASSERT_NE(cut, std::string::npos);
  EXPECT_GE(cut, 1u);
  EXPECT_EQ(c1, std::string(cut, '0') + std::string(12 - cut, '1'));
  EXPECT_EQ(c2, std::string(cut, '1') + std::string(12 - cut, '0'));
  // Without crossover or mutation the children are copies, and the draws
  // (1 crossover + 2 per position) are made all the same.
  seed_random(4);
  breed_strings(a.data(), b.data(), c1.data(), c2.data(), 12, 0.0, 0.0, '0');
  EXPECT_EQ(c1, a);
  EXPECT_EQ(c2, b);
  long after = next_random();
  seed_random(4);
  for (int i = 0; i < 1 + 2 * 12; i++) next_random();
  EXPECT_EQ(after, next_random());
  // A mutation rate of 1 writes a random digit everywhere.
  breed_strings(a.data(), a.data(), c1.data(), c2.data(), 12, 0.0, 1.0, 'A');
  for (char ch : c1 + c2) EXPECT_TRUE(ch == 'A' || ch == 'B');
}

TEST(Roulette, PicksExactlyWhatTheScanPicks) {
  const int n = 1000;
  std::vector<double> w(n);
  ROULETTE wheel = make_roulette(n);
  for (int trial = 0; trial < 6; trial++) {
    seed_random(trial);
    double total = 0;
    for (int i = 0; i < n; i++) {
      // Zero weights, runs of equal weights and tiny ones, as real
      // populations have; trial 4 brings a NaN and trial 5 a negative weight.
      w[i] = (i % 7 == 0) ? 0.0 : (i % 3 == 0 ? 1e-300 : (next_random() % 5) + 1);
      total += w[i];
    }
    for (double &x : w) x /= total;
    if (trial == 4) w[n / 2] = NAN;
    if (trial == 5) w[3] = -0.5;
    spin_up(&wheel, w.data());
    for (int k = 0; k < 20000; k++) {
      RANDOM_STATE before = random_state;
      int scan = select_one(w.data(), n);
      random_state = before;
      ASSERT_EQ(pick_one(&wheel), scan) << "trial " << trial << " pick " << k;
    }
  }
  // Weights whose total stays below some draws: the last index, as the scan.
  double low[] = {0.0, 0.25, 0.25};
  ROULETTE small = make_roulette(3);
  spin_up(&small, low);
  for (int k = 0; k < 1000; k++) {
    RANDOM_STATE before = random_state;
    int scan = select_one(low, 3);
    random_state = before;
    ASSERT_EQ(pick_one(&small), scan);
  }
}

namespace {

// Breeding written out draw by draw, as the fast version must behave.
void breed_plainly(const char *a, const char *b, char *c1, char *c2, int len,
                   double crate, double mrate, char zero) {
  int cut = len;
  if (random_range(0.0, 1.0) < crate) cut = 1 + static_cast<int>(next_random() % (len - 1));
  for (int j = 0; j < len; j++) {
    c1[j] = j < cut ? a[j] : b[j];
    c2[j] = j < cut ? b[j] : a[j];
  }
  for (int j = 0; j < len; j++) {
    if (random_range(0.0, 1.0) < mrate) c1[j] = static_cast<char>(zero + next_random() % 2);
    if (random_range(0.0, 1.0) < mrate) c2[j] = static_cast<char>(zero + next_random() % 2);
  }
}

double plain_value(const std::string &s) {
  double v = 0.0;
  for (char c : s) v = 2.0 * v + (c - '0');
  return v;
}

} // namespace

TEST(BreedStrings, MatchesTheDrawByDrawLoop) {
  const double rates[] = {0.0, -1.0, NAN, 1e-300, 0.001, 0.01, 0.3, 0.5, 1.0, 2.0};
  for (int trial = 0; trial < 3000; trial++) {
    seed_random(trial);
    int len = 2 + static_cast<int>(next_random() % (trial % 10 == 0 ? 3000 : 150));
    double crate = rates[next_random() % 10], mrate = rates[next_random() % 10];
    std::string a(len, '0'), b(len, '0');
    for (int j = 0; j < len; j++) {
      a[j] = static_cast<char>('0' + next_random() % 2);
      b[j] = static_cast<char>('0' + next_random() % 2);
    }
    std::string c1(len, '?'), c2(len, '?'), p1(len, '?'), p2(len, '?');
    RANDOM_STATE start = random_state;
    breed_plainly(a.data(), b.data(), p1.data(), p2.data(), len, crate, mrate, '0');
    long following = next_random();
    random_state = start;
    breed_strings(a.data(), b.data(), c1.data(), c2.data(), len, crate, mrate, '0');
    ASSERT_EQ(c1, p1) << "trial " << trial;
    ASSERT_EQ(c2, p2) << "trial " << trial;
    ASSERT_EQ(next_random(), following) << "trial " << trial;
  }
}

TEST(DigitsValue, SumsExactlyAsTheDoubleLoop) {
  seed_random(21);
  for (int trial = 0; trial < 20000; trial++) {
    int len = static_cast<int>(next_random() % (trial % 50 == 0 ? 1200 : 70));
    std::string s(len, '0');
    // Leading zeros of any length, and runs of ones, move the point where
    // the sum starts to round.
    int zeros = trial % 3 == 0 ? static_cast<int>(next_random() % (len + 1)) : 0;
    bool ones = trial % 5 == 1;
    for (int j = zeros; j < len; j++) s[j] = ones ? '1' : static_cast<char>('0' + next_random() % 2);
    // Now and then a character that is not a binary digit.
    if (len > 0 && trial % 7 == 0) s[next_random() % len] = "2/a\x7f"[trial % 4];
    double fast = digits_value(s.c_str(), len), plain = plain_value(s);
    ASSERT_EQ(memcmp(&fast, &plain, sizeof fast), 0) << s;
  }
  EXPECT_EQ(digits_value("1", 0), 0.0);
  EXPECT_EQ(digits_value("1000000000", 10), 512.0);
}

TEST(Roulette, AnyWeightsPickWhatTheScanPicks) {
  // Sums that fall, overflow, or stop being numbers: the wheel searches the
  // largest sums so far, which must lead to the scan's index every time.
  const double odd[] = {-0.5, -0.0, 2.0, INFINITY, -INFINITY, NAN, 1e308, 0.25};
  const int n = 300;
  std::vector<double> w(n);
  ROULETTE wheel = make_roulette(n);
  for (int trial = 0; trial < 60; trial++) {
    seed_random(100 + trial);
    for (double &x : w)
      x = next_random() % 10 < 8 ? (next_random() % 1000) / 1e5 : odd[next_random() % 8];
    spin_up(&wheel, w.data());
    for (int k = 0; k < 2000; k++) {
      RANDOM_STATE before = random_state;
      int scan = select_one(w.data(), n);
      random_state = before;
      ASSERT_EQ(pick_one(&wheel), scan) << "trial " << trial << " pick " << k;
    }
  }
}
