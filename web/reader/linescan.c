// The page's reader worker reads the programs' output here: lines of plain
// decimals, the bulk of a long run, and the lines that a view passes over
// unread. The worker copies up to WINDOW bytes into `window` and calls in
// with a part of them; every other line (a label, a block, words, an
// exponent, nan, more than 15 digits) stays with the JavaScript reader, to
// which these functions hand it back.
//
// A number is read as the JavaScript reader reads it: up to 15 digits, so
// that the integer they make and the power of ten are both exact and their
// quotient is the correctly rounded value, the one Number() gives.
#include <stdint.h>
#include <string.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#define WINDOW (1 << 20) // bytes the worker stages at a time
#define VALUES (1 << 16) // numbers one call reads at most
#define PAD 8 // bytes after a staged part: 0, which ends every run of digits

static uint8_t window[WINDOW + PAD];
static double values[VALUES];
static int32_t widths[VALUES]; // numbers on each line read

// What the last call found, for the worker to read after it.
static int32_t lines_read; // read_numbers: lines; pass_lines: newlines passed
static int32_t numbers_read; // read_numbers: numbers

static const double POW10[16] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

uint8_t *window_address(void) { return window; }
double *values_address(void) { return values; }
int32_t *widths_address(void) { return widths; }
int32_t lines_found(void) { return lines_read; }
int32_t numbers_found(void) { return numbers_read; }
int32_t window_size(void) { return WINDOW; }
int32_t values_size(void) { return VALUES; }

static int blank(uint8_t c) { return c == ' ' || c == '\t' || c == '\r'; }

// The digits at p, added to *v: their count. A run of more than 15 wraps
// *v around, but the caller refuses it anyway.
static int32_t digits(const uint8_t *p, uint64_t *v) {
  int32_t count = 0;
  uint64_t x = *v;
  while ((uint8_t)(p[count] - '0') < 10) { x = x * 10 + (p[count] - '0'); count++; }
  *v = x;
  return count;
}

// The value of exactly six digits at p, as printf's "%f" writes a number's
// fraction, or NOT_SIX (fewer or more): the bulk of a long output, read
// a fifth faster than digit by digit. One 8-byte load (the first digit in
// its lowest byte): a byte is a digit where the high nibbles of it and of
// it plus 6 are both 3 (a digit plus 6 carries into no other byte); then
// pairs, fours and eights of digits combined at once.
#define NOT_SIX (~(uint64_t)0)
static uint64_t six_digits(const uint8_t *p) {
  uint64_t x;
  memcpy(&x, p, 8);
  uint64_t nibbles = (x & 0xf0f0f0f0f0f0f0f0u) | (((x + 0x0606060606060606u) & 0xf0f0f0f0f0f0f0f0u) >> 4);
  if ((nibbles & 0xffffffffffffu) != 0x333333333333u || (nibbles >> 48 & 0xff) == 0x33) return NOT_SIX;
  uint64_t d = ((x - 0x3030303030303030u) & 0xffffffffffffu) << 16; // 00dddddd
  d = d * 10 + (d >> 8);
  return (((d & 0x000000ff000000ffu) * (100 + (1000000ull << 32))) +
          (((d >> 16) & 0x000000ff000000ffu) * (1 + (10000ull << 32)))) >> 32;
}

// One line of numbers from window[i]: the index of its newline, with the
// numbers in values[k...] and their count in *count; or -1 where the line
// is anything else, ends at or beyond n (window[n] is 0, no digit, blank or
// newline) or would fill values past VALUES.
static int32_t number_line(int32_t i, int32_t n, int32_t k, int32_t *count) {
  const uint8_t *b = window;
  int32_t first = k;
  for (;;) {
    while (blank(b[i])) i++;
    if (i >= n) return -1;
    if (b[i] == '\n') {
      *count = k - first;
      return k > first ? i : -1;
    }
    if (k == VALUES) return -1;
    int negative = b[i] == '-';
    if (negative || b[i] == '+') i++;
    uint64_t v = 0;
    int32_t whole = digits(b + i, &v), scale = 0;
    i += whole;
    if (b[i] == '.' && whole <= 15) {
      uint64_t six = six_digits(b + i + 1);
      if (six != NOT_SIX) {
        v = v * 1000000 + six;
        scale = 6;
        i += 7;
      } else {
        scale = digits(b + i + 1, &v);
        i += 1 + scale;
      }
    }
    if (i >= n) return -1;
    int32_t all = whole + scale;
    if (!all || all > 15 || !(blank(b[i]) || b[i] == '\n')) return -1;
    double x = (double)v; // exact: below 10^15
    if (scale) x /= POW10[scale];
    values[k++] = negative ? -x : x;
  }
}

// Reads whole lines of numbers from window[at, at + n), up to the first
// that is anything else or ends beyond them: the bytes read (up to and with
// the last newline), with lines_found() lines, the count of numbers of
// each in widths, numbers_found() numbers in values.
// A line that opens with "(" (a label) is left to the caller. The byte
// after the part is set to 0: the worker stages nothing there.
int32_t read_numbers(int32_t at, int32_t n) {
  int32_t i = at, end = at + n, k = 0, lines = 0;
  memset(window + end, 0, PAD);
  while (i < end && window[i] != '(') {
    int32_t count;
    int32_t newline = number_line(i, end, k, &count);
    if (newline < 0) break;
    widths[lines++] = count;
    k += count;
    i = newline + 1;
  }
  lines_read = lines;
  numbers_read = k;
  return i - at;
}

// Passes over up to `count` lines of window[at, at + n): the bytes passed
// (up to and with the last newline passed, or n), with lines_found() lines.
int32_t pass_lines(int32_t at, int32_t n, int32_t count) {
  int32_t i = at, end = at + n, left = count;
#ifdef __wasm_simd128__
  // Sixteen bytes at a time while at least as many lines are left; the last
  // few lines byte by byte.
  const v128_t newline = wasm_i8x16_splat('\n');
  for (; left >= 16 && i + 16 <= end; i += 16) {
    v128_t found = wasm_i8x16_eq(wasm_v128_load(window + i), newline);
    left -= __builtin_popcount(wasm_i8x16_bitmask(found));
  }
#endif
  while (left > 0 && i < end)
    if (window[i++] == '\n') left--;
  lines_read = count - left;
  return i - at;
}
