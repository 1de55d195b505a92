// Decoding strings of binary digits into numbers.
#ifndef DIGITS_H
#define DIGITS_H

// The `len` digits from s ('0' + value), most significant first, summed as
// v = 2v + digit in double arithmetic. Runs of '0' and '1' that cannot round
// are summed eight at a time as an integer, with the same result.
double digits_value(const char *s, int len);

// The len digits '0'/'1' from `digits`, most significant first, as the
// fraction v / 2^len in [0, 1] (1 itself when the first 54 digits are all
// ones, which rounds up). Up to 1023 digits it is v, as digits_value sums
// it, scaled by 2^-len, which changes no rounding. Past 1023 digits v and
// 2^len would both overflow to infinity and their quotient would not be a
// number, so there digit j (from 1) adds digit x 2^-j to a running sum
// instead: always a number, and digits past the 1074th, whose weight is 0,
// add nothing.
double binary_fraction(const char *digits, int len);

#endif
