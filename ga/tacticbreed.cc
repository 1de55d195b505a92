// tacticbreed: a genetic algorithm that co-evolves strategies for the
// iterated prisoner's dilemma.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tacticbreed.h"

#include "breed.h"
#include "gacycle.h"
#include "report.h"

namespace tacticbreed {

int    size   = 100;
int    gens   = 50;
int    bouts  = 50;
int    rounds = 20;
int    hlen   = 1;
int    seed   = 0;
double crate  = 0.25;
double mrate  = 0.001;
double noise  = 0.0;
double CC     = 4.0;
double CD     = 0.0;
double DC     = 5.0;
double DD     = 1.0;
int    dump   = 0;

OPTION options[] = {
  { "-size",   OPT_INT,    &size,   "Population size." },
  { "-gens",   OPT_INT,    &gens,   "Number of generations." },
  { "-bouts",  OPT_INT,    &bouts,  "Bouts per generation." },
  { "-rounds", OPT_INT,    &rounds, "Rounds per bout." },
  { "-hlen",   OPT_INT,    &hlen,   "History length." },
  { "-seed",   OPT_INT,    &seed,   "Random seed." },
  { "-crate",  OPT_DOUBLE, &crate,  "Crossover rate." },
  { "-mrate",  OPT_DOUBLE, &mrate,  "Mutation rate." },
  { "-noise",  OPT_DOUBLE, &noise,  "Chance of mistake in transaction." },
  { "-CC",     OPT_DOUBLE, &CC,     "Reward Payoff." },
  { "-CD",     OPT_DOUBLE, &CD,     "Sucker Payoff." },
  { "-DC",     OPT_DOUBLE, &DC,     "Temptation Payoff." },
  { "-DD",     OPT_DOUBLE, &DD,     "Punish Payoff." },
  { "-dump",   OPT_SWITCH, &dump,   "Print entire population at end?" },
  { nullptr,   OPT_NULL,   nullptr, nullptr }
};

const char help_string[] =
  "Use a genetic algorithm to evolve IPD strategies according to "
  "user-specified constraints.  This program illustrates how GAs can "
  "demonstrate co-evolution since IPD strategies can only be successful "
  "within the context of their likely opponents.  Reproduction of strategies "
  "entails crossover and mutation with strategies being selected based on "
  "fitness.";

char **oldpop, **newpop;
int *dnaindex;
int *hista, *histb;
// Payoffs are summed as whole numbers held in doubles: exact wherever an
// int sum would be, and still defined for payoffs or totals beyond the int
// range. A 64-bit round count cannot overflow in any run that ends.
double *score;
long long *roundbout;
double *fitness;

int dna_length() { return dnaindex[hlen + 1]; }

// pd, for the prisoner's dilemma: the payoffs of one round to the player of
// move a and to the player of move b (0 cooperates, 1 defects). A payoff
// counts truncated toward zero, as a whole number.
void pd(int a, int b, double *pa, double *pb) {
  const double own[2][2] = {{CC, CD}, {DC, DD}};
  *pa = trunc(own[a][b]);
  *pb = trunc(own[b][a]);
}

// Round t of the current bout between pop[a] and pop[b]. Each player
// looks up its move from the last min(t, hlen) rounds, the most recent in
// the highest pair of bits, own move above the opponent's. Consumes two
// noise draws, and a random move after each draw below noise. play_bout
// must play exactly these rounds; a test plays both ways and compares.
void ipd(char **pop, int a, int b, int t, double *pa, double *pb) {
  int n = t < hlen ? t : hlen;
  int s = t % hlen;
  int ia = 0, ib = 0;
  for (int i = 0; i < n; i++) {
    int e = (s - 1 - i + hlen) % hlen;
    ia = 4 * ia + 2 * hista[e] + histb[e];
    ib = 4 * ib + 2 * histb[e] + hista[e];
  }
  int ma = pop[a][dnaindex[n] + ia];
  int mb = pop[b][dnaindex[n] + ib];
  if (random_range(0.0, 1.0) < noise) ma = static_cast<int>(next_random() % 2);
  if (random_range(0.0, 1.0) < noise) mb = static_cast<int>(next_random() % 2);
  pd(ma, mb, pa, pb);
  hista[s] = ma;
  histb[s] = mb;
}

// One bout between pop[a] and pop[b], round by round through ipd.
void play_rounds(char **pop, int a, int b) {
  for (int t = 0; t < rounds; t++) {
    double pa, pb;
    ipd(pop, a, b, t, &pa, &pb);
    score[a] += pa;
    score[b] += pb;
    roundbout[a]++;
    roundbout[b]++;
  }
}

// The payoffs of pd by (own move, other's move) as 2 x own + other, when
// they are small whole numbers: then no score of a generation can reach
// 2^52 (an individual plays at most bouts x rounds x (size + 1) rounds), so
// every sum is exact in any order. Returns false for payoffs that need the
// order of play_rounds.
bool whole_payoffs(long long pay[4]) {
  double plays = static_cast<double>(bouts) * rounds * (size + 1.0);
  for (int own = 0; own < 2; own++)
    for (int other = 0; other < 2; other++) {
      double p, q;
      pd(own, other, &p, &q);
      if (!(std::fabs(p) * plays <= 4503599627370496.0)) return false; // NaN too
      pay[2 * own + other] = static_cast<long long>(p);
    }
  return true;
}

// The same bout as play_rounds, with payoffs from whole_payoffs: the same
// moves, draws and score totals. Each player's history index is carried
// from round to round (the latest round entering the high bits) instead of
// being read back from the circular buffers. Without noise the two noise
// draws of every round can only miss, and are skipped in one go. A change
// to ipd must be made here too; a test plays both ways and compares.
void play_bout(char **pop, int a, int b, const long long pay[4]) {
  const char *ta = pop[a], *tb = pop[b];
  const unsigned int limit = uniform_limit(noise);
  if (limit == 0) skip_random(2LL * rounds);
  long long sa = 0, sb = 0;
  int ia = 0, ib = 0;
  // Round t's moves as pairs (own move, other's move), after the noise.
  auto play = [&](int start, int *pair_a, int *pair_b) {
    int ma = ta[start + ia], mb = tb[start + ib];
    if (limit > 0) {
      if (draw_below(limit)) ma = static_cast<int>(next_random() % 2);
      if (draw_below(limit)) mb = static_cast<int>(next_random() % 2);
    }
    *pair_a = 2 * ma + mb;
    *pair_b = 2 * mb + ma;
    sa += pay[*pair_a];
    sb += pay[*pair_b];
  };
  int t = 0, pair_a, pair_b;
  for (; t < rounds && t < hlen; t++) { // the history still growing
    play(dnaindex[t], &pair_a, &pair_b);
    ia += pair_a << 2 * t;
    ib += pair_b << 2 * t;
  }
  const int start = dnaindex[hlen], top = 2 * (hlen - 1);
  for (; t < rounds; t++) {
    play(start, &pair_a, &pair_b);
    ia = ia >> 2 | pair_a << top;
    ib = ib >> 2 | pair_b << top;
  }
  score[a] += static_cast<double>(sa);
  score[b] += static_cast<double>(sb);
  roundbout[a] += rounds;
  roundbout[b] += rounds;
}

namespace {

double average_score(int i) {
  return score[i] / static_cast<double>(roundbout[i]);
}

} // namespace

// Every individual plays `bouts` bouts as first player against opponents
// drawn from the whole population (itself included); its fitness is its
// average payoff per round, normalised to sum to 1. When the averages sum
// to zero or less (or to no finite number) they cannot serve as roulette
// weights, and every individual gets the same weight instead.
void compute_fitness(char **pop) {
  for (int i = 0; i < size; i++) {
    score[i] = 0.0;
    roundbout[i] = 0;
  }
  long long pay[4];
  bool whole = whole_payoffs(pay);
  for (int i = 0; i < size; i++)
    for (int k = 0; k < bouts; k++) {
      int b = static_cast<int>(next_random() % size);
      if (whole)
        play_bout(pop, i, b, pay);
      else
        play_rounds(pop, i, b);
    }
  for (int i = 0; i < size; i++) fitness[i] = average_score(i);
  normalise(fitness, size, 1.0 / size);
}

void reproduce(char **parents, char **children, int i, int j, int k) {
  breed_strings(parents[i], parents[j], children[k], children[k + 1], dna_length(),
                crate, mrate, 0);
}

// dnaindex[j] = dnaindex[j - 1] + 4^(j - 1), so dnaindex[n] = (4^n - 1) / 3.
void build_dnaindex() {
  dnaindex[0] = 0;
  for (int j = 1; j <= hlen + 1; j++)
    dnaindex[j] = static_cast<int>(dnaindex[j - 1] + pow(2.0, 2 * (j - 1)));
}

// Allocates everything once, then fills the first generation with
// size x L random moves, individual 0 first. The misspelt name is the one
// this step has always had in the program's design, kept so that the code
// and the design can be matched name for name.
void inititalize_population() {
  score = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  roundbout = static_cast<long long *>(xmalloc_array(size, sizeof(long long)));
  fitness = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  hista = static_cast<int *>(xmalloc_array(hlen, sizeof(int)));
  histb = static_cast<int *>(xmalloc_array(hlen, sizeof(int)));
  dnaindex = static_cast<int *>(xmalloc_array(hlen + 2LL, sizeof(int)));
  build_dnaindex();
  oldpop = static_cast<char **>(xmalloc_array(size, sizeof(char *)));
  newpop = static_cast<char **>(xmalloc_array(size, sizeof(char *)));
  int length = dna_length();
  // Every table is taken before any is filled, so that a run too large for
  // the machine is refused before it touches the memory.
  for (int i = 0; i < size; i++) {
    oldpop[i] = static_cast<char *>(xmalloc(length));
    newpop[i] = static_cast<char *>(xmalloc(length));
  }
  for (int i = 0; i < size; i++)
    for (int m = 0; m < length; m++)
      oldpop[i][m] = static_cast<char>(next_random() % 2);
}

} // namespace tacticbreed

// The report, the checks and the run: the unit tests bring a main of their
// own.
#ifndef UNIT_TEST
namespace tacticbreed {
namespace {

// The longest history whose table, (4^(hlen + 1) - 1) / 3 moves, still
// has an int length.
const int max_hlen = 15;

// A table as its moves, C or D, in position order, and a line break, handed
// to write(text, n) a piece at a time: a table can be longer than any block.
template <class Write> void write_table(const char *table, Write write) {
  char text[4096];
  const int length = dna_length();
  for (int m = 0; m < length; m += static_cast<int>(sizeof text)) {
    int n = std::min(length - m, static_cast<int>(sizeof text));
    for (int k = 0; k < n; k++) text[k] = static_cast<char>(table[m + k] + 'C');
    write(text, n);
  }
  write("\n", 1);
}

void write_to_stderr(const char *text, size_t n) { fwrite(text, 1, n, stderr); }

char *put_text(char *p, const char *text) {
  size_t n = strlen(text);
  memcpy(p, text, n);
  return p + n;
}

// Statistics on standard error, so that the population dump on standard
// output can be redirected apart; numbers as on standard output. A positive
// total leaves some weight above 0, as do equal weights, so the best search
// always finds an individual.
void dump_stats(int g, char **pop) {
  double weights = 0.0, sum = 0.0;
  int best = best_index(fitness, size, &weights);
  for (int i = 0; i < size; i++) sum += average_score(i);
  static const char average[] = "average score = ",
                    best_average[] = "\nbest average score = ", best_is[] = "\nbest = ";
  char text[BLOCK_HEAD + sizeof average + OUT_NUMBER + sizeof best_average + OUT_NUMBER +
            sizeof best_is];
  char *at = put_block_head(text, g);
  at = put_fixed(put_text(at, average), sum / size);
  at = put_fixed(put_text(at, best_average), average_score(best));
  at = put_text(at, best_is);
  write_to_stderr(text, static_cast<size_t>(at - text));
  write_table(pop[best], write_to_stderr);
}

// Refuses what cannot be played: no history (rounds are counted modulo
// hlen), a table longer than an int can index, and generations without a
// single round, whose averages would be 0/0. A negative hlen is left to the
// allocator to refuse, like a negative size.
void check_parameters() {
  size = round_population_size(size);
  if (hlen == 0 || hlen > max_hlen) bad_parameter("-hlen", "from 1 to 15");
  if (bouts < 1) bad_parameter("-bouts", "from 1 to 2147483647");
  if (rounds < 1) bad_parameter("-rounds", "from 1 to 2147483647");
}

} // namespace
} // namespace tacticbreed

using namespace tacticbreed;

int main(int argc, char **argv) {
  get_options(argc, argv, options, help_string);
  seed_random(seed);
  check_parameters();
  inititalize_population();
  // The populations are exchanged after every generation, so that oldpop
  // ends as the one bred last, which the dump shows.
  run_generations(gens, size, fitness, oldpop, newpop, compute_fitness, dump_stats,
                  reproduce);
  if (dump)
    for (int i = 0; i < size; i++) write_table(oldpop[i], out_bytes);
  end_run();
}
#endif
