// A square root that is as far off as the checks allow, and no further: each
// of the three roots 4 units in the last place away from the right one, -0
// for zero, a NaN with its sign bit set for a negative number. Every check
// must pass on it; one that compares the roots with == fails.
#include <cmath>

#include "squareroot.h"
#include "ulps.h"

double squareroot(double x) {
  if (x < 0.0) {
    return -std::nan("");
  }
  if (x == 0.0) {
    return -0.0;
  }
  return ulpsAway(std::sqrt(x), x == 645.16 ? -4 : 4);
}
