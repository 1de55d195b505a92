// Products and quotients with a subnormal operand, worked out in integers.
#include <cstdint>
#include <cstring>

#include "subnormal.h"

namespace {

using u128 = unsigned __int128;

uint64_t bits_of(double v) {
  uint64_t bits;
  memcpy(&bits, &v, sizeof bits);
  return bits;
}

// |v| = m * 2^(e - 1074) for a number that is neither 0, infinite nor NaN.
struct PARTS {
  uint64_t m;
  int e;
  uint64_t sign;
};

bool subnormal(uint64_t bits) { return (bits >> 52 & 0x7ff) == 0 && (bits << 1) != 0; }
bool ordinary(uint64_t bits) { // normal: neither 0, subnormal, infinite nor NaN
  uint64_t biased = bits >> 52 & 0x7ff;
  return biased != 0 && biased != 0x7ff;
}

PARTS parts(uint64_t bits) {
  uint64_t biased = bits >> 52 & 0x7ff, fraction = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0) return {fraction, 0, bits >> 63};
  return {fraction | uint64_t{1} << 52, static_cast<int>(biased) - 1, bits >> 63};
}

// q + r / d rounded to the nearest whole number, ties to even, as the
// count of units of 2^-1074 of a result; false when that count reaches
// 2^53, where the doubles are coarser than the unit.
bool round_units(u128 q, u128 r, u128 d, uint64_t sign, double *out) {
  q += (2 * r > d) | ((2 * r == d) & (q & 1));
  if (q >> 53) return false;
  // Below 2^53 units the encoding of q * 2^-1074 is q itself.
  uint64_t bits = sign << 63 | static_cast<uint64_t>(q);
  memcpy(out, &bits, sizeof *out);
  return true;
}

} // namespace

// a * b = ma * mb * 2^(ea + eb - 1074) units: shifted right by
// s = 1074 - ea - eb, with the bits shifted out as the remainder.
double times(double a, double b) {
  uint64_t x = bits_of(a), y = bits_of(b);
  if (!subnormal(x) || !ordinary(y)) return a * b;
  PARTS p = parts(x), q = parts(y);
  int s = 1074 - p.e - q.e;
  u128 product = static_cast<u128>(p.m) * q.m; // below 2^105
  double result;
  if (s >= 127) return (p.sign ^ q.sign) ? -0.0 : 0.0; // below 2^-22 units
  if (s <= 0) return a * b;                            // far above 2^53 units
  u128 d = static_cast<u128>(1) << s;
  if (round_units(product >> s, product & (d - 1), d, p.sign ^ q.sign, &result)) return result;
  return a * b;
}

// a / b = ma / mb * 2^(ea - eb + 1074) units.
double divided(double a, double b) {
  uint64_t x = bits_of(a), y = bits_of(b);
  if (!subnormal(x) || !ordinary(y)) return a / b;
  PARTS p = parts(x), q = parts(y);
  int t = p.e - q.e + 1074;
  if (t > 70) return a / b; // far above 2^53 units
  if (t < -70) return (p.sign ^ q.sign) ? -0.0 : 0.0;
  u128 num = t >= 0 ? static_cast<u128>(p.m) << t : p.m;
  u128 den = t >= 0 ? static_cast<u128>(q.m) : static_cast<u128>(q.m) << -t;
  double result;
  if (round_units(num / den, num % den, den, p.sign ^ q.sign, &result)) return result;
  return a / b;
}
