// The generation cycle shared by the genetic-algorithm programs, and the
// set-up of its populations.
#include <climits>
#include <cstdio>

#include "gacycle.h"
#include "misc.h"

int round_population_size(int size) {
  if (size == INT_MAX) bad_parameter("-size", "from 1 to 2147483646");
  if (size % 2 != 0) size++;
  if (size == 0) bad_parameter("-size", "from 1 to 2147483646");
  return size;
}

void check_digit_parameters(const char *option, int len, int shortest,
                            int longest, int *size) {
  if (len < shortest || len > longest) {
    char range[40];
    snprintf(range, sizeof range, "from %d to %d", shortest, longest);
    bad_parameter(option, range);
  }
  *size = round_population_size(*size);
}

DIGIT_POPULATION make_digit_population(int size) {
  DIGIT_POPULATION pop;
  pop.genome = static_cast<char **>(xmalloc_array(size, sizeof(char *)));
  pop.fitness = static_cast<double *>(xmalloc_array(size, sizeof(double)));
  pop.known = static_cast<unsigned char *>(xmalloc_array(size, 1));
  for (int i = 0; i < size; i++) pop.known[i] = 0;
  return pop;
}

// A digit is the low bit of a draw, bit 1 of its word; the draws are taken
// a run at a time, so that the loop over them is a plain vectorised one.
void make_digit_populations(char **oldpop, char **newpop, int size, int digits) {
  place_populations(oldpop, newpop, size, digits + 1LL);
  for (int i = 0; i < size; i++) {
    char *genome = oldpop[i];
    for (int j = 0; j < digits;) {
      const unsigned int *word;
      int n = take_random(digits - j, &word);
      for (int k = 0; k < n; k++) genome[j + k] = static_cast<char>('0' + (word[k] >> 1 & 1));
      j += n;
    }
    oldpop[i][digits] = newpop[i][digits] = '\0';
  }
}
