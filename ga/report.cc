// Pieces of the statistics blocks that the genetic-algorithm programs print.
#include <cstring>

#include "misc.h"
#include "report.h"

int best_index(const double *value, int size, double *sum) {
  double best = -1.0;
  int index = -1;
  for (int j = 0; j < size; j++) {
    if (value[j] > best) {
      best = value[j];
      index = j;
    }
    *sum += value[j];
  }
  return index;
}

char *put_block_head(char *p, int t) {
  static const char label[] = "---\ntime = ";
  memcpy(p, label, sizeof label - 1);
  p = put_int(p + sizeof label - 1, t);
  *p++ = '\n';
  return p;
}

void out_block_head(int t) { out_advance(put_block_head(out_space(BLOCK_HEAD), t)); }
