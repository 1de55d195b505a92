// Random numbers.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "misc.h"

// The second value of the last accepted polar pair, returned by the next call.
int holding = 0;
double hold = 0.0;

namespace {

// The generator's state after seeding: a Park-Miller sequence from the seed
// (0 counts as 1), then 310 words made and not drawn, as the C library does.
// The 31 words of the library's circular table are laid out oldest first and
// followed by the next ones up to RANDOM_HISTORY, so that the words before
// the first draw fill the history that refill_random reads.
constexpr RANDOM_STATE seeded_state(unsigned int seed) {
  unsigned int ring[31] = {};
  int w = seed == 0 ? 1 : static_cast<int>(seed);
  ring[0] = static_cast<unsigned int>(w);
  for (int i = 1; i < 31; i++) {
    // 16807 * w mod (2^31 - 1), without overflowing 32 bits.
    int hi = w / 127773, lo = w % 127773;
    w = 16807 * lo - 2836 * hi;
    if (w < 0) w += 2147483647;
    ring[i] = static_cast<unsigned int>(w);
  }
  int front = 3, rear = 0; // the word that receives the sum, the one added
  for (int i = 0; i < 310; i++) {
    ring[front] += ring[rear];
    if (++front == 31) front = 0;
    if (++rear == 31) rear = 0;
  }
  RANDOM_STATE g{};
  for (int i = 0; i < 31; i++) g.word[i] = ring[(front + i) % 31];
  for (int i = 31; i < RANDOM_HISTORY; i++) g.word[i] = g.word[i - 31] + g.word[i - 3];
  g.next = 31;
  g.end = RANDOM_HISTORY;
  return g;
}

// The index of the first of the n words whose draw lies below limit, or n;
// limit is below 2^31, so draw and limit compare as ints. Where the
// processor can, sixteen draws are tested side by side and the first hit
// is read off the mask of the tests.
int first_below(const unsigned int *w, int n, unsigned int limit) {
  int top = static_cast<int>(limit), i = 0;
#if defined(__SSE2__)
  const __m128i bound = _mm_set1_epi32(top);
  auto below = [&](int at) {
    __m128i draw = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(w + at)), 1);
    return _mm_cmplt_epi32(draw, bound);
  };
  for (; i + 16 <= n; i += 16) {
    // Each test is 0 or -1, which packing keeps: one byte per draw, in order.
    __m128i low = _mm_packs_epi32(below(i), below(i + 4));
    __m128i high = _mm_packs_epi32(below(i + 8), below(i + 12));
    int hits = _mm_movemask_epi8(_mm_packs_epi16(low, high));
    if (hits) return i + std::countr_zero(static_cast<unsigned int>(hits));
  }
  for (; i + 4 <= n; i += 4) {
    int hits = _mm_movemask_ps(_mm_castsi128_ps(below(i)));
    if (hits) return i + std::countr_zero(static_cast<unsigned int>(hits));
  }
#endif
  for (; i < n; i++)
    if (static_cast<int>(w[i] >> 1) < top) return i;
  return n;
}

// Makes the words w[0 .. RANDOM_BLOCK - 1] from the RANDOM_HISTORY before
// them, each the sum of the words 31, 34 and 6 places back.
#if defined(__SSE2__)
// Four words at a time, from groups of four made 1, 2, 7, 8 and 9 steps
// before. Those are read whole, as they were stored, which lets the
// processor hand a store straight to its load; the groups 1 and 2 steps
// back stay in registers.
void make_block(unsigned int *w) {
  auto group = [&](int at) { return _mm_load_si128(reinterpret_cast<const __m128i *>(w + at)); };
  auto halves = [](__m128i lo, __m128i hi) { // the high half of lo, the low half of hi
    return _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(lo), _mm_castsi128_pd(hi), 1));
  };
  __m128i back2 = group(-8), back1 = group(-4);
  auto make = [&](int i, __m128i near2, __m128i near1) {
    __m128i back7 = group(i - 28), back8 = group(i - 32), back9 = group(i - 36);
    __m128i tap31 = _mm_or_si128(_mm_srli_si128(back8, 4), _mm_slli_si128(back7, 12));
    __m128i made = _mm_add_epi32(_mm_add_epi32(tap31, halves(back9, back8)), halves(near2, near1));
    _mm_store_si128(reinterpret_cast<__m128i *>(w + i), made);
    return made;
  };
  for (int i = 0; i < RANDOM_BLOCK; i += 8) {
    back2 = make(i, back2, back1);
    back1 = make(i + 4, back1, back2);
  }
}
#else
// One word at a time: w[i] = w[i - 31] + w[i - 3], the last three words
// held in variables.
void make_block(unsigned int *w) {
  unsigned int a = w[-3], b = w[-2], c = w[-1];
  for (int i = 0; i < RANDOM_BLOCK; i++) {
    unsigned int made = w[i - 31] + a;
    w[i] = made;
    a = b;
    b = c;
    c = made;
  }
}
#endif

// k / 2^31: a fraction in [0, 1) from one draw.
double fraction(long k) { return static_cast<double>(k) / RANDOM_VALUES; }

} // namespace

// Unseeded, the stream is that of seed 1, as with the C library.
constinit RANDOM_STATE random_state = seeded_state(1);

void seed_random(int seed) {
  random_state = seeded_state(static_cast<unsigned int>(seed));
}

// Each word is w[i - 31] + w[i - 3], and w[i - 3] is w[i - 34] + w[i - 6]:
// written with taps 6 or more apart, a block is made four words at a time.
void refill_random() {
  RANDOM_STATE &g = random_state;
  unsigned int *w = g.word;
  memmove(w, w + g.end - RANDOM_HISTORY, RANDOM_HISTORY * sizeof *w);
  make_block(w + RANDOM_HISTORY);
  g.next = RANDOM_HISTORY;
  g.end = RANDOM_HISTORY + RANDOM_BLOCK;
}

void skip_random(long long n) {
  RANDOM_STATE &g = random_state;
  while (n > 0) {
    if (g.next == g.end) refill_random();
    long long take = std::min<long long>(n, g.end - g.next);
    g.next += static_cast<int>(take);
    n -= take;
  }
}

int take_random(long long n, const unsigned int **words) {
  RANDOM_STATE &g = random_state;
  if (g.next == g.end) refill_random();
  int take = static_cast<int>(std::min<long long>(n, g.end - g.next));
  *words = g.word + g.next;
  g.next += take;
  return take;
}

long long draws_until_below(unsigned int limit, long long n) {
  if (limit == 0 || n <= 0) {
    skip_random(n);
    return n;
  }
  if (limit > 2147483647u) { // every draw is below
    skip_random(1);
    return 0;
  }
  RANDOM_STATE &g = random_state;
  long long drawn = 0;
  while (drawn < n) {
    if (g.next == g.end) refill_random();
    int look = static_cast<int>(std::min<long long>(n - drawn, g.end - g.next));
    int i = first_below(g.word + g.next, look, limit);
    if (i < look) {
      g.next += i + 1;
      return drawn + i;
    }
    g.next += look;
    drawn += look;
  }
  return n;
}

namespace {

// One accepted pair of the polar method, as y * f first and x * f held back.
// r = 0 (both draws 2^30) has no finite log(r)/r, so that pair is
// rejected like one outside the unit circle.
void polar_pair(double *first, double *second) {
  double x, y, r;
  do {
    x = 2.0 * fraction(next_random()) - 1.0;
    y = 2.0 * fraction(next_random()) - 1.0;
    r = x * x + y * y;
  } while (r >= 1.0 || r == 0.0);
  double f = std::sqrt(-2.0 * std::log(r) / r);
  *first = y * f;
  *second = x * f;
}

} // namespace

double random_gauss() {
  if (holding) {
    holding = 0;
    return hold;
  }
  double first;
  polar_pair(&first, &hold);
  holding = 1;
  return first;
}

void random_gauss_run(double *z, int n) {
  int i = 0;
  if (n > 0 && holding) {
    z[i++] = hold;
    holding = 0;
  }
  for (; i + 2 <= n; i += 2) polar_pair(&z[i], &z[i + 1]);
  if (i < n) z[i] = random_gauss();
}
