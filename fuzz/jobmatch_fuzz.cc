// Fuzzes the task file reader of jobmatch on a file holding the input, and
// runs what follows it in the program on the matrix it read: random
// solutions, their totals, fitness and breeding.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "harness.h"
#include "jobmatch.h"

namespace {

bool is_permutation(const int *dna, int n) {
  std::vector<char> seen(n, 0);
  for (int r = 0; r < n; r++) {
    if (dna[r] < 0 || dna[r] >= n || seen[dna[r]]) return false;
    seen[dna[r]] = 1;
  }
  return true;
}

// Solutions, totals and children on the matrix that was read.
void breed_on_matrix(const Outcome &none, unsigned seed) {
  using namespace jobmatch;
  const int n = len;
  for (int r = 0; r < n; r++)
    for (int c = 0; c < n; c++) {
      double v = cost[r][c];
      require(v == std::trunc(v) && v >= INT_MIN && v <= INT_MAX,
              "an entry is no whole number in the int range", none);
    }
  if (n > 2000) return;
  seed_random(static_cast<int>(seed));
  size = 2;
  crate = 1.0;
  mrate = 0.5;
  pbase = 2.0;
  std::vector<int> a(n), b(n), c(n), d(n);
  int *parents[] = {a.data(), b.data()}, *children[] = {c.data(), d.data()};
  random_solution(a.data());
  random_solution(b.data());
  double totals[2], fitness[2];
  for (int round = 0; round < 3; round++) {
    for (int *dna : parents) {
      require(is_permutation(dna, n), "a solution is no permutation", none);
      long long sum = 0;
      for (int r = 0; r < n; r++) sum += static_cast<long long>(cost[r][dna[r]]);
      require(task_cost(dna) == sum, "task_cost differs from the sum of the entries", none);
    }
    compute_fitness(parents, totals, fitness);
    require(totals[0] == task_cost(parents[0]) && totals[1] == task_cost(parents[1]),
            "totals differ from task_cost", none);
    reproduce(parents, children, 0, 1, 0);
    std::swap(parents[0], children[0]);
    std::swap(parents[1], children[1]);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const char *path = file_holding(data, size);
  Outcome none;
  unsigned seed = size > 0 ? data[0] : 0;
  Outcome o = run_guarded([&] {
    jobmatch::len = 0;
    jobmatch::cost = nullptr;
    jobmatch::read_specs(path);
    require(jobmatch::len >= 1, "read_specs accepted a problem without rows", none);
    breed_on_matrix(none, seed);
  });
  require_clean_ending(o);
  if (o.exited)
    require(o.status == 1, "read_specs exited with status 0", o);
  return 0;
}
