// Breeding: crossover of two parents and the mutation scan of their children.
#ifndef BREED_H
#define BREED_H

#include "misc.h"

// Mutation of two children of `len` positions: per position a draw for the
// first child and, when it lies below `limit` (see uniform_limit), one more
// draw k for hit(0, m, k); then the same for the second child, hit(1, m, k).
// The draws that miss are scanned in bulk.
template <class Hit> void mutate_pair(int len, unsigned int limit, Hit hit) {
  long long tests = 2LL * len; // test q: child q % 2 at position q / 2
  for (long long q = 0; q < tests; q++) {
    q += draws_until_below(limit, tests - q);
    if (q == tests) break;
    hit(static_cast<int>(q % 2), static_cast<int>(q / 2), next_random());
  }
}

// Breeds two children from parents a and b of `len` symbols: a crossover draw
// (and a cut point in 1 .. len - 1 when it is below crate), the head of one
// parent with the tail of the other, then per position a mutation draw for
// each child, which on success writes `zero` + a random bit. The draws are
// made even when crate or mrate is 0, so the stream stays aligned.
void breed_strings(const char *a, const char *b, char *child1, char *child2,
                   int len, double crate, double mrate, char zero);

// breed_strings with the rates as limits (see uniform_limit), which also
// tells which parent each child is an exact copy of: copy_of[c] is 0 for a,
// 1 for b and -1 for neither (or not known).
void breed_copies(const char *a, const char *b, char *child1, char *child2, int len,
                  unsigned int crate_limit, unsigned int mrate_limit, char zero,
                  int copy_of[2]);

// A population of strings of binary digits with the fitness of each genome.
// A child that is an exact copy of a parent gets its fitness with it, and is
// marked known: the fitness depends on the digits alone.
struct DIGIT_POPULATION {
  char **genome;
  double *fitness;
  unsigned char *known; // whether fitness[i] holds genome i's fitness yet
};

#endif
