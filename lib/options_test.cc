#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "misc.h"
#include "wrap.h"

namespace {

int count = 10;
double rate = 0.25;
const char *name = "log";
int verbose = 0;

OPTION table[] = {
  { "-count",   OPT_INT,    &count,   "How many." },
  { "-rate",    OPT_DOUBLE, &rate,    "How often." },
  { "-name",    OPT_STRING, &name,    "Which one." },
  { "-verbose", OPT_SWITCH, &verbose, "Say more?" },
  { nullptr,    OPT_NULL,   nullptr,  nullptr }
};

char help_text[] = "A test table.";

void reset() {
  count = 10;
  rate = 0.25;
  name = "log";
  verbose = 0;
}

void parse(std::vector<std::string> words) {
  reset();
  static std::vector<std::string> keep;
  keep = std::move(words);
  keep.insert(keep.begin(), "prog");
  static std::vector<char *> argv;
  argv.clear();
  for (auto &w : keep) argv.push_back(w.data());
  argv.push_back(nullptr);
  get_options(static_cast<int>(keep.size()), argv.data(), table, help_text);
}

std::string wrap(const std::string &text, int indent, int margin, int first) {
  std::string out;
  format_string(out, text.c_str(), indent, margin, first);
  return out;
}

} // namespace

TEST(Options, StoresValuesAsTheCLibraryConvertsThem) {
  parse({});
  EXPECT_EQ(count, 10);
  parse({"-count", "12abc", "-rate", ".5x"});
  EXPECT_EQ(count, 12);
  EXPECT_EQ(rate, 0.5);
  parse({"-count", "abc", "-rate", "-1e3"});
  EXPECT_EQ(count, 0);
  EXPECT_EQ(rate, -1000.0);
  parse({"-count", "-5", "-name", "-help"});
  EXPECT_EQ(count, -5);
  EXPECT_STREQ(name, "-help");
  parse({"-count", "3", "-count", "4"});
  EXPECT_EQ(count, 4);
}

TEST(Options, HoldsOutOfRangeIntegersAtTheNearestLimit) {
  parse({"-count", "99999999999"});
  EXPECT_EQ(count, INT_MAX);
  parse({"-count", "-99999999999999999999999"});
  EXPECT_EQ(count, INT_MIN);
  parse({"-count", "4294967297"}); // would be 1 if truncated to 32 bits
  EXPECT_EQ(count, INT_MAX);
}

TEST(Options, SwitchToggles) {
  parse({"-verbose"});
  EXPECT_EQ(verbose, 1);
  parse({"-verbose", "-verbose"});
  EXPECT_EQ(verbose, 0);
}

TEST(Options, MisuseShowsTheErrorLineThenTheHelpScreen) {
  const char *line = "prog: unknown or incorrectly used option \"%s\"\\.\n"
                     "Usage: prog \\[ options \\]";
  for (const char *word : {"-h", "-hel", "-helpme", "-HELP", "plain", "-coun"}) {
    char expect[200];
    snprintf(expect, sizeof expect, line, word);
    EXPECT_EXIT(parse({word}), testing::ExitedWithCode(1), expect) << word;
  }
  EXPECT_EXIT(parse({"-rate", "1", "-count"}), testing::ExitedWithCode(1),
              "option \"-count\"\\.\nUsage");
  EXPECT_EXIT(parse({"-help"}), testing::ExitedWithCode(1), "^Usage: prog");
}

TEST(Options, HelpScreenShowsTheValuesStoredBeforeIt) {
  EXPECT_EXIT(parse({"-count", "20", "-help"}), testing::ExitedWithCode(1),
              "-count    How many\\. \\(20\\)\n");
  EXPECT_EXIT(parse({"-help", "-count", "20"}), testing::ExitedWithCode(1),
              "-count    How many\\. \\(10\\)\n");
  EXPECT_EXIT(parse({"-verbose", "-name", "x y", "-help"}),
              testing::ExitedWithCode(1),
              "Which one\\. \\(\"x y\"\\)\n.*Say more\\? \\(ON\\)\n\n$");
}

TEST(Options, HelpScreenSurvivesValuesOfAnyLength) {
  std::string huge(10000, 'x');
  huge[5000] = ' ';
  // The long word ends the wrapped entry where it starts, after the
  // continuation indent; the screen goes on and ends normally.
  EXPECT_EXIT(parse({"-name", huge, "-help"}), testing::ExitedWithCode(1),
              "Which one\\.\n {18}-verbose  Say more\\? \\(OFF\\)\n\n$");
}

TEST(Wrap, FitsLinesOfSeventyTwoAndBreaksAtSpaces) {
  std::string exact(71, 'a');
  EXPECT_EQ(wrap(exact, 4, 4, 4), "    " + exact + "\n");
  // A rest exactly as long as the line still breaks at its last space.
  std::string full = std::string(35, 'a') + " " + std::string(36, 'b');
  EXPECT_EQ(wrap(full, 4, 4, 4),
            "    " + std::string(35, 'a') + "\n    " + std::string(36, 'b') + "\n");
  // A trailing space of the last line is dropped.
  EXPECT_EQ(wrap("ab ", 4, 4, 4), "    ab\n");
  EXPECT_EQ(wrap("x", 4, 4, 4), "    x\n");
  EXPECT_EQ(wrap(std::string(71, 'a') + " b", 4, 4, 4),
            "    " + std::string(71, 'a') + "\n    b\n");
}

TEST(Wrap, HandlesEmptyTextLongWordsAndWhiteSpaceAtBreaks) {
  EXPECT_EQ(wrap("", 4, 4, 4), "    ");
  EXPECT_EQ(wrap(std::string(100, 'w') + " tail", 4, 4, 4), "    ");
  EXPECT_EQ(wrap("ab\n", 4, 4, 4), "    ab\n\n");
  // A tab at the break is written before the line break.
  std::string tabbed = std::string(72, 'a');
  tabbed[40] = '\t';
  EXPECT_EQ(wrap(tabbed + "zz", 4, 4, 4),
            "    " + tabbed.substr(0, 41) + "\n    " + tabbed.substr(41) + "zz\n");
  // Leading spaces of later lines are dropped, not those of the first; only
  // the space at the break itself disappears.
  EXPECT_EQ(wrap("  " + std::string(69, 'a') + "     b", 4, 4, 4),
            "      " + std::string(69, 'a') + " \n    b\n");
  // Nothing but spaces after a break: the indentation, no line break.
  EXPECT_EQ(wrap(std::string(71, 'a') + "    ", 4, 4, 4),
            "    " + std::string(71, 'a') + " \n    ");
}

TEST(Wrap, NeverReadsOutsideTheTextWithWideIndents) {
  std::string text(300, 'a');
  for (int i = 10; i < 300; i += 11) text[i] = ' ';
  EXPECT_EQ(wrap(text, 90, 4, 4).substr(0, 4), "    ");
  EXPECT_EQ(wrap(text, 76, 4, 4).substr(0, 4), "    ");
}
