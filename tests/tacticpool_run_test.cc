#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "run_program.h"

namespace {

std::string shares(const std::vector<std::string> &args) {
  auto r = run_program("tacticpool", args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  return r.out;
}

// The five shares of every line; each value must be followed by a tab.
std::vector<std::vector<double>> parse(const std::string &out) {
  std::vector<std::vector<double>> rows;
  for (const auto &line : split_lines(out)) {
    std::vector<double> row;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) row.push_back(std::stod(field));
    EXPECT_EQ(row.size(), 5u) << line;
    EXPECT_EQ(line.back(), '\t');
    rows.push_back(row);
  }
  return rows;
}

} // namespace

TEST(TacticpoolRun, KnownLinesWithoutRandomPlayers) {
  auto out = shares({"-Irand", "0", "-steps", "3"});
  EXPECT_EQ(out,
            "0.250000\t0.250000\t0.000000\t0.250000\t0.250000\t\n"
            "0.231959\t0.255155\t0.000000\t0.244845\t0.268041\t\n"
            "0.214283\t0.261606\t0.000000\t0.239992\t0.284119\t\n");
  // Nothing random is left to draw, so the seed changes nothing.
  auto a = shares({"-Irand", "0", "-steps", "300", "-seed", "1"});
  EXPECT_EQ(a, shares({"-Irand", "0", "-steps", "300", "-seed", "2"}));
  EXPECT_EQ(a.substr(0, out.size()), out);
}

TEST(TacticpoolRun, StepsCountTheLines) {
  EXPECT_EQ(shares({"-steps", "1"}),
            "0.200000\t0.200000\t0.200000\t0.200000\t0.200000\t\n");
  EXPECT_EQ(split_lines(shares({"-steps", "57"})).size(), 57u);
}

TEST(TacticpoolRun, SharesSumToOneAndExtinctionIsForever) {
  auto out = shares({"-steps", "400", "-noise", "0.05", "-Ipav", "0",
                     "-seed", "9", "-Iallc", "2.6"});
  auto rows = parse(out);
  ASSERT_EQ(rows.size(), 400u);
  EXPECT_EQ(rows[0], (std::vector<double>{0.8125, 0.0625, 0.0625, 0.0, 0.0625}));
  for (const auto &row : rows) {
    EXPECT_NEAR(row[0] + row[1] + row[2] + row[3] + row[4], 1.0, 5e-6);
    EXPECT_EQ(row[3], 0.0);
  }
  EXPECT_NE(out, shares({"-steps", "400", "-noise", "0.05", "-Ipav", "0",
                         "-seed", "10", "-Iallc", "2.6"}));
}

TEST(TacticpoolRun, VanishingScoresGiveNotANumberAndStillSucceed) {
  auto rows = parse(shares({"-rounds", "0", "-steps", "3"}));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], std::vector<double>(5, 0.2));
  for (int k = 1; k < 3; k++)
    for (double v : rows[k]) EXPECT_TRUE(std::isnan(v));
}
