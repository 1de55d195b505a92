// Standard output assembled in memory and written in large blocks, with an
// exact formatter for "%f" that avoids the cost of printf per number.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "misc.h"

namespace {

char block[1 << 16];
size_t used = 0;

// Room for the longest number written: "%f" of -1e308 takes 316 bytes.
constexpr size_t max_number = 400;

void make_room(size_t n) {
  if (used + n > sizeof block) out_flush();
}

// "00" to "99", so that the six decimals take three lookups.
constexpr struct PAIRS {
  char digit[200];
  constexpr PAIRS() : digit() {
    for (int i = 0; i < 100; i++) {
      digit[2 * i] = static_cast<char>('0' + i / 10);
      digit[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
} pairs;

void put_pair(char *p, unsigned int v) { memcpy(p, pairs.digit + 2 * v, 2); }

// The digits of v, two at a time from the last.
char *put_digits(char *p, uint64_t v) {
  if (v < 10) {
    *p = static_cast<char>('0' + v);
    return p + 1;
  }
  char tmp[20];
  char *t = tmp + sizeof tmp;
  while (v >= 100) {
    t -= 2;
    put_pair(t, static_cast<unsigned int>(v % 100));
    v /= 100;
  }
  if (v >= 10) {
    t -= 2;
    put_pair(t, static_cast<unsigned int>(v));
  } else {
    *--t = static_cast<char>('0' + v);
  }
  size_t n = static_cast<size_t>(tmp + sizeof tmp - t);
  memcpy(p, t, n);
  return p + n;
}


} // namespace

char *put_fixed(char *p, double v) {
  uint64_t bits;
  memcpy(&bits, &v, sizeof bits);
  bool negative = bits >> 63;
  int biased = static_cast<int>((bits >> 52) & 0x7ff);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0x7ff) {
    const char *text = mantissa ? (negative ? "-nan" : "nan")
                                : (negative ? "-inf" : "inf");
    size_t n = strlen(text);
    memcpy(p, text, n);
    return p + n;
  }
  if (std::fabs(v) >= 1e12)
    return std::to_chars(p, p + max_number, v, std::chars_format::fixed, 6).ptr;
  // v = m * 2^-shift exactly, so v * 10^6 = m * 10^6 / 2^shift, an exact
  // fraction that is rounded to nearest, ties to even, as printf does.
  uint64_t m = biased ? mantissa | (uint64_t{1} << 52) : mantissa;
  int shift = 1075 - (biased ? biased : 1);
  unsigned __int128 n = static_cast<unsigned __int128>(m) * 1000000u;
  uint64_t q = 0;
  if (shift < 128) { // shift >= 21 here, since |v| < 1e12 < 2^40
    // Adding just under half, plus the low bit of the quotient, rounds
    // halves to the even neighbour.
    unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    q = static_cast<uint64_t>((n + (half - 1) + ((n >> shift) & 1)) >> shift);
  } // else below 2^-75: rounds to zero
  if (negative) *p++ = '-';
  p = put_digits(p, q / 1000000);
  *p++ = '.';
  unsigned int fraction = static_cast<unsigned int>(q % 1000000);
  put_pair(p, fraction / 10000);
  put_pair(p + 2, fraction / 100 % 100);
  put_pair(p + 4, fraction % 100);
  return p + 6;
}

void out_bytes(const char *s, size_t n) {
  if (n > sizeof block) {
    out_flush();
    fwrite(s, 1, n, stdout);
    return;
  }
  make_room(n);
  memcpy(block + used, s, n);
  used += n;
}

void out_text(const char *s) { out_bytes(s, strlen(s)); }

void out_char(char c) {
  make_room(1);
  block[used++] = c;
}

void out_fixed(double v) {
  make_room(max_number);
  used = static_cast<size_t>(put_fixed(block + used, v) - block);
}

void out_fixed_sign(double v) {
  make_room(max_number + 1);
  if (!std::signbit(v)) block[used++] = ' ';
  used = static_cast<size_t>(put_fixed(block + used, v) - block);
}

void out_int(long long v) {
  make_room(24);
  char *p = block + used;
  if (v < 0) {
    *p++ = '-';
    p = put_digits(p, 0 - static_cast<uint64_t>(v));
  } else {
    p = put_digits(p, static_cast<uint64_t>(v));
  }
  used = static_cast<size_t>(p - block);
}

void out_flush() {
  if (used) fwrite(block, 1, used, stdout);
  used = 0;
}
