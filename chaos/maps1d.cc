// maps1d: the logistic, tent, sine and Gaussian maps. Every product is
// formed in one fixed order so that a series is the same on every build.
#include "maps1d.h"

#include <cmath>
#include <cstring>

namespace mapseries {

double flog(double x, double r) { return 4.0 * r * x * (1.0 - x); }

// x = 0.5 takes the rising branch and yields r.
double ftent(double x, double r) {
  if (x <= 0.5) return 2.0 * r * x;
  return 2.0 * r * (1.0 - x);
}

double fsin(double x, double r) {
  const double pi = 3.141592653589793;
  return sin(pi * x * aux * 2.0 * r) * 0.5 + 0.5;
}

double fgauss(double x, double r) {
  double d = x - 0.5;
  return exp(d * (-aux * d)) * r;
}

map_function get_named_function() {
  if (strcmp(func, "sin") == 0) return fsin;
  if (strcmp(func, "tent") == 0) return ftent;
  if (strcmp(func, "log") == 0) return flog;
  if (strcmp(func, "gauss") == 0) return fgauss;
  return flog;
}

} // namespace mapseries
