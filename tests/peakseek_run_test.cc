#include <gtest/gtest.h>

#include <cmath>
#include <sys/wait.h>

#include "run_program.h"

namespace {

const char *help_screen =
    "Usage: peakseek [ options ]\n"
    "\n"
    "    Use a genetic algorithm to find the maximum of a single-humped function\n"
    "    that is centered at a user-specified location.  This program serves as\n"
    "    an example of how GAs can be used to optimize functions which take a\n"
    "    floating point argument. Reproduction of strings entails crossover and\n"
    "    mutation with strings being selected based on fitness.\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -target  Target value for function. (0.5)\n"
    "    -var     Variance of bump. (1)\n"
    "    -size    Population size. (10)\n"
    "    -len     DNA length. (16)\n"
    "    -gens    Number of generations. (50)\n"
    "    -seed    Random seed. (0)\n"
    "    -crate   Crossover rate. (0.25)\n"
    "    -mrate   Mutation rate. (0.01)\n"
    "\n";

struct Block {
  int time;
  double average, x, value;
  std::string dna;
};

// Parses the six-line statistics blocks, failing the test on any other shape.
std::vector<Block> blocks(const std::string &out) {
  std::vector<Block> result;
  for (const auto &s : stat_blocks(out, 6)) {
    Block b{s.time, 0, 0, 0, ""};
    char dna[4096] = "";
    EXPECT_EQ(sscanf(s.lines[0].c_str(), "average value = %lf", &b.average), 1);
    EXPECT_EQ(sscanf(s.lines[1].c_str(), "best x = %lf", &b.x), 1);
    EXPECT_EQ(sscanf(s.lines[2].c_str(), "best DNA = \"%4095[01]\"", dna), 1);
    EXPECT_EQ(sscanf(s.lines[3].c_str(), "best value = %lf", &b.value), 1);
    b.dna = dna;
    result.push_back(b);
  }
  return result;
}

} // namespace

TEST(PeakseekRun, HelpScreenIsExact) {
  expect_help_screen("peakseek", help_screen);
  auto bad = run_program("peakseek", {"-size"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, std::string("peakseek: unknown or incorrectly used option "
                                 "\"-size\".\n") + help_screen);
}

TEST(PeakseekRun, SameSeedSameOutputOtherSeedOtherOutput) {
  expect_seed_decides("peakseek", {"-gens", "20"});
  EXPECT_EQ(run_program("peakseek", {"-gens", "2"}).err, "");
}

TEST(PeakseekRun, BlocksHaveTheirShapeAndReportTheFirstBest) {
  auto r = run_program("peakseek", {"-gens", "30", "-len", "9", "-seed", "3"});
  ASSERT_EQ(r.status, 0);
  auto b = blocks(r.out);
  ASSERT_EQ(b.size(), 30u);
  for (int t = 0; t < 30; t++) {
    EXPECT_EQ(b[t].time, t);
    EXPECT_EQ(b[t].dna.size(), 9u);
    EXPECT_LE(b[t].average, b[t].value);
    EXPECT_GT(b[t].value, 0.77);
  }
  // A population that converges on one genome reports the best exactly.
  auto top = run_program("peakseek", {"-gens", "200", "-size", "40", "-mrate", "0"});
  auto last = blocks(top.out).back();
  EXPECT_NEAR(last.value, std::exp(-(last.x - 0.5) * (last.x - 0.5)), 1e-6);
}

TEST(PeakseekRun, AveragesOverTheRoundedSize) {
  // With one genome doubled in a population of two, the average is exact.
  auto r = run_program("peakseek", {"-size", "1", "-gens", "1", "-len", "2",
                                    "-target", "0", "-var", "1e300"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(split_lines(r.out)[2], "average value = 1.000000");
  auto seven = run_program("peakseek", {"-size", "7", "-gens", "1"});
  auto eight = run_program("peakseek", {"-size", "8", "-gens", "1"});
  EXPECT_EQ(seven.out, eight.out);
}

TEST(PeakseekRun, ZeroGenerationsPrintNothing) {
  for (const char *g : {"0", "-5"}) {
    auto r = run_program("peakseek", {"-gens", g});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }
}

TEST(PeakseekRun, UnusableParametersAreRefusedBeforeAnyOutput) {
  struct Case { std::vector<std::string> args; std::string err; };
  const Case cases[] = {
    {{"-size", "0"}, "peakseek: -size must be from 1 to 2147483646.\n"},
    {{"-size", "-1"}, "peakseek: -size must be from 1 to 2147483646.\n"},
    {{"-len", "1"}, "peakseek: -len must be from 2 to 2147483646.\n"},
    {{"-len", "-4"}, "peakseek: -len must be from 2 to 2147483646.\n"},
    {{"-size", "-6"}, "malloc failed to get -48 bytes.\n"},
    {{"-size", "536870913"}, "malloc failed to get 4294967312 bytes.\n"},
    {{"-size", "2000000000", "-len", "100"}, "malloc failed to get 16000000000 bytes.\n"},
  };
  for (const auto &c : cases) {
    auto r = run_program("peakseek", c.args);
    EXPECT_EQ(r.status, 1) << c.args[0];
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

TEST(PeakseekRun, NotANumberFitnessStillEndsCleanly) {
  auto r = run_program("peakseek", {"-target", "nan", "-gens", "2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("best DNA = \"\"\nbest value = -nan\n"), std::string::npos);
}

TEST(PeakseekRun, FailureToWriteIsReported) {
  std::string cmd = std::string(BIN_DIR) + "/peakseek > /dev/full 2>/dev/null";
  int status = system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}
