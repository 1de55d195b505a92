// orbitpin: its parameters, its control record and the functions that its
// tests call.
#ifndef ORBITPIN_H
#define ORBITPIN_H

#include "misc.h"

namespace orbitpin {

extern int points, on1, off, on2, skip, seed;
extern double plimit, A, B, gauss;
extern OPTION options[];
extern const char help_string[];

// The fixed point, the eigen-structure of the Jacobian there and the gains
// of the control law; not-a-number where A and B give no real fixed point.
struct CONTROL {
  double xstar;    // x = y = xstar is the fixed point
  double lu, ls;   // unstable and stable eigenvalues
  double eux, euy; // unit eigenvector of lu
  double esx, esy; // unit eigenvector of ls
  double fx, fy;   // f.eu = 1, f.es = 0
  double gx, gy;   // gains on x - xstar and y - xstar
};

CONTROL control_constants(double a, double b);
bool timing_ok();
bool control_on(long long t);
double perturbation(const CONTROL &c, double x, double y);

} // namespace orbitpin

#endif
