// The intercept scene: both aircraft flown exactly along their arcs, all of it
// behind one mutex.
#include "simulator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The friendly's flight envelope: its top speed (m/s) and the most sideways
// acceleration (m/s^2) a turn may ask of it, speed times turn rate.
constexpr double top_speed = 1000.0;
constexpr double most_sideways_acceleration = 90.0;

// Moves a pose for the given seconds at a constant speed and turn rate,
// exactly along the circular arc (a straight line when the rate is 0), so that
// big steps are as right as small ones. The move is the arc's chord: it points
// halfway between the old and the new heading and is as long as the arc times
// sin(h) / h, where h is half the angle turned. Unlike the difference of two
// sines about the circle's centre, this stays exact for slow turns, whose
// radius is huge.
Pose fly(Pose pose, double speed, double turnRate, double seconds) {
  const double half_turned = 0.5 * turnRate * seconds;
  const double arc = speed * seconds;
  const double chord =
      half_turned == 0.0 ? arc : arc * (std::sin(half_turned) / half_turned);
  const double direction = pose.orientation + half_turned;
  pose.position.x += chord * std::cos(direction);
  pose.position.y += chord * std::sin(direction);
  pose.orientation = Simulator::wrapAngle(pose.orientation + 2.0 * half_turned);
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

RangeStamped Simulator::rangeToBogieFromBase() { return measure(false); }

RangeStamped Simulator::rangeToBogieFromFriendly() { return measure(true); }

Pose Simulator::getFriendlyPose() {
  std::lock_guard<std::mutex> lock(mutex_);
  return friendly_;
}

double Simulator::distance(GlobalOrd a, GlobalOrd b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

double Simulator::wrapAngle(double angle) {
  constexpr double full_turn = 2.0 * pi;
  angle = std::fmod(angle, full_turn);
  if (angle < 0.0) {
    angle += full_turn;
  }
  // fmod of a tiny negative angle plus a full turn can round up to a full turn.
  return angle >= full_turn ? 0.0 : angle;
}

bool Simulator::controlFriendly(double linear, double angular) {
  if (!std::isfinite(linear) || !std::isfinite(angular)) {
    return false;
  }
  const double speed = std::clamp(linear, 0.0, top_speed);
  // Standing still, any turn rate turns on the spot.
  const double most_rate = speed > 0.0
                               ? most_sideways_acceleration / speed
                               : std::numeric_limits<double>::infinity();
  const double rate = std::clamp(angular, -most_rate, most_rate);
  std::lock_guard<std::mutex> lock(mutex_);
  linear_ = speed;
  angular_ = rate;
  return speed == linear && rate == angular;
}

void Simulator::step(std::int64_t milliseconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  // The clock stops at its largest value rather than wrap round.
  milliseconds = std::clamp<std::int64_t>(
      milliseconds, 0, std::numeric_limits<std::int64_t>::max() - time_ms_);
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

RangeStamped Simulator::measure(bool fromFriendly) {
  std::lock_guard<std::mutex> lock(mutex_);
  const GlobalOrd from = fromFriendly ? friendly_.position : BSTATION_LOC;
  const double range = distance(from, bogie_.position);
  // Without noise no draw is taken, so the engine stays where it was.
  const double noise =
      noise_sd_ > 0.0 ? noise_sd_ * noise_(noise_engine_) : 0.0;
  return RangeStamped{std::max(0.0, range + noise), time_ms_};
}
