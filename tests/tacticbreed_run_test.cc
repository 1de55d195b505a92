#include <gtest/gtest.h>

#include <cstdio>

#include "misc.h"
#include "run_program.h"

namespace {

struct Block {
  int time;
  double average, best;
  std::string table;
};

// Parses the five-line statistics blocks, failing the test on any other shape.
std::vector<Block> blocks(const std::string &err) {
  std::vector<Block> result;
  for (const auto &s : stat_blocks(err, 5)) {
    Block b{s.time, 0, 0, ""};
    EXPECT_EQ(sscanf(s.lines[0].c_str(), "average score = %lf", &b.average), 1);
    EXPECT_EQ(sscanf(s.lines[1].c_str(), "best average score = %lf", &b.best), 1);
    EXPECT_EQ(s.lines[2].rfind("best = ", 0), 0u);
    b.table = s.lines[2].substr(7);
    result.push_back(b);
  }
  return result;
}

// Every line is a table of `length` moves.
void expect_tables(const std::string &out, size_t lines, size_t length) {
  auto tables = split_lines(out);
  ASSERT_EQ(tables.size(), lines);
  for (const auto &t : tables) {
    EXPECT_EQ(t.size(), length);
    EXPECT_EQ(t.find_first_not_of("CD"), std::string::npos) << t;
  }
}

} // namespace

TEST(TacticbreedRun, ZeroGenerationsDumpTheRandomFirstGeneration) {
  auto r = run_program("tacticbreed", {"-gens", "0", "-dump", "-size", "7",
                                       "-seed", "11"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  expect_tables(r.out, 8, 5);
  std::string expected;
  seed_random(11);
  for (int i = 0; i < 8; i++) {
    for (int m = 0; m < 5; m++) expected += static_cast<char>('C' + next_random() % 2);
    expected += '\n';
  }
  EXPECT_EQ(r.out, expected);
  for (const char *h : {"2", "3"}) {
    auto t = run_program("tacticbreed", {"-gens", "0", "-dump", "-hlen", h});
    expect_tables(t.out, 100, h[0] == '2' ? 21 : 85);
  }
}

TEST(TacticbreedRun, StatisticsGoToStandardErrorAndTheDumpToOutput) {
  auto r = run_program("tacticbreed", {"-gens", "6", "-size", "20", "-hlen", "2",
                                       "-dump", "-seed", "5"});
  ASSERT_EQ(r.status, 0);
  expect_tables(r.out, 20, 21);
  auto b = blocks(r.err);
  ASSERT_EQ(b.size(), 6u);
  for (int t = 0; t < 6; t++) {
    EXPECT_EQ(b[t].time, t);
    EXPECT_EQ(b[t].table.size(), 21u);
    EXPECT_LE(b[t].average, b[t].best);
    EXPECT_GE(b[t].best, 0.0);
    EXPECT_LE(b[t].best, 5.0);
  }
  auto again = run_program("tacticbreed", {"-gens", "6", "-size", "20", "-hlen",
                                           "2", "-dump", "-seed", "5"});
  EXPECT_EQ(again.out, r.out);
  EXPECT_EQ(again.err, r.err);
  auto other = run_program("tacticbreed", {"-gens", "6", "-size", "20", "-hlen",
                                           "2", "-dump", "-seed", "6"});
  EXPECT_NE(other.err, r.err);
}

TEST(TacticbreedRun, OddSizesAreRoundedUp) {
  auto seven = run_program("tacticbreed", {"-size", "7", "-gens", "3", "-dump"});
  auto eight = run_program("tacticbreed", {"-size", "8", "-gens", "3", "-dump"});
  EXPECT_EQ(seven.out, eight.out);
  EXPECT_EQ(seven.err, eight.err);
  expect_tables(seven.out, 8, 5);
}

TEST(TacticbreedRun, ExtremePayoffsAndNoiseStillRunToTheEnd) {
  const std::vector<std::vector<std::string>> cases = {
    {"-CC", "1e300"}, {"-CC", "-1e300", "-DD", "1e300"}, {"-DC", "inf"},
    {"-CC", "nan"}, {"-CC", "-1", "-CD", "-3", "-DC", "0", "-DD", "-2"},
    {"-CC", "0", "-DC", "0", "-DD", "0"}, {"-noise", "1"}, {"-noise", "nan"},
    {"-crate", "1", "-mrate", "1"},
  };
  for (auto args : cases) {
    args.insert(args.end(), {"-gens", "4", "-size", "10", "-dump"});
    auto r = run_program("tacticbreed", args);
    EXPECT_EQ(r.status, 0) << args[0] << ' ' << args[1];
    EXPECT_EQ(blocks(r.err).size(), 4u);
    expect_tables(r.out, 10, 5);
  }
  // Truncated payoffs: mutual cooperation pays 3 per round.
  auto r = run_program("tacticbreed", {"-CC", "3.7", "-CD", "3.9", "-DC", "3.2",
                                       "-DD", "3", "-gens", "1"});
  EXPECT_EQ(split_lines(r.err)[2], "average score = 3.000000");
}
