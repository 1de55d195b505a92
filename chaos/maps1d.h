// maps1d: the one-dimensional maps that mapseries iterates, chosen by name.
#ifndef MAPS1D_H
#define MAPS1D_H

namespace mapseries {

// x(t+1) = f(x(t), r); the maps that need a second parameter read `aux`.
using map_function = double (*)(double x, double r);

// The second map parameter (frequency of "sin", width of "gauss") and the
// name of the chosen map: options of mapseries, defined with the others.
extern double aux;
extern const char *func;

double flog(double x, double r);
double ftent(double x, double r);
double fsin(double x, double r);
double fgauss(double x, double r);

// The map that `func` names; any other name gives the logistic map.
map_function get_named_function();

} // namespace mapseries

#endif
