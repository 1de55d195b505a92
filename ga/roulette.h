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
// sum so far does, and those never decrease, so a binary search finds it,
// whatever the weights.
struct ROULETTE {
  double *sum; // largest running sums so far, `size` of them
  int size;
};
ROULETTE make_roulette(int size);
void spin_up(ROULETTE *wheel, const double *weight);
int pick_one(const ROULETTE *wheel);

#endif
