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
template <class Population, class Evaluate, class Report, class Reproduce>
void run_generations(int gens, int size, const double *weight, Population &oldpop,
                     Population &newpop, Evaluate evaluate, Report report,
                     Reproduce reproduce) {
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
// by their sum, the weights of selection. Where `known` (null for none) marks
// a genome, its fitness is there already; `unknown` has room for the indices
// of the others, gathered first, so that no branch guesses which is which.
template <class FitnessOf>
void weigh_genomes(char **pop, int size, double *fitness, double *nfitness,
                   const unsigned char *known, int *unknown, FitnessOf fitness_of) {
  if (!known) {
    for (int i = 0; i < size; i++) fitness[i] = fitness_of(pop[i]);
  } else {
    int n = 0;
    for (int i = 0; i < size; i++) {
      unknown[n] = i;
      n += !known[i];
    }
    for (int k = 0; k < n; k++) fitness[unknown[k]] = fitness_of(pop[unknown[k]]);
  }
  for (int i = 0; i < size; i++) nfitness[i] = fitness[i];
  normalise(nfitness, size, KEEP_QUOTIENTS);
}

// The arrays of a population of `size` genomes, none of whose fitness is
// known yet; make_digit_populations gives the genomes their strings.
DIGIT_POPULATION make_digit_population(int size);

// The whole run of a GA over strings of `digits` binary digits: both
// populations, the first one, then `gens` generations, each pair bred over
// whole strings as breed_strings breeds them. fitness_of gives a genome's
// fitness; a child that is a copy of its parent has the parent's.
template <class FitnessOf, class Stats>
void run_digit_ga(int size, int gens, int digits, double crate, double mrate,
                  FitnessOf fitness_of, Stats dump_stats) {
  DIGIT_POPULATION oldpop = make_digit_population(size);
  DIGIT_POPULATION newpop = make_digit_population(size);
  auto nfitness = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  auto unknown = static_cast<int *>(xmalloc_array(size, sizeof(int)));
  make_digit_populations(oldpop.genome, newpop.genome, size, digits);
  unsigned int crate_limit = uniform_limit(crate), mrate_limit = uniform_limit(mrate);
  run_generations(
      gens, size, nfitness, oldpop, newpop,
      [&](DIGIT_POPULATION &pop) {
        weigh_genomes(pop.genome, size, pop.fitness, nfitness, pop.known, unknown, fitness_of);
      },
      [&](int t, DIGIT_POPULATION &pop) { dump_stats(t, pop.genome, pop.fitness); },
      [&](DIGIT_POPULATION &from, DIGIT_POPULATION &to, int a, int b, int i) {
        int copy_of[2];
        breed_copies(from.genome[a], from.genome[b], to.genome[i], to.genome[i + 1], digits,
                     crate_limit, mrate_limit, '0', copy_of);
        // Written whether known or not, so that no branch waits on it.
        for (int c = 0; c < 2; c++) {
          to.known[i + c] = copy_of[c] >= 0;
          to.fitness[i + c] = from.fitness[copy_of[c] == 1 ? b : a];
        }
      });
}

#endif
