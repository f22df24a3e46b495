// A program outside the project, built against the installed libraries: it
// drives a radar through the sensor interface, then flies one intercept, the
// ranges passing through a range buffer, the autopilot steering and the
// tracker following the bogie. The simulator stand-in plays the outside
// simulator that a real program would link instead.
#include <cmath>
#include <cstdint>
#include <iostream>
#include <memory>
#include <vector>

#include <peltra/autopilot.h>
#include <peltra/radar.h>
#include <peltra/rangebuffer.h>
#include <peltra/simulator.h>
#include <peltra/tracker.h>

namespace {

// One data set of any sensor, and whether it is a Ranger, which needs
// libpeltra's exported virtual tables and type information. The pointer only
// refers to the sensor: a sensor is destroyed as its own type.
void showSensor(RangerInterface* sensor) {
  const std::vector<double> data = sensor->generateData();
  bool within = true;
  for (double reading : data) {
    within =
        within && reading >= sensor->getMin() && reading <= sensor->getMax();
  }
  const bool isRanger = dynamic_cast<Ranger*>(sensor) != nullptr;
  std::cout << sensor->getModel() << ": " << data.size() << " readings "
            << (within ? "within" : "outside") << " [" << sensor->getMin()
            << ", " << sensor->getMax() << "], resolution "
            << sensor->getAngularResolution() << ", field of view "
            << sensor->getFieldOfView()
            << ", a Ranger: " << (isRanger ? "yes" : "no") << std::endl;
}

double apart(GlobalOrd a, GlobalOrd b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// The default scene, one 20 ms cycle after another for two minutes at most:
// a reading of each range into the buffer, the latest of each to the
// tracker, and the autopilot's controls to the friendly, until it comes
// within 50 m of the bogie.
void showIntercept() {
  constexpr std::int64_t cycle_ms = 20;
  constexpr std::int64_t time_limit_ms = 120000;
  constexpr double intercept_range = 50.0;
  auto sim = std::make_shared<Simulator>();
  RangeBuffer buffer(sim);
  Autopilot autopilot(sim);
  Tracker tracker(0.0);
  bool intercepted = false;
  double tracker_error = 0.0;
  while (!intercepted && sim->elapsedMs() < time_limit_ms) {
    buffer.addBaseData();
    buffer.addFriendlyData();
    tracker.addReadings(sim->getFriendlyPose(), buffer.getBaseData().back(),
                        buffer.getFriendlyData().back());
    tracker_error = apart(tracker.getPosition(), sim->getBogieTruth().position);
    autopilot.setBogiePose();
    const Pose bogie = autopilot.getBogiePose();
    autopilot.setPursue(bogie.position.x, bogie.position.y);
    sim->controlFriendly(autopilot.getLinControl(), autopilot.getAngControl());
    sim->step(cycle_ms);
    intercepted = apart(sim->getFriendlyPose().position,
                        sim->getBogieTruth().position) < intercept_range;
  }
  std::cout << "autopilot: " << (intercepted ? "intercepted" : "missed")
            << " the bogie; tracker: "
            << (tracker.isResolved() ? "resolved" : "unresolved") << ", "
            << (tracker_error < 1.0 ? "within" : "not within")
            << " 1 m of it at the last readings" << std::endl;
}

}  // namespace

int main() {
  Radar radar;
  showSensor(&radar);
  showIntercept();
  return 0;
}
