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
namespace {

// Bouts of pop[a] against pop[b[0]] .. pop[b[N - 1]], side by side: a
// round waits on the moves of the last, and independent bouts fill each
// other's waits. With noise, N is 1 and the draws are made in the rounds;
// without, the caller has made each bout's draws.
template <int N>
void play_lanes(char **pop, int a, const int *b, const long long pay[4], unsigned int limit) {
  const char *ta = pop[a], *tb[N];
  long long sa[N], sb[N];
  int ia[N], ib[N];
  for (int g = 0; g < N; g++) {
    tb[g] = pop[b[g]];
    sa[g] = sb[g] = 0;
    ia[g] = ib[g] = 0;
  }
  // Round t's moves as pairs (own move, other's move), after the noise.
  auto play = [&](int g, int start, int *pair_a, int *pair_b) {
    int ma = ta[start + ia[g]], mb = tb[g][start + ib[g]];
    if (N == 1 && limit > 0) {
      if (draw_below(limit)) ma = static_cast<int>(next_random() % 2);
      if (draw_below(limit)) mb = static_cast<int>(next_random() % 2);
    }
    *pair_a = 2 * ma + mb;
    *pair_b = 2 * mb + ma;
    sa[g] += pay[*pair_a];
    sb[g] += pay[*pair_b];
  };
  int t = 0, pair_a, pair_b;
  for (; t < rounds && t < hlen; t++) // the history still growing
    for (int g = 0; g < N; g++) {
      play(g, dnaindex[t], &pair_a, &pair_b);
      ia[g] += pair_a << 2 * t;
      ib[g] += pair_b << 2 * t;
    }
  const int start = dnaindex[hlen], top = 2 * (hlen - 1);
  for (; t < rounds; t++)
    for (int g = 0; g < N; g++) {
      play(g, start, &pair_a, &pair_b);
      ia[g] = ia[g] >> 2 | pair_a << top;
      ib[g] = ib[g] >> 2 | pair_b << top;
    }
  for (int g = 0; g < N; g++) {
    score[a] += static_cast<double>(sa[g]);
    score[b[g]] += static_cast<double>(sb[g]);
    roundbout[a] += rounds;
    roundbout[b[g]] += rounds;
  }
}

} // namespace

void play_bout(char **pop, int a, int b, const long long pay[4]) {
  const unsigned int limit = uniform_limit(noise);
  if (limit == 0) skip_random(2LL * rounds);
  play_lanes<1>(pop, a, &b, pay, limit);
}

namespace {

double average_score(int i) {
  return score[i] / static_cast<double>(roundbout[i]);
}

// An index of remembered rounds as the other player reads it: in each pair
// of bits the two moves exchanged.
constexpr int mirror_pairs(int index) { return (index & 0x5555) << 1 | (index >> 1 & 0x5555); }

// n % d for n and d below 2^32 (d > 0) by two multiplications: the
// fraction n / d kept to 64 bits, times d, gives the remainder in its top
// bits. Exact for every such n and d.
struct DIVISOR {
  unsigned long long fraction;
  unsigned int d;
};
DIVISOR divisor(int d) {
  return {~0ULL / static_cast<unsigned int>(d) + 1, static_cast<unsigned int>(d)};
}
unsigned int modulo(unsigned int n, DIVISOR by) {
  unsigned long long low = by.fraction * n;
  return static_cast<unsigned int>((static_cast<unsigned __int128>(low) * by.d) >> 64);
}

// Without noise a bout is a walk over the positions of player A's table:
// the position that a round reads, together with the round number while it
// is below hlen, fixes B's position (the mirrored index in the same
// section) and so the next position. A position p of section n, index i,
// leads to section n + 1, index i + (pair << 2n), while n < hlen, and
// within section hlen to index (i >> 2) + (pair << 2 (hlen - 1)); pair is
// (A's move, B's move), A's in the higher bit. The successor is thus the
// sum of a part that A's table gives (the next section's start, the index
// carried over, A's move shifted) and a part that B's gives (its move at
// the mirrored index, shifted). Each individual's two parts are made once
// a generation; a bout adds them, sixteen bytes at a time, and a round is
// then a single look-up that waits on the last. With hlen 3 or less a
// position fits a byte.
const int max_walk_hlen = 3;
// Per individual, walk_stride bytes of its part as A, then its part as B;
// the bytes past the table's length stay 0.
unsigned char *walk_parts;
// Per individual, the payoffs of the bouts walked in this generation.
long long *walk_payoffs;

constexpr int walk_stride(int h) { return ((4 << 2 * h) / 3 + 15) / 16 * 16; }
// dnaindex[n], for the sizes known when compiling.
constexpr int section_start(int n) { return ((1 << 2 * n) - 1) / 3; }

// The two parts of one table's section N, then of the sections after it.
template <int H, int N>
void make_section_parts(const char *table, unsigned char *as_a, unsigned char *as_b) {
  constexpr int start = section_start(N), shift = N < H ? 2 * N : 2 * (H - 1);
  struct MIRRORED {
    unsigned char index[1 << 2 * N];
    constexpr MIRRORED() : index() {
      for (int k = 0; k < 1 << 2 * N; k++) index[k] = static_cast<unsigned char>(mirror_pairs(k));
    }
  };
  static constexpr MIRRORED mirrored;
  for (int k = 0; k < 1 << 2 * N; k++) {
    int carried = N < H ? section_start(N + 1) + k : start + (k >> 2);
    as_a[start + k] = static_cast<unsigned char>(carried + (table[start + k] << (shift + 1)));
  }
  for (int k = 0; k < 1 << 2 * N; k++)
    as_b[start + k] = static_cast<unsigned char>(table[start + mirrored.index[k]] << shift);
  if constexpr (N < H) make_section_parts<H, N + 1>(table, as_a, as_b);
}

template <int H> void make_walk_parts(char **pop) {
  constexpr int stride = walk_stride(H);
  for (int i = 0; i < size; i++) {
    unsigned char *as_a = walk_parts + 2LL * stride * i;
    make_section_parts<H, 0>(pop[i], as_a, as_a + stride);
  }
}

// The payoffs of a round to A and to B in one word: A's plus B's x 2^16,
// modulo 2^64; the second lane of a pair puts its word 32 bits higher. A
// sum of such words holds four sums, each borrowing from the one above,
// and gives them back exactly while each stays below 2^15 in size.
const int pay_field_bits = 16;
const long long pay_field_limit = 32767;

unsigned long long pay_word(const long long pay[4], int pair) {
  return static_cast<unsigned long long>(pay[pair]) +
         (static_cast<unsigned long long>(pay[mirror_pairs(pair)]) << pay_field_bits);
}

// The four fields of `word`, the lowest first.
void pay_fields(unsigned long long word, long long *fields) {
  for (int f = 0; f < 4; f++) {
    fields[f] = static_cast<short>(static_cast<unsigned short>(word));
    word = (word - static_cast<unsigned long long>(fields[f])) >> pay_field_bits;
  }
}

const int walk_lanes = 8;

// The bouts pop[a[k]] against pop[b[k]], k < n, walk_lanes of them side by
// side (the arrays go on to a whole number of lanes, the bouts past n
// walked but unpaid), with payoffs of pay_field_limit or less in size and
// the draws made. Two lanes share a word of pay, emptied every `block`
// rounds, before a sum can reach 2^15.
template <int H>
void walk_bouts(const int *a, const int *b, int n, const long long pay[4], int block) {
  constexpr int stride = walk_stride(H), pairs = walk_lanes / 2;
  // The pay of the round that ends at each position, by the pair in the
  // top of its index (position 0 begins the bout and no round ends there),
  // for the first and for the second lane of a pair.
  unsigned long long pay_at[2][stride] = {};
  for (int s = 1, p = 1; s <= H; p += 1 << 2 * s, s++)
    for (int k = 0; k < 1 << 2 * s; k++) {
      pay_at[0][p + k] = pay_word(pay, k >> 2 * (s - 1));
      pay_at[1][p + k] = pay_at[0][p + k] << 2 * pay_field_bits;
    }
  alignas(16) unsigned char next[walk_lanes][stride];
  for (int first = 0; first < n; first += walk_lanes) {
    int lane_a[walk_lanes], lane_b[walk_lanes];
    for (int g = 0; g < walk_lanes; g++) {
      lane_a[g] = a[first + g];
      lane_b[g] = b[first + g];
      const unsigned char *as_a = walk_parts + 2LL * stride * lane_a[g];
      const unsigned char *as_b = walk_parts + 2LL * stride * lane_b[g] + stride;
      for (int p = 0; p < stride; p++) next[g][p] = static_cast<unsigned char>(as_a[p] + as_b[p]);
    }
    const int paid = std::min(walk_lanes, n - first);
    auto pay_out = [&](unsigned long long *words) {
      long long sums[pairs][4]; // A's and B's of a pair's first lane, then its second's
      for (int j = 0; j < pairs; j++) {
        pay_fields(words[j], sums[j]);
        words[j] = 0;
      }
      for (int g = 0; g < paid; g++) {
        walk_payoffs[lane_a[g]] += sums[g / 2][2 * (g % 2)];
        walk_payoffs[lane_b[g]] += sums[g / 2][2 * (g % 2) + 1];
      }
    };
    int at[walk_lanes] = {};
    unsigned long long words[pairs] = {};
    for (int t = rounds, left = block; t > 0; t--) {
      for (int g = 0; g < walk_lanes; g++) {
        at[g] = next[g][at[g]];
        words[g / 2] += pay_at[g % 2][at[g]];
      }
      if (--left == 0) {
        pay_out(words);
        left = block;
      }
    }
    pay_out(words);
    for (int g = 0; g < paid; g++) roundbout[lane_b[g]] += rounds;
  }
}

// The opponents of n bouts in a row, each drawn before the bout's
// 2 x rounds noise draws, which are passed over: the draws are taken a
// block at a time and the opponents read off them.
void draw_opponents(int *b, int n, DIVISOR by_size) {
  const long long per_bout = 2LL * rounds + 1, all = n * per_bout;
  long long taken = 0, next_opponent = 0;
  for (int k = 0; taken < all;) {
    const unsigned int *words;
    int got = take_random(all - taken, &words);
    for (; k < n && next_opponent < taken + got; k++, next_opponent += per_bout)
      b[k] = static_cast<int>(modulo(words[next_opponent - taken] >> 1, by_size));
    taken += got;
  }
}

// Walks all bouts of a generation, a batch at a time in their order.
template <int H> void walk_generation(char **pop, const long long pay[4], int block) {
  make_walk_parts<H>(pop);
  for (int i = 0; i < size; i++) walk_payoffs[i] = 0;
  const DIVISOR by_size = divisor(size);
  const int batch = 512;
  int a[batch + walk_lanes], b[batch + walk_lanes];
  for (int i = 0, played = 0; i < size;) {
    int n = 0;
    while (n < batch && i < size) { // the rest of i's bouts, or what fits
      int run = std::min(batch - n, bouts - played);
      std::fill(a + n, a + n + run, i);
      n += run;
      played += run;
      if (played == bouts) {
        played = 0;
        i++;
      }
    }
    draw_opponents(b, n, by_size);
    for (int k = n; k % walk_lanes; k++) a[k] = b[k] = 0;
    walk_bouts<H>(a, b, n, pay, block);
  }
  // Each individual played its bouts as A; walk_bouts counts the rest.
  for (int i = 0; i < size; i++) {
    score[i] = static_cast<double>(walk_payoffs[i]);
    roundbout[i] += static_cast<long long>(bouts) * rounds;
  }
}

// Without noise and with whole payoffs (whose sums come out the same in any
// order), the draws of the bouts are made first, in their order, and the
// bouts played several at a time: walked for short histories and payoffs
// that fit the walk's words, otherwise four of a player's bouts side by
// side.
void play_without_noise(char **pop, const long long pay[4]) {
  long long largest = 1;
  for (int p = 0; p < 4; p++) largest = std::max(largest, std::llabs(pay[p]));
  const int block = static_cast<int>(pay_field_limit / largest);
  if (block > 0) switch (hlen) {
  case 1: return walk_generation<1>(pop, pay, block);
  case 2: return walk_generation<2>(pop, pay, block);
  case 3: return walk_generation<3>(pop, pay, block);
  }
  const DIVISOR by_size = divisor(size);
  for (int i = 0; i < size; i++) {
    int k = 0;
    for (; k + 4 <= bouts; k += 4) {
      int b[4] = {};
      draw_opponents(b, 4, by_size);
      play_lanes<4>(pop, i, b, pay, 0);
    }
    for (; k < bouts; k++) {
      int b = 0;
      draw_opponents(&b, 1, by_size);
      play_lanes<1>(pop, i, &b, pay, 0);
    }
  }
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
  if (whole && uniform_limit(noise) == 0)
    play_without_noise(pop, pay);
  else
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
  if (hlen >= 1 && hlen <= max_walk_hlen) {
    long long bytes = 2LL * walk_stride(hlen);
    walk_parts = static_cast<unsigned char *>(xmalloc_wide(size, bytes));
    memset(walk_parts, 0, static_cast<size_t>(size) * static_cast<size_t>(bytes));
    walk_payoffs = static_cast<long long *>(xmalloc_array(size, sizeof(long long)));
  }
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
