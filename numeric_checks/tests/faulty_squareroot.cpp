// A deliberately wrong square root, for testing the square root check program
// itself: roots off by 4 units in the last place (close enough), by 5 (too
// far) and by more, a tiny number for zero, and a line on standard output if
// it is ever called with a negative number.
#include <cmath>
#include <iostream>

#include "squareroot.h"
#include "ulps.h"

double squareroot(double x) {
  if (x < 0.0) {
    std::cout << "squareroot called with " << x << std::endl;
    return std::sqrt(x);
  }
  if (x == 0.0) {
    return 1e-300;
  }
  if (x == 324.0) {
    return ulpsAway(18.0, 4);
  }
  if (x == 645.16) {
    return ulpsAway(25.4, 5);
  }
  return std::sqrt(x) + 0.001;
}
