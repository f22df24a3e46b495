// A square root that is right except for 645.16, whose root comes out 5 units
// in the last place above 25.4: one more than EXPECT_DOUBLE_EQ allows, and
// far less than any tolerance a check might choose instead (1e-9 is some
// 280000 units there).
#include <cmath>

#include "squareroot.h"
#include "ulps.h"

double squareroot(double x) {
  return x == 645.16 ? ulpsAway(25.4, 5) : std::sqrt(x);
}
