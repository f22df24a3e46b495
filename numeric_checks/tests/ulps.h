// Moving a double by whole units in the last place, for the components that
// are off by just so much: 4 units still pass EXPECT_DOUBLE_EQ, 5 do not.
#ifndef NUMERIC_CHECKS_TESTS_ULPS_H_
#define NUMERIC_CHECKS_TESTS_ULPS_H_

#include <cmath>
#include <cstdlib>
#include <limits>

// x moved by `ulps` units in the last place: up for a positive count, down
// for a negative one.
inline double ulpsAway(double x, int ulps) {
  const double infinity = std::numeric_limits<double>::infinity();
  const double towards = ulps > 0 ? infinity : -infinity;
  for (int i = 0; i < std::abs(ulps); ++i) {
    x = std::nextafter(x, towards);
  }
  return x;
}

#endif  // NUMERIC_CHECKS_TESTS_ULPS_H_
