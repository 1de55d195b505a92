// tacticbreed: its parameters, its population and the functions that its
// tests call.
#ifndef TACTICBREED_H
#define TACTICBREED_H

#include "misc.h"

namespace tacticbreed {

extern int size, gens, bouts, rounds, hlen, seed;
extern double crate, mrate, noise, CC, CD, DC, DD;
extern int dump;
extern OPTION options[];
extern const char help_string[];

// A strategy is a table of moves (0 cooperate, 1 defect), one byte each, of
// dna_length() entries; section n, starting at dnaindex[n], holds the 4^n
// moves that follow n remembered rounds. The two populations of tables that
// inititalize_population makes, the first one filled.
extern char **oldpop, **newpop;
extern int *dnaindex;
// Circular move histories of the current bout, slot t mod hlen for round t.
extern int *hista, *histb;
// Per individual: payoffs summed, rounds played, and the roulette weights.
extern double *score;
extern long long *roundbout;
extern double *fitness;

int dna_length();
void build_dnaindex();
void pd(int a, int b, double *pa, double *pb);
// The functions of a generation work on the population they are given.
void ipd(char **pop, int a, int b, int t, double *pa, double *pb);
void play_rounds(char **pop, int a, int b);
bool whole_payoffs(long long pay[4]);
void play_bout(char **pop, int a, int b, const long long pay[4]);
void compute_fitness(char **pop);
void reproduce(char **parents, char **children, int i, int j, int k);
// Allocates every array and fills the first population.
void inititalize_population();

} // namespace tacticbreed

#endif
