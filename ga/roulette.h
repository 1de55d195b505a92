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
// into `cells` equal cells, a power of two, and guide[k] is the first index
// whose sum reaches k / cells. A draw in cell k then lies between
// guide[k] and guide[k + 1], one or two indices apart on average, instead of
// among all `size`.
struct ROULETTE {
  double *sum; // largest running sums so far, `size` of them; the guide
               // table lies in the same block, so free(sum) releases both
  int *guide;  // cells + 1 entries, the last one `size`
  int cells;
  int size;
};
ROULETTE make_roulette(int size);
void spin_up(ROULETTE *wheel, const double *weight);
int pick_one(const ROULETTE *wheel);

#endif
