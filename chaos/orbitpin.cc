// orbitpin: the Henon map held on its unstable fixed point by the OGY
// control law, with control switched on, off and on again.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "orbitpin.h"

namespace orbitpin {

int    points = 300;
int    on1    = 50;
int    off    = 100;
int    on2    = 200;
int    skip   = 100;
int    seed   = 0;
double plimit = 0.2;
double A      = 1.29;
double B      = 0.3;
double gauss  = 0.0;

OPTION options[] = {
  { "-points", OPT_INT,    &points, "The length of the time series." },
  { "-on1",    OPT_INT,    &on1,    "Where to turn control on." },
  { "-off",    OPT_INT,    &off,    "Where to turn control off." },
  { "-on2",    OPT_INT,    &on2,    "Where to turn control on again." },
  { "-skip",   OPT_INT,    &skip,   "Amount to skip initially." },
  { "-seed",   OPT_INT,    &seed,   "Random seed." },
  { "-plimit", OPT_DOUBLE, &plimit, "Largest allowed size for p." },
  { "-A",      OPT_DOUBLE, &A,      "Value of the A parameter." },
  { "-B",      OPT_DOUBLE, &B,      "Value of the B parameter." },
  { "-gauss",  OPT_DOUBLE, &gauss,  "Magnitude of Gaussian noise." },
  { nullptr,   OPT_NULL,   nullptr, nullptr }
};

const char help_string[] =
  "Control the Henon system, x(t+1) = A - x(t)^2 + B * x(t - 1), with the "
  "OGY control law for arbitrary choices of A and B.  The control law is "
  "analytically calculated based on the system parameters. The user can "
  "select times in which control is turned on and off so that "
  "time-to-control and transients can be observed.  Gaussian noise can also "
  "be injected into the system.  The control timing options are "
  "constrained to obey (0 <= on1 <= off <= on2 <= points).";

// Derived analytically from the map's parameters a and b (as A and B), each
// value from the ones before it.
CONTROL control_constants(double a, double b) {
  CONTROL c;
  double d = (b - 1.0) * (b - 1.0) + 4.0 * a;
  c.xstar = (sqrt(d) + (b - 1.0)) * 0.5;
  double q = sqrt(c.xstar * c.xstar + b);
  c.lu = -c.xstar - q;
  c.ls = -c.xstar + q;
  double nu = sqrt(c.lu * c.lu + 1.0), ns = sqrt(c.ls * c.ls + 1.0);
  c.eux = c.lu / nu;
  c.euy = 1.0 / nu;
  c.esx = c.ls / ns;
  c.esy = 1.0 / ns;
  c.fx = 1.0 / (c.eux - c.esx * c.euy / c.esy);
  c.fy = -c.fx * c.esx / c.esy;
  // The perturbation moves x alone, so both gains are divided by f.(1, 0).
  // Not -lu: the product rounds, and the quotient differs from -lu in the
  // last bit for a few percent of (A, B) pairs, which changes the output.
  c.gx = (-c.lu * c.fx) / c.fx;
  c.gy = (-c.lu * c.fy) / c.fx;
  return c;
}

// 0 <= on1 <= off <= on2 <= points.
bool timing_ok() {
  return on1 >= 0 && on1 <= off && off <= on2 && on2 <= points;
}

// Control is on in skip + on1 <= t < skip + off and from skip + on2 on; the
// sums are wide so that no option value can overflow them.
bool control_on(long long t) {
  long long s = skip;
  return (s + on1 <= t && t < s + off) || t >= s + on2;
}

// The OGY perturbation for state (x, y); one larger than plimit in size is
// dropped, not clipped.
double perturbation(const CONTROL &c, double x, double y) {
  double p = c.gx * (x - c.xstar) + c.gy * (y - c.xstar);
  if (fabs(p) > plimit) return 0.0;
  return p;
}

} // namespace orbitpin

// The report and the run: the unit tests bring a main of their own.
#ifndef UNIT_TEST
namespace orbitpin {

namespace {

// "(t,x[t],y[t],p[t])=\t%d\t% f\t% f\t% f\n"
// The text of the last x printed, kept while it is short: without noise
// the next line's y is that same number, and copying its text spares
// writing it again, a third of the work of a line.
struct LAST_X {
  enum { ROOM = 32 };
  uint64_t bits;
  int length; // 0: none kept
  char text[ROOM];
};

uint64_t bits_of(double v) {
  uint64_t bits;
  memcpy(&bits, &v, sizeof bits);
  return bits;
}

// The line number as text, counted up by one in place: the lines are
// numbered one after another, and a carry is rarer than writing a number.
struct LINE_NUMBER {
  enum { ROOM = 16 };
  char text[ROOM];
  int length;
};

LINE_NUMBER line_number(long long n) {
  LINE_NUMBER line{};
  line.length = static_cast<int>(put_int(line.text, n) - line.text);
  return line;
}

void count_up(LINE_NUMBER *line) {
  int i = line->length - 1;
  while (i >= 0 && line->text[i] == '9') line->text[i--] = '0';
  if (i >= 0) {
    line->text[i]++;
    return;
  }
  memmove(line->text + 1, line->text, static_cast<size_t>(line->length++));
  line->text[0] = '1';
}

void print_step(const LINE_NUMBER &line, double x, double y, double p, LAST_X *last) {
  static const char label[] = "(t,x[t],y[t],p[t])=\t";
  // Room for whole copies of the kept texts beyond the numbers' own.
  char *at = out_space(sizeof label + 4 * OUT_NUMBER + LAST_X::ROOM + LINE_NUMBER::ROOM);
  memcpy(at, label, sizeof label - 1);
  at += sizeof label - 1;
  memcpy(at, line.text, LINE_NUMBER::ROOM);
  at += line.length;
  *at++ = '\t';
  char *x_text = at;
  at = put_fixed_sign(at, x);
  int x_length = static_cast<int>(at - x_text);
  *at++ = '\t';
  if (last->length && bits_of(y) == last->bits) {
    memcpy(at, last->text, LAST_X::ROOM);
    at += last->length;
  } else {
    at = put_fixed_sign(at, y);
  }
  // Kept whole, ROOM bytes from x's first: the block has them, as room
  // for the numbers after x.
  last->bits = bits_of(x);
  last->length = x_length <= LAST_X::ROOM ? x_length : 0;
  memcpy(last->text, x_text, LAST_X::ROOM);
  *at++ = '\t';
  at = put_fixed_sign(at, p);
  *at++ = '\n';
  out_advance(at);
}

// The run draws nothing but its two Gaussian numbers per step, so they are
// made ahead, a run of them at a time, never more than the steps left use.
void run(const CONTROL &c, double x, double y) {
  LAST_X last{0, 0, {}};
  // Lines are numbered t - skip + 1 from the first step printed.
  LINE_NUMBER line = line_number(skip > 0 ? 0 : -static_cast<long long>(skip));
  enum { AHEAD = 256 }; // pairs of numbers, one pair per step
  double z[2 * AHEAD];
  long long end = static_cast<long long>(skip) + points;
  for (long long t = 0; t < end;) {
    int steps = static_cast<int>(std::min<long long>(AHEAD, end - t));
    random_gauss_run(z, 2 * steps);
    for (int k = 0; k < steps; k++, t++) {
      double p = control_on(t) ? perturbation(c, x, y) : 0.0;
      double nx = ((A - x * x) + B * y) + p + gauss * z[2 * k];
      y = x + gauss * z[2 * k + 1];
      x = nx;
      if (t >= skip) {
        count_up(&line);
        print_step(line, x, y, p, &last);
      }
    }
  }
}

} // namespace

} // namespace orbitpin

using namespace orbitpin;

int main(int argc, char **argv) {
  get_options(argc, argv, options, help_string);
  if (!timing_ok()) {
    fprintf(stderr, "Bad choice of on1, on2, off, and/or points.\n");
    exit(1);
  }
  CONTROL c = control_constants(A, B);
  seed_random(seed);
  double x = random_range(-0.1, 0.1);
  double y = random_range(-0.1, 0.1);
  run(c, x, y);
  end_run();
}
#endif
