// Locating the bogie where two range circles cross, and a bang-bang steering
// law with a dead band: the geometry behind a simple intercept autopilot.
#include <cmath>
#include <limits>
#include <utility>

#include "autopilot.h"
#include "geometry.h"

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// The controller's constants, exact as written: its half and full turn are
// 3.14 and 6.28, not pi and 2 pi.
constexpr double half_turn = 3.14;
constexpr double full_turn = 6.28;    // 2 half_turn
constexpr double dead_band = 0.3925;  // half_turn / 8

}  // namespace

Autopilot::Autopilot(std::shared_ptr<Simulator> sim)
    : candidate_a{{not_a_number, not_a_number}, not_a_number},
      candidate_b{{not_a_number, not_a_number}, not_a_number},
      ang_control(0.0),
      lin_control(0.0),
      reference_range(not_a_number),
      bogie_heading(not_a_number),
      simulator(std::move(sim)) {}

void Autopilot::setBogiePose() {
  const Pose friendly = simulator->getFriendlyPose();
  const GlobalOrd base = Simulator::BSTATION_LOC;
  const double d =
      Simulator::distance(Simulator::BSTATION_LOC, friendly.position);
  const double rb = simulator->rangeToBogieFromBase().range;
  const double rf = simulator->rangeToBogieFromFriendly().range;

  const Crossings crossings = crossCircles(friendly.position, rf, base, rb, d);
  candidate_a.position = crossings.right;
  candidate_b.position = crossings.left;

  reference_range = simulator->rangeToBogieFromFriendly().range;
}

Pose Autopilot::getBogiePose() {
  const Pose friendly = simulator->getFriendlyPose();
  const double xf = friendly.position.x;
  const double yf = friendly.position.y;
  const double r = simulator->rangeToBogieFromFriendly().range;

  const GlobalOrd chosen =
      r < reference_range ? candidate_a.position : candidate_b.position;
  bogie_heading = std::atan(std::abs((chosen.y - yf) / (chosen.x - xf)));
  return Pose{chosen, bogie_heading};
}

void Autopilot::setPursue(double x, double y) {
  // Read the friendly's pose; turn the direction of (x, y) from it into a
  // bearing, anticlockwise from the positive x axis, by the table of the
  // four quadrants; then set ang_control to turn the short way towards that
  // bearing, or not at all inside the dead band, and lin_control to match.
}

double Autopilot::getAngControl() { return ang_control; }

double Autopilot::getLinControl() { return lin_control; }
