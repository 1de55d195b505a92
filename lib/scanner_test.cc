#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "misc.h"

namespace {

// A stream holding `text`, read from its start.
FILE *stream(const std::string &text) {
  FILE *f = tmpfile();
  fwrite(text.data(), 1, text.size(), f);
  rewind(f);
  return f;
}

// Every token up to the end of the input (the first empty one).
std::vector<std::string> tokens(const std::string &text, const char *singles = "",
                                const char *delimiters = " \t\n",
                                const char *comments = "#") {
  SCANNER *s = scan_init(stream(text), singles, delimiters, comments);
  std::vector<std::string> out;
  for (std::string t = scan_get(s); !t.empty(); t = scan_get(s)) out.push_back(t);
  return out;
}

using V = std::vector<std::string>;

} // namespace

TEST(Scanner, SplitsOnDelimitersSinglesAndComments) {
  EXPECT_EQ(tokens("7#note 8\n9"), (V{"7", "9"}));
  EXPECT_EQ(tokens("  # all comment\n\n\t\n"), V{});
  EXPECT_EQ(tokens(""), V{});
  EXPECT_EQ(tokens("a,b ,c", ","), (V{"a", ",", "b", ",", "c"}));
  EXPECT_EQ(tokens("0110 1", "01"), (V{"0", "1", "1", "0", "1"}));
  // Characters in no set belong to tokens; a last line needs no newline.
  EXPECT_EQ(tokens("a\tb\r\nc d", "", " \n"), (V{"a\tb\r", "c", "d"}));
  // Newline ends a line even when it is listed as a single.
  EXPECT_EQ(tokens("x\ny\n", "\n", " "), (V{"x", "y"}));
}

TEST(Scanner, ReadsOverlongLinesIn255CharacterPieces) {
  std::string x300(300, 'x'), z255(255, 'z');
  EXPECT_EQ(tokens(x300 + " tail\n"), (V{std::string(255, 'x'), std::string(45, 'x'), "tail"}));
  // The rest of an over-long comment line is read as ordinary text.
  EXPECT_EQ(tokens("#" + std::string(260, 'y') + "\nnext"), (V{"yyyyyy", "next"}));
  V exact = tokens(z255 + "\n" + z255);
  ASSERT_EQ(exact.size(), 2u);
  EXPECT_EQ(exact[0], z255);
  EXPECT_EQ(exact[1], z255);
}

TEST(Scanner, PeekLeavesTheTokenAndFlushDropsTheLine) {
  SCANNER *s = scan_init(stream("\n# c\n  a b c\n\n# x\nd e"), "", " \n", "#");
  EXPECT_STREQ(scan_peek(s), "a");
  EXPECT_STREQ(scan_peek(s), "a");
  EXPECT_STREQ(scan_get(s), "a");
  EXPECT_STREQ(scan_peek(s), "b");
  scan_flush(s);
  EXPECT_STREQ(scan_get(s), "d");
  EXPECT_STREQ(scan_get(s), "e");
  for (int i = 0; i < 3; i++) EXPECT_STREQ(scan_get(s), "");
  EXPECT_STREQ(scan_peek(s), "");
}
