#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "misc.h"
#include "subnormal.h"

namespace {

uint64_t bits_of(double v) {
  uint64_t bits;
  memcpy(&bits, &v, sizeof bits);
  return bits;
}

// A double from a draw, over every scale where a share meets a score:
// subnormals of any width, the smallest and largest normals, and the
// awkward values between.
double any_double() {
  const double special[] = {0.0, -0.0, 4.9e-324, -4.9e-324, 0x1p-1022, 0x1.fffffffffffffp-1023,
                            1.0, 0.5, 1.5, 3.0, INFINITY, -INFINITY, NAN, 1e308, 0x1p-1000};
  uint64_t bits = static_cast<uint64_t>(next_random()) << 33 ^ static_cast<uint64_t>(next_random()) << 2 ^
                  static_cast<uint64_t>(next_random());
  switch (next_random() % 4) {
  case 0: return special[next_random() % 15];
  case 1: bits &= (uint64_t{1} << 63) | ((uint64_t{1} << 52) - 1); break; // subnormal
  case 2: bits = (bits & ~(uint64_t{0x7ff} << 52)) | static_cast<uint64_t>(1023 + next_random() % 64 - 32) << 52; break;
  default: break;
  }
  double v;
  memcpy(&v, &bits, sizeof v);
  return v;
}

} // namespace

TEST(Subnormal, ProductsAndQuotientsAreThoseOfTheProcessor) {
  seed_random(5);
  for (int trial = 0; trial < 2000000; trial++) {
    double a = any_double(), b = any_double();
    double product = a * b, quotient = a / b;
    // NaNs are alike whatever their payload.
    if (!std::isnan(product)) {
      ASSERT_EQ(bits_of(times(a, b)), bits_of(product)) << a << " * " << b;
    }
    if (!std::isnan(quotient)) {
      ASSERT_EQ(bits_of(divided(a, b)), bits_of(quotient)) << a << " / " << b;
    }
  }
}
