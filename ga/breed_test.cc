#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "breed.h"
#include "misc.h"

namespace {

// Breeding written out draw by draw, as the fast version must behave.
void breed_plainly(const char *a, const char *b, char *c1, char *c2, int len,
                   double crate, double mrate, char zero) {
  int cut = len;
  if (random_range(0.0, 1.0) < crate) cut = 1 + static_cast<int>(next_random() % (len - 1));
  for (int j = 0; j < len; j++) {
    c1[j] = j < cut ? a[j] : b[j];
    c2[j] = j < cut ? b[j] : a[j];
  }
  for (int j = 0; j < len; j++) {
    if (random_range(0.0, 1.0) < mrate) c1[j] = static_cast<char>(zero + next_random() % 2);
    if (random_range(0.0, 1.0) < mrate) c2[j] = static_cast<char>(zero + next_random() % 2);
  }
}

} // namespace

TEST(BreedStrings, CrossesAtOneCutAndMutatesWithFreshDigits) {
  std::string a(12, '0'), b(12, '1'), c1(12, '?'), c2(12, '?');
  seed_random(4);
  breed_strings(a.data(), b.data(), c1.data(), c2.data(), 12, 1.0, 0.0, '0');
  size_t cut = c1.find('1');
  ASSERT_NE(cut, std::string::npos);
  EXPECT_GE(cut, 1u);
  EXPECT_EQ(c1, std::string(cut, '0') + std::string(12 - cut, '1'));
  EXPECT_EQ(c2, std::string(cut, '1') + std::string(12 - cut, '0'));
  // Without crossover or mutation the children are copies, and the draws
  // (1 crossover + 2 per position) are made all the same.
  seed_random(4);
  breed_strings(a.data(), b.data(), c1.data(), c2.data(), 12, 0.0, 0.0, '0');
  EXPECT_EQ(c1, a);
  EXPECT_EQ(c2, b);
  long after = next_random();
  seed_random(4);
  for (int i = 0; i < 1 + 2 * 12; i++) next_random();
  EXPECT_EQ(after, next_random());
  // A mutation rate of 1 writes a random digit everywhere.
  breed_strings(a.data(), a.data(), c1.data(), c2.data(), 12, 0.0, 1.0, 'A');
  for (char ch : c1 + c2) EXPECT_TRUE(ch == 'A' || ch == 'B');
}

TEST(BreedStrings, MatchesTheDrawByDrawLoop) {
  const double rates[] = {0.0, -1.0, NAN, 1e-300, 0.001, 0.01, 0.3, 0.5, 1.0, 2.0};
  for (int trial = 0; trial < 3000; trial++) {
    seed_random(trial);
    int len = 2 + static_cast<int>(next_random() % (trial % 10 == 0 ? 3000 : 150));
    double crate = rates[next_random() % 10], mrate = rates[next_random() % 10];
    std::string a(len, '0'), b(len, '0');
    for (int j = 0; j < len; j++) {
      a[j] = static_cast<char>('0' + next_random() % 2);
      b[j] = static_cast<char>('0' + next_random() % 2);
    }
    // Parents alike but for one digit, or alike, as a converged population
    // breeds them: children then copy a parent although crossed.
    if (trial % 3 > 0) b = a;
    if (trial % 3 == 1) b[next_random() % len] ^= 1;
    std::string c1(len, '?'), c2(len, '?'), p1(len, '?'), p2(len, '?');
    RANDOM_STATE start = random_state;
    breed_plainly(a.data(), b.data(), p1.data(), p2.data(), len, crate, mrate, '0');
    long following = next_random();
    random_state = start;
    int copy_of[2];
    breed_copies(a.data(), b.data(), c1.data(), c2.data(), len, uniform_limit(crate),
                 uniform_limit(mrate), '0', copy_of);
    ASSERT_EQ(c1, p1) << "trial " << trial;
    ASSERT_EQ(c2, p2) << "trial " << trial;
    ASSERT_EQ(next_random(), following) << "trial " << trial;
    // A child said to copy a parent carries that parent's fitness, so it must
    // be equal to it; without mutation every copy is found.
    const std::string *parent[2] = {&a, &b}, *child[2] = {&c1, &c2};
    for (int c = 0; c < 2; c++) {
      if (copy_of[c] >= 0) {
        ASSERT_EQ(*child[c], *parent[copy_of[c]]) << "trial " << trial;
      }
      if (uniform_limit(mrate) == 0) {
        ASSERT_EQ(copy_of[c] >= 0, *child[c] == a || *child[c] == b) << "trial " << trial;
      }
    }
  }
}
