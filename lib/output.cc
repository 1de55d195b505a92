// Standard output assembled in memory and written in large blocks (or line
// by line to a terminal), with an exact formatter for "%f" that avoids the
// cost of printf per number.
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "misc.h"

namespace {

char block[1 << 16];
size_t used = 0;
// 1: each completed line is written at once; 0: whole blocks; TIMED (2, in
// a web page only, below): the completed lines once enough time has passed;
// -1: not yet known. Every value but 0 goes through write_lines, so that the
// first output decides.
int line_mode = -1;
// In line mode no newline lies in the block before this.
size_t looked = 0;

#ifdef __EMSCRIPTEN__
// In a web page a block can take seconds to fill, and the page shows
// nothing meanwhile: there the completed lines are also written once 100 ms
// have passed since the last write. The clock is read every `every` calls,
// a number that adapts so that a read falls every few milliseconds however
// fast the lines come. The bytes are the same; only their pieces differ.
constexpr int TIMED = 2;
int every = 1, countdown = 1;
double checked = 0, written = 0;

bool time_to_write() {
  if (--countdown > 0) return false;
  double now = emscripten_get_now();
  if (now - checked < 1 && every < (1 << 16)) every *= 2;
  else if (now - checked > 10 && every > 1) every /= 2;
  countdown = every;
  checked = now;
  if (now - written < 100) return false;
  written = now;
  return true;
}
#endif

// Writes out the completed lines of the block, keeping a last partial line.
void write_lines() {
#ifdef __EMSCRIPTEN__
  if (line_mode < 0 && !isatty(STDOUT_FILENO)) line_mode = TIMED;
  if (line_mode == TIMED) {
    if (!time_to_write()) return;
    size_t n = used;
    while (n > 0 && block[n - 1] != '\n') n--;
    if (n == 0) return;
    fwrite(block, 1, n, stdout);
    fflush(stdout);
    used -= n;
    memmove(block, block + n, used);
    return;
  }
#endif
  if (line_mode < 0) line_mode = isatty(STDOUT_FILENO);
  if (!line_mode) return;
  size_t n = used;
  while (n > looked && block[n - 1] != '\n') n--;
  looked = used;
  if (n == 0 || block[n - 1] != '\n') return;
  fwrite(block, 1, n, stdout);
  fflush(stdout);
  used -= n;
  looked = used;
  memmove(block, block + n, used);
}

void make_room(size_t n) {
  if (used + n > sizeof block) out_flush();
}

// "00" to "99", so that the six decimals take three lookups.
constexpr struct PAIRS {
  char digit[200];
  constexpr PAIRS() : digit() {
    for (int i = 0; i < 100; i++) {
      digit[2 * i] = static_cast<char>('0' + i / 10);
      digit[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
} pairs;

void put_pair(char *p, unsigned int v) { memcpy(p, pairs.digit + 2 * v, 2); }

// The digits of v, two at a time from the last.
char *put_digits(char *p, uint64_t v) {
  if (v < 10) {
    *p = static_cast<char>('0' + v);
    return p + 1;
  }
  int n = 2;
  for (uint64_t ten = 100; n < 20 && v >= ten; ten *= 10) n++;
  char *end = p + n;
  while (v >= 100) {
    end -= 2;
    put_pair(end, static_cast<unsigned int>(v % 100));
    v /= 100;
  }
  if (v >= 10)
    put_pair(end - 2, static_cast<unsigned int>(v));
  else
    end[-1] = static_cast<char>('0' + v);
  return p + n;
}

} // namespace

char *put_fixed(char *p, double v) {
  uint64_t bits;
  memcpy(&bits, &v, sizeof bits);
  bool negative = bits >> 63;
  int biased = static_cast<int>((bits >> 52) & 0x7ff);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0x7ff) {
    // Every NaN prints as "-nan", what printf gives for 0.0 / 0.0 here: the
    // sign of a NaN depends on which operand the compiler happened to put
    // first, so printing it would make the output differ between builds.
    const char *text = mantissa ? "-nan" : (negative ? "-inf" : "inf");
    size_t n = strlen(text);
    memcpy(p, text, n);
    return p + n;
  }
  // |v| >= 2^40 is rare in a report; the C library writes it. (Not every
  // C++ library has a floating-point std::to_chars, the WebAssembly one
  // among them.)
  if (biased >= 1023 + 40)
    return p + snprintf(p, OUT_NUMBER, "%.6f", v);
  // v = m * 2^-shift exactly, so v * 10^6 = m * 10^6 / 2^shift, an exact
  // fraction that is rounded to nearest, ties to even, as printf does.
  // 1075 is the exponent bias 1023 plus the 52 fraction bits, which m holds
  // as a whole number; subnormals (biased 0) scale as biased 1. The shift is
  // 13 or more, since |v| < 2^40.
  uint64_t m = biased ? mantissa | (uint64_t{1} << 52) : mantissa;
  int shift = 1075 - (biased ? biased : 1);
  uint64_t q = 0;
  if (shift < 64) {
    uint64_t low, high;
#if defined(__x86_64__) || defined(__aarch64__)
    unsigned __int128 n = static_cast<unsigned __int128>(m) * 1000000u;
    low = static_cast<uint64_t>(n);
    high = static_cast<uint64_t>(n >> 64);
#else
    // m * 10^6 in two words from two products that fit one each (m's halves
    // times 10^6 stay below 2^52): WebAssembly has no 64 x 64-bit product
    // to 128 bits and would call a library routine for one.
    uint64_t by_low = (m & 0xffffffffu) * 1000000u, by_high = (m >> 32) * 1000000u;
    low = by_low + (by_high << 32);
    high = (by_high >> 32) + (low < by_low);
#endif
    q = high << (64 - shift) | low >> shift;
    uint64_t rest = low & ((uint64_t{1} << shift) - 1), half = uint64_t{1} << (shift - 1);
    // Up above half, and at exactly half only when q is odd: a comparison
    // is 0 or 1, so "& q" keeps just q's low bit. No branch, since the
    // digits dropped are as good as random.
    q += (rest > half) | ((rest == half) & q);
  } else if (shift < 128) {
    // Adding just under half, plus the low bit of the quotient, rounds
    // halves to the even neighbour.
    unsigned __int128 n = static_cast<unsigned __int128>(m) * 1000000u;
    unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    q = static_cast<uint64_t>((n + (half - 1) + ((n >> shift) & 1)) >> shift);
  } // else below 2^-75: rounds to zero
  *p = '-'; // kept only for negative numbers; no branch on a sign that varies
  p += negative;
  p = put_digits(p, q / 1000000);
  *p++ = '.';
  unsigned int fraction = static_cast<unsigned int>(q % 1000000);
  put_pair(p, fraction / 10000);
  put_pair(p + 2, fraction / 100 % 100);
  put_pair(p + 4, fraction % 100);
  return p + 6;
}

char *put_fixed_sign(char *p, double v) {
  *p = ' ';
  return put_fixed(p + !(std::signbit(v) || std::isnan(v)), v); // "-nan" has its sign
}

char *put_int(char *p, long long v) {
  if (v >= 0) return put_digits(p, static_cast<uint64_t>(v));
  *p++ = '-';
  return put_digits(p, 0 - static_cast<uint64_t>(v));
}

char *out_space(size_t n) {
  make_room(n);
  return block + used;
}

// Every addition to the block ends with "if (line_mode) write_lines()": in
// block mode one predictable branch and nothing more per call.
void out_advance(char *end) {
  used = static_cast<size_t>(end - block);
  if (line_mode) write_lines();
}

void out_bytes(const char *s, size_t n) {
  if (n > sizeof block) {
    out_flush();
    fwrite(s, 1, n, stdout);
    if (line_mode) fflush(stdout);
    return;
  }
  make_room(n);
  memcpy(block + used, s, n);
  used += n;
  if (line_mode) write_lines();
}

void out_text(const char *s) { out_bytes(s, strlen(s)); }

void out_char(char c) {
  make_room(1);
  block[used++] = c;
  if (line_mode) write_lines();
}

void out_fixed(double v) { out_advance(put_fixed(out_space(OUT_NUMBER), v)); }

void out_fixed_sign(double v) { out_advance(put_fixed_sign(out_space(OUT_NUMBER), v)); }

void out_int(long long v) { out_advance(put_int(out_space(24), v)); }

void out_flush() {
  if (used) fwrite(block, 1, used, stdout);
  used = 0;
  looked = 0;
}

void out_set_line_mode(bool on) {
  line_mode = on;
  looked = 0;
  write_lines();
}

void end_run() {
  out_flush();
  errno = 0;
  bool failed = fflush(stdout) != 0 || ferror(stdout);
  if (failed) {
    if (errno)
      fprintf(stderr, "%s: cannot write standard output: %s.\n", program_name,
              strerror(errno));
    else
      fprintf(stderr, "%s: cannot write standard output.\n", program_name);
    exit(1);
  }
  if (ferror(stderr)) exit(1);
  exit(0);
}
