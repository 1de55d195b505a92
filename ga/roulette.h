// Roulette-wheel selection of parents by weight.
#ifndef ROULETTE_H
#define ROULETTE_H

#include "misc.h"

// Roulette-wheel selection, prepared once per generation. One draw u in
// [0, 1) picks the first index whose running sum of weights reaches u, and
// size - 1 when none does. The running sums are formed in the order of a
// plain scan's additions, so they are bit for bit the sums the scan forms.
// Each is kept as the largest sum so far (sums that are not numbers count
// as none): the first index whose sum reaches u is the first whose largest
// sum so far does, and those never decrease, so a search finds it, whatever
// the weights.
//
// The search starts from a guide table (the cutpoint method): [0, 1) is cut
// into `cells` equal cells, a power of two, and a cell holds the first index
// whose sum reaches its lower edge, that index's sum, and how many indices
// lie between it and the next cell's first. A draw in the cell picks one of
// first .. first + count; for a count of 0 or 1 the cell's own entry gives
// the pick, one load instead of a search among all `size`.
struct ROULETTE_CELL {
  double sum; // sum[first], or infinity when count is 0
  int first;
  int count;  // the first index of the next cell, less first
};
struct ROULETTE {
  double *sum;          // largest running sums so far, `size` of them; the
                        // cells lie in the same block, so free(sum)
                        // releases both
  ROULETTE_CELL *cell;  // `cells` of them
  int cells;
  int size;
};
ROULETTE make_roulette(int size);
void spin_up(ROULETTE *wheel, const double *weight);
int pick_one(const ROULETTE *wheel);

#endif
