// The generation cycle shared by the genetic-algorithm programs.
#include <bit>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>

#include "gacycle.h"
#include "misc.h"

int round_population_size(int size) {
  if (size == INT_MAX) bad_parameter("-size", "from 1 to 2147483646");
  if (size % 2 != 0) size++;
  if (size == 0) bad_parameter("-size", "from 1 to 2147483646");
  return size;
}

void check_digit_parameters(const char *option, int len, int shortest,
                            int longest, int *size) {
  if (len < shortest || len > longest) {
    char range[40];
    snprintf(range, sizeof range, "from %d to %d", shortest, longest);
    bad_parameter(option, range);
  }
  *size = round_population_size(*size);
}

ROULETTE make_roulette(int size) {
  ROULETTE wheel{nullptr, size};
  wheel.sum = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  return wheel;
}

void spin_up(ROULETTE *wheel, const double *weight) {
  double c = 0.0, largest = -HUGE_VAL;
  for (int i = 0; i < wheel->size; i++) {
    c += weight[i];
    if (c > largest) largest = c;
    wheel->sum[i] = largest;
  }
}

int pick_one(const ROULETTE *wheel) {
  double u = random_range(0.0, 1.0);
  // The first index with u <= sum lies in [lo, lo + n]; halving without a
  // branch leaves nothing for the processor to mispredict.
  const double *sum = wheel->sum;
  int lo = 0, n = wheel->size;
  while (n > 1) {
    int half = n / 2;
    lo = sum[lo + half - 1] < u ? lo + half : lo;
    n -= half;
  }
  if (sum[lo] < u) lo++;
  return lo < wheel->size ? lo : wheel->size - 1;
}

int best_index(const double *value, int size, double *sum) {
  double best = -1.0;
  int index = -1;
  for (int j = 0; j < size; j++) {
    if (value[j] > best) {
      best = value[j];
      index = j;
    }
    *sum += value[j];
  }
  return index;
}

char *put_block_head(char *p, int t) {
  static const char label[] = "---\ntime = ";
  memcpy(p, label, sizeof label - 1);
  p = put_int(p + sizeof label - 1, t);
  *p++ = '\n';
  return p;
}

void out_block_head(int t) { out_advance(put_block_head(out_space(BLOCK_HEAD), t)); }

void breed_strings(const char *a, const char *b, char *child1, char *child2,
                   int len, double crate, double mrate, char zero) {
  int cut = len;
  if (random_range(0.0, 1.0) < crate) cut = 1 + static_cast<int>(next_random() % (len - 1));
  memcpy(child1, a, cut);
  memcpy(child2, b, cut);
  memcpy(child1 + cut, b + cut, len - cut);
  memcpy(child2 + cut, a + cut, len - cut);
  char *child[2] = {child1, child2};
  mutate_pair(len, uniform_limit(mrate), [&](int c, int m, long k) {
    child[c][m] = static_cast<char>(zero + k % 2);
  });
}

namespace {

double plain_digits_value(const char *s, int len) {
  double v = 0.0;
  for (int j = 0; j < len; j++) v = 2.0 * v + (s[j] - '0');
  return v;
}

} // namespace

namespace {

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

// x * 2^k, exact or infinite as ldexp gives it, for k >= 0.
double times_power_of_two(double x, int k) {
  if (k > 1023) return ldexp(x, k);
  uint64_t bits = static_cast<uint64_t>(1023 + k) << 52;
  double scale;
  memcpy(&scale, &bits, sizeof scale);
  return x * scale;
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
  // power of two, correctly rounded either way.
  if (len <= 1023) return ldexp(digits_value(digits, len), -len);
  double f = 0.0, weight = 1.0;
  for (int j = 0; j < len; j++) {
    weight *= 0.5;
    f += (digits[j] - '0') * weight;
  }
  return f;
}

void make_digit_populations(char **oldpop, char **newpop, int size, int digits) {
  // One block per population, both taken before any is filled, so that a
  // run too large for the machine is refused before it touches the memory.
  long long each = digits + 1LL;
  auto olds = static_cast<char *>(xmalloc_wide(size, each));
  auto news = static_cast<char *>(xmalloc_wide(size, each));
  for (int i = 0; i < size; i++) {
    oldpop[i] = olds + i * each;
    newpop[i] = news + i * each;
    for (int j = 0; j < digits; j++)
      oldpop[i][j] = static_cast<char>('0' + next_random() % 2);
    oldpop[i][digits] = newpop[i][digits] = '\0';
  }
}
