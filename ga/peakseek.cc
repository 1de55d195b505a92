// peakseek: a genetic algorithm that finds the peak of a single hump.
#include <climits>
#include <cmath>

#include "peakseek.h"

#include "digits.h"
#include "gacycle.h"
#include "report.h"

namespace peakseek {

double target = 0.5;
double var    = 1.0;
int    size   = 10;
int    len    = 16;
int    gens   = 50;
int    seed   = 0;
double crate  = 0.25;
double mrate  = 0.01;

OPTION options[] = {
  { "-target", OPT_DOUBLE, &target, "Target value for function." },
  { "-var",    OPT_DOUBLE, &var,    "Variance of bump." },
  { "-size",   OPT_INT,    &size,   "Population size." },
  { "-len",    OPT_INT,    &len,    "DNA length." },
  { "-gens",   OPT_INT,    &gens,   "Number of generations." },
  { "-seed",   OPT_INT,    &seed,   "Random seed." },
  { "-crate",  OPT_DOUBLE, &crate,  "Crossover rate." },
  { "-mrate",  OPT_DOUBLE, &mrate,  "Mutation rate." },
  { nullptr,   OPT_NULL,   nullptr, nullptr }
};

const char help_string[] =
  "Use a genetic algorithm to find the maximum of a single-humped function "
  "that is centered at a user-specified location.  This program serves as "
  "an example of how GAs can be used to optimize functions which take a "
  "floating point argument. Reproduction of strings entails crossover and "
  "mutation with strings being selected based on fitness.";

// The hump: 1 at target, falling off with the squared distance over var.
// The square is negated after the product (the same number) so that a
// distance that is not a number gives a result of one fixed sign, whatever
// order the compiler gives the factors.
double bump(double x) {
  double d = x - target;
  return exp(-(d * d) / var);
}

// The len digits of s, most significant first, as a binary fraction in [0, 1).
double str2num(const char *s) { return binary_fraction(s, len); }

double genome_fitness(const char *g) { return bump(str2num(g)); }

void compute_fitness(char **pop, double *fitness, double *nfitness) {
  weigh_genomes(pop, size, fitness, nfitness, nullptr, nullptr, genome_fitness);
}

} // namespace peakseek

// The report and the run: the unit tests bring a main of their own.
#ifndef UNIT_TEST
namespace peakseek {

namespace {

void dump_stats(int t, char **pop, const double *fitness) {
  double sum = 0.0;
  int best = best_index(fitness, size, &sum);
  out_block_head(t);
  out_text("average value = ");
  out_fixed(sum / size);
  // Only values that are not numbers leave no best genome; say so rather
  // than index outside the population.
  out_text("\nbest x = ");
  out_fixed(best < 0 ? NAN : str2num(pop[best]));
  out_text("\nbest DNA = \"");
  out_text(best < 0 ? "" : pop[best]);
  out_text("\"\nbest value = ");
  out_fixed(best < 0 ? NAN : fitness[best]);
  out_text("\n");
}

} // namespace

} // namespace peakseek

using namespace peakseek;

int main(int argc, char **argv) {
  get_options(argc, argv, options, help_string);
  seed_random(seed);
  // A cut point needs two digits; the terminator, room in an int count.
  check_digit_parameters("-len", len, 2, INT_MAX - 1, &size);
  run_digit_ga(size, gens, len, crate, mrate, genome_fitness, dump_stats);
  end_run();
}
#endif
