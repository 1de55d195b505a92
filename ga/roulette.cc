// Roulette-wheel selection of parents by weight.
#include <cmath>

#include "misc.h"
#include "roulette.h"

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
