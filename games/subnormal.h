// Products and quotients with a subnormal operand, worked out in integers.
#ifndef SUBNORMAL_H
#define SUBNORMAL_H

// a * b and a / b, bit for bit what the processor gives (rounded to
// nearest, ties to even). A subnormal operand or result costs the processor
// many times as long as a plain operation; where a is subnormal and b an
// ordinary number, these work it out in integers instead, and otherwise
// they are the plain operation.
double times(double a, double b);
double divided(double a, double b);

#endif
