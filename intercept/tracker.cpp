// An extended Kalman filter on [x, y, vx, vy] whose measurements are the two
// ranges, one hypothesis per crossing point of the range circles, and lead
// pursuit within the autopilot's two manoeuvres.
#include "tracker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "autopilot.h"

namespace {

using Eigen::Matrix2d;
using Eigen::Matrix4d;
using Eigen::RowVector4d;
using Eigen::Vector2d;
using Eigen::Vector4d;

// The least range error the filter assumes (m): exact ranges would make it
// trust its straight-line view of the circles completely.
constexpr double least_range_sd = 1.0;
// How hard the bogie may manoeuvre: the spectral density (m^2/s^3) of the
// random acceleration the motion model allows. An aircraft turning at
// 0.02 rad/s at 300 m/s accelerates at 6 m/s^2; the mirror point, swung
// round the base by every sideways move of the friendly, at hundreds, and
// that is what gives it away.
constexpr double manoeuvre_density = 4.0;
// What a new track knows: its position from the two ranges (capped at this
// standard deviation where the circles cross at a shallow angle, m), its
// velocity no better than an aircraft's top speed (m/s).
constexpr double widest_position_sd = 3000.0;
constexpr double top_speed = 300.0;
// How much worse (in cost, twice the negative log-likelihood) the mirror
// track must explain the ranges before it is dropped: a likelihood ratio
// of e^15.
constexpr double mirror_drop_cost = 30.0;
// A track whose recent squared innovations, over their expected variance,
// average more than this has lost the bogie (1 is the norm): it starts
// afresh. The average weighs the newest reading by recent_weight.
constexpr double lost_surprise = 6.0;
constexpr double recent_weight = 0.05;
// Steering: straight while the predicted miss is within miss_tolerance (m,
// well inside an intercept range of 50 m); turn while the heading is more
// than aim_band (rad) off the lead point; nearer, turn only when one cycle
// of turning shrinks the miss by turn_gain (m) or more.
constexpr double miss_tolerance = 30.0;
constexpr double aim_band = 0.1;
constexpr double turn_gain = 10.0;
// Until the mirror is told apart, a friendly whose heading crosses the line
// to the base at more than this sine flies straight if the two tracks want
// different turns: swinging that line round is what tells them apart.
constexpr double least_crossing_sine = 0.5;

Vector2d vec(GlobalOrd p) { return Vector2d(p.x, p.y); }

GlobalOrd ord(const Vector2d& v) { return GlobalOrd{v.x(), v.y()}; }

Vector2d heading(double orientation) {
  return Vector2d(std::cos(orientation), std::sin(orientation));
}

// The signed angle (rad) from direction a to direction b, anticlockwise
// positive, in [-pi, pi]: no wrapping needed.
double angleBetween(const Vector2d& a, const Vector2d& b) {
  return std::atan2(a.x() * b.y() - a.y() * b.x(), a.dot(b));
}

// How close a friendly that holds the controls for hold_s seconds and then
// flies straight at full speed passes a bogie that keeps its velocity.
double missDistance(const Vector4d& bogie, const Pose& friendly,
                    const Controls& hold, double hold_s) {
  // The friendly moves along the chord of its arc, which points halfway
  // between the old and the new heading.
  const double half_turned = 0.5 * hold.angular * hold_s;
  const double arc = hold.linear * hold_s;
  const double chord =
      half_turned == 0.0 ? arc : arc * std::sin(half_turned) / half_turned;
  const Vector2d from = vec(friendly.position) +
                        chord * heading(friendly.orientation + half_turned);
  const double orientation = friendly.orientation + 2.0 * half_turned;

  const Vector2d velocity = bogie.tail<2>();
  const Vector2d apart = bogie.head<2>() + velocity * hold_s - from;
  const Vector2d closing =
      velocity - manoeuvres::cruising_speed * heading(orientation);
  const double when =
      std::max(0.0, -apart.dot(closing) / closing.squaredNorm());
  return (apart + closing * when).norm();
}

// Where a friendly at `from`, flying straight at full speed from now, meets
// the bogie: at the time t where |apart + velocity t| = cruising_speed t, a
// quadratic with a < 0 < c (the friendly is the faster), so exactly one
// root is positive.
Vector2d leadPoint(const Vector4d& bogie, const Vector2d& from) {
  const Vector2d position = bogie.head<2>();
  const Vector2d velocity = bogie.tail<2>();
  const Vector2d apart = position - from;
  const double a = velocity.squaredNorm() -
                   manoeuvres::cruising_speed * manoeuvres::cruising_speed;
  const double b = 2.0 * apart.dot(velocity);
  const double c = apart.squaredNorm();
  const double t = (-b - std::sqrt(b * b - 4.0 * a * c)) / (2.0 * a);
  return position + velocity * t;
}

// The controls for one cycle of hold_s seconds against a bogie with state
// [x, y, vx, vy]. Near the aim a single cycle of turning is coarse
// (0.022 rad at 20 ms: 220 m sideways at 10 km), so it turns only where
// that clearly shrinks the miss, which it does ever more finely as the
// bogie comes closer.
Controls steer(const Vector4d& bogie, const Pose& friendly, double hold_s) {
  const Controls straight{0.0, manoeuvres::cruising_speed};
  const Controls left{manoeuvres::turn_rate, manoeuvres::turning_speed};
  const Controls right{-manoeuvres::turn_rate, manoeuvres::turning_speed};

  const double miss_straight = missDistance(bogie, friendly, straight, 0.0);
  if (miss_straight <= miss_tolerance) {
    return straight;
  }
  const Vector2d to_aim =
      leadPoint(bogie, vec(friendly.position)) - vec(friendly.position);
  const double error = angleBetween(heading(friendly.orientation), to_aim);
  if (std::abs(error) > aim_band) {
    return error > 0.0 ? left : right;
  }
  const double miss_left = missDistance(bogie, friendly, left, hold_s);
  const double miss_right = missDistance(bogie, friendly, right, hold_s);
  if (std::min(miss_left, miss_right) > miss_straight - turn_gain) {
    return straight;
  }
  return miss_left < miss_right ? left : right;
}

}  // namespace

Tracker::Tracker(double range_sd)
    : range_variance_(std::pow(std::max(range_sd, least_range_sd), 2.0)) {}

void Tracker::addReadings(const Pose& friendly, const RangeStamped& base,
                          const RangeStamped& from_friendly) {
  if (tracks_.empty()) {
    start(friendly, base.range, from_friendly.range);
    time_ms_ = from_friendly.timestamp;
    return;
  }
  // Each range corrects the tracks at its own time stamp.
  for (Track& track : tracks_) {
    predict(track, static_cast<double>(base.timestamp - time_ms_) / 1000.0);
    correct(track, vec(Simulator::BSTATION_LOC), base.range);
    predict(
        track,
        static_cast<double>(from_friendly.timestamp - base.timestamp) / 1000.0);
    correct(track, vec(friendly.position), from_friendly.range);
  }
  time_ms_ = from_friendly.timestamp;

  if (tracks_.size() == 1 && tracks_[0].recent_surprise > lost_surprise) {
    // Lost (a linearisation gone wrong at close range, or the mirror kept
    // by mistake): start again from these readings.
    tracks_.clear();
    start(friendly, base.range, from_friendly.range);
  } else if (tracks_.size() == 2 &&
             std::abs(tracks_[0].cost - tracks_[1].cost) > mirror_drop_cost) {
    // At any single moment the ranges fit the mirror point as well as the
    // true one; only its motion over time gives it away.
    tracks_.erase(tracks_[0].cost > tracks_[1].cost ? tracks_.begin()
                                                    : tracks_.begin() + 1);
  }
}

GlobalOrd Tracker::getPosition() const {
  if (tracks_.empty()) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return GlobalOrd{nan, nan};
  }
  return ord(best().state.head<2>());
}

GlobalOrd Tracker::getVelocity() const {
  if (tracks_.empty()) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return GlobalOrd{nan, nan};
  }
  return ord(best().state.tail<2>());
}

bool Tracker::isResolved() const { return tracks_.size() == 1; }

GlobalOrd Tracker::getAimPoint(const Pose& friendly, std::int64_t at_ms) const {
  if (tracks_.empty()) {
    return getPosition();
  }
  return ord(leadPoint(stateAt(best(), at_ms), vec(friendly.position)));
}

Controls Tracker::getControls(const Pose& friendly, std::int64_t at_ms,
                              std::int64_t hold_ms) const {
  if (tracks_.empty()) {
    return Controls{0.0, manoeuvres::cruising_speed};
  }
  const double hold_s = static_cast<double>(hold_ms) / 1000.0;
  const Track& chosen = best();
  const Controls controls = steer(stateAt(chosen, at_ms), friendly, hold_s);
  if (tracks_.size() == 2) {
    // Turning for the wrong track costs a turn back; flying straight across
    // the line to the base swings the mirror point far off any aircraft's
    // path and settles the question soonest.
    const Track& other = &chosen == &tracks_[0] ? tracks_[1] : tracks_[0];
    const Vector2d along_line =
        vec(friendly.position) - vec(Simulator::BSTATION_LOC);
    const double crossing = std::abs(
        std::sin(angleBetween(along_line, heading(friendly.orientation))));
    if (crossing > least_crossing_sine &&
        steer(stateAt(other, at_ms), friendly, hold_s).angular !=
            controls.angular) {
      return Controls{0.0, manoeuvres::cruising_speed};
    }
  }
  return controls;
}

void Tracker::start(const Pose& friendly, double base_range,
                    double friendly_range) {
  // The circles about the friendly (radius rf) and the base (rb) cross at
  // distance a from the friendly along the line to the base, h to each side.
  const Vector2d f = vec(friendly.position);
  const Vector2d to_base = vec(Simulator::BSTATION_LOC) - f;
  const double d = to_base.norm();
  if (d == 0.0) {
    return;  // no baseline: wait for the friendly to move off the base
  }
  const Vector2d along = to_base / d;
  const Vector2d across(-along.y(), along.x());
  const double rf = friendly_range;
  const double rb = base_range;
  const double a = (rf * rf - rb * rb + d * d) / (2.0 * d);
  const double h = std::sqrt(std::max(0.0, rf * rf - a * a));
  const Vector2d foot = f + a * along;

  // Circles that only touch (or miss, with noise) give one track.
  std::vector<Vector2d> points{foot + h * across};
  if (h > std::sqrt(range_variance_)) {
    points.push_back(foot - h * across);
  }
  for (const Vector2d& point : points) {
    // Each range pins the position along its own line of sight only, and
    // what the two tell adds up as information (inverse covariance): where
    // the lines are nearly parallel the sideways error is huge.
    Matrix2d information =
        Matrix2d::Identity() / (widest_position_sd * widest_position_sd);
    for (const Vector2d& station : {vec(Simulator::BSTATION_LOC), f}) {
      const Vector2d sight = (point - station).normalized();
      information += sight * sight.transpose() / range_variance_;
    }
    Track track{Vector4d::Zero(), Matrix4d::Zero(), 0.0, 1.0};
    track.state.head<2>() = point;
    track.covariance.topLeftCorner<2, 2>() = information.inverse();
    track.covariance.bottomRightCorner<2, 2>() =
        Matrix2d::Identity() * top_speed * top_speed;
    tracks_.push_back(track);
  }
}

void Tracker::predict(Track& track, double seconds) const {
  if (seconds <= 0.0) {
    return;
  }
  // Constant velocity; the random acceleration widens the covariance of
  // the position by seconds^3/3 and of the velocity by seconds, per unit of
  // manoeuvre_density, and correlates the two.
  const double s = seconds;
  const Matrix2d one = Matrix2d::Identity();
  Matrix4d motion = Matrix4d::Identity();
  motion.topRightCorner<2, 2>() = one * s;
  Matrix4d spread;
  spread << one * (s * s * s / 3.0), one * (s * s / 2.0), one * (s * s / 2.0),
      one * s;
  track.state = motion * track.state;
  track.covariance = motion * track.covariance * motion.transpose() +
                     manoeuvre_density * spread;
}

void Tracker::correct(Track& track, const Vector2d& station,
                      double range) const {
  // The range depends on the position only, and near the estimate it grows
  // along the line of sight: the measurement row is that unit vector. So a
  // range moves the position along its own line of sight, and the velocity
  // through their correlation.
  const Vector2d apart = track.state.head<2>() - station;
  const double expected = apart.norm();
  if (expected < 1e-6) {
    return;  // on the station itself the line of sight is undefined
  }
  RowVector4d row = RowVector4d::Zero();
  row.head<2>() = apart.transpose() / expected;

  const double innovation = range - expected;
  const double variance =
      (row * track.covariance * row.transpose())(0, 0) + range_variance_;
  const Vector4d gain = track.covariance * row.transpose() / variance;
  track.state += gain * innovation;
  // Joseph's form keeps the covariance symmetric and positive.
  const Matrix4d keep = Matrix4d::Identity() - gain * row;
  track.covariance = keep * track.covariance * keep.transpose() +
                     gain * range_variance_ * gain.transpose();

  const double surprise = innovation * innovation / variance;
  track.cost += surprise + std::log(variance);
  track.recent_surprise += recent_weight * (surprise - track.recent_surprise);
}

Vector4d Tracker::stateAt(const Track& track, std::int64_t at_ms) const {
  const double seconds = static_cast<double>(at_ms - time_ms_) / 1000.0;
  Vector4d state = track.state;
  state.head<2>() += state.tail<2>() * seconds;
  return state;
}

const Tracker::Track& Tracker::best() const {
  return *std::min_element(
      tracks_.begin(), tracks_.end(),
      [](const Track& a, const Track& b) { return a.cost < b.cost; });
}
