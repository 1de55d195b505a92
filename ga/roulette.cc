// Roulette-wheel selection of parents by weight.
#include <bit>
#include <cmath>

#include "misc.h"
#include "roulette.h"

namespace {

// Cells enough for one or two indices each, up to a table of 256 KiB.
int cell_count(int size) {
  const int most = 1 << 16;
  return size >= most ? most : size < 1 ? 1 : std::bit_floor(static_cast<unsigned int>(size));
}

} // namespace

ROULETTE make_roulette(int size) {
  ROULETTE wheel{nullptr, nullptr, cell_count(size), size};
  long long bytes = size * static_cast<long long>(sizeof(double)) +
                    (wheel.cells + 1LL) * static_cast<long long>(sizeof(int));
  wheel.sum = static_cast<double *>(xmalloc_array(bytes, 1));
  wheel.guide = reinterpret_cast<int *>(wheel.sum + size);
  return wheel;
}

void spin_up(ROULETTE *wheel, const double *weight) {
  double c = 0.0, largest = -HUGE_VAL;
  for (int i = 0; i < wheel->size; i++) {
    c += weight[i];
    if (c > largest) largest = c;
    wheel->sum[i] = largest;
  }
  // k / cells is exact, cells being a power of two.
  int i = 0;
  for (int k = 0; k < wheel->cells; k++) {
    double edge = static_cast<double>(k) / wheel->cells;
    while (i < wheel->size && wheel->sum[i] < edge) i++;
    wheel->guide[k] = i;
  }
  wheel->guide[wheel->cells] = wheel->size;
}

int pick_one(const ROULETTE *wheel) {
  // The draw k gives u = random_range(0, 1) = k / 2^31, which lies in cell
  // k * cells / 2^31: at or past its first edge, below the next.
  long k = next_random();
  double u = static_cast<double>(k) / RANDOM_VALUES;
  int cell = static_cast<int>(k >> (31 - std::countr_zero(static_cast<unsigned int>(wheel->cells))));
  // Every index before guide[cell] has a sum below the cell's first edge,
  // so below u; the sum at guide[cell + 1], if there is one, reaches the
  // next edge, so u. The first index with u <= sum lies in [lo, lo + n].
  const double *sum = wheel->sum;
  int lo = wheel->guide[cell], n = wheel->guide[cell + 1] - lo;
  if (n > 0) {
    // Halving without a branch leaves nothing for the processor to mispredict.
    while (n > 1) {
      int half = n / 2;
      lo = sum[lo + half - 1] < u ? lo + half : lo;
      n -= half;
    }
    if (sum[lo] < u) lo++;
  }
  return lo < wheel->size ? lo : wheel->size - 1;
}
