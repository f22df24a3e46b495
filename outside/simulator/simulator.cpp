#include "simulator.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double full_turn = 2.0 * pi;
// Below this turn rate an arc is flown as a straight line.
constexpr double straight_rate = 1e-12;

double wrapAngle(double angle) {
  angle = std::fmod(angle, full_turn);
  if (angle < 0.0) {
    angle += full_turn;
  }
  // fmod of a tiny negative angle plus a full turn can round up to a full turn.
  return angle >= full_turn ? 0.0 : angle;
}

// Moves a pose for the given seconds at a constant speed and turn rate: along
// a straight line or exactly along the circular arc, so that big steps are as
// right as small ones.
Pose fly(Pose pose, double speed, double turnRate, double seconds) {
  const double theta = pose.orientation;
  if (std::abs(turnRate) < straight_rate) {
    pose.position.x += speed * seconds * std::cos(theta);
    pose.position.y += speed * seconds * std::sin(theta);
  } else {
    const double turned = theta + turnRate * seconds;
    const double radius = speed / turnRate;
    pose.position.x += radius * (std::sin(turned) - std::sin(theta));
    pose.position.y -= radius * (std::cos(turned) - std::cos(theta));
    pose.orientation = turned;
  }
  pose.orientation = wrapAngle(pose.orientation);
  return pose;
}

}  // namespace

Simulator::Simulator()
    : Simulator(Pose{{2000.0, 0.0}, pi / 2.0},
                BogiePath{Pose{{9000.0, 7000.0}, pi}, 250.0, 0.01}) {}

Simulator::Simulator(Pose friendlyStart, BogiePath bogie)
    : friendly_{friendlyStart.position, wrapAngle(friendlyStart.orientation)},
      bogie_{bogie.start.position, wrapAngle(bogie.start.orientation)},
      bogie_speed_(bogie.speed),
      bogie_turn_rate_(bogie.turnRate) {}

RangeStamped Simulator::rangeToBogieFromBase() {
  std::lock_guard<std::mutex> lock(mutex_);
  return measure(BSTATION_LOC);
}

RangeStamped Simulator::rangeToBogieFromFriendly() {
  std::lock_guard<std::mutex> lock(mutex_);
  return measure(friendly_.position);
}

Pose Simulator::getFriendlyPose() {
  std::lock_guard<std::mutex> lock(mutex_);
  return friendly_;
}

double Simulator::distance(GlobalOrd a, GlobalOrd b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

void Simulator::controlFriendly(double linear, double angular) {
  std::lock_guard<std::mutex> lock(mutex_);
  linear_ = linear;
  angular_ = angular;
}

void Simulator::step(std::int64_t milliseconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  milliseconds = std::max<std::int64_t>(milliseconds, 0);
  const double seconds = static_cast<double>(milliseconds) / 1000.0;
  friendly_ = fly(friendly_, linear_, angular_, seconds);
  bogie_ = fly(bogie_, bogie_speed_, bogie_turn_rate_, seconds);
  time_ms_ += milliseconds;
}

std::int64_t Simulator::elapsedMs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return time_ms_;
}

Pose Simulator::getBogieTruth() {
  std::lock_guard<std::mutex> lock(mutex_);
  return bogie_;
}

void Simulator::setRangeNoise(double standardDeviation, unsigned seed) {
  std::lock_guard<std::mutex> lock(mutex_);
  noise_sd_ = std::max(standardDeviation, 0.0);
  noise_engine_.seed(seed);
  noise_.reset();
}

void Simulator::placeFriendly(Pose pose) {
  std::lock_guard<std::mutex> lock(mutex_);
  friendly_ = Pose{pose.position, wrapAngle(pose.orientation)};
}

void Simulator::placeBogie(Pose pose) {
  std::lock_guard<std::mutex> lock(mutex_);
  bogie_ = Pose{pose.position, wrapAngle(pose.orientation)};
}

RangeStamped Simulator::measure(GlobalOrd from) {
  double range = distance(from, bogie_.position);
  if (noise_sd_ > 0.0) {
    range = std::max(0.0, range + noise_sd_ * noise_(noise_engine_));
  }
  return RangeStamped{range, time_ms_};
}
