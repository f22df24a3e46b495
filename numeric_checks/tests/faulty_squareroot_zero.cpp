// A square root that is right except for zero, where it gives a number so
// tiny that only an exact comparison tells it from zero: a check of zero
// that allows a tolerance, or none at all, passes it.
#include <cmath>

#include "squareroot.h"

double squareroot(double x) { return x == 0.0 ? 1e-300 : std::sqrt(x); }
