// Breeding: crossover of two parents and the mutation scan of their children.
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "breed.h"
#include "misc.h"

namespace {

// The children of a and b crossed at `cut`: child1 a's head and b's tail,
// child2 b's head and a's tail. Without branches on the cut, which varies
// from pair to pair. Returns whether the parents differ in their heads
// (bit 0) and in their tails (bit 1).
int cross(const char *a, const char *b, char *child1, char *child2, int len, int cut) {
  int head_differs = 0, tail_differs = 0, j = 0;
#if defined(__SSE2__)
  const __m128i lane = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  for (; j + 16 <= len; j += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(a + j));
    __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + j));
    __m128i head = _mm_cmplt_epi8(lane, _mm_set1_epi8(static_cast<char>(std::clamp(cut - j, 0, 16))));
    int in_head = _mm_movemask_epi8(head), differ = ~_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)) & 0xffff;
    head_differs |= differ & in_head;
    tail_differs |= differ & ~in_head;
    _mm_storeu_si128(reinterpret_cast<__m128i *>(child1 + j),
                     _mm_or_si128(_mm_and_si128(head, x), _mm_andnot_si128(head, y)));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(child2 + j),
                     _mm_or_si128(_mm_and_si128(head, y), _mm_andnot_si128(head, x)));
  }
#endif
  for (; j < len; j++) {
    bool in_head = j < cut;
    int differ = a[j] != b[j];
    head_differs |= differ & in_head;
    tail_differs |= differ & !in_head;
    child1[j] = in_head ? a[j] : b[j];
    child2[j] = in_head ? b[j] : a[j];
  }
  return (head_differs != 0) | (tail_differs != 0) << 1;
}

} // namespace

void breed_copies(const char *a, const char *b, char *child1, char *child2, int len,
                  unsigned int crate_limit, unsigned int mrate_limit, char zero,
                  int copy_of[2]) {
  int cut = len;
  if (draw_below(crate_limit)) cut = 1 + static_cast<int>(next_random() % (len - 1));
  int differ = cross(a, b, child1, child2, len, cut);
  // The first child is a copy of a where the tails agree, else of b where
  // the heads do; the second child of the other parent.
  int first = !(differ & 2) ? 0 : !(differ & 1) ? 1 : -1;
  copy_of[0] = first;
  copy_of[1] = first < 0 ? -1 : 1 - first;
  char *child[2] = {child1, child2};
  mutate_pair(len, mrate_limit, [&](int c, int m, long k) {
    char digit = static_cast<char>(zero + k % 2);
    // A mutation that writes the digit already there changes nothing. No
    // branch: whether it does is a coin toss.
    copy_of[c] |= -static_cast<int>(child[c][m] != digit);
    child[c][m] = digit;
  });
}

void breed_strings(const char *a, const char *b, char *child1, char *child2,
                   int len, double crate, double mrate, char zero) {
  int copy_of[2];
  breed_copies(a, b, child1, child2, len, uniform_limit(crate), uniform_limit(mrate), zero,
               copy_of);
}
