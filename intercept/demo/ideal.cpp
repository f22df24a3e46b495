// The ideal pursuer, exactly and fast. A point that stands still at P is
// reached soonest by turning until the nose points into the intercept range
// about P and then flying straight; if the friendly can reach the range about
// where the bogie will be at T by T, it intercepts at T, and since the bogie
// (at most 300 m/s) is slower than the dash (1000 m/s), it can then for any
// later T too. That makes the earliest such T a bisection.
#include "ideal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// How long (s) a friendly at `start` turns, the way `turn` goes, until its
// nose points `offset` short of the direction to `target`; 0 if it does at
// once. Found from below: each step turns through the angle still to go,
// which converges fast, since the bearing moves far slower than the nose.
double turnTime(const Pose& start, Controls turn, GlobalOrd target,
                double offset) {
  const double sense = turn.angular > 0.0 ? 1.0 : -1.0;
  const auto ahead = [&](double tau) {
    const Pose pose = flyArc(start, turn, tau);
    const double bearing =
        std::atan2(target.y - pose.position.y, target.x - pose.position.x);
    return shortWay(sense * (bearing - pose.orientation));
  };
  double to_turn = ahead(0.0);
  if (to_turn < 0.0) {
    to_turn += 2.0 * Simulator::pi;  // on the other side: the long way round
  }
  if (to_turn <= offset) {
    return 0.0;
  }
  double tau = (to_turn - offset) / manoeuvres::turn_rate;
  for (int step = 0; step < 12; ++step) {
    tau += (ahead(tau) - offset) / manoeuvres::turn_rate;
  }
  return tau;
}

// The time (s) to turn for tau and then fly straight into the circle of
// radius range about target; infinite if that line misses it.
double turnThenDash(const Pose& start, Controls turn, double tau,
                    GlobalOrd target, double range) {
  const Pose turned = flyArc(start, turn, tau);
  const double ux = std::cos(turned.orientation);
  const double uy = std::sin(turned.orientation);
  const double dx = target.x - turned.position.x;
  const double dy = target.y - turned.position.y;
  const double along = dx * ux + dy * uy;
  const double across = dx * uy - dy * ux;
  if (std::abs(across) > range || along < 0.0) {
    return infinity;
  }
  const double dash = along - std::sqrt(range * range - across * across);
  return tau + std::max(0.0, dash) / manoeuvres::cruising_speed;
}

// The least time (s) in which a friendly at `start` can come within `range`
// of a target that stands still.
double reachTime(const Pose& start, GlobalOrd target, double range) {
  const double distance = Simulator::distance(start.position, target);
  if (distance <= range) {
    return 0.0;
  }
  // Between the turn that first grazes the circle and the one that points at
  // its centre the time is convex: a golden-section search finds the best
  // aim inside the circle.
  const double graze = std::asin(std::min(1.0, range / distance));
  const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
  double best = infinity;
  for (const Controls turn : {manoeuvres::left, manoeuvres::right}) {
    double low = turnTime(start, turn, target, graze);
    double high = std::max(low, turnTime(start, turn, target, 0.0));
    for (int step = 0; step < 60; ++step) {
      const double a = high - golden * (high - low);
      const double b = low + golden * (high - low);
      if (turnThenDash(start, turn, a, target, range) <=
          turnThenDash(start, turn, b, target, range)) {
        high = b;
      } else {
        low = a;
      }
    }
    best = std::min(best, turnThenDash(start, turn, high, target, range));
  }
  return best;
}

}  // namespace

double idealInterceptMs(const Scenario& scenario) {
  const Controls bogie_flight{scenario.bogie.speed, scenario.bogie.turnRate};
  const auto intercepts = [&](double seconds) {
    const GlobalOrd bogie =
        flyArc(scenario.bogie.start, bogie_flight, seconds).position;
    return reachTime(scenario.friendly_start, bogie,
                     scenario.intercept_range) <= seconds;
  };
  double low = 0.0;
  double high = static_cast<double>(scenario.time_limit_ms) / 1000.0;
  if (intercepts(low)) {
    return 0.0;
  }
  if (!intercepts(high)) {
    return -1.0;
  }
  while (high - low > 1e-7) {
    const double middle = 0.5 * (low + high);
    (intercepts(middle) ? high : low) = middle;
  }
  return high * 1000.0;
}
