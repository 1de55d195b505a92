// Test support: whether a solution of the assignment problem is one.
#ifndef PERMUTATION_H
#define PERMUTATION_H

#include <algorithm>
#include <numeric>
#include <vector>

// Whether `values` holds first, first + 1, ..., first + n - 1, each once.
inline bool is_permutation_from(std::vector<int> values, int n, int first) {
  std::vector<int> each(n > 0 ? n : 0);
  std::iota(each.begin(), each.end(), first);
  std::sort(values.begin(), values.end());
  return values == each;
}

#endif
