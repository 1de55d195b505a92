// peakseek: its parameters and the functions that its tests call.
#ifndef PEAKSEEK_H
#define PEAKSEEK_H

#include "misc.h"

namespace peakseek {

extern double target, var;
extern int size, len, gens, seed;
extern double crate, mrate;
extern OPTION options[];
extern const char help_string[];

double bump(double x);
double str2num(const char *s);
double genome_fitness(const char *g);
void compute_fitness(char **pop, double *fitness, double *nfitness);

} // namespace peakseek

#endif
