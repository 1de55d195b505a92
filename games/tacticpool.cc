// tacticpool: the ecological iterated prisoner's dilemma. Five fixed
// strategies share one population; each share grows with the score that the
// strategy earns against the others, weighted by their shares.
#include <cmath>

#include "tacticpool.h"

#include "subnormal.h"

namespace tacticpool {

int    steps  = 100000;
int    rounds = 10;
int    seed   = 0;
double CC     = 3.0;
double CD     = 0.0;
double DC     = 5.0;
double DD     = 1.0;
double Iallc  = 0.2;
double Itft   = 0.2;
double Irand  = 0.2;
double Ipav   = 0.2;
double Ialld  = 0.2;
double rcp    = 0.5;
double noise  = 0.0;

OPTION options[] = {
  { "-steps",  OPT_INT,    &steps,  "Number of steps to simulate." },
  { "-rounds", OPT_INT,    &rounds, "Number of rounds per step." },
  { "-seed",   OPT_INT,    &seed,   "Random seed for initial state." },
  { "-CC",     OPT_DOUBLE, &CC,     "Reward Payoff." },
  { "-CD",     OPT_DOUBLE, &CD,     "Sucker Payoff." },
  { "-DC",     OPT_DOUBLE, &DC,     "Temptation Payoff." },
  { "-DD",     OPT_DOUBLE, &DD,     "Punish Payoff." },
  { "-Iallc",  OPT_DOUBLE, &Iallc,  "Initial population of All-C." },
  { "-Itft",   OPT_DOUBLE, &Itft,   "Initial population of TFT." },
  { "-Irand",  OPT_DOUBLE, &Irand,  "Initial population of Random." },
  { "-Ipav",   OPT_DOUBLE, &Ipav,   "Initial population of Pavlov." },
  { "-Ialld",  OPT_DOUBLE, &Ialld,  "Initial population of All-D." },
  { "-rcp",    OPT_DOUBLE, &rcp,    "Probability of C for Random strategy." },
  { "-noise",  OPT_DOUBLE, &noise,  "Probability of noise." },
  { nullptr,   OPT_NULL,   nullptr, nullptr }
};

const char help_string[] =
  "The ecological iterated Prisoner's Dilemma is simulated  over time "
  "according to the specified parameters.  At every time step the "
  "population of each strategy is calculated as a function of the expected "
  "scores earned against all strategies weighted by the populations of the "
  "opponents.  Possible strategies include 'Always Cooperate,' 'Always "
  "Defect,' 'Random,' 'Pavlov,' and 'Tit-for-Tat.'";

double pops[NSTRATEGIES];
double scores[NSTRATEGIES];

LIMITS draw_limits() { return {uniform_limit(noise), uniform_limit(rcp)}; }

// The next move of `strategy` after the opponent played `other` and it
// played `own`. With noise > 0 one uniform number is drawn first, and a
// second one for the coin when the noise strikes; otherwise only Random
// draws, one number. fixed_games relies on which moves draw nothing; a test
// plays every game afresh against the cached totals.
int next_move(int strategy, int other, int own, LIMITS limit) {
  const unsigned int coin = RANDOM_VALUES / 2; // random_range(0, 1) < 0.5
  if (limit.noise && draw_below(limit.noise)) return draw_below(coin) ? C : D;
  switch (strategy) {
  case ALLC:   return C;
  case TFT:    return other;
  case RANDOM: return draw_below(limit.rcp) ? C : D;
  case PAVLOV: return own ^ other;
  default:     return D;
  }
}

namespace {

// The payoff to a player who made move `own` against move `other`.
double pay(int own, int other) {
  if (own == C) return other == C ? CC : CD;
  return other == C ? DC : DD;
}

// A game without noise in which one player, and only one, is Random: one
// draw per round, which decides Random's move. The outcome of a round,
// 2a + b, follows from the last one and that draw; `next` holds the eight
// answers, two bits each, so a round is a shift of a register and not a
// walk through the strategies' rules.
double play_against_random(int i, int j, unsigned int rcp, const double payoff[2][2]) {
  const LIMITS quiet = {0, 0};
  unsigned int next = 0;
  for (int last = 0; last < 4; last++)
    for (int coin = 0; coin < 2; coin++) { // coin 1: the draw is below rcp
      int preva = last >> 1, prevb = last & 1, random_move = coin ? C : D;
      int a = i == RANDOM ? random_move : next_move(i, prevb, preva, quiet);
      int b = j == RANDOM ? random_move : next_move(j, preva, prevb, quiet);
      next |= static_cast<unsigned int>(2 * a + b) << 2 * (2 * last + coin);
    }
  const double pay_of[4] = {payoff[0][0], payoff[0][1], payoff[1][0], payoff[1][1]};
  unsigned int outcome = 2 * C + C;
  double total = 0.0;
  for (long long k = 0; k < rounds;) {
    const unsigned int *word;
    int n = take_random(rounds - k, &word);
    for (int d = 0; d < n; d++) {
      unsigned int coin = (word[d] >> 1) < rcp;
      outcome = next >> 2 * (2 * outcome + coin) & 3;
      total += pay_of[outcome];
    }
    k += n;
  }
  return total;
}

} // namespace

// The total payoff to strategy i over one freshly played game against j.
// Within a round i moves first, so its draws precede j's.
double play_game(int i, int j) {
  const LIMITS limit = draw_limits();
  const double payoff[2][2] = {{pay(C, C), pay(C, D)}, {pay(D, C), pay(D, D)}};
  if (!limit.noise && (i == RANDOM) != (j == RANDOM))
    return play_against_random(i, j, limit.rcp, payoff);
  int preva = C, prevb = C;
  double total = 0.0;
  for (int k = 0; k < rounds; k++) {
    int a = next_move(i, prevb, preva, limit);
    int b = next_move(j, preva, prevb, limit);
    total += payoff[a][b];
    preva = a;
    prevb = b;
  }
  return total;
}

// The initial shares, scaled to sum to 1.
void init_pops() {
  double total = Iallc + Ialld + Irand + Itft + Ipav;
  const double initial[NSTRATEGIES] = {Iallc, Itft, Irand, Ipav, Ialld};
  for (int i = 0; i < NSTRATEGIES; i++) pops[i] = initial[i] / total;
}

namespace {

// Must agree with next_move on which games draw nothing, or the cached
// totals part from the plain games; a test plays both ways and compares.
FIXED_GAMES fixed_games() {
  FIXED_GAMES fixed;
  for (int i = 0; i < NSTRATEGIES; i++)
    for (int j = 0; j < NSTRATEGIES; j++) {
      fixed.known[i][j] = !(noise > 0) && i != RANDOM && j != RANDOM;
      fixed.total[i][j] = fixed.known[i][j] ? play_game(i, j) : 0.0;
    }
  return fixed;
}

// Whether score + total * share is score itself, for a share below the
// normal numbers: the product is then below 2^-962, far under half a unit
// in the last place of a score of 2^-800 or more, so rounding gives the
// score back. A dying strategy's share often sticks at the least subnormal
// number, and a product with it takes the processor many times as long as
// a plain one: leaving that product out is most of the run's time.
bool adds_nothing(double score, double total, double share) {
  return std::fabs(share) < 0x1p-1022 && std::fabs(total) <= 0x1p60 && std::fabs(score) >= 0x1p-800;
}

} // namespace

// One game per ordered pair, i against j in order; an extinct strategy
// plays no games of its own but is still played against. Games whose
// totals `fixed` holds are not played again; the others draw as always.
void compute_scores(const FIXED_GAMES *fixed) {
  for (int i = 0; i < NSTRATEGIES; i++) {
    scores[i] = 0.0;
    if (pops[i] == 0.0) continue;
    for (int j = 0; j < NSTRATEGIES; j++) {
      bool known = fixed && fixed->known[i][j];
      double total = known ? fixed->total[i][j] : play_game(i, j);
      if (!adds_nothing(scores[i], total, pops[j])) scores[i] += total * pops[j];
    }
  }
}

// Each share grows in proportion to share times score; the sum is 1 again.
// A dying strategy's share is often subnormal for the rest of the run, and
// times and divided spare the processor its slow path over it.
void update_pops() {
  double sum = 0.0;
  for (int i = 0; i < NSTRATEGIES; i++) {
    pops[i] = times(pops[i], scores[i]);
    sum += pops[i];
  }
  for (int i = 0; i < NSTRATEGIES; i++) pops[i] = divided(pops[i], sum);
}

namespace {

void print_pops() {
  char *at = out_space(NSTRATEGIES * (OUT_NUMBER + 1) + 1); // numbers, tabs, newline
  for (int i = 0; i < NSTRATEGIES; i++) {
    at = put_fixed(at, pops[i]);
    *at++ = '\t';
  }
  *at++ = '\n';
  out_advance(at);
}

} // namespace

// The shares are printed before each update, so the last state reached is
// never shown.
void simulate() {
  const FIXED_GAMES fixed = fixed_games();
  for (int step = 0; step < steps; step++) {
    print_pops();
    compute_scores(&fixed);
    update_pops();
  }
}

} // namespace tacticpool

#ifndef UNIT_TEST
using namespace tacticpool;

int main(int argc, char **argv) {
  get_options(argc, argv, options, help_string);
  seed_random(seed);
  init_pops();
  simulate();
  end_run();
}
#endif
