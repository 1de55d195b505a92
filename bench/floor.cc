// floor: the least work a GA run can take. For a run of peakseek, hillscan,
// jobmatch or tacticbreed it makes the same random draws as the program,
// in the same order and with the same scans, and writes the bytes that the
// program wrote, and does nothing else: no fitness, no selection search, no
// genomes. What decides which draws a run makes (a crossover draw below the
// rate, a mutation or noise test that hits) depends on the draws alone,
// never on fitness, so the sequence is the program's own.
//
// Usage: floor PROGRAM STDOUT STDERR [PROGRAM'S OPTIONS]
//          STDOUT, STDERR: files holding what the program wrote
//        floor draws COUNT
//          times COUNT draws scanned for the first below a 1 % limit, as
//          the mutation scan makes them, and prints the time per draw
//        floor fitness PROGRAM [PROGRAM'S OPTIONS]
//          times the fitness alone of size x gens genomes of random digits
//          for peakseek or hillscan, as many as a run that carried none
//          over would evaluate, and prints the time (the program's own
//          functions, so that a baseline's sources build it too)
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "gacycle.h"
#include "hillscan.h"
#include "jobmatch.h"
#include "misc.h"
#include "peakseek.h"
#include "tacticbreed.h"

namespace {

std::string read_file(const char *path) {
  FILE *f = fopen(path, "rb");
  if (!f) {
    perror(path);
    exit(1);
  }
  std::string text;
  char chunk[65536];
  for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
  fclose(f);
  return text;
}

// One pair bred: two roulette draws, the crossover draw and its cut point,
// then the mutation scan over both children of `len` positions.
void breed_draws(int len, unsigned int crate_limit, unsigned int mrate_limit) {
  skip_random(2);
  if (draw_below(crate_limit)) next_random();
  mutate_pair(len, mrate_limit, [](int, int, long) {});
}

void generations(int gens, int size, int len, double crate, double mrate) {
  for (int t = 0; t < gens; t++)
    for (int i = 0; i < size; i += 2) breed_draws(len, uniform_limit(crate), uniform_limit(mrate));
}

void digit_ga(int size, int gens, int digits, double crate, double mrate) {
  size = round_population_size(size);
  skip_random(static_cast<long long>(size) * digits);
  generations(gens, size, digits, crate, mrate);
}

void peakseek_draws() {
  using namespace peakseek;
  seed_random(seed);
  digit_ga(size, gens, len, crate, mrate);
}

void hillscan_draws() {
  using namespace hillscan;
  seed_random(seed);
  digit_ga(size, gens, 2 * len, crate, mrate);
}

void jobmatch_draws() {
  using namespace jobmatch;
  seed_random(seed);
  read_specs(specs);
  size = round_population_size(size);
  skip_random(2LL * len * (len - 1) * size);
  generations(gens, size, len, crate, mrate);
}

// Per bout the opponent's draw, then per round the two noise tests, each
// with its random move when it hits.
void tacticbreed_draws() {
  using namespace tacticbreed;
  seed_random(seed);
  size = round_population_size(size);
  int length = static_cast<int>(((1LL << 2 * (hlen + 1)) - 1) / 3);
  skip_random(static_cast<long long>(size) * length);
  for (int g = 0; g < gens; g++) {
    for (long long k = 0; k < static_cast<long long>(size) * bouts; k++) {
      next_random();
      mutate_pair(rounds, uniform_limit(noise), [](int, int, long) {});
    }
    for (int i = 0; i < size; i += 2) breed_draws(length, uniform_limit(crate), uniform_limit(mrate));
  }
}

struct FLOOR {
  const char *name;
  OPTION *options;
  void (*draws)();
};
const FLOOR floors[] = {
  { "peakseek",    peakseek::options,    peakseek_draws },
  { "hillscan",    hillscan::options,    hillscan_draws },
  { "jobmatch",    jobmatch::options,    jobmatch_draws },
  { "tacticbreed", tacticbreed::options, tacticbreed_draws },
};

// The processor time of the process: on a shared machine the time waited
// for the processor would count too.
double cpu_seconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int time_draws(long long count) {
  const unsigned int limit = uniform_limit(0.01);
  std::vector<double> ns;
  long long sink = 0;
  for (int run = 0; run < 7; run++) {
    double start = cpu_seconds();
    for (long long drawn = 0; drawn < count;) {
      long long miss = draws_until_below(limit, count - drawn);
      sink += miss;
      drawn += miss + 1;
    }
    ns.push_back((cpu_seconds() - start) * 1e9 / static_cast<double>(count));
  }
  std::sort(ns.begin(), ns.end());
  printf("%.3f ns of processor time a draw, scanned (median of 7 runs of %lld draws; %lld misses)\n", ns[3],
         count, sink);
  return 0;
}

// The size x gens fitness values of a run's generations, over `size`
// genomes of random digits, evaluated `gens` times.
template <class FitnessOf>
double fitness_seconds(int size, int gens, int digits, FitnessOf fitness_of) {
  size = round_population_size(size);
  std::vector<std::string> pop(size, std::string(digits, '0'));
  for (std::string &g : pop)
    for (char &c : g) c = static_cast<char>('0' + next_random() % 2);
  double start = cpu_seconds(), sink = 0.0;
  for (int t = 0; t < gens; t++)
    for (const std::string &g : pop) sink += fitness_of(g.c_str());
  double seconds = cpu_seconds() - start;
  if (sink == 12345.0) printf(" "); // keeps the sum, and so the calls
  return seconds;
}

int time_fitness(int argc, char **argv) {
  std::vector<double> s;
  for (int run = 0; run < 7; run++) {
    if (strcmp(argv[2], "peakseek") == 0) {
      using namespace peakseek;
      get_options(argc - 2, argv + 2, options, "");
      s.push_back(fitness_seconds(size, gens, len, [](const char *g) { return bump(str2num(g)); }));
    } else if (strcmp(argv[2], "hillscan") == 0) {
      using namespace hillscan;
      get_options(argc - 2, argv + 2, options, "");
      s.push_back(fitness_seconds(size, gens, 2 * len, [](const char *g) {
        return surface(str2num(g), str2num(g + len));
      }));
    } else {
      fprintf(stderr, "floor fitness: peakseek or hillscan\n");
      return 1;
    }
  }
  std::sort(s.begin(), s.end());
  printf("%.4f s of processor time for the fitness alone (median of 7 runs)\n", s[3]);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 3 && strcmp(argv[1], "draws") == 0) return time_draws(atoll(argv[2]));
  if (argc >= 3 && strcmp(argv[1], "fitness") == 0) return time_fitness(argc, argv);
  const FLOOR *f = argc < 4 ? nullptr
                            : std::find_if(std::begin(floors), std::end(floors), [&](const FLOOR &x) {
                                return strcmp(x.name, argv[1]) == 0;
                              });
  if (!f || f == std::end(floors)) {
    fprintf(stderr, "usage: floor PROGRAM STDOUT STDERR [OPTIONS] | floor draws COUNT | "
                    "floor fitness PROGRAM [OPTIONS]\n");
    return 1;
  }
  std::string out = read_file(argv[2]), err = read_file(argv[3]);
  // The program's own option table reads the options, as in the program.
  argv[3] = argv[1];
  get_options(argc - 3, argv + 3, f->options, "");
  f->draws();
  fwrite(err.data(), 1, err.size(), stderr);
  out_bytes(out.data(), out.size());
  end_run();
}
