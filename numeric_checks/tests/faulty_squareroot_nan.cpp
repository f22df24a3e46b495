// A square root that is right except for negative numbers, where it gives 0
// instead of a NaN; for zero it gives -0, which equals 0 and so is right.
#include <cmath>

#include "squareroot.h"

double squareroot(double x) {
  return x < 0.0 ? 0.0 : (x == 0.0 ? -0.0 : std::sqrt(x));
}
