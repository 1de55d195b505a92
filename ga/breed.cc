// Breeding: crossover of two parents and the mutation scan of their children.
#include <cstring>

#include "breed.h"
#include "misc.h"

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
