// A test double of the outside simulator that declares what the intercept
// lessons may use of it and nothing more: the records GlobalOrd, Pose and
// RangeStamped, the two ranges, the friendly's pose, the static distance and
// the base station's place. The lessons compiled against this header (and
// not the stand-in's) show that they need no more; linked with the
// definitions beside it, that they call no more.
#ifndef INTERCEPT_TESTS_MINIMAL_SIMULATOR_DOUBLE_SIMULATOR_H_
#define INTERCEPT_TESTS_MINIMAL_SIMULATOR_DOUBLE_SIMULATOR_H_

#include <cstdint>

struct GlobalOrd {
  double x;
  double y;
};

struct Pose {
  GlobalOrd position;
  double orientation;
};

struct RangeStamped {
  double range;
  std::int64_t timestamp;
};

// Answers one fixed scene (see simulator.cpp).
class Simulator {
 public:
  static constexpr GlobalOrd BSTATION_LOC{10.0, 0.0};

  Pose getFriendlyPose();
  RangeStamped rangeToBogieFromBase();
  RangeStamped rangeToBogieFromFriendly();
  static double distance(GlobalOrd a, GlobalOrd b);
};

#endif  // INTERCEPT_TESTS_MINIMAL_SIMULATOR_DOUBLE_SIMULATOR_H_
