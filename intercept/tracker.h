// A tracker that learns from the history of range readings: one extended
// Kalman filter (a track) per place the ranges allow the bogie to be, each
// dropped once it explains the ranges far worse than the best.
#ifndef INTERCEPT_TRACKER_H_
#define INTERCEPT_TRACKER_H_

#include <cstdint>
#include <vector>

#include <Eigen/Core>

#include "simulator.h"

// One hypothesis of where the bogie is, in the filter's symbols. NIS is the
// normalised innovation squared of a range, (range - expected)^2 / S: 1 on
// average where the filter's P and R are right.
struct Track {
  Eigen::Vector4d x;   // the state estimate: [x, y, vx, vy] (m, m/s)
  Eigen::Matrix4d P;   // its covariance
  double cost;         // -2 log-likelihood so far: the sum of NIS + log S
  double nis_average;  // moving average of the NIS: about 1 while it fits
};

// Turns the friendly's pose and two ranges, handed over each cycle, into an
// estimate of the bogie. Requires: readings in time order, each pair taken
// where the pose was; range_sd (m) 0 or more. Guarantees: no track (a position
// and velocity not a number) until the first readings, then 1 to 8 tracks.
class Tracker {
 public:
  explicit Tracker(double range_sd);
  // Starts tracks at the crossing points of the range circles, or moves each
  // on and corrects it with each range; drops those far less likely than the
  // best, or lost (all: starts afresh); splits each too wide for a range.
  void addReadings(const Pose& friendly, const RangeStamped& base,
                   const RangeStamped& from_friendly);
  // Moves a track on by ms: its state by F, its covariance widened by Q.
  void predict(Track& track, std::int64_t ms) const;
  const std::vector<Track>& getTracks() const { return tracks_; }  // best 1st
  std::int64_t getTime() const { return time_ms_; }  // of the last readings
  std::int64_t getStartTime() const { return started_ms_; }  // of the first
  double getRangeVariance() const { return R_; }             // R (m^2)
  GlobalOrd getPosition() const { return ofBest(0); }        // the best track's
  GlobalOrd getVelocity() const { return ofBest(2); }        // (m/s)
  bool isResolved() const { return tracks_.size() == 1; }  // mirror told apart

 private:
  GlobalOrd ofBest(int i) const;  // x(i), x(i + 1); not a number: no track
  void start(const Pose& friendly, double base_range, double friendly_range);
  void split(const Eigen::Vector2d& friendly);
  void correctByRange(Track& track, const Eigen::Vector2d& station,
                      double range) const;
  double correct(Track& track, const Eigen::RowVector4d& H, double innovation,
                 double variance) const;

  double R_;                     // the variance of a range (m^2)
  std::vector<Track> tracks_;    // best first
  std::int64_t time_ms_ = 0;     // time of the last readings
  std::int64_t started_ms_ = 0;  // of the readings the tracks started from
};

#endif  // INTERCEPT_TRACKER_H_
