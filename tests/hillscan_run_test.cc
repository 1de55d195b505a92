#include <gtest/gtest.h>

#include <cmath>

#include "hillscan.h"
#include "run_program.h"

namespace {

std::vector<DigitBlock> blocks(const std::string &out) {
  return digit_blocks(out, "best (x, y) = (%lf, %lf)");
}

// A half of the DNA as the program decodes it.
double decode(const std::string &half) {
  double v = 0;
  for (char c : half) v = 2 * v + (c - '0');
  return v / std::pow(2.0, half.size()) * 8 - 4;
}

} // namespace

TEST(HillscanRun, SameSeedSameOutputOtherSeedOtherOutput) {
  expect_seed_decides("hillscan", {"-gens", "20"});
  EXPECT_EQ(run_program("hillscan", {"-gens", "2"}).err, "");
}

TEST(HillscanRun, BlocksReportTheBestGenomeAndItsPoint) {
  for (const char *len : {"16", "5", "1"}) {
    auto r = run_program("hillscan", {"-gens", "25", "-len", len, "-seed", "3"});
    ASSERT_EQ(r.status, 0);
    auto b = blocks(r.out);
    ASSERT_EQ(b.size(), 25u);
    size_t n = std::stoul(len);
    for (int t = 0; t < 25; t++) {
      EXPECT_EQ(b[t].time, t);
      ASSERT_EQ(b[t].dna.size(), 2 * n);
      EXPECT_NEAR(b[t].x, decode(b[t].dna.substr(0, n)), 1e-6);
      EXPECT_NEAR(b[t].y, decode(b[t].dna.substr(n)), 1e-6);
      EXPECT_NEAR(b[t].value, hillscan::surface(b[t].x, b[t].y), 1e-6);
      EXPECT_LE(b[t].average, b[t].value);
    }
  }
  // Two digits reach only (-4 or 0, -4 or 0); a crowd soon finds the origin.
  auto r = run_program("hillscan", {"-len", "1", "-size", "30", "-gens", "10"});
  auto last = blocks(r.out).back();
  EXPECT_EQ(last.dna, "11");
  EXPECT_EQ(last.value, 1.0);
  // Halves longer than a double's exponent range still decode to numbers.
  auto wide = run_program("hillscan", {"-len", "1100", "-gens", "2"});
  EXPECT_EQ(wide.status, 0);
  EXPECT_EQ(blocks(wide.out).size(), 2u);
  EXPECT_EQ(wide.out.find("nan"), std::string::npos);
}

