// The minimal double's one scene: the friendly at (0, 0) heading along the
// x axis, the base station at (10, 0), the bogie 5 from the friendly and
// sqrt(45) from the base, so where the range circles cross, (4, 3) and
// (4, -3), is exact. Every reading is stamped 0.
#include "simulator.h"

#include <cmath>

Pose Simulator::getFriendlyPose() { return Pose{{0.0, 0.0}, 0.0}; }

RangeStamped Simulator::rangeToBogieFromBase() {
  return RangeStamped{std::sqrt(45.0), 0};
}

RangeStamped Simulator::rangeToBogieFromFriendly() {
  return RangeStamped{5.0, 0};
}

double Simulator::distance(GlobalOrd a, GlobalOrd b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}
