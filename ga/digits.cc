// Decoding strings of binary digits into numbers.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "digits.h"

namespace {

double plain_digits_value(const char *s, int len) {
  double v = 0.0;
  for (int j = 0; j < len; j++) v = 2.0 * v + (s[j] - '0');
  return v;
}

// Whether the n characters from s are all '0' or '1', eight at a time.
bool binary_digits(const char *s, int n) {
  int j = 0;
  for (; j + 8 <= n; j += 8) {
    uint64_t x;
    memcpy(&x, s + j, sizeof x);
    if ((x & 0xfefefefefefefefe) != 0x3030303030303030) return false;
  }
  for (; j < n; j++)
    if ((s[j] & 0xfe) != '0') return false;
  return true;
}

// 2^e, a normal number for -1022 <= e <= 1023: a product with it is exact
// wherever it stays normal, as ldexp's would be.
double power_of_two(int e) {
  uint64_t bits = static_cast<uint64_t>(1023 + e) << 52;
  double power;
  memcpy(&power, &bits, sizeof power);
  return power;
}

// x * 2^k, exact or infinite as ldexp gives it, for k >= 0.
double times_power_of_two(double x, int k) {
  return k > 1023 ? ldexp(x, k) : x * power_of_two(k);
}

} // namespace

double digits_value(const char *s, int len) {
  if constexpr (std::endian::native != std::endian::little)
    return plain_digits_value(s, len);
  // The digits as one integer while it fits 64 bits, eight at a time (the
  // low bit of byte i giving bit 7 - i) while it stays below 2^56.
  uint64_t v = 0;
  int j = 0;
  for (; j + 8 <= len && v < uint64_t{1} << 56; j += 8) {
    uint64_t x;
    memcpy(&x, s + j, sizeof x);
    if ((x & 0xfefefefefefefefe) != 0x3030303030303030) return plain_digits_value(s, len);
    v = v << 8 | ((x & 0x0101010101010101) * 0x8040201008040201) >> 56;
  }
  if (!binary_digits(s + j, len - j)) return plain_digits_value(s, len);
  for (; j < len && v < uint64_t{1} << 63; j++) v = 2 * v + (s[j] - '0');
  // The double sum is exact while it stays below 2^52 before a step, so up
  // to 53 significant bits it is v itself. The step from the first sum of 53
  // bits adds a digit 1 halfway between two doubles, and rounds to the one
  // whose last significant bit is 0; every later sum is 2^54 or more, where
  // a digit is less than half a step, so the value only doubles.
  int bits = v ? 64 - std::countl_zero(v) : 0;
  if (bits <= 53) return static_cast<double>(v); // then j == len
  uint64_t head = v >> (bits - 53), next = v >> (bits - 54) & 1;
  head = 2 * head + 2 * (next & head & 1);
  return times_power_of_two(static_cast<double>(head), len - j + bits - 54);
}

double binary_fraction(const char *digits, int len) {
  // Up to 1023 digits, v and 2^len are finite and v / 2^len is v scaled by a
  // power of two, correctly rounded either way. Below 1023 digits a product
  // with 2^-len scales it without a call: v is a whole number, so the
  // product is 0, infinite or normal, and exact.
  if (len <= 1022) return digits_value(digits, len) * power_of_two(-len);
  if (len <= 1023) return ldexp(digits_value(digits, len), -len);
  double f = 0.0, weight = 1.0;
  for (int j = 0; j < len; j++) {
    weight *= 0.5;
    f += (digits[j] - '0') * weight;
  }
  return f;
}
