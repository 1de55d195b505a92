#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "permutation.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

struct Block {
  int time, score;
  double average;
  std::vector<int> dna; // 1-based columns, as printed
};

// Parses the five-line statistics blocks, failing the test on any other shape.
std::vector<Block> blocks(const std::string &out) {
  std::vector<Block> result;
  for (const auto &s : stat_blocks(out, 5)) {
    Block b{s.time, 0, 0, {}};
    EXPECT_EQ(sscanf(s.lines[0].c_str(), "average value = %lf", &b.average), 1);
    const std::string label = "best DNA      = ";
    EXPECT_EQ(s.lines[1].compare(0, label.size(), label), 0);
    std::istringstream dna(s.lines[1].substr(label.size()));
    for (int c; dna >> c; dna.ignore(1)) b.dna.push_back(c);
    EXPECT_EQ(sscanf(s.lines[2].c_str(), "best score    = %d", &b.score), 1);
    result.push_back(b);
  }
  return result;
}

// The numbers of a specification file, comments left out.
std::vector<int> numbers(const std::string &path) {
  std::ifstream in(path);
  std::vector<int> v;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    for (int x; words >> x;) v.push_back(x);
  }
  return v;
}

} // namespace

TEST(JobmatchRun, DefaultRunReadsTheSampleAndPrintsValidAssignments) {
  auto r = run_program("jobmatch", {}, SOURCE_DIR);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, run_program("jobmatch", {}, SOURCE_DIR).out);
  auto spec = numbers(std::string(SOURCE_DIR) + "/data/hop1.dat");
  int n = spec[0];
  auto b = blocks(r.out);
  ASSERT_EQ(b.size(), 30u);
  for (int t = 0; t < 30; t++) {
    EXPECT_EQ(b[t].time, t);
    ASSERT_TRUE(is_permutation_from(b[t].dna, n, 1)) << r.out;
    int total = 0;
    for (int row = 0; row < n; row++) total += spec[1 + row * n + b[t].dna[row] - 1];
    EXPECT_EQ(b[t].score, total);
    EXPECT_LE(b[t].average, b[t].score);
  }
}

TEST(JobmatchRun, SmallProblemsGiveTheirTotals) {
  TempDir dir;
  // Every assignment of this matrix totals 3 + 5 + 7 = 15.
  auto r = run_program("jobmatch", {"-specs", dir.file("a", "3\n1 2 3\n4 5 6\n7 8 9\n"),
                                    "-size", "7", "-gens", "4"});
  ASSERT_EQ(r.status, 0);
  for (const auto &b : blocks(r.out)) {
    EXPECT_EQ(b.score, 15);
    EXPECT_EQ(b.average, 15.0);
    EXPECT_TRUE(is_permutation_from(b.dna, 3, 1));
  }
  // All totals negative: the first highest is still reported.
  r = run_program("jobmatch", {"-specs", dir.file("b", "2 -5 -9 -9 -6"), "-gens", "1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(split_lines(r.out)[4], "best score    = -11");
  // Weights that overflow to inf still run to the end.
  r = run_program("jobmatch", {"-specs", dir.file("c", "2 9 0 0 9"), "-pbase", "1e300"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(blocks(r.out).size(), 30u);
}

TEST(JobmatchRun, FailuresPrintOneMessageAndNothingElse) {
  TempDir dir;
  const std::string problem = "Problem found in specification file.\n";
  struct Case { std::vector<std::string> args; std::string err; };
  const Case cases[] = {
    {{"-specs", dir.file("empty", "")}, problem},
    {{"-specs", dir.file("short", "2\n1 2\n3\n")}, problem},
    {{"-specs", dir.file("zero", "0\n")}, problem},
    {{"-specs", dir.path + "/missing"},
     "Cannot open specification file \"" + dir.path + "/missing\".\n"},
    {{"-specs", dir.file("huge", "2147483647\n")}, "malloc failed to get 17179869176 bytes.\n"},
  };
  for (const auto &c : cases) {
    auto r = run_program("jobmatch", c.args, SOURCE_DIR);
    EXPECT_EQ(r.status, 1) << c.args[1];
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}
