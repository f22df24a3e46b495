// The simulator double: the stand-in's member functions that the range
// buffer and the autopilot call, defined to answer from a script. Only what
// they call is defined, so a test that needs more fails to link, naming it.
#include "simulator_double.h"

#include <cmath>

#include "simulator.h"

namespace {

void logCall(const char* name) {
  if (simulatorScript().log_calls) {
    simulatorScript().calls.emplace_back(name);
  }
}

double next(std::deque<double>& queue, double fixed) {
  if (queue.empty()) {
    return fixed;
  }
  const double value = queue.front();
  queue.pop_front();
  return value;
}

}  // namespace

SimulatorScript& simulatorScript() {
  static SimulatorScript script;
  return script;
}

Simulator::Simulator() : Simulator(Pose{{0.0, 0.0}, 0.0}, BogiePath{}) {}

Simulator::Simulator(Pose friendlyStart, BogiePath)
    : friendly_(friendlyStart) {}

RangeStamped Simulator::rangeToBogieFromBase() {
  logCall("rangeToBogieFromBase");
  SimulatorScript& script = simulatorScript();
  return RangeStamped{next(script.base_ranges, script.fixed_base_range), 0};
}

RangeStamped Simulator::rangeToBogieFromFriendly() {
  logCall("rangeToBogieFromFriendly");
  SimulatorScript& script = simulatorScript();
  return RangeStamped{next(script.friendly_ranges, script.fixed_friendly_range),
                      0};
}

Pose Simulator::getFriendlyPose() {
  logCall("getFriendlyPose");
  return friendly_;
}

double Simulator::distance(GlobalOrd a, GlobalOrd b) {
  logCall("distance");
  return std::hypot(b.x - a.x, b.y - a.y);
}

void Simulator::placeFriendly(Pose pose) { friendly_ = pose; }
