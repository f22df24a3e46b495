// An extended Kalman filter on x = [x, y, vx, vy] per place the ranges allow
// (a Gaussian sum). F: the motion model, Q: process noise, H: measurement
// row, S: innovation variance, K: gain, P: covariance, R: a range's variance.
#include "tracker.h"

#include <algorithm>
#include <cmath>

#include "geometry.h"

namespace {

using Eigen::Matrix2d;
using Eigen::Matrix4d;
using Eigen::RowVector4d;
using Eigen::Vector2d;
using Eigen::Vector4d;

// Exact ranges are taken as exact to a millimetre: enough for S to stay far
// above rounding at 10 km, and for the crossing points to say how far off a
// line-up the bogie is (a metre blurs that to 130 m at 8 km: sqrt(2 r sd);
// tuned: at 1 m the line-ups without noise took 1.08 to 1.10 times the
// ideal, at 1 mm 1.01 to 1.02).
constexpr double least_range_sd = 0.001;
// The motion model's random acceleration (m^2/s^3). A bogie turning at 0.02
// rad/s at 300 m/s pulls 6 m/s^2; white noise of density q keeps up with a
// steady a over about q / a^2 seconds, so 180 follows it over the 5 s that a
// pass takes to come (tuned: with 16, at 40 m of noise, the pass a dash was
// heading for lay 45 m (rms) off the prediction 0.3 s before it, 1.4 times
// the filter's own doubt; with 180, 28 m, within it). The mirror, swung round
// the base, pulls hundreds.
constexpr double manoeuvre_density = 180.0;
// A new track's spread, at most (m), and its velocity's: an aircraft's (m/s).
constexpr double widest_position_sd = 3000.0;
constexpr double top_speed = 300.0;
// A track goes once its cost exceeds the best one's by drop_cost (a
// likelihood ratio of e^15), or once its NIS, averaged with weight
// nis_weight (over some 20 readings), passes lost_nis.
constexpr double drop_cost = 30.0;
constexpr double lost_nis = 6.0;
constexpr double nis_weight = 0.05;
// Crossing points closer together than this many standard deviations across
// the chord are one hypothesis, not two (tuned: at 1 or 2 the p90 of the
// noisy head-on line-up was 2.02 or 1.99, at 3 1.85).
constexpr double distinct_crossings = 3.0;
constexpr std::size_t most_tracks = 8;

Vector2d vec(GlobalOrd p) { return Vector2d(p.x, p.y); }

bool better(const Track& a, const Track& b) { return a.cost < b.cost; }

// A measurement row H that reads the position along a unit direction.
RowVector4d along(const Vector2d& direction) {
  return (RowVector4d() << direction.transpose(), 0.0, 0.0).finished();
}

}  // namespace

Tracker::Tracker(double range_sd)
    : R_(std::pow(std::max(range_sd, least_range_sd), 2.0)) {}

void Tracker::addReadings(const Pose& friendly, const RangeStamped& base,
                          const RangeStamped& from_friendly) {
  const auto drop = [this](auto gone) {
    tracks_.erase(std::remove_if(tracks_.begin(), tracks_.end(), gone),
                  tracks_.end());
  };
  for (Track& track : tracks_) {  // each range at its own time stamp
    predict(track, base.timestamp - time_ms_);
    correctByRange(track, vec(Simulator::BSTATION_LOC), base.range);
    predict(track, from_friendly.timestamp - base.timestamp);
    correctByRange(track, vec(friendly.position), from_friendly.range);
  }
  time_ms_ = from_friendly.timestamp;
  // A lost track (a linearisation gone wrong at close range, say) goes.
  drop([](const Track& t) { return t.nis_average > lost_nis; });
  if (tracks_.empty()) {
    start(friendly, base.range, from_friendly.range);
    started_ms_ = time_ms_;
    return;
  }
  // At any single moment the ranges fit the mirror point as well as the
  // true one; only its motion over time gives it away.
  std::stable_sort(tracks_.begin(), tracks_.end(), better);
  const double best = tracks_[0].cost;
  drop([best](const Track& t) { return t.cost - best > drop_cost; });
  split(vec(friendly.position));
}

GlobalOrd Tracker::ofBest(int i) const {
  const double none = std::nan("");
  return tracks_.empty() ? GlobalOrd{none, none}
                         : GlobalOrd{tracks_[0].x(i), tracks_[0].x(i + 1)};
}

void Tracker::start(const Pose& friendly, double base_range,
                    double friendly_range) {
  const Vector2d f = vec(friendly.position);
  const double d = (vec(Simulator::BSTATION_LOC) - f).norm();
  if (d == 0.0) return;  // no baseline: wait for the friendly to move off
  const Crossings crossings =
      crossCircles(friendly.position, friendly_range, Simulator::BSTATION_LOC,
                   base_range, d);
  for (const Vector2d& point : {vec(crossings.left), vec(crossings.right)}) {
    // Each range pins the point along its own line of sight only: the
    // filter's update there, with nothing to correct, says how well.
    Track track{Vector4d(point.x(), point.y(), 0.0, 0.0), Matrix4d::Zero(), 0.0,
                1.0};
    track.P.diagonal() << Vector2d::Constant(std::pow(widest_position_sd, 2)),
        Vector2d::Constant(std::pow(top_speed, 2));
    for (const Vector2d& station : {vec(Simulator::BSTATION_LOC), f}) {
      correct(track, along((point - station).normalized()), 0.0, R_);
    }
    tracks_.push_back(track);
    if (crossings.half_chord <= std::sqrt(R_)) {
      break;  // circles that only touch (or miss, with noise): one track
    }
  }
  // In a line-up the lines of sight are nearly parallel: noisy ranges put the
  // crossing points hundreds of metres either side of the line, each sure of
  // its place only because the lines of sight to it part. Where the two lie
  // closer than a few of their own standard deviations across the chord,
  // they are one place, the two merged with their spread (moment matching).
  if (tracks_.size() == 2) {
    const Vector2d chord =
        (vec(crossings.left) - vec(crossings.right)).normalized();
    const double across = chord.dot(tracks_[0].P.topLeftCorner<2, 2>() * chord);
    if (crossings.half_chord < distinct_crossings * std::sqrt(across)) {
      const Vector4d middle = 0.5 * (tracks_[0].x + tracks_[1].x);
      const Vector4d apart = tracks_[0].x - middle;
      tracks_[0].x = middle;
      tracks_[0].P =
          0.5 * (tracks_[0].P + tracks_[1].P) + apart * apart.transpose();
      tracks_.pop_back();
    }
  }
  split(f);
}

void Tracker::split(const Vector2d& friendly) {
  // A range sees a track as a line across its line of sight, but the circle
  // bends off it by spread^2 / (2 range): past a range's error, the filter
  // grows sure of a wrong place. Such a track becomes three, half as wide
  // along its widest direction and as wide together: the filter, told the
  // position there is at -1.41, 0 or +1.41 spreads, give or take 0.58.
  for (std::size_t i = 0;
       i < tracks_.size() && tracks_.size() + 2 <= most_tracks;) {
    const Track wide = tracks_[i];
    const Vector2d at = wide.x.head<2>();
    // Its widest spread, the larger eigenvalue of the position's 2 x 2 P in
    // closed form, lies at half the angle of ((P00 - P11) / 2, P01).
    const Matrix2d spread = wide.P.topLeftCorner<2, 2>();
    const double half_difference = (spread(0, 0) - spread(1, 1)) / 2.0;
    const double angle = std::atan2(spread(0, 1), half_difference) / 2.0;
    const double variance = (spread(0, 0) + spread(1, 1)) / 2.0 +
                            std::hypot(half_difference, spread(0, 1));
    if (variance <= std::sqrt(R_) / 2.0 *
                        std::min((at - vec(Simulator::BSTATION_LOC)).norm(),
                                 (at - friendly).norm())) {
      ++i;
      continue;
    }
    const RowVector4d H = along(Vector2d(std::cos(angle), std::sin(angle)));
    for (const double side : {1.0, -1.0, 0.0}) {  // the middle one in place
      Track part = wide;
      correct(part, H, side * std::sqrt(2.0 * variance), variance / 3.0);
      part.cost += 2.0 * std::log(3.0);  // each a third as likely
      tracks_.push_back(part);
    }
    std::swap(tracks_[i], tracks_.back());
    tracks_.pop_back();
  }
  std::stable_sort(tracks_.begin(), tracks_.end(), better);
}

void Tracker::predict(Track& track, std::int64_t ms) const {
  // F: constant velocity. Q: a random acceleration widens the variance of the
  // position by s^3/3 and of the velocity by s, and correlates them by s^2/2.
  // No time (the second range of a pair): F = I and Q = 0, nothing to do.
  if (ms <= 0) {
    return;
  }
  const double s = static_cast<double>(ms) / 1000.0;
  const Matrix2d one = Matrix2d::Identity();
  Matrix4d F = Matrix4d::Identity();
  F.topRightCorner<2, 2>() = one * s;
  Matrix4d Q;
  Q << one * (s * s * s / 3.0), one * (s * s / 2.0), one * (s * s / 2.0),
      one * s;
  track.x = F * track.x;
  track.P = F * track.P * F.transpose() + manoeuvre_density * Q;
}

void Tracker::correctByRange(Track& track, const Vector2d& station,
                             double range) const {
  // The measurement row H: near the estimate a range grows along the line of
  // sight, so it moves the position along that line only, and the velocity
  // through their correlation in P.
  const Vector2d apart = track.x.head<2>() - station;
  const double expected = apart.norm();
  if (expected < 1e-6) return;  // on the station: no line of sight
  const double innovation = range - expected;
  const double S = correct(track, along(apart / expected), innovation, R_);
  const double nis = innovation * innovation / S;
  track.cost += nis + std::log(S);
  track.nis_average += nis_weight * (nis - track.nis_average);
}

double Tracker::correct(Track& track, const RowVector4d& H, double innovation,
                        double variance) const {
  const double S = (H * track.P * H.transpose())(0, 0) + variance;
  const Vector4d K = track.P * H.transpose() / S;
  track.x += K * innovation;
  // Joseph's form, (I - K H) P (I - K H)^T + K R K^T: P stays positive.
  const Matrix4d keep = Matrix4d::Identity() - K * H;
  track.P = keep * track.P * keep.transpose() + K * variance * K.transpose();
  return S;
}
