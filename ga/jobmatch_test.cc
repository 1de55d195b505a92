#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "jobmatch.h"
#include "kept_globals.h"
#include "permutation.h"
#include "temp_dir.h"

// The problem read is put back too.
class Jobmatch : public testing::Test {
protected:
  Jobmatch() {
    kept.keep(jobmatch::len);
    kept.keep(jobmatch::cost);
  }
  KeptGlobals kept{jobmatch::options};
};
using JobmatchDeathTest = Jobmatch;

namespace {

using Matrix = std::vector<std::vector<double>>;

Matrix read_matrix(const std::string &text) {
  TempDir dir;
  jobmatch::read_specs(dir.file("specs.dat", text).c_str());
  Matrix m;
  for (int r = 0; r < jobmatch::len; r++)
    m.emplace_back(jobmatch::cost[r], jobmatch::cost[r] + jobmatch::len);
  return m;
}

// The highest total of any assignment, by dynamic programming over the sets
// of columns already taken by the rows before.
double best_total(const Matrix &m) {
  int n = static_cast<int>(m.size());
  std::vector<double> best(1u << n, -1e300);
  best[0] = 0;
  for (unsigned used = 0; used < best.size(); used++) {
    int row = __builtin_popcount(used);
    for (int c = 0; c < n && row < n; c++)
      if (!(used & (1u << c)))
        best[used | (1u << c)] = std::max(best[used | (1u << c)], best[used] + m[row][c]);
  }
  return best.back();
}

} // namespace

TEST_F(Jobmatch, ReadsAnyLayoutOfTheNumbers) {
  Matrix example{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  EXPECT_EQ(read_matrix("3\n1 2 3\n4 5 6\n7 8 9\n"), example);
  EXPECT_EQ(read_matrix("# three rows\n3#count\n1\n2\t3 4 5 6\n# x\n7 8 9 10 junk"), example);
  int dna[] = {2, 1, 0};
  EXPECT_EQ(jobmatch::task_cost(dna), 15);
  EXPECT_EQ(read_matrix("2 x -4 2.9 +7"), (Matrix{{0, -4}, {2, 7}}));
  // Totals right at the ends of the int range are still exact.
  read_matrix("2 2147483647 0 0 -2147483648");
  int diagonal[] = {0, 1}, crossed[] = {1, 0};
  EXPECT_EQ(jobmatch::task_cost(diagonal), -1);
  EXPECT_EQ(jobmatch::task_cost(crossed), 0);
  EXPECT_EQ(read_matrix("1 2147483647"), Matrix{{2147483647.0}});
}

// Empty, short and unreadable files and the largest counts are run end to end.
TEST_F(Jobmatch, RandomSolutionShufflesWithLenMinusOneDraws) {
  jobmatch::len = 6;
  seed_random(9);
  std::vector<long> draws;
  for (int i = 0; i < 6; i++) draws.push_back(next_random());
  int expect[] = {0, 1, 2, 3, 4, 5};
  for (int k = 0; k < 5; k++) std::swap(expect[k], expect[k + draws[k] % (6 - k)]);
  seed_random(9);
  int dna[6];
  jobmatch::random_solution(dna);
  EXPECT_TRUE(std::equal(dna, dna + 6, expect));
  EXPECT_EQ(next_random(), draws[5]);
}

TEST_F(Jobmatch, FitnessDoublesPerUnitOfTotal) {
  read_matrix("2 3 0 0 0");
  int diagonal[] = {0, 1}, crossed[] = {1, 0};
  int *pop[] = {crossed, diagonal, diagonal, crossed};
  double totals[4], fitness[4];
  jobmatch::size = 4;
  jobmatch::pbase = 2.0;
  jobmatch::compute_fitness(pop, totals, fitness);
  EXPECT_EQ(totals[0], 0.0);
  EXPECT_EQ(totals[1], 3.0);
  EXPECT_EQ(fitness[0], 1.0 / 18);
  EXPECT_EQ(fitness[1], 8.0 / 18);
  jobmatch::pbase = 1e300; // overflows to inf: weights not numbers and 0
  jobmatch::compute_fitness(pop, totals, fitness);
  EXPECT_TRUE(std::isnan(fitness[1]));
  EXPECT_EQ(fitness[0], 0.0);
}

TEST_F(Jobmatch, BreedingKeepsEveryChildAPermutation) {
  const int n = 9;
  jobmatch::len = n;
  int p0[n] = {0, 1, 2, 3, 4, 5, 6, 7, 8}, p1[n] = {8, 6, 4, 2, 0, 1, 3, 5, 7};
  int c0[n], c1[n];
  int *parents[] = {p0, p1}, *children[] = {c0, c1};
  jobmatch::crate = 1.0;
  for (int seed = 0; seed < 200; seed++) {
    seed_random(seed);
    jobmatch::mrate = 0.0;
    jobmatch::reproduce(parents, children, 0, 1, 0);
    // Crossover alone moves at most two elements of each child, and the
    // first child takes the second parent's element at the crossing point.
    int moved = 0, taken = 0;
    for (int m = 0; m < n; m++) {
      moved += (c0[m] != p0[m]) + (c1[m] != p1[m]);
      taken += c0[m] == p1[m];
    }
    EXPECT_LE(moved, 4);
    EXPECT_GE(taken, 1);
    jobmatch::mrate = 0.5;
    jobmatch::reproduce(parents, children, 1, 0, 0);
    ASSERT_TRUE(is_permutation_from({c0, c0 + n}, n, 0) &&
                is_permutation_from({c1, c1 + n}, n, 0))
        << seed;
  }
}

TEST_F(Jobmatch, StatisticsBlockReportsTheFirstHighestTotal) {
  jobmatch::len = 3;
  jobmatch::size = 4;
  int a[] = {0, 1, 2}, b[] = {2, 0, 1};
  int *pop[] = {a, b, a, b};
  double totals[] = {4, 9, 9, 2};
  testing::internal::CaptureStdout();
  jobmatch::dump_stats(7, pop, totals);
  // With every total at -1 or below the first highest is still reported.
  double negative[] = {-8, -3, -3, -9};
  jobmatch::dump_stats(8, pop, negative);
  out_flush();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "---\ntime = 7\naverage value = 6.000000\n"
            "best DNA      = 3, 1, 2\nbest score    = 9\n"
            "---\ntime = 8\naverage value = -5.750000\n"
            "best DNA      = 3, 1, 2\nbest score    = -3\n");
}

TEST_F(Jobmatch, SampleFileStatesItsBestTotal) {
  std::string path = std::string(SOURCE_DIR) + "/data/hop1.dat";
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  size_t at = text.str().find("The best total is ");
  ASSERT_NE(at, std::string::npos);
  double stated = atof(text.str().c_str() + at + 18);
  Matrix m = read_matrix(text.str());
  EXPECT_GE(m.size(), 10u);
  EXPECT_EQ(best_total(m), stated);
}

namespace {

// Breeding written out draw by draw, as the fast version must behave.
void breed_plainly(const int *pa, const int *pb, int *a, int *b) {
  using jobmatch::len;
  std::copy(pa, pa + len, a);
  std::copy(pb, pb + len, b);
  if (random_range(0.0, 1.0) < jobmatch::crate) {
    int x = static_cast<int>(next_random() % len), p = 0;
    while (a[p] != b[x]) p++;
    std::swap(a[x], a[p]);
    std::swap(b[x], b[p]);
  }
  for (int m = 0; m < len; m++) {
    if (random_range(0.0, 1.0) < jobmatch::mrate) std::swap(a[m], a[next_random() % len]);
    if (random_range(0.0, 1.0) < jobmatch::mrate) std::swap(b[m], b[next_random() % len]);
  }
}

} // namespace

TEST_F(Jobmatch, FastStartAndBreedingMatchTheDrawByDrawWay) {
  const double rates[] = {0.0, 1e-300, 0.01, 0.3, 1.0, NAN};
  for (int trial = 0; trial < 300; trial++) {
    seed_random(trial);
    jobmatch::len = 1 + static_cast<int>(next_random() % 60);
    jobmatch::size = 2 * (1 + static_cast<int>(next_random() % 4));
    jobmatch::crate = rates[next_random() % 6];
    jobmatch::mrate = rates[next_random() % 6];
    int n = jobmatch::size, len = jobmatch::len;
    std::vector<int *> oldpop(n), newpop(n);
    // The start: every individual shuffled 2 x len times, the last one kept.
    RANDOM_STATE start = random_state;
    jobmatch::initialize(oldpop.data(), newpop.data());
    long following = next_random();
    random_state = start;
    for (int i = 0; i < n; i++) {
      std::vector<int> dna(len);
      for (int k = 0; k < 2 * len; k++) jobmatch::random_solution(dna.data());
      ASSERT_EQ(std::vector<int>(oldpop[i], oldpop[i] + len), dna) << "trial " << trial;
    }
    ASSERT_EQ(next_random(), following) << "trial " << trial;
    // Breeding, from the same stream position, with the children's totals
    // carried from their parents', with entries small and near the int range.
    std::string matrix = std::to_string(len);
    const long scale = trial % 2 ? 1 : INT_MAX / 4 / len;
    for (int e = 0; e < len * len; e++) {
      long entry = (static_cast<long>(next_random() % 9) - 4) * scale;
      matrix.append(" ").append(std::to_string(entry));
    }
    read_matrix(matrix);
    std::vector<double> parent_totals(n), child_totals(n);
    for (int i = 0; i < n; i++) parent_totals[i] = jobmatch::task_cost(oldpop[i]);
    std::vector<int> a(len), b(len);
    start = random_state;
    breed_plainly(oldpop[0], oldpop[n - 1], a.data(), b.data());
    following = next_random();
    random_state = start;
    jobmatch::reproduce(oldpop.data(), newpop.data(), 0, n - 1, 0, parent_totals.data(),
                        child_totals.data());
    ASSERT_EQ(std::vector<int>(newpop[0], newpop[0] + len), a) << "trial " << trial;
    ASSERT_EQ(std::vector<int>(newpop[1], newpop[1] + len), b) << "trial " << trial;
    ASSERT_EQ(next_random(), following) << "trial " << trial;
    ASSERT_EQ(child_totals[0], jobmatch::task_cost(newpop[0])) << "trial " << trial;
    ASSERT_EQ(child_totals[1], jobmatch::task_cost(newpop[1])) << "trial " << trial;
    free(oldpop[0]); // each population is one block
    free(newpop[0]);
  }
}

TEST_F(JobmatchDeathTest, RefusesCountsAndEntriesItCannotUse) {
  for (const char *text : {"0 5", "x 5", "# only a comment\n", "1 2147483648", "1 -2147483649",
                           "2 2000000000 0 0 200000000", "2 -2000000000 0 0 -200000000"})
    EXPECT_EXIT(read_matrix(text), testing::ExitedWithCode(1),
                "^Problem found in specification file.\n$") << text;
  EXPECT_EXIT(read_matrix("-3 1 2"), testing::ExitedWithCode(1),
              "^malloc failed to get -24 bytes.\n$");
  EXPECT_EXIT(read_matrix("99999999999"), testing::ExitedWithCode(1),
              "^malloc failed to get 17179869176 bytes.\n$");
}
