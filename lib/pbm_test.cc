#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "misc.h"
#include "temp_dir.h"

namespace {

using Rows = std::vector<std::vector<int>>;

// Reads a PBM file holding `text`; `err` receives what went to stderr.
Rows read_pbm(const std::string &text, std::string *err = nullptr) {
  TempDir dir;
  std::string path = dir.file("image.pbm", text);
  int width = -1, height = -1;
  testing::internal::CaptureStderr();
  int **rows = read_pbm_file(path.c_str(), &width, &height);
  std::string captured = testing::internal::GetCapturedStderr();
  if (err) *err = captured;
  Rows result;
  for (int r = 0; r < height; r++) result.emplace_back(rows[r], rows[r] + width);
  return result;
}

} // namespace

TEST(PbmReader, ReadsDigitsInAnyLayoutWithComments) {
  Rows diagonal{{0, 1}, {1, 0}};
  std::string err;
  EXPECT_EQ(read_pbm("P1\n2 2\n0110\n", &err), diagonal);
  EXPECT_EQ(err, "");
  EXPECT_EQ(read_pbm("# made by hand\nP1 # magic\n2\n# height next\n2 0 1 #x\n\n1\n0"),
            diagonal);
  EXPECT_EQ(read_pbm("P1 3 1 1\t0 1"), (Rows{{1, 0, 1}}));
  EXPECT_EQ(read_pbm("P1 4 0"), Rows{});
  EXPECT_EQ(read_pbm("P1"), Rows{}); // missing sizes read as 0
}

TEST(PbmReader, ReportsBadAndMissingPixelsAndReadsOn) {
  std::string err;
  EXPECT_EQ(read_pbm("P1 3 1 abc 1", &err), (Rows{{'a' - '0', 1, -48}}));
  EXPECT_EQ(err, std::string("error: (0, 0) read ascii(97) = 'a'\n"
                             "error: (0, 2) read ascii(0) = '") + '\0' + "'\n");
  EXPECT_EQ(read_pbm("P1 2 2 0 1 1", &err), (Rows{{0, 1}, {1, -48}}));
  EXPECT_EQ(err, std::string("error: (1, 1) read ascii(0) = '") + '\0' + "'\n");
}

TEST(PbmReaderDeathTest, RefusesWhatItCannotRead) {
  TempDir dir;
  int w, h;
  auto read = [&](const std::string &text) {
    read_pbm_file(dir.file("x.pbm", text).c_str(), &w, &h);
  };
  EXPECT_EXIT(read("P10 1 1 0"), testing::ExitedWithCode(1),
              "^File \".*/x.pbm\" is not a pbm file.\n$");
  EXPECT_EXIT(read(""), testing::ExitedWithCode(1), "is not a pbm file");
  EXPECT_EXIT(read_pbm_file("/nonexistent/a.pbm", &w, &h), testing::ExitedWithCode(1),
              "^Unable to open \"/nonexistent/a.pbm\":: No such file or directory\n$");
  EXPECT_EXIT(read("P1 2 -2"), testing::ExitedWithCode(1), "^malloc failed to get -16 bytes.\n$");
  EXPECT_EXIT(read("P1 -2 1"), testing::ExitedWithCode(1), "^malloc failed to get -8 bytes.\n$");
  EXPECT_EXIT(read("P1 99999999999 1"), testing::ExitedWithCode(1),
              "^malloc failed to get 8589934588 bytes.\n$");
}
