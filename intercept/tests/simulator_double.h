// A test double of the simulator stand-in: the same class, declared by the
// same header (outside/simulator/simulator.h), with its member functions
// defined once more in simulator_double.cpp. A target links that file
// instead of the stand-in's library, and every include stays as it is. The
// double simulates nothing: it answers from the script below, so that a test
// can set exact ranges and check the order of the calls, and a benchmark can
// take readings that cost nothing.
#ifndef INTERCEPT_TESTS_SIMULATOR_DOUBLE_H_
#define INTERCEPT_TESTS_SIMULATOR_DOUBLE_H_

#include <deque>
#include <string>
#include <vector>

// What every Simulator of the double answers (one scene at a time).
// getFriendlyPose returns the pose of the constructor or placeFriendly.
struct SimulatorScript {
  // The next ranges from the base and from the friendly, each taken from the
  // front; once a queue is empty, every reading is the fixed range. All
  // readings carry the time stamp 0.
  std::deque<double> base_ranges;
  std::deque<double> friendly_ranges;
  double fixed_base_range = 1000.0;
  double fixed_friendly_range = 2000.0;
  // When log_calls is set, the name of every call, in order. Readings from
  // several threads at once are safe only with an empty script and no log.
  bool log_calls = false;
  std::vector<std::string> calls;
};

// The script, to fill before a scene (assign SimulatorScript{} to start
// afresh).
SimulatorScript& simulatorScript();

#endif  // INTERCEPT_TESTS_SIMULATOR_DOUBLE_H_
