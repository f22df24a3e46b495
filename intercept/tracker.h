// A tracker that learns from the history of range readings: an extended
// Kalman filter per crossing point of the range circles keeps the bogie's
// position and velocity, the mirror point is dropped once its track stops
// moving like an aircraft, and the steering aims where the bogie will be.
#ifndef INTERCEPT_TRACKER_H_
#define INTERCEPT_TRACKER_H_

#include <cstdint>
#include <vector>

#include <Eigen/Dense>

#include "simulator.h"

// A turn command (rad/s, anticlockwise positive) and a speed command (m/s).
struct Controls {
  double angular;
  double linear;
};

// Turns the two ranges of each guidance cycle into one estimate of the bogie
// and into controls for the friendly. It never reads a simulator: its owner
// hands it the friendly's pose and the two readings with their time stamps.
//
// Requires: readings in time order, each pair taken where the given pose
// was; range_sd, the standard deviation of a range, 0 or more.
// Guarantees: position and velocity are not a number until the first
// readings; the controls are those of the autopilot's manoeuvres (turn at
// +-1.1 rad/s at 50 m/s, or straight at 1000 m/s). Not thread-safe.
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
  // The best track: where the bogie is at the last readings, and its
  // velocity (m/s).
  GlobalOrd getPosition() const;
  GlobalOrd getVelocity() const;
  // Whether one track is left: the mirror point has been told apart.
  bool isResolved() const;
  // Where a friendly at `friendly` at time at_ms (ms, the readings' clock)
  // would meet the bogie if it flew straight at full speed from then on
  // (the lead point).
  GlobalOrd getAimPoint(const Pose& friendly, std::int64_t at_ms) const;
  // The controls for a friendly at `friendly` at time at_ms to hold for the
  // next hold_ms, against the best track moved on to at_ms: straight while that
  // passes the bogie closely; a turn the short way towards the aim point while
  // far off it; near it, a turn only where one cycle of it shrinks the miss.
  // While two tracks want different turns, straight if that swings the
  // line to the base round (which tells them apart).
  Controls getControls(const Pose& friendly, std::int64_t at_ms,
                       std::int64_t hold_ms) const;

 private:
  // One hypothesis of where the bogie is: state [x, y, vx, vy] with its
  // covariance, and how badly it has explained the ranges so far (the sum
  // of squared innovations over their variance, plus the log of that
  // variance: twice the negative log-likelihood).
  struct Track {
    Eigen::Vector4d state;
    Eigen::Matrix4d covariance;
    double cost;
    double recent_surprise;  // the same, recent readings weighed most
  };

  void start(const Pose& friendly, double base_range, double friendly_range);
  void predict(Track& track, double seconds) const;
  void correct(Track& track, const Eigen::Vector2d& station,
               double range) const;
  const Track& best() const;
  // A track's state moved on from the last readings to at_ms.
  Eigen::Vector4d stateAt(const Track& track, std::int64_t at_ms) const;

  double range_variance_;
  std::vector<Track> tracks_;  // two until the mirror is told apart
  std::int64_t time_ms_ = 0;   // time of the last readings
};

#endif  // INTERCEPT_TRACKER_H_
