// jobmatch: its parameters, the problem it reads and the functions that its
// tests and its fuzz target call.
#ifndef JOBMATCH_H
#define JOBMATCH_H

#include "misc.h"

namespace jobmatch {

extern const char *specs;
extern int size, gens, seed;
extern double crate, mrate, pbase;
extern OPTION options[];
extern const char help_string[];

// The problem: len rows of len whole-number entries, set by read_specs.
extern int len;
extern double **cost;

void read_specs(const char *path);
void random_solution(int *dna);
// The total of the entries a solution picks (a score to maximise, despite
// the name).
int task_cost(const int *dna);
void weigh_totals(const double *totals, double *fitness);
void compute_fitness(int **pop, double *totals, double *fitness);
// Breeds children k and k + 1 from parents i and j; given the parents'
// totals, writes the children's.
void reproduce(int **parents, int **children, int i, int j, int k,
               const double *parent_totals = nullptr, double *child_totals = nullptr);
void dump_stats(int t, int **pop, const double *totals);
void initialize(int **oldpop, int **newpop);

} // namespace jobmatch

#endif
