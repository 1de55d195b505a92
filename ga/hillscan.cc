// hillscan: a genetic algorithm that climbs a surface of nine humps.
#include <cmath>

#include "hillscan.h"

#include "digits.h"
#include "gacycle.h"
#include "report.h"

namespace hillscan {

int    size  = 10;
int    len   = 16;
int    gens  = 50;
int    seed  = 0;
double crate = 0.75;
double mrate = 0.01;

OPTION options[] = {
  { "-size",  OPT_INT,    &size,   "Population size." },
  { "-len",   OPT_INT,    &len,    "DNA length." },
  { "-gens",  OPT_INT,    &gens,   "Number of generations." },
  { "-seed",  OPT_INT,    &seed,   "Random seed." },
  { "-crate", OPT_DOUBLE, &crate,  "Crossover rate." },
  { "-mrate", OPT_DOUBLE, &mrate,  "Mutation rate." },
  { nullptr,  OPT_NULL,   nullptr, nullptr }
};

const char help_string[] =
  "Use a genetic algorithm to find the maximum of a multi-humped function. "
  "This program serves as an example of how GAs can be used to optimize "
  "function which take a multiple floating point arguments. Reproduction of "
  "strings entails crossover and mutation with strings being selected based "
  "on fitness.";

// The undivided surface at the origin, 1.5 + 4e^-8 + 2e^-9, so that the
// global maximum is 1.
const double surface_peak = 1.50158867011978;

namespace {

// One hump of height 1 centred on (cx, cy).
double bump(double x, double y, double cx, double cy) {
  return exp(-(x - cx) * (x - cx) - (y - cy) * (y - cy));
}

} // namespace

// Four corner humps, a taller one in the middle and four low ones on the
// axes; the sum is formed in this order so that results are reproducible.
double surface(double x, double y) {
  double sum = bump(x, y, 2, 2);
  sum += bump(x, y, -2, 2);
  sum += bump(x, y, -2, -2);
  sum += bump(x, y, 2, -2);
  sum += 1.5 * bump(x, y, 0, 0);
  sum += 0.5 * (bump(x, y, -3, 0) +
                (bump(x, y, 0, 3) + bump(x, y, 3, 0) + bump(x, y, 0, -3)));
  return sum / surface_peak;
}

// The len digits from s, most significant first, as a coordinate in [-4, 4).
double str2num(const char *s) { return binary_fraction(s, len) * 8.0 - 4.0; }

// x from the first len digits of a genome, y from the next len.
double genome_fitness(const char *g) { return surface(str2num(g), str2num(g + len)); }

void compute_fitness(char **pop, double *fitness, double *nfitness) {
  weigh_genomes(pop, size, fitness, nfitness, nullptr, nullptr, genome_fitness);
}

} // namespace hillscan

// The report and the run: the unit tests bring a main of their own.
#ifndef UNIT_TEST
namespace hillscan {

namespace {

// The surface is positive everywhere, so some genome always passes the
// start value -1.0 of the best search.
void dump_stats(int t, char **pop, const double *fitness) {
  double sum = 0.0;
  int best = best_index(fitness, size, &sum);
  out_block_head(t);
  out_text("average value = ");
  out_fixed(sum / size);
  out_text("\nbest (x, y) = (");
  out_fixed(str2num(pop[best]));
  out_text(", ");
  out_fixed(str2num(pop[best] + len));
  out_text(")\nbest DNA = \"");
  out_text(pop[best]);
  out_text("\"\nbest value = ");
  out_fixed(fitness[best]);
  out_text("\n");
}

} // namespace

} // namespace hillscan

using namespace hillscan;

int main(int argc, char **argv) {
  get_options(argc, argv, options, help_string);
  seed_random(seed);
  // A genome of 2 len digits and its terminator must fit an int byte count.
  check_digit_parameters("-len", len, 1, 1073741823, &size);
  // One cut point over the whole genome, so a cut at len swaps the y halves.
  run_digit_ga(size, gens, 2 * len, crate, mrate, genome_fitness, dump_stats);
  end_run();
}
#endif
