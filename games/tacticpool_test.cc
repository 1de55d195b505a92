#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kept_globals.h"
#include "tacticpool.h"

using namespace tacticpool;

namespace {

// One move of `strategy` with the limits of the current parameters.
int pd(int strategy, int other, int own) {
  return next_move(strategy, other, own, draw_limits());
}

// Every game of the step played afresh, none taken from a table.
void compute_scores() { tacticpool::compute_scores(nullptr); }

// The same shares bit for bit, but any two NaNs count as equal: which of
// two NaN operands an operation passes on is the compiler's choice, and the
// report writes every NaN alike.
bool same_shares(const double *a, const double *b) {
  for (int i = 0; i < NSTRATEGIES; i++)
    if (!(std::isnan(a[i]) && std::isnan(b[i])) && memcmp(&a[i], &b[i], sizeof a[i]) != 0)
      return false;
  return true;
}

// How many values of the random stream `action` consumes.
template <class F> int draws_made(F action) {
  seed_random(11);
  action();
  long next = next_random();
  seed_random(11);
  for (int n = 0; n < 1000; n++)
    if (next_random() == next) return n;
  return -1;
}

} // namespace

// The shares and scores are put back too.
class Tacticpool : public testing::Test {
protected:
  Tacticpool() {
    kept.keep(pops);
    kept.keep(scores);
  }
  KeptGlobals kept{options};
};

TEST_F(Tacticpool, GameTotalsOfTheFixedStrategies) {
  // Rows: scored strategy; columns: All-C, TFT, Pavlov, All-D.
  const int players[] = {ALLC, TFT, PAVLOV, ALLD};
  const double totals[4][4] = {
    {30, 30, 30, 0}, {30, 30, 30, 9}, {30, 30, 30, 5}, {50, 14, 30, 10}};
  for (int a = 0; a < 4; a++)
    for (int b = 0; b < 4; b++)
      EXPECT_EQ(play_game(players[a], players[b]), totals[a][b])
          << players[a] << " against " << players[b];
  rounds = 0;
  EXPECT_EQ(play_game(ALLD, ALLC), 0.0);
}

TEST_F(Tacticpool, MovesDrawInTheirFixedOrder) {
  EXPECT_EQ(draws_made([] { pd(ALLD, 0, 0); }), 0);
  EXPECT_EQ(draws_made([] { pd(RANDOM, 0, 0); }), 1);
  EXPECT_EQ(draws_made([] { play_game(RANDOM, TFT); }), 10);
  EXPECT_EQ(draws_made([] { play_game(RANDOM, RANDOM); }), 20);
  noise = 1e-300; // never strikes, yet is drawn for
  EXPECT_EQ(draws_made([] { pd(ALLC, 0, 0); }), 1);
  EXPECT_EQ(draws_made([] { pd(RANDOM, 0, 0); }), 2);
  noise = 2.0; // always strikes: the coin replaces the strategy's own draw
  EXPECT_EQ(draws_made([] { pd(RANDOM, 0, 0); }), 2);
  int defections = 0;
  for (int k = 0; k < 1000; k++) defections += pd(ALLC, 0, 0);
  EXPECT_GT(defections, 400);
  EXPECT_LT(defections, 600);
}

TEST_F(Tacticpool, RandomFollowsItsCooperationProbability) {
  rcp = 0.0;
  for (int k = 0; k < 100; k++) EXPECT_EQ(pd(RANDOM, 0, 0), 1);
  rcp = 1.0;
  for (int k = 0; k < 100; k++) EXPECT_EQ(pd(RANDOM, 1, 1), 0);
}

TEST_F(Tacticpool, ExtinctStrategyPlaysNoGamesAndStaysExtinct) {
  const double start[5] = {0.0, 0.0, 1.0, 0.0, 0.0};
  std::copy(start, start + 5, pops);
  // Only Random plays: ten rounds against each of the five, twice as many
  // draws against itself.
  EXPECT_EQ(draws_made([] { compute_scores(); }), 60);
  for (int i : {ALLC, TFT, PAVLOV, ALLD}) EXPECT_EQ(scores[i], 0.0);
  const double mixed[5] = {0.1, 0.3, 0.0, 0.2, 0.4};
  std::copy(mixed, mixed + 5, pops);
  compute_scores();
  update_pops();
  EXPECT_EQ(pops[RANDOM], 0.0);
  EXPECT_NEAR(pops[0] + pops[1] + pops[2] + pops[3] + pops[4], 1.0, 1e-15);
  // TFT scores 30 against All-C, TFT and Pavlov and 9 against All-D.
  EXPECT_EQ(scores[TFT], 30 * 0.1 + 30 * 0.3 + 0.0 + 30 * 0.2 + 9 * 0.4);
}

TEST_F(Tacticpool, StepsWithKnownGameTotalsMatchStepsThatPlayEveryGame) {
  // simulate() takes the totals of games that draw nothing from a table
  // made once; playing every game at every step must give the same shares
  // bit for bit and leave the random stream at the same place.
  const double noises[] = {0.0, -1.0, NAN, 1e-300, 0.01, 0.5, 1.0};
  const double rcps[] = {0.0, 0.5, 1.0, 0.3, NAN};
  const double payoffs[] = {0.0, 1.0, 3.0, 5.0, -2.0, 2.5, 1e308, NAN};
  for (int trial = 0; trial < 300; trial++) {
    seed_random(trial);
    steps = 1 + static_cast<int>(next_random() % 200);
    rounds = static_cast<int>(next_random() % 25);
    noise = noises[next_random() % 7];
    rcp = rcps[next_random() % 5];
    double *pay[] = {&CC, &CD, &DC, &DD};
    for (double *p : pay) *p = next_random() % 3 ? payoffs[next_random() % 6] : payoffs[next_random() % 8];
    double *start[] = {&Iallc, &Itft, &Irand, &Ipav, &Ialld};
    for (double *p : start) *p = next_random() % 4 ? (next_random() % 100) / 50.0 : 0.0;
    seed_random(1000 + trial);
    init_pops();
    testing::internal::CaptureStdout();
    simulate();
    out_flush();
    testing::internal::GetCapturedStdout();
    double fast[5];
    std::copy(pops, pops + 5, fast);
    long following = next_random();
    seed_random(1000 + trial);
    init_pops();
    for (int step = 0; step < steps; step++) {
      compute_scores();
      update_pops();
    }
    ASSERT_TRUE(same_shares(fast, pops)) << "trial " << trial;
    ASSERT_EQ(next_random(), following) << "trial " << trial;
  }
}

TEST_F(Tacticpool, GamesAndStepsMatchThePlainRulesAndArithmetic) {
  // Games against Random are played from a table of outcomes, scores leave
  // out products that cannot count, and shares below the normal numbers
  // are worked out in integers: each must give what the rules, played move
  // by move, and the plain arithmetic give, bit for bit and draw for draw.
  const double shares[] = {0.0, 4.9e-324, 1e-310, 0x1p-1022, 1e-300, 0.2, 1.0, 1e300, NAN, -0.0};
  const double payoffs[] = {0.0, 1.0, 3.0, 5.0, -2.0, 2.5, 1e308, 1e20, NAN, INFINITY};
  const double rcps[] = {0.0, 0.5, 1.0, 0.3};
  for (int trial = 0; trial < 400; trial++) {
    seed_random(trial);
    rounds = trial % 10 == 0 ? 1500 : static_cast<int>(next_random() % 30);
    rcp = rcps[next_random() % 4];
    noise = trial % 3 == 0 ? 0.05 : 0.0;
    for (double *p : {&CC, &CD, &DC, &DD}) *p = payoffs[next_random() % 10];
    double start[NSTRATEGIES], plain[NSTRATEGIES], scored[NSTRATEGIES] = {};
    for (double &s : start) s = shares[next_random() % 10];
    RANDOM_STATE before = random_state;
    for (int i = 0; i < NSTRATEGIES; i++) {
      if (start[i] == 0.0) continue;
      for (int j = 0; j < NSTRATEGIES; j++) {
        int a = C, b = C;
        double total = 0.0;
        for (int k = 0; k < rounds; k++) {
          int move_a = pd(i, b, a), move_b = pd(j, a, b);
          total += move_a == C ? (move_b == C ? CC : CD) : (move_b == C ? DC : DD);
          a = move_a;
          b = move_b;
        }
        scored[i] += total * start[j];
      }
    }
    double sum = 0.0;
    for (int i = 0; i < NSTRATEGIES; i++) sum += plain[i] = start[i] * scored[i];
    for (double &s : plain) s /= sum;
    long following = next_random();
    random_state = before;
    std::copy(start, start + NSTRATEGIES, pops);
    compute_scores();
    update_pops();
    ASSERT_TRUE(same_shares(scores, scored)) << "trial " << trial;
    ASSERT_TRUE(same_shares(pops, plain)) << "trial " << trial;
    ASSERT_EQ(next_random(), following) << "trial " << trial;
  }
}
