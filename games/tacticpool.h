// tacticpool: its parameters, its records and the functions that its tests
// call.
#ifndef TACTICPOOL_H
#define TACTICPOOL_H

#include "misc.h"

namespace tacticpool {

extern int steps, rounds, seed;
extern double CC, CD, DC, DD;
extern double Iallc, Itft, Irand, Ipav, Ialld;
extern double rcp, noise;
extern OPTION options[];
extern const char help_string[];

enum { C = 0, D = 1 };
enum { ALLC, TFT, RANDOM, PAVLOV, ALLD, NSTRATEGIES };

// The population shares and the scores of the current step.
extern double pops[NSTRATEGIES];
extern double scores[NSTRATEGIES];

// The draws a move compares with: random_range(0, 1) < p is a draw below
// uniform_limit(p). A limit of 0 for noise means no noise draw at all, which
// is what noise <= 0 (or not a number) gives.
struct LIMITS {
  unsigned int noise, rcp;
};
LIMITS draw_limits();
int next_move(int strategy, int other, int own, LIMITS limit);

// Totals of the games that draw nothing: without noise, those in which
// neither player is Random. They come out the same at every step.
struct FIXED_GAMES {
  bool known[NSTRATEGIES][NSTRATEGIES];
  double total[NSTRATEGIES][NSTRATEGIES];
};

double play_game(int i, int j);
void init_pops();
void compute_scores(const FIXED_GAMES *fixed);
void update_pops();
void simulate();

} // namespace tacticpool

#endif
