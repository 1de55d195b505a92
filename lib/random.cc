// Random numbers and allocation.
#include <climits>
#include <cmath>

#include "misc.h"

// The second value of the last accepted polar pair, returned by the next call.
int holding = 0;
double hold = 0.0;

namespace {

// The generator's state after seeding: a Park-Miller sequence from the seed
// (0 counts as 1), then 310 draws discarded, as the C library does.
constexpr RANDOM_STATE seeded_state(unsigned int seed) {
  RANDOM_STATE g{};
  int w = seed == 0 ? 1 : static_cast<int>(seed);
  g.word[0] = static_cast<unsigned int>(w);
  for (int i = 1; i < 31; i++) {
    // 16807 * w mod (2^31 - 1), without overflowing 32 bits.
    int hi = w / 127773, lo = w % 127773;
    w = 16807 * lo - 2836 * hi;
    if (w < 0) w += 2147483647;
    g.word[i] = static_cast<unsigned int>(w);
  }
  g.front = 3;
  g.rear = 0;
  for (int i = 0; i < 310; i++) {
    g.word[g.front] += g.word[g.rear];
    if (++g.front == 31) g.front = 0;
    if (++g.rear == 31) g.rear = 0;
  }
  return g;
}

[[noreturn]] void out_of_memory(long long size) {
  fprintf(stderr, "malloc failed to get %lld bytes.\n", size);
  exit(1);
}

// k / 2^31: a fraction in [0, 1) from one draw.
double fraction(long k) { return static_cast<double>(k) / 2147483648.0; }

} // namespace

// Unseeded, the stream is that of seed 1, as with the C library.
constinit RANDOM_STATE random_state = seeded_state(1);

void seed_random(int seed) {
  random_state = seeded_state(static_cast<unsigned int>(seed));
}

void *xmalloc(int size) {
  // A negative request is never passed on: it is a count gone wrong.
  if (size < 0) out_of_memory(size);
  void *block = malloc(static_cast<size_t>(size));
  if (!block) out_of_memory(size);
  return block;
}

void *xmalloc_array(long long count, long long each) {
  long long bytes = count * each; // both lie within the int range
  if (bytes < INT_MIN || bytes > INT_MAX) out_of_memory(bytes);
  return xmalloc(static_cast<int>(bytes));
}

double random_range(double lo, double hi) {
  return lo + (hi - lo) * fraction(next_random());
}

double random_gauss() {
  if (holding) {
    holding = 0;
    return hold;
  }
  double x, y, r;
  // r = 0 (both draws 2^30) has no finite log(r)/r, so that pair is
  // rejected like one outside the unit circle.
  do {
    x = 2.0 * fraction(next_random()) - 1.0;
    y = 2.0 * fraction(next_random()) - 1.0;
    r = x * x + y * y;
  } while (r >= 1.0 || r == 0.0);
  double f = std::sqrt(-2.0 * std::log(r) / r);
  hold = x * f;
  holding = 1;
  return y * f;
}
