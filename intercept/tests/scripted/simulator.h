// A scripted simulator for the autopilot's tests: the same interface as the
// simulation library, but every range comes from a queue the test fills and
// every call is written to a log, so a test can set exact ranges and check
// the order of the calls. The base station stands at (10, 0).
#ifndef INTERCEPT_TESTS_SCRIPTED_SIMULATOR_H_
#define INTERCEPT_TESTS_SCRIPTED_SIMULATOR_H_

#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

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

class Simulator {
 public:
  static constexpr GlobalOrd BSTATION_LOC{10.0, 0.0};

  // The calls made so far, by name, in order (distance is static: one log).
  static inline std::vector<std::string> calls;

  Pose getFriendlyPose() {
    calls.push_back("getFriendlyPose");
    return friendly;
  }
  // Each range call takes the next value of its queue (0 once it is empty).
  RangeStamped rangeToBogieFromBase() {
    calls.push_back("rangeToBogieFromBase");
    return RangeStamped{next(base_ranges), 0};
  }
  RangeStamped rangeToBogieFromFriendly() {
    calls.push_back("rangeToBogieFromFriendly");
    return RangeStamped{next(friendly_ranges), 0};
  }
  static double distance(GlobalOrd a, GlobalOrd b) {
    calls.push_back("distance");
    return std::hypot(b.x - a.x, b.y - a.y);
  }

  Pose friendly{{0.0, 0.0}, 0.0};
  std::deque<double> base_ranges;
  std::deque<double> friendly_ranges;

 private:
  static double next(std::deque<double>& queue) {
    if (queue.empty()) {
      return 0.0;
    }
    const double value = queue.front();
    queue.pop_front();
    return value;
  }
};

#endif  // INTERCEPT_TESTS_SCRIPTED_SIMULATOR_H_
