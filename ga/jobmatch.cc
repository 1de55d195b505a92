// jobmatch: a genetic algorithm for the task assignment problem.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "jobmatch.h"

#include "breed.h"
#include "gacycle.h"
#include "report.h"

namespace jobmatch {

const char *specs = "data/hop1.dat";
int    size       = 10;
int    gens       = 30;
int    seed       = 0;
double crate      = 0.75;
double mrate      = 0.01;
double pbase      = 2.0;

OPTION options[] = {
  { "-specs", OPT_STRING, &specs,  "Problem specification file." },
  { "-size",  OPT_INT,    &size,   "Population size." },
  { "-gens",  OPT_INT,    &gens,   "Number of generations." },
  { "-seed",  OPT_INT,    &seed,   "Random seed." },
  { "-crate", OPT_DOUBLE, &crate,  "Crossover rate." },
  { "-mrate", OPT_DOUBLE, &mrate,  "Mutation rate." },
  { "-pbase", OPT_DOUBLE, &pbase,  "Exponentiation base." },
  { nullptr,  OPT_NULL,   nullptr, nullptr }
};

const char help_string[] =
  "Use a genetic algorithm to solve a task assignment problem with "
  "user-specified costs.  This program illustrates how GAs can perform "
  "combinatorial optimization.  Reproduction of strings entails special "
  "crossover and mutation operations which preserve constraints on the form "
  "of feasible solutions with strings being selected based on fitness.";

int len = 0;
double **cost = nullptr;

namespace {

[[noreturn]] void bad_specs() {
  fprintf(stderr, "Problem found in specification file.\n");
  exit(1);
}

// strtol's value of the next token (0 when it holds no number); the end of
// the input before the last number makes the file unusable.
long next_number(SCANNER *s) {
  const char *token = scan_get(s);
  if (token[0] == '\0') bad_specs();
  return strtol(token, nullptr, 10);
}

// One row of entries; entries beyond the int range are refused, since no
// total holding one could be reported as an int score.
void read_row(SCANNER *s, double *row, long long *high, long long *low) {
  long most = INT_MIN, least = INT_MAX;
  for (int c = 0; c < len; c++) {
    long v = next_number(s);
    if (v < INT_MIN || v > INT_MAX) bad_specs();
    row[c] = static_cast<double>(v);
    most = std::max(most, v);
    least = std::min(least, v);
  }
  *high += most;
  *low += least;
}

} // namespace

// Sets len and cost from the file at path; returns only on success. A count
// beyond the int range is kept at the range's end, so that the allocator
// refuses it like any count too large (or negative) to hold. Matrices with
// a possible total outside the int range are refused: every total is then
// an exact int.
void read_specs(const char *path) {
  FILE *f = path ? fopen(path, "r") : nullptr;
  if (!f) {
    fprintf(stderr, "Cannot open specification file \"%s\".\n", path ? path : "");
    exit(1);
  }
  SCANNER *s = scan_init(f, "", " \t\n", "#");
  len = static_cast<int>(std::clamp<long>(next_number(s), INT_MIN, INT_MAX));
  if (len == 0) bad_specs();
  cost = static_cast<double **>(xmalloc_array(len, sizeof(double *)));
  // Sums of the row maxima and minima bound every total from above and below.
  long long high = 0, low = 0;
  for (int r = 0; r < len; r++) {
    cost[r] = static_cast<double *>(xmalloc_array(len, sizeof(double)));
    read_row(s, cost[r], &high, &low);
  }
  if (high > INT_MAX || low < INT_MIN) bad_specs();
}

// A random permutation of 0 .. len - 1; consumes len - 1 draws.
void random_solution(int *dna) {
  for (int r = 0; r < len; r++) dna[r] = r;
  for (int k = 0; k < len - 1; k++)
    std::swap(dna[k], dna[k + next_random() % (len - k)]);
}

// The sum of the entries the solution picks: a score to maximise, not a
// cost, despite the name. The entries are ints, so every partial sum is a
// whole number below len x 2^31, far inside the doubles' exact range for
// any matrix that fits in memory: four sums side by side come out exact, and
// read_specs admits only matrices whose totals all fit an int.
int task_cost(const int *dna) {
  double sum[4] = {0.0, 0.0, 0.0, 0.0};
  int r = 0;
  for (; r + 4 <= len; r += 4)
    for (int k = 0; k < 4; k++) sum[k] += cost[r + k][dna[r + k]];
  for (; r < len; r++) sum[0] += cost[r][dna[r]];
  return static_cast<int>((sum[0] + sum[1]) + (sum[2] + sum[3]));
}

namespace {

// pbase^d for whole d below powers_kept, each worked out by pow the first
// time it is asked for: a population holds few distinct totals, and pow is
// the dearest step of a generation.
const int powers_kept = 1 << 12;
std::vector<double> power(powers_kept);
std::vector<char> power_known(powers_kept);
double power_base = 0.0;

// Forgets the powers of any other base.
void keep_powers_of(double base) {
  if (std::memcmp(&base, &power_base, sizeof base) == 0) return;
  std::fill(power_known.begin(), power_known.end(), 0);
  power_base = base;
}

double power_of_base(double d) {
  if (!(d < powers_kept)) return pow(power_base, d);
  int k = static_cast<int>(d);
  if (!power_known[k]) {
    power[k] = pow(power_base, d);
    power_known[k] = 1;
  }
  return power[k];
}

} // namespace

// Weights pbase^(total - smallest total) normalised to sum 1.
void weigh_totals(const double *totals, double *fitness) {
  double smallest = 1e11; // above any int total
  for (int i = 0; i < size; i++)
    if (totals[i] < smallest) smallest = totals[i];
  keep_powers_of(pbase);
  for (int i = 0; i < size; i++) fitness[i] = power_of_base(totals[i] - smallest);
  normalise(fitness, size, KEEP_QUOTIENTS);
}

// Totals, and their weights.
void compute_fitness(int **pop, double *totals, double *fitness) {
  for (int i = 0; i < size; i++) totals[i] = task_cost(pop[i]);
  weigh_totals(totals, fitness);
}

namespace {

// How a solution's total changes when its entries at m and q are swapped.
// Four ints, so exact in a double, as is the new total, which fits an int.
double swap_change(const int *dna, int m, int q) {
  return cost[m][dna[q]] + cost[q][dna[m]] - cost[m][dna[m]] - cost[q][dna[q]];
}

} // namespace

// Children k and k + 1 start as copies of parents i and j. Crossover and
// mutation only swap elements within a child, so both stay permutations.
// Draws: crossover test, its position (when crossing), then per position
// the test for each child and, when it mutates, the partner position.
// Given the parents' totals, the children's follow from their few swaps,
// without summing every entry again.
void reproduce(int **parents, int **children, int i, int j, int k,
               const double *parent_totals, double *child_totals) {
  int *a = children[k], *b = children[k + 1];
  std::copy(parents[i], parents[i] + len, a);
  std::copy(parents[j], parents[j] + len, b);
  int *child[2] = {a, b};
  double change[2] = {0.0, 0.0};
  auto swap = [&](int c, int m, int q) {
    if (child_totals) change[c] += swap_change(child[c], m, q);
    std::swap(child[c][m], child[c][q]);
  };
  if (random_range(0.0, 1.0) < crate) {
    int x = static_cast<int>(next_random() % len);
    int p = 0;
    while (p < len - 1 && a[p] != b[x]) p++; // a is a permutation: b[x] is there
    swap(0, x, p);
    swap(1, x, p);
  }
  mutate_pair(len, uniform_limit(mrate), [&](int c, int m, long draw) {
    swap(c, m, static_cast<int>(draw % len));
  });
  if (child_totals) {
    child_totals[k] = parent_totals[i] + change[0];
    child_totals[k + 1] = parent_totals[j] + change[1];
  }
}

void dump_stats(int t, int **pop, const double *totals) {
  double sum = 0.0;
  int best = best_index(totals, size, &sum);
  // With every total at -1 or below none beats the start value of the
  // search; the first highest total is still the best individual.
  if (best < 0) best = static_cast<int>(std::max_element(totals, totals + size) - totals);
  out_block_head(t);
  out_text("average value = ");
  out_fixed(sum / size);
  out_text("\nbest DNA      = ");
  for (int r = 0; r < len; r++) {
    out_int(pop[best][r] + 1);
    out_text(r < len - 1 ? ", " : "\n");
  }
  out_text("best score    = ");
  out_int(static_cast<int>(totals[best]));
  out_char('\n');
}

// Both generations' solutions; the current one random. Each individual is
// shuffled 2 x len times: every shuffle starts from the identity, so only
// the last one decides, and the draws of the others are skipped unused.
void initialize(int **oldpop, int **newpop) {
  place_populations(oldpop, newpop, size, len);
  for (int i = 0; i < size; i++) {
    skip_random((2LL * len - 1) * (len - 1));
    random_solution(oldpop[i]);
  }
}

} // namespace jobmatch

#ifndef UNIT_TEST
using namespace jobmatch;

int main(int argc, char **argv) {
  const char *default_specs = specs;
  get_options(argc, argv, options, help_string);
  seed_random(seed);
  read_specs(specs == default_specs ? find_data_file(specs) : specs);
  size = round_population_size(size);
  // Each population's solutions with their totals, which breeding carries
  // from the parents to the children.
  struct POPULATION {
    int **solution;
    double *totals;
  };
  POPULATION newpop, oldpop;
  for (POPULATION *pop : {&newpop, &oldpop})
    pop->solution = static_cast<int **>(xmalloc_array(size, sizeof(int *)));
  for (POPULATION *pop : {&newpop, &oldpop})
    pop->totals = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  auto fitness = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  initialize(oldpop.solution, newpop.solution);
  for (int i = 0; i < size; i++) oldpop.totals[i] = task_cost(oldpop.solution[i]);
  run_generations(
      gens, size, fitness, oldpop, newpop,
      [&](POPULATION &pop) { weigh_totals(pop.totals, fitness); },
      [&](int t, POPULATION &pop) { dump_stats(t, pop.solution, pop.totals); },
      [&](POPULATION &from, POPULATION &to, int i, int j, int k) {
        reproduce(from.solution, to.solution, i, j, k, from.totals, to.totals);
      });
  end_run();
}
#endif
