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

void make_digit_populations(char **oldpop, char **newpop, int size, int digits) {
  place_populations(oldpop, newpop, size, digits + 1LL);
  for (int i = 0; i < size; i++) {
    for (int j = 0; j < digits; j++)
      oldpop[i][j] = static_cast<char>('0' + next_random() % 2);
    oldpop[i][digits] = newpop[i][digits] = '\0';
  }
}
