// An extended Kalman filter on the state x = [x, y, vx, vy] whose
// measurements are the two ranges themselves, one hypothesis per crossing
// point of the range circles. The textbook's symbols stand beside the prose
// names: F the motion model, Q the process noise, H the measurement row,
// S the innovation variance, K the gain, P the covariance, R the variance of
// a range.
#include "tracker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "geometry.h"

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
// 0.02 rad/s at 300 m/s accelerates at 6 m/s^2 for seconds on end: less
// and the estimate lags the turn. The mirror point, swung round the base by
// every sideways move of the friendly, accelerates at hundreds, and that is
// what gives it away.
constexpr double manoeuvre_density = 16.0;
// What a new track knows: its position from the two ranges (capped at this
// standard deviation where the circles cross at a shallow angle, m), its
// velocity no better than an aircraft's top speed (m/s).
constexpr double widest_position_sd = 3000.0;
constexpr double top_speed = 300.0;
// How much worse (in cost, twice the negative log-likelihood) the mirror
// track must explain the ranges before it is dropped: a likelihood ratio
// of e^15.
constexpr double mirror_drop_cost = 30.0;
// A track whose recent squared innovations, over their variance S, average
// more than this has lost the bogie (1 is the norm): it starts afresh. The
// average weighs the newest reading by recent_weight.
constexpr double lost_surprise = 6.0;
constexpr double recent_weight = 0.05;

Vector2d vec(GlobalOrd p) { return Vector2d(p.x, p.y); }

}  // namespace

Tracker::Tracker(double range_sd)
    : R_(std::pow(std::max(range_sd, least_range_sd), 2.0)) {}

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
  if (tracks_.size() == 2 && tracks_[1].cost < tracks_[0].cost) {
    std::swap(tracks_[0], tracks_[1]);  // the best track first
  }

  if (tracks_.size() == 1 && tracks_[0].recent_surprise > lost_surprise) {
    // Lost (a linearisation gone wrong at close range, or the mirror kept
    // by mistake): start again from these readings.
    tracks_.clear();
    start(friendly, base.range, from_friendly.range);
  } else if (tracks_.size() == 2 &&
             tracks_[1].cost - tracks_[0].cost > mirror_drop_cost) {
    // At any single moment the ranges fit the mirror point as well as the
    // true one; only its motion over time gives it away.
    tracks_.pop_back();
  }
}

const std::vector<Track>& Tracker::getTracks() const { return tracks_; }

std::int64_t Tracker::getTime() const { return time_ms_; }

GlobalOrd Tracker::getPosition() const {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  return tracks_.empty() ? GlobalOrd{nan, nan}
                         : GlobalOrd{tracks_[0].x(0), tracks_[0].x(1)};
}

GlobalOrd Tracker::getVelocity() const {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  return tracks_.empty() ? GlobalOrd{nan, nan}
                         : GlobalOrd{tracks_[0].x(2), tracks_[0].x(3)};
}

bool Tracker::isResolved() const { return tracks_.size() == 1; }

std::vector<Track> Tracker::tracksAt(std::int64_t at_ms) const {
  std::vector<Track> moved = tracks_;
  for (Track& track : moved) {
    predict(track, static_cast<double>(at_ms - time_ms_) / 1000.0);
  }
  return moved;
}

double Tracker::getRangeVariance() const { return R_; }

void Tracker::start(const Pose& friendly, double base_range,
                    double friendly_range) {
  const Vector2d f = vec(friendly.position);
  const double d = (vec(Simulator::BSTATION_LOC) - f).norm();
  if (d == 0.0) {
    return;  // no baseline: wait for the friendly to move off the base
  }
  const Crossings crossings =
      crossCircles(friendly.position, friendly_range, Simulator::BSTATION_LOC,
                   base_range, d);
  // Circles that only touch (or miss, with noise) give one track.
  std::vector<Vector2d> points{vec(crossings.left)};
  if (crossings.half_chord > std::sqrt(R_)) {
    points.push_back(vec(crossings.right));
  }
  for (const Vector2d& point : points) {
    // Each range pins the position along its own line of sight only, and
    // what the two tell adds up as information (inverse covariance): where
    // the lines are nearly parallel the sideways error is huge.
    Matrix2d information =
        Matrix2d::Identity() / (widest_position_sd * widest_position_sd);
    for (const Vector2d& station : {vec(Simulator::BSTATION_LOC), f}) {
      const Vector2d sight = (point - station).normalized();
      information += sight * sight.transpose() / R_;
    }
    Track track{Vector4d::Zero(), Matrix4d::Zero(), 0.0, 1.0};
    track.x.head<2>() = point;
    track.P.topLeftCorner<2, 2>() = information.inverse();
    track.P.bottomRightCorner<2, 2>() =
        Matrix2d::Identity() * top_speed * top_speed;
    tracks_.push_back(track);
  }
}

void Tracker::predict(Track& track, double seconds) const {
  if (seconds <= 0.0) {
    return;
  }
  // The motion model F: constant velocity. The process noise Q: a random
  // acceleration widens the variance of the position by seconds^3/3 and of
  // the velocity by seconds, per unit of manoeuvre_density, and correlates
  // the two.
  const double s = seconds;
  const Matrix2d one = Matrix2d::Identity();
  Matrix4d F = Matrix4d::Identity();
  F.topRightCorner<2, 2>() = one * s;
  Matrix4d Q;
  Q << one * (s * s * s / 3.0), one * (s * s / 2.0), one * (s * s / 2.0),
      one * s;
  track.x = F * track.x;
  track.P = F * track.P * F.transpose() + manoeuvre_density * Q;
}

void Tracker::correct(Track& track, const Vector2d& station,
                      double range) const {
  // The measurement row H: a range depends on the position only, and near
  // the estimate it grows along the line of sight, so H holds that unit
  // vector. A range therefore moves the position along its own line of
  // sight, and the velocity through their correlation in P.
  const Vector2d apart = track.x.head<2>() - station;
  const double expected = apart.norm();
  if (expected < 1e-6) {
    return;  // on the station itself the line of sight is undefined
  }
  RowVector4d H = RowVector4d::Zero();
  H.head<2>() = apart.transpose() / expected;

  const double innovation = range - expected;
  const double S = (H * track.P * H.transpose())(0, 0) + R_;
  const Vector4d K = track.P * H.transpose() / S;
  track.x += K * innovation;
  // Joseph's form, (I - K H) P (I - K H)^T + K R K^T, keeps P symmetric and
  // positive.
  const Matrix4d keep = Matrix4d::Identity() - K * H;
  track.P = keep * track.P * keep.transpose() + K * R_ * K.transpose();

  const double surprise = innovation * innovation / S;
  track.cost += surprise + std::log(S);
  track.recent_surprise += recent_weight * (surprise - track.recent_surprise);
}
