#include <gtest/gtest.h>

#include <cmath>
#include <sys/wait.h>

#include "run_program.h"

namespace {

std::vector<DigitBlock> blocks(const std::string &out) {
  return digit_blocks(out, "best x = %lf");
}

} // namespace

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

TEST(PeakseekRun, NotANumberFitnessStillEndsCleanly) {
  auto r = run_program("peakseek", {"-target", "nan", "-gens", "2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("best DNA = \"\"\nbest value = -nan\n"), std::string::npos);
}

TEST(PeakseekRun, ATerminalIsShownEachLineWhenItIsComplete) {
  // Stopped after a second of processor time, far from filling a 64 KiB
  // block: the first statistics blocks are shown, and no partial line.
  auto shown = run_on_terminal("peakseek", {"-size", "200000", "-gens", "100000"}, 1);
  ASSERT_EQ(shown.rfind("---\ntime = 0\naverage value = ", 0), 0u) << shown;
  EXPECT_EQ(shown.back(), '\n');
}

TEST(PeakseekRun, FailureToWriteIsReported) {
  std::string cmd = std::string(BIN_DIR) + "/peakseek > /dev/full 2>/dev/null";
  int status = system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}
