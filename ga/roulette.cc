// Roulette-wheel selection of parents by weight.
#include <bit>
#include <cmath>

#include "misc.h"
#include "roulette.h"

namespace {

// Cells enough for one or two indices each, up to a table of 1 MiB; twice
// that many while the table stays within 32 KiB, so that fewer picks need a
// search. A larger table would cost more in cache misses than it saves.
int cell_count(int size) {
  const int most = 1 << 16, small = 2048;
  if (size >= most) return most;
  int cells = size < 1 ? 1 : static_cast<int>(std::bit_floor(static_cast<unsigned int>(size)));
  return 2 * cells <= small ? 2 * cells : cells;
}

} // namespace

ROULETTE make_roulette(int size) {
  ROULETTE wheel{nullptr, nullptr, cell_count(size), size};
  long long bytes = size * static_cast<long long>(sizeof(double)) +
                    wheel.cells * static_cast<long long>(sizeof(ROULETTE_CELL));
  wheel.sum = static_cast<double *>(xmalloc_array(bytes, 1));
  wheel.cell = reinterpret_cast<ROULETTE_CELL *>(wheel.sum + size);
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
    wheel->cell[k].first = i;
  }
  for (int k = 0; k < wheel->cells; k++) {
    ROULETTE_CELL &cell = wheel->cell[k];
    cell.count = (k + 1 < wheel->cells ? wheel->cell[k + 1].first : wheel->size) - cell.first;
    cell.sum = cell.count > 0 ? wheel->sum[cell.first] : HUGE_VAL;
  }
}

int pick_one(const ROULETTE *wheel) {
  // The draw k gives u = random_range(0, 1) = k / 2^31, which lies in cell
  // k * cells / 2^31: at or past its first edge, below the next.
  long k = next_random();
  double u = static_cast<double>(k) / RANDOM_VALUES;
  const ROULETTE_CELL &cell =
      wheel->cell[k >> (31 - std::countr_zero(static_cast<unsigned int>(wheel->cells)))];
  // Every index before the cell's first has a sum below the cell's lower
  // edge, so below u; the sum at the next cell's first, if there is one,
  // reaches the upper edge, so u. The first index with u <= sum lies in
  // [lo, lo + n].
  int lo = cell.first, n = cell.count;
  if (n <= 1) {
    lo += cell.sum < u;
  } else {
    // Halving without a branch leaves nothing for the processor to mispredict.
    const double *sum = wheel->sum;
    while (n > 1) {
      int half = n / 2;
      lo = sum[lo + half - 1] < u ? lo + half : lo;
      n -= half;
    }
    if (sum[lo] < u) lo++;
  }
  return lo < wheel->size ? lo : wheel->size - 1;
}
