#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "kept_globals.h"
#include "tacticbreed.h"

namespace tb = tacticbreed;

// The population and its arrays are put back too.
class Tacticbreed : public testing::Test {
protected:
  Tacticbreed() {
    kept.keep(tb::oldpop);
    kept.keep(tb::newpop);
    kept.keep(tb::dnaindex);
    kept.keep(tb::hista);
    kept.keep(tb::histb);
    kept.keep(tb::score);
    kept.keep(tb::roundbout);
    kept.keep(tb::fitness);
  }
  KeptGlobals kept{tb::options};
};

namespace {

// A fresh population, one individual per table, with the default payoffs,
// no noise, and the tables given as C/D letters.
void setup(int history, std::initializer_list<const char *> tables) {
  tb::hlen = history;
  tb::size = static_cast<int>(tables.size());
  tb::noise = 0.0;
  tb::CC = 4; tb::CD = 0; tb::DC = 5; tb::DD = 1;
  seed_random(1);
  tb::inititalize_population();
  int i = 0;
  for (const char *t : tables) {
    EXPECT_EQ(strlen(t), static_cast<size_t>(tb::dna_length()));
    for (int m = 0; t[m]; m++) tb::oldpop[i][m] = t[m] == 'D';
    i++;
  }
}

// Plays rounds 0 .. n - 1 between individuals a and b; their moves as text.
std::string play(int a, int b, int n) {
  std::string moves;
  for (int t = 0; t < n; t++) {
    double pa, pb;
    tb::ipd(tb::oldpop, a, b, t, &pa, &pb);
    int s = t % tb::hlen;
    moves += static_cast<char>('C' + tb::hista[s]);
    moves += static_cast<char>('C' + tb::histb[s]);
    moves += ' ';
  }
  return moves;
}

} // namespace

TEST_F(Tacticbreed, TablesHaveOneSectionPerHistoryLength) {
  int index[17];
  tb::dnaindex = index;
  const int starts[] = {0, 1, 5, 21, 85};
  for (int h = 1; h <= 3; h++) {
    tb::hlen = h;
    tb::build_dnaindex();
    EXPECT_EQ(tb::dna_length(), starts[h + 1]);
    for (int n = 0; n <= h; n++) EXPECT_EQ(index[n], starts[n]);
  }
  tb::hlen = 14;
  tb::build_dnaindex();
  EXPECT_EQ(tb::dna_length(), 357913941);
  tb::hlen = 15;
  tb::build_dnaindex();
  EXPECT_EQ(tb::dna_length(), 1431655765);
}

TEST_F(Tacticbreed, PayoffsCountTruncatedFromEachPlayersSide) {
  tb::CC = 3.7; tb::CD = -0.5; tb::DC = 5.9; tb::DD = -1.2;
  double pa, pb;
  tb::pd(0, 0, &pa, &pb);
  EXPECT_EQ(pa, 3.0); EXPECT_EQ(pb, 3.0);
  tb::pd(1, 0, &pa, &pb);
  EXPECT_EQ(pa, 5.0); EXPECT_EQ(pb, 0.0);
  tb::pd(0, 1, &pa, &pb);
  EXPECT_EQ(pa, 0.0); EXPECT_EQ(pb, 5.0);
  tb::pd(1, 1, &pa, &pb);
  EXPECT_EQ(pa, -1.0); EXPECT_EQ(pb, -1.0);
  // Payoffs beyond any integer type stay what they are.
  tb::CC = 1e300; tb::DD = NAN;
  tb::pd(0, 0, &pa, &pb);
  EXPECT_EQ(pa, 1e300);
  tb::pd(1, 1, &pa, &pb);
  EXPECT_TRUE(std::isnan(pa));
}

TEST_F(Tacticbreed, TitForTatAnswersEachPlayersOwnView) {
  setup(1, {"CCDCD", "DDDDD", "CDCCC"});
  EXPECT_EQ(play(0, 1, 3), "CD DD DD ");
  EXPECT_EQ(play(1, 0, 3), "DC DD DD ");
  // Against one that defects only after mutual cooperation.
  EXPECT_EQ(play(0, 2, 4), "CC CD DC CC ");
  double pa, pb;
  tb::ipd(tb::oldpop, 0, 1, 0, &pa, &pb);
  EXPECT_EQ(pa, 0.0);
  EXPECT_EQ(pb, 5.0);
}

TEST_F(Tacticbreed, LongHistoriesPutTheLatestRoundInTheHighBits) {
  // Round 1 follows (C, D): index 1 of section 1, position 2. Round 2
  // follows (D, D) then (C, D): index 4 * 3 + 1 of section 2, position 18;
  // round 3 follows (x, D) then (D, D), read from the wrapped buffer.
  std::string table(21, 'C');
  table[2] = 'D';
  table[18] = 'D';
  setup(2, {table.c_str(), "DDDDDDDDDDDDDDDDDDDDD"});
  EXPECT_EQ(play(0, 1, 4), "CD DD DD CD ");
  tb::oldpop[0][20] = 1; // after (D, D) twice
  EXPECT_EQ(play(0, 1, 4), "CD DD DD DD ");
  tb::oldpop[0][18] = 0;
  tb::oldpop[0][12] = 1; // the reversed reading of round 2's history
  EXPECT_EQ(play(0, 1, 3), "CD DD CD ");
}

TEST_F(Tacticbreed, NoiseDrawsTwiceInEveryRound) {
  setup(1, {"CCCCC", "CCCCC"});
  tb::noise = 1.0;
  seed_random(42);
  long r[8];
  for (long &x : r) x = next_random();
  seed_random(42);
  double pa, pb;
  tb::ipd(tb::oldpop, 0, 1, 0, &pa, &pb);
  tb::ipd(tb::oldpop, 0, 1, 1, &pa, &pb);
  EXPECT_EQ(tb::hista[0], r[5] % 2);
  EXPECT_EQ(tb::histb[0], r[7] % 2);
  // With no noise the draws are still made.
  tb::noise = 0.0;
  seed_random(42);
  tb::ipd(tb::oldpop, 0, 1, 0, &pa, &pb);
  tb::ipd(tb::oldpop, 0, 1, 0, &pa, &pb);
  EXPECT_EQ(next_random(), r[4]);
}

TEST_F(Tacticbreed, BoutsPlayedInPairsMatchRoundByRoundPlay) {
  // Without noise compute_fitness plays several bouts at a time (walked
  // for short histories, side by side for long ones); each bout round by
  // round through ipd must give the same scores, rounds and draws, whatever
  // the number of bouts, the length of a bout and the size of the payoffs.
  for (int trial = 0; trial < 150; trial++) {
    seed_random(trial);
    tb::hlen = 1 + static_cast<int>(next_random() % 5);
    tb::size = 2 + 2 * static_cast<int>(next_random() % 6);
    tb::bouts = 1 + static_cast<int>(next_random() % 7);
    tb::rounds = 1 + static_cast<int>(next_random() % (trial % 5 ? 30 : 700));
    tb::noise = trial % 2 ? 0.0 : -1.0;
    tb::CC = 4; tb::CD = -2; tb::DC = 5; tb::DD = 1;
    if (trial % 3 == 0) tb::DC = 1e9;
    if (trial % 3 == 1) {
      tb::DC = 32767;
      tb::DD = -32767;
    }
    tb::inititalize_population(); // random tables
    RANDOM_STATE start = random_state;
    std::vector<double> score(tb::size, 0.0);
    std::vector<long long> played(tb::size, 0);
    std::fill(tb::score, tb::score + tb::size, 0.0);
    std::fill(tb::roundbout, tb::roundbout + tb::size, 0);
    for (int i = 0; i < tb::size; i++)
      for (int k = 0; k < tb::bouts; k++) {
        int b = static_cast<int>(next_random() % tb::size);
        tb::play_rounds(tb::oldpop, i, b);
      }
    std::copy(tb::score, tb::score + tb::size, score.begin());
    std::copy(tb::roundbout, tb::roundbout + tb::size, played.begin());
    long following = next_random();
    random_state = start;
    tb::compute_fitness(tb::oldpop);
    for (int i = 0; i < tb::size; i++) {
      ASSERT_EQ(tb::score[i], score[i]) << "trial " << trial << " individual " << i;
      ASSERT_EQ(tb::roundbout[i], played[i]) << "trial " << trial << " individual " << i;
    }
    ASSERT_EQ(next_random(), following) << "trial " << trial;
  }
}

TEST_F(Tacticbreed, FitnessIsTheAveragePayoffPerRoundPlayed) {
  // Always-cooperate (0) and always-defect (1): each draws its opponent,
  // then plays three rounds with two noise draws each.
  for (int seed = 0; seed < 8; seed++) {
    setup(1, {"CCCCC", "DDDDD"});
    tb::bouts = 1;
    tb::rounds = 3;
    seed_random(seed);
    long b0 = next_random() % 2;
    for (int k = 0; k < 6; k++) next_random();
    long b1 = next_random() % 2;
    const double pay[2][2] = {{4, 0}, {5, 1}};
    double s[2] = {0, 0};
    long long n[2] = {0, 0};
    s[0] += 3 * pay[0][b0]; s[b0] += 3 * pay[b0][0];
    s[1] += 3 * pay[1][b1]; s[b1] += 3 * pay[b1][1];
    n[0] += 3; n[b0] += 3; n[1] += 3; n[b1] += 3;
    seed_random(seed);
    tb::compute_fitness(tb::oldpop);
    double sum = s[0] / n[0] + s[1] / n[1];
    for (int i = 0; i < 2; i++) {
      EXPECT_EQ(tb::score[i], s[i]);
      EXPECT_EQ(tb::roundbout[i], n[i]);
      EXPECT_EQ(tb::fitness[i], s[i] / n[i] / sum);
    }
  }
}

TEST_F(Tacticbreed, SingleRoundsPlayOnlyOpeningMoves) {
  setup(1, {"CDDDD", "CDDDD", "CDDDD", "CDDDD"});
  tb::bouts = 5;
  tb::rounds = 1;
  tb::compute_fitness(tb::oldpop);
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(tb::score[i], 4.0 * tb::roundbout[i]);
    EXPECT_EQ(tb::fitness[i], 0.25);
  }
}

TEST_F(Tacticbreed, WeightsWithoutAPositiveTotalAreEqual) {
  // Defectors that earn nothing have no weights (0/0); negative payoffs
  // would favour the lowest scorer; an infinite total weighs nothing.
  tb::bouts = 3;
  tb::rounds = 4;
  setup(1, {"DDDDD", "DDDDD"});
  tb::DD = 0.0;
  tb::compute_fitness(tb::oldpop);
  EXPECT_EQ(tb::fitness[0], 0.5);
  EXPECT_EQ(tb::fitness[1], 0.5);
  setup(1, {"DDDDD", "CCCCC"});
  tb::CC = -1; tb::CD = -3; tb::DC = 0; tb::DD = -2;
  tb::compute_fitness(tb::oldpop);
  EXPECT_NE(tb::score[0] / tb::roundbout[0], tb::score[1] / tb::roundbout[1]);
  EXPECT_EQ(tb::fitness[0], 0.5);
  EXPECT_EQ(tb::fitness[1], 0.5);
  setup(1, {"CCCCC", "CCCCC"});
  tb::CC = INFINITY;
  tb::compute_fitness(tb::oldpop);
  EXPECT_EQ(tb::fitness[1], 0.5);
}

TEST_F(Tacticbreed, ChildrenAreBredOverTheWholeTable) {
  setup(2, {"CCCCCCCCCCCCCCCCCCCCC", "DDDDDDDDDDDDDDDDDDDDD"});
  tb::crate = 0.0;
  tb::mrate = 0.0;
  tb::reproduce(tb::oldpop, tb::newpop, 1, 0, 0);
  EXPECT_EQ(std::string(tb::newpop[0], 21), std::string(21, '\1'));
  EXPECT_EQ(std::string(tb::newpop[1], 21), std::string(21, '\0'));
  tb::mrate = 1.0;
  tb::reproduce(tb::oldpop, tb::newpop, 0, 1, 0);
  for (int m = 0; m < 21; m++) {
    EXPECT_LE(static_cast<unsigned>(tb::newpop[0][m]), 1u);
    EXPECT_LE(static_cast<unsigned>(tb::newpop[1][m]), 1u);
  }
}

namespace {

// Scores and round counts of the six individuals after `play` from fixed
// non-zero starting values, and the draw that follows.
struct BOUT_RESULT {
  std::vector<double> score;
  std::vector<long long> rounds;
  long following;
  bool operator==(const BOUT_RESULT &) const = default;
};

template <class Play> BOUT_RESULT after(Play play) {
  for (int i = 0; i < 6; i++) {
    tb::score[i] = 10.0 * i;
    tb::roundbout[i] = 3 * i;
  }
  play();
  BOUT_RESULT r{std::vector<double>(tb::score, tb::score + 6),
                std::vector<long long>(tb::roundbout, tb::roundbout + 6), 0};
  r.following = next_random();
  return r;
}

} // namespace

TEST_F(Tacticbreed, BoutsPlayedInOneGoMatchRoundByRoundPlay) {
  // play_bout carries the history indices and scans the noise draws;
  // play_rounds goes through ipd. Same scores, rounds and draws.
  const double noises[] = {0.0, -1.0, NAN, 1e-300, 0.05, 0.5, 1.0};
  for (int trial = 0; trial < 400; trial++) {
    seed_random(trial);
    tb::hlen = 1 + static_cast<int>(next_random() % 6);
    tb::size = 6;
    tb::bouts = 1;
    tb::rounds = 1 + static_cast<int>(next_random() % 40);
    tb::noise = noises[next_random() % 7];
    tb::CC = 4; tb::CD = -1.5; tb::DC = 5.9; tb::DD = 1;
    tb::inititalize_population(); // random tables
    long long pay[4];
    ASSERT_TRUE(tb::whole_payoffs(pay));
    for (int k = 0; k < 10; k++) {
      int a = static_cast<int>(next_random() % 6), b = static_cast<int>(next_random() % 6);
      RANDOM_STATE start = random_state;
      BOUT_RESULT rounds = after([&] { tb::play_rounds(tb::oldpop, a, b); });
      random_state = start;
      BOUT_RESULT bout = after([&] { tb::play_bout(tb::oldpop, a, b, pay); });
      ASSERT_TRUE(bout == rounds) << "trial " << trial << " bout " << k;
    }
  }
  // Payoffs too large for whole sums in any order keep round-by-round play.
  long long pay[4];
  tb::CC = 1e300;
  EXPECT_FALSE(tb::whole_payoffs(pay));
  tb::CC = NAN;
  EXPECT_FALSE(tb::whole_payoffs(pay));
}
