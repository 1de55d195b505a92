#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "digits.h"
#include "misc.h"

namespace {

double plain_value(const std::string &s) {
  double v = 0.0;
  for (char c : s) v = 2.0 * v + (c - '0');
  return v;
}

} // namespace

TEST(DigitsValue, SumsExactlyAsTheDoubleLoop) {
  seed_random(21);
  for (int trial = 0; trial < 20000; trial++) {
    int len = static_cast<int>(next_random() % (trial % 50 == 0 ? 1200 : 70));
    std::string s(len, '0');
    // Leading zeros of any length, and runs of ones, move the point where
    // the sum starts to round.
    int zeros = trial % 3 == 0 ? static_cast<int>(next_random() % (len + 1)) : 0;
    bool ones = trial % 5 == 1;
    for (int j = zeros; j < len; j++) s[j] = ones ? '1' : static_cast<char>('0' + next_random() % 2);
    // Now and then a character that is not a binary digit.
    if (len > 0 && trial % 7 == 0) s[next_random() % len] = "2/a\x7f"[trial % 4];
    double fast = digits_value(s.c_str(), len), plain = plain_value(s);
    ASSERT_EQ(memcmp(&fast, &plain, sizeof fast), 0) << s;
  }
  EXPECT_EQ(digits_value("1", 0), 0.0);
  EXPECT_EQ(digits_value("1000000000", 10), 512.0);
}
