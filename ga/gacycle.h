// The generation cycle shared by the genetic-algorithm programs, and the
// set-up of its populations.
#ifndef GACYCLE_H
#define GACYCLE_H

#include <cmath>
#include <limits>
#include <utility>

#include "breed.h"
#include "misc.h"
#include "roulette.h"

// Rounds a population size up to an even number (-3 becomes -2, -1 becomes
// 0): breeding makes children in pairs. Exits with a message for sizes the
// program cannot run with (0, and the largest int, which has no even
// successor); negative sizes are left to the allocator to refuse.
int round_population_size(int size);

// Refuses a `len` (named `option`) outside shortest .. longest, then rounds
// *size up to an even number.
void check_digit_parameters(const char *option, int len, int shortest,
                            int longest, int *size);

// Points each of the `size` entries of both populations at `each` genome
// elements of its own. One block per population, both taken before any is
// filled, so that a run too large for the machine is refused before it
// touches the memory.
template <class Element>
void place_populations(Element **oldpop, Element **newpop, int size, long long each) {
  long long bytes = each * static_cast<long long>(sizeof(Element));
  auto olds = static_cast<Element *>(xmalloc_wide(size, bytes));
  auto news = static_cast<Element *>(xmalloc_wide(size, bytes));
  for (int i = 0; i < size; i++) {
    oldpop[i] = olds + i * each;
    newpop[i] = news + i * each;
  }
}

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

// The fallback of normalise that keeps the quotients whatever the sum: a
// sum of 0 or one that is not a number makes every weight not a number, and
// the roulette then picks its last index.
constexpr double KEEP_QUOTIENTS = std::numeric_limits<double>::quiet_NaN();

// Divides each of the n weights by their sum, added in index order, so that
// they sum to 1 and can serve the roulette. A sum that is not a positive
// finite number cannot make weights of them, and each becomes `fallback`
// instead, unless that is KEEP_QUOTIENTS.
inline void normalise(double *weights, int n, double fallback) {
  double sum = 0.0;
  for (int i = 0; i < n; i++) sum += weights[i];
  bool usable = (sum > 0.0 && std::isfinite(sum)) || std::isnan(fallback);
  for (int i = 0; i < n; i++) weights[i] = usable ? weights[i] / sum : fallback;
}

// For the two optimisers over strings of binary digits: the fitness of each
// of the `size` genomes by fitness_of, in population order, and each divided
// by their sum, the weights of selection.
template <class FitnessOf>
void weigh_genomes(char **pop, int size, double *fitness, double *nfitness,
                   FitnessOf fitness_of) {
  for (int i = 0; i < size; i++) nfitness[i] = fitness[i] = fitness_of(pop[i]);
  normalise(nfitness, size, KEEP_QUOTIENTS);
}

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
