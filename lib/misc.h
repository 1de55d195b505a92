// misc: the support library shared by every program of the suite.
#ifndef MISC_H
#define MISC_H

#include <cstdio>
#include <cstdlib>

// ---------------------------------------------------------------------------
// Options and help screen
// ---------------------------------------------------------------------------

enum { OPT_INT, OPT_DOUBLE, OPT_STRING, OPT_SWITCH, OPT_HANDLER, OPT_NULL };

// One entry of an option table; a table ends with an entry whose name is null.
// `variable` points at an int (OPT_INT, OPT_SWITCH), a double (OPT_DOUBLE),
// a const char * (OPT_STRING) or is an option_handler (OPT_HANDLER).
struct OPTION {
  const char *name;
  int type;
  void *variable;
  const char *help;
};

// Consumes the arguments itself; leaves *index at the first argument it did
// not use and returns 0, or returns non-zero to report a misuse.
using option_handler = int (*)(char **argv, int argc, OPTION *options,
                               int *index, int entry);

// Stores every option value given into its variable. Shows the help screen
// and exits with status 1 on "-help", an unknown word or a missing value.
void get_options(int argc, char **argv, OPTION *options,
                 const char *help_string);
[[noreturn]] void display_options(char **argv, OPTION *options,
                                  const char *help_string);
void bad_option(char **argv, int index);

// A decimal integer as strtol reads it (0 when the text holds none), held to
// the nearest end of the int range rather than wrapped.
int text_to_int(const char *text);

// The name the program was started under (argv[0]), once get_options has run.
extern const char *program_name;

// Reports a parameter that the program cannot work with, as
// "NAME: OPTION must be RANGE.", and exits with status 1.
[[noreturn]] void bad_parameter(const char *option, const char *range);

// ---------------------------------------------------------------------------
// Fast report output
// ---------------------------------------------------------------------------

// Write v at p exactly as printf does with "%f", "% f" and "%lld"; return
// the end. A NaN is "-nan" whatever its sign bit, for both forms, so that
// every build prints the same. OUT_NUMBER is the room to leave for one
// number. The longest takes 317 bytes ("%f" of -DBL_MAX: a sign, 309
// digits, a point and six decimals), and snprintf, which writes such large
// ones, adds a terminator after them: 401 is a round 400 bytes of text, well
// above that, and the terminator.
enum { OUT_NUMBER = 401 };
char *put_fixed(char *p, double v);
char *put_fixed_sign(char *p, double v);
char *put_int(char *p, long long v);

// Standard output gathered in a block; out_flush (and end_run) write it out.
// Text written with printf must not be mixed in without an out_flush first.
// In line mode each completed line is written out at once instead. It is on
// when standard output is a terminal (decided at the first output), unless
// out_set_line_mode says otherwise.
void out_bytes(const char *s, size_t n);
void out_text(const char *s);  // as "%s"
void out_char(char c);
void out_fixed(double v);      // as "%f"
void out_fixed_sign(double v); // as "% f"
void out_int(long long v);     // as "%d" / "%lld"
void out_flush();
void out_set_line_mode(bool on);
// Flushes standard output and ends the run: status 0, or status 1 with a
// message when anything written could not be delivered.
[[noreturn]] void end_run();
// Room for n bytes in the block: where to write them, and then the end of
// what was written.
char *out_space(size_t n);
void out_advance(char *end);

// ---------------------------------------------------------------------------
// Random numbers
// ---------------------------------------------------------------------------

// The one random stream of a run. It reproduces the additive-feedback
// generator behind the C library's srandom()/random() draw for draw (each word
// the sum of the words 31 and 3 places before it, a draw being a word without
// its low bit), without the library's lock, and gives the same sequence on
// every platform. Words are made a block at a time, so that a draw is a load
// and a run of draws can be scanned or skipped in one go.
enum { RANDOM_HISTORY = 34, RANDOM_BLOCK = 512 };
struct RANDOM_STATE {
  // The last RANDOM_HISTORY words made before the block, then the block.
  unsigned int word[RANDOM_HISTORY + RANDOM_BLOCK];
  int next; // the word of the next draw
  int end;  // one past the last word made
};
extern RANDOM_STATE random_state;

void seed_random(int seed);
// Makes the next block of words; only once every word made is drawn.
void refill_random();

// 2^31, the number of values a draw can take.
constexpr unsigned int RANDOM_VALUES = 2147483648u;

// A value from 0 to RANDOM_VALUES - 1.
inline long next_random() {
  RANDOM_STATE &g = random_state;
  if (g.next == g.end) refill_random();
  return static_cast<long>(g.word[g.next++] >> 1);
}

// Draws n values and drops them.
void skip_random(long long n);

// random_range(0.0, 1.0) is k / 2^31 for the draw k, so it lies below p
// exactly when k < uniform_limit(p). From 0 (p <= 0 or not a number) to 2^31
// (every draw).
inline unsigned int uniform_limit(double p) {
  double t = p * RANDOM_VALUES; // exact: a power of two
  if (!(t > 0.0)) return 0;
  if (t >= RANDOM_VALUES) return RANDOM_VALUES;
  unsigned int k = static_cast<unsigned int>(t); // ceil(t): one more unless whole
  return k < t ? k + 1 : k;
}

// One draw, and whether it lies below `limit`: random_range(0.0, 1.0) < p
// for the limit uniform_limit(p), without the division.
inline bool draw_below(unsigned int limit) {
  return static_cast<unsigned long>(next_random()) < limit;
}

// Draws until a value lies below `limit`, at most n values; returns how many
// were drawn before that one, or n when none was below. Either way every
// value looked at is drawn.
long long draws_until_below(unsigned int limit, long long n);

// lo + (hi - lo) * (k / 2^31) for one draw k: uniform in [lo, hi).
inline double random_range(double lo, double hi) {
  return lo + (hi - lo) * (static_cast<double>(next_random()) / RANDOM_VALUES);
}
// Standard normal by the polar method; every second call returns the value
// held back from the previous pair and draws nothing.
double random_gauss();
// The value of the last accepted pair that the next call returns, while
// holding is non-zero; reseeding keeps it.
extern int holding;
extern double hold;

// ---------------------------------------------------------------------------
// Allocation
// ---------------------------------------------------------------------------

// Never returns null: reports "malloc failed to get %lld bytes." and exits 1
// when malloc gives no block, for a negative size, and for a request that
// would take the run's blocks together past the memory the process can have
// (physical memory, or a lower address-space or cgroup limit), since malloc
// grants large blocks without the memory behind them.
void *xmalloc(int size);
// The same for count elements of `each` bytes; a byte count outside the int
// range is reported like a refused request. The product is formed in long
// long and checked only then, so it must not overflow there: it cannot when
// count and each are no larger than 2^31 either way (as int values and
// sizeof are), since their product is at most 2^62.
void *xmalloc_array(long long count, long long each);
// xmalloc_array without the int limit on the byte count, for one block that
// holds a whole population; count and each lie within the int range.
void *xmalloc_wide(long long count, long long each);

// What the run's blocks may take in all: physical memory, or a lower
// address-space or cgroup limit (the address space less what is mapped at
// the call and a small margin). Physical memory is no limit beside the
// others when it cannot be read; with no limit at all it is the largest
// long long. xmalloc reads it once, at the first request.
long long memory_limit();

// What the run's blocks take from the heap so far. A harness that frees the
// blocks of one run and starts another in the same process sets it to 0.
extern long long memory_taken;

// ---------------------------------------------------------------------------
// Data files
// ---------------------------------------------------------------------------

// `path` when a file is there; otherwise the file of the same name in the
// data folder installed with the programs, found from the running
// executable's own folder, when there is one; otherwise `path`.
const char *find_data_file(const char *path);

// ---------------------------------------------------------------------------
// Text scanner
// ---------------------------------------------------------------------------

enum { SCAN_LINE_SIZE = 256 };

struct SCANNER {
  char *line;             // current input line, as fgets left it
  char *cursor;           // where scanning resumes; null: read a line first
  char *token;            // the last token handed out
  const char *singles;    // characters that are tokens of their own
  const char *delimiters; // characters that separate tokens
  const char *comments;   // characters that start a comment to end of line
  FILE *input;
};

SCANNER *scan_init(FILE *input, const char *singles, const char *delimiters,
                   const char *comments);
// The next token, or "" at the end of the input; valid until the next call.
char *scan_get(SCANNER *scanner);
char *scan_peek(SCANNER *scanner);
void scan_flush(SCANNER *scanner);

// ---------------------------------------------------------------------------
// PBM reader
// ---------------------------------------------------------------------------

// Reads a plain "P1" bitmap into height rows of width ints; exits on failure.
int **read_pbm_file(const char *path, int *width, int *height);

#endif
