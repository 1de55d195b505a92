#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "misc.h"

namespace {

std::string fixed(double v) {
  char buf[400];
  return std::string(buf, put_fixed(buf, v));
}

// What printf writes, except that every NaN is "-nan", whatever its sign.
std::string printf_fixed(double v) {
  char buf[400];
  snprintf(buf, sizeof buf, "%f", v);
  return std::isnan(v) ? "-nan" : buf;
}

double from_bits(uint64_t bits) {
  double v;
  memcpy(&v, &bits, sizeof v);
  return v;
}

} // namespace

TEST(PutFixed, MatchesPrintfOnSpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double special[] = {0.0, -0.0, inf, -inf, NAN, -NAN, from_bits(0x7ff0000000000001),
                            from_bits(0xfff8000000000001), 1e300, -1e300,
                            1e12, 999999999999.9999, 1e-7, 5e-7, -4e-7,
                            0.0078125, 0.0234375, 2.5e-6, 1.0 / 3, 0.5,
                            4.9e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
                            123456.0000005, 0.0000005, 0.0000015, 9.9999995};
  for (double v : special) EXPECT_EQ(fixed(v), printf_fixed(v)) << v;
}

TEST(PutFixed, MatchesPrintfOnManyDoubles) {
  std::mt19937_64 gen(12345);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 4000000; i++) {
    double v;
    switch (i % 16 < 4 ? i % 16 : 3) {
    case 0: v = from_bits(gen()); break;                     // any pattern
    case 1: v = (unit(gen) - 0.5) * std::pow(10.0, i % 30 - 15); break;
    case 2: v = std::ldexp(static_cast<double>(gen() % 2000001) - 1000000, -(int)(gen() % 30)); break;
    default: v = static_cast<double>(static_cast<int64_t>(gen() % 2000000001) - 1000000000) / 1e6 + (gen() % 3 - 1) * 5e-7; break;
    }
    std::string ours = fixed(v), theirs = printf_fixed(v);
    if (ours != theirs) {
      ADD_FAILURE() << std::hexfloat << v << ": " << ours << " vs " << theirs;
      return;
    }
  }
}

TEST(OutputBlock, WritesWhatPrintfWouldWithSignAndIntegers) {
  testing::internal::CaptureStdout();
  out_fixed(-0.0);
  out_bytes("\t", 1);
  out_fixed_sign(0.25);
  out_fixed_sign(-NAN);
  out_fixed_sign(NAN);
  out_bytes("|", 1);
  out_int(-2147483648LL);
  out_int(0);
  for (int i = 0; i < 20000; i++) out_fixed(i); // more than one block
  out_flush();
  std::string got = testing::internal::GetCapturedStdout();
  std::string expect = "-0.000000\t 0.250000-nan-nan|-21474836480";
  char buf[64];
  for (int i = 0; i < 20000; i++) {
    snprintf(buf, sizeof buf, "%f", static_cast<double>(i));
    expect += buf;
  }
  EXPECT_EQ(got, expect);
}

TEST(OutputBlock, IntegersAndCharactersAsPrintfWritesThem) {
  std::mt19937_64 gen(99);
  std::vector<long long> values = {0, 9, 10, 99, 100, 101, -1, -10, -99, -100,
                                   INT64_MAX, INT64_MIN, INT64_MIN + 1};
  for (long long p = 1;; p *= 10) { // every power of ten up to 10^18
    for (long long v : {p - 1, p, p + 1, -p}) values.push_back(v);
    if (p > INT64_MAX / 10) break;
  }
  for (int i = 0; i < 100000; i++)
    values.push_back(static_cast<long long>(gen()) >> (gen() % 64));
  testing::internal::CaptureStdout();
  std::string expect;
  char buf[32];
  for (long long v : values) {
    out_int(v);
    out_char(v % 2 ? '\t' : '\n');
    snprintf(buf, sizeof buf, "%lld%c", v, v % 2 ? '\t' : '\n');
    expect += buf;
  }
  out_flush();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), expect);
}

TEST(OutputBlock, LineModeWritesEachCompletedLineAtOnce) {
  testing::internal::CaptureStdout();
  out_set_line_mode(true);
  out_text("one\ntw");
  out_fixed(0.5);
  std::string early = testing::internal::GetCapturedStdout();
  testing::internal::CaptureStdout();
  out_char('\n');
  out_advance(put_int(out_space(24), 3));
  std::string later = testing::internal::GetCapturedStdout();
  testing::internal::CaptureStdout();
  out_set_line_mode(false);
  out_text("\nblock\n");
  std::string held = testing::internal::GetCapturedStdout();
  testing::internal::CaptureStdout();
  out_flush();
  EXPECT_EQ(early, "one\n");
  EXPECT_EQ(later, "tw0.500000\n");
  EXPECT_EQ(held, "");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "3\nblock\n");
}
