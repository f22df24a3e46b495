// A tracker that learns from the history of range readings: one extended
// Kalman filter per crossing point of the range circles keeps the bogie's
// position and velocity, and the mirror point is dropped once its track stops
// moving like an aircraft.
#ifndef INTERCEPT_TRACKER_H_
#define INTERCEPT_TRACKER_H_

#include <cstdint>
#include <vector>

#include <Eigen/Dense>

#include "simulator.h"

// One hypothesis of where the bogie is, in the filter's symbols.
struct Track {
  Eigen::Vector4d x;  // the state estimate: [x, y, vx, vy] (m, m/s)
  Eigen::Matrix4d P;  // its covariance
  // How badly it has explained the ranges: the sum of each squared
  // innovation over its variance S, plus log S (twice the negative
  // log-likelihood), and the same with recent readings weighed most.
  double cost;
  double recent_surprise;
};

// Turns the two ranges of each guidance cycle into an estimate of the bogie.
// It never reads a simulator: its owner hands it the friendly's pose and the
// two readings with their time stamps.
//
// Requires: readings in time order, each pair taken where the given pose
// was; range_sd, the standard deviation of a range, 0 or more.
// Guarantees: no track, and a position and velocity that are not a number,
// until the first readings; then one or two tracks. Not thread-safe.
class Tracker {
 public:
  explicit Tracker(double range_sd);

  // Starts a track at each crossing point of the two range circles (one
  // where they only touch or miss each other), or moves every track on to
  // the readings' time stamps and corrects it with each range along its own
  // line of sight. Drops the mirror track once it explains the ranges far
  // worse; starts afresh when the one track left stops explaining them.
  void addReadings(const Pose& friendly, const RangeStamped& base,
                   const RangeStamped& from_friendly);
  // The tracks as of the last readings, the best (least cost) first.
  const std::vector<Track>& getTracks() const;
  // The time stamp of the last readings (ms).
  std::int64_t getTime() const;
  // The best track's position at the last readings, and its velocity (m/s).
  GlobalOrd getPosition() const;
  GlobalOrd getVelocity() const;
  // Whether one track is left: the mirror point has been told apart.
  bool isResolved() const;
  // The tracks moved on from the last readings to at_ms: each state by the
  // motion model F, each covariance P widened by the process noise Q.
  std::vector<Track> tracksAt(std::int64_t at_ms) const;
  // R, the variance of a range that the filter assumes (m^2).
  double getRangeVariance() const;

 private:
  void start(const Pose& friendly, double base_range, double friendly_range);
  void predict(Track& track, double seconds) const;
  void correct(Track& track, const Eigen::Vector2d& station,
               double range) const;

  double R_;                   // the variance of a range (m^2)
  std::vector<Track> tracks_;  // best first; two until the mirror goes
  std::int64_t time_ms_ = 0;   // time of the last readings
};

#endif  // INTERCEPT_TRACKER_H_
