#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "misc.h"
#include "roulette.h"

namespace {

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

// Spins the wheel up on the n weights w, then makes `picks` picks from the
// stream as it stands, each of which must be the scan's pick from the same
// draw.
void expect_picks_of_the_scan(ROULETTE *wheel, const double *w, int n,
                              int picks, int trial) {
  spin_up(wheel, w);
  for (int k = 0; k < picks; k++) {
    RANDOM_STATE before = random_state;
    int scan = select_one(w, n);
    random_state = before;
    ASSERT_EQ(pick_one(wheel), scan) << "trial " << trial << " pick " << k;
  }
}

// Makes k the value of the stream's next draw.
void set_next_draw(long k) {
  if (random_state.next == random_state.end) refill_random();
  random_state.word[random_state.next] = static_cast<unsigned int>(k) << 1;
}

} // namespace

TEST(Roulette, DrawsOnSumsAndCellEdgesPickWhatTheScanPicks) {
  // Running sums that equal a draw exactly, at the edges of the wheel's
  // cells, behind zero weights: u <= sum must pick the first of the ties.
  const double w[] = {0.0, 0.25, 0.0, 0.25, 0.0, 0.0, 0.125, 0.375, 0.0};
  const long draws[] = {0, 1, (1L << 29) - 1, 1L << 29, (1L << 29) + 1, 1L << 30,
                        3L << 29, 7L << 28, (1L << 31) - 1};
  ROULETTE wheel = make_roulette(9);
  for (long k : draws) {
    set_next_draw(k);
    expect_picks_of_the_scan(&wheel, w, 9, 1, static_cast<int>(k));
  }
  free(wheel.sum);
}

TEST(Roulette, PicksTheFirstIndexWhoseRunningSumReachesTheDraw) {
  const double w[] = {0.1, 0.0, 0.4, 0.2, 0.3};
  ROULETTE wheel = make_roulette(5);
  seed_random(9);
  expect_picks_of_the_scan(&wheel, w, 5, 50, 0);
  // Weights that are not numbers fall back to the last index.
  const double bad[] = {NAN, NAN, NAN};
  ROULETTE small = make_roulette(3);
  spin_up(&small, bad);
  EXPECT_EQ(pick_one(&small), 2);
  // Weights whose total stays below some draws: the last index, as the scan.
  const double low[] = {0.0, 0.25, 0.25};
  expect_picks_of_the_scan(&small, low, 3, 1000, 1);
  free(wheel.sum);
  free(small.sum);
}

TEST(Roulette, PicksExactlyWhatTheScanPicks) {
  const int n = 1000;
  std::vector<double> w(n);
  ROULETTE wheel = make_roulette(n);
  for (int trial = 0; trial < 7; trial++) {
    seed_random(trial);
    double total = 0;
    for (int i = 0; i < n; i++) {
      // Zero weights, runs of equal weights and tiny ones, as real
      // populations have; trial 4 brings a NaN and trial 5 a negative weight.
      // In trial 6 a few genomes hold nearly all the weight, so most of the
      // population falls in few cells of the guide table.
      w[i] = (i % 7 == 0) ? 0.0 : (i % 3 == 0 ? 1e-300 : (next_random() % 5) + 1);
      if (trial == 6 && i % 97 != 0) w[i] = w[i] * 1e-9;
      total += w[i];
    }
    for (double &x : w) x /= total;
    if (trial == 4) w[n / 2] = NAN;
    if (trial == 5) w[3] = -0.5;
    expect_picks_of_the_scan(&wheel, w.data(), n, 20000, trial);
  }
  free(wheel.sum);
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
    expect_picks_of_the_scan(&wheel, w.data(), n, 2000, trial);
  }
  free(wheel.sum);
}
