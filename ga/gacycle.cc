// The generation cycle shared by the genetic-algorithm programs.
#include <cfloat>
#include <climits>

#include "gacycle.h"
#include "misc.h"

int round_population_size(int size) {
  if (size == INT_MAX) bad_parameter("-size", "from 1 to 2147483646");
  if (size % 2 != 0) size++;
  if (size == 0) bad_parameter("-size", "from 1 to 2147483646");
  return size;
}

int select_one(const double *weight, int size) {
  double u = random_range(0.0, 1.0);
  double c = 0.0;
  for (int i = 0; i < size; i++) {
    c += weight[i];
    if (u <= c) return i;
  }
  return size - 1;
}

ROULETTE make_roulette(int size) {
  ROULETTE wheel{nullptr, nullptr, size, false};
  wheel.sum = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  return wheel;
}

void spin_up(ROULETTE *wheel, const double *weight) {
  wheel->weight = weight;
  wheel->sorted = true;
  double c = 0.0;
  for (int i = 0; i < wheel->size; i++) {
    if (!(weight[i] >= 0.0 && weight[i] <= DBL_MAX)) wheel->sorted = false;
    c += weight[i];
    wheel->sum[i] = c;
  }
}

int pick_one(const ROULETTE *wheel) {
  if (!wheel->sorted) return select_one(wheel->weight, wheel->size);
  double u = random_range(0.0, 1.0);
  int lo = 0, hi = wheel->size; // the first index with u <= sum lies in [lo, hi]
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (u <= wheel->sum[mid])
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo < wheel->size ? lo : wheel->size - 1;
}

int best_index(const double *value, int size, double *sum) {
  double best = -1.0;
  int index = -1;
  for (int j = 0; j < size; j++) {
    if (value[j] > best) {
      best = value[j];
      index = j;
    }
    *sum += value[j];
  }
  return index;
}

void print_block_head(FILE *out, int t) { fprintf(out, "---\ntime = %d\n", t); }

void breed_strings(const char *a, const char *b, char *child1, char *child2,
                   int len, double crate, double mrate, char zero) {
  int cut = len;
  if (random_range(0.0, 1.0) < crate) cut = 1 + static_cast<int>(next_random() % (len - 1));
  for (int j = 0; j < cut; j++) {
    child1[j] = a[j];
    child2[j] = b[j];
  }
  for (int j = cut; j < len; j++) {
    child1[j] = b[j];
    child2[j] = a[j];
  }
  for (int j = 0; j < len; j++) {
    if (random_range(0.0, 1.0) < mrate) child1[j] = static_cast<char>(zero + next_random() % 2);
    if (random_range(0.0, 1.0) < mrate) child2[j] = static_cast<char>(zero + next_random() % 2);
  }
}

double binary_fraction(const char *digits, int len) {
  double f = 0.0, weight = 1.0;
  for (int j = 0; j < len; j++) {
    weight *= 0.5;
    f += (digits[j] - '0') * weight;
  }
  return f;
}

void make_digit_populations(char **oldpop, char **newpop, int size, int digits) {
  for (int i = 0; i < size; i++) {
    newpop[i] = static_cast<char *>(xmalloc(digits + 1));
    oldpop[i] = static_cast<char *>(xmalloc(digits + 1));
    for (int j = 0; j < digits; j++)
      oldpop[i][j] = static_cast<char>('0' + next_random() % 2);
    oldpop[i][digits] = newpop[i][digits] = '\0';
  }
}
