// Pieces of the statistics blocks that the genetic-algorithm programs print.
#ifndef REPORT_H
#define REPORT_H

#include "misc.h"

// Index of the first value strictly above the start value -1.0, or -1 when
// there is none; adds every value to *sum.
int best_index(const double *value, int size, double *sum);

// "---\ntime = %d\n", the opening of every statistics block: written at p
// (at most BLOCK_HEAD bytes; returns the end), or into the output block.
enum { BLOCK_HEAD = 24 }; // 11 bytes of label, an int of at most 11, a newline
char *put_block_head(char *p, int t);
void out_block_head(int t);

#endif
