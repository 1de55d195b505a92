// Decoding strings of binary digits into numbers.
#ifndef DIGITS_H
#define DIGITS_H

// The `len` digits from s ('0' + value), most significant first, summed as
// v = 2v + digit in double arithmetic. Runs of '0' and '1' that cannot round
// are summed eight at a time as an integer, with the same result.
double digits_value(const char *s, int len);

// The len digits '0'/'1' from `digits`, most significant first, as a
// fraction v / 2^len in [0, 1). It is summed with halving weights: each
// partial sum is the partial v = 2v + digit scaled by a power of two, which
// changes no rounding, but neither v nor 2^len overflows for more than 1023
// digits (their quotient would not be a number).
double binary_fraction(const char *digits, int len);

#endif
