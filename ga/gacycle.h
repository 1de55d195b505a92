// The generation cycle shared by the genetic-algorithm programs.
#ifndef GACYCLE_H
#define GACYCLE_H

#include <utility>

#include "misc.h"

// Rounds a population size up to an even number (-3 becomes -2, -1 becomes
// 0): breeding makes children in pairs. Exits with a message for sizes the
// program cannot run with (0, and the largest int, which has no even
// successor); negative sizes are left to the allocator to refuse.
int round_population_size(int size);

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

// Index of the first value strictly above the start value -1.0, or -1 when
// there is none; adds every value to *sum.
int best_index(const double *value, int size, double *sum);

// "---\ntime = %d\n", the opening of every statistics block: written at p
// (at most BLOCK_HEAD bytes; returns the end), or into the output block.
enum { BLOCK_HEAD = 24 }; // 11 bytes of label, an int of at most 11, a newline
char *put_block_head(char *p, int t);
void out_block_head(int t);

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

// The `len` digits from s ('0' + value), most significant first, summed as
// v = 2v + digit in double arithmetic. Runs of '0' and '1' that cannot round
// are summed eight at a time as an integer, with the same result.
double digits_value(const char *s, int len);

// Breeds two children from parents a and b of `len` symbols: a crossover draw
// (and a cut point in 1 .. len - 1 when it is below crate), the head of one
// parent with the tail of the other, then per position a mutation draw for
// each child, which on success writes `zero` + a random bit. The draws are
// made even when crate or mrate is 0, so the stream stays aligned.
void breed_strings(const char *a, const char *b, char *child1, char *child2,
                   int len, double crate, double mrate, char zero);

// The len digits '0'/'1' from `digits`, most significant first, as a
// fraction v / 2^len in [0, 1). It is summed with halving weights: each
// partial sum is the partial v = 2v + digit scaled by a power of two, which
// changes no rounding, but neither v nor 2^len overflows for more than 1023
// digits (their quotient would not be a number).
double binary_fraction(const char *digits, int len);

// Gives each of the `size` entries of both populations a string of `digits`
// characters with its terminator, and fills the current population with
// random digits, genome 0 first: size x digits draws.
void make_digit_populations(char **oldpop, char **newpop, int size, int digits);

// The generation cycle: evaluate the current population, report it, breed
// the next one pair by pair from two roulette picks, then exchange the two.
// The population bred last is never evaluated.
template <class Genome, class Evaluate, class Report, class Reproduce>
void run_generations(int gens, int size, const double *weight,
                     Genome *&oldpop, Genome *&newpop, Evaluate evaluate,
                     Report report, Reproduce reproduce) {
  if (gens <= 0) return;
  ROULETTE wheel = make_roulette(size);
  for (int t = 0; t < gens; t++) {
    evaluate(oldpop);
    report(t, oldpop);
    spin_up(&wheel, weight);
    for (int i = 0; i < size; i += 2) {
      int a = pick_one(&wheel);
      int b = pick_one(&wheel);
      reproduce(oldpop, newpop, a, b, i);
    }
    std::swap(oldpop, newpop);
  }
}

// The steps that the two optimisers over strings of binary digits share.
// The fitness of each of the `size` genomes by fitness_of, in population
// order, and each divided by their sum: the weights of selection.
template <class FitnessOf>
void weigh_genomes(char **pop, int size, double *fitness, double *nfitness,
                   FitnessOf fitness_of) {
  double sum = 0.0;
  for (int i = 0; i < size; i++) {
    fitness[i] = fitness_of(pop[i]);
    sum += fitness[i];
  }
  for (int i = 0; i < size; i++) nfitness[i] = fitness[i] / sum;
}

// Refuses a `len` (named `option`) outside shortest .. longest, then rounds
// *size up to an even number.
void check_digit_parameters(const char *option, int len, int shortest,
                            int longest, int *size);

// The whole run of a GA over strings of `digits` binary digits: both
// populations, the fitness and weight arrays, the first population, then
// `gens` generations, each pair bred by breed_strings over whole strings.
template <class Fitness, class Stats>
void run_digit_ga(int size, int gens, int digits, double crate, double mrate,
                  Fitness compute_fitness, Stats dump_stats) {
  auto oldpop = static_cast<char **>(xmalloc_array(size, sizeof(char *)));
  auto newpop = static_cast<char **>(xmalloc_array(size, sizeof(char *)));
  auto fitness = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  auto nfitness = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  make_digit_populations(oldpop, newpop, size, digits);
  run_generations(
      gens, size, nfitness, oldpop, newpop,
      [&](char **pop) { compute_fitness(pop, fitness, nfitness); },
      [&](int t, char **pop) { dump_stats(t, pop, fitness); },
      [&](char **from, char **to, int a, int b, int i) {
        breed_strings(from[a], from[b], to[i], to[i + 1], digits, crate, mrate, '0');
      });
}

#endif
