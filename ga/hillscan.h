// hillscan: its parameters and the functions that its tests call.
#ifndef HILLSCAN_H
#define HILLSCAN_H

#include "misc.h"

namespace hillscan {

extern int size, len, gens, seed;
extern double crate, mrate;
extern OPTION options[];
extern const char help_string[];

double surface(double x, double y);
double str2num(const char *s);
double genome_fitness(const char *g);
void compute_fitness(char **pop, double *fitness, double *nfitness);

} // namespace hillscan

#endif
