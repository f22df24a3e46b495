// An autopilot that locates a target aircraft (the bogie) from two range
// readings, by intersecting two circles, and turns a point to pursue into a
// turn command and a speed command for the friendly aircraft.
#ifndef INTERCEPT_AUTOPILOT_H_
#define INTERCEPT_AUTOPILOT_H_

#include <memory>

#include "simulator.h"

// Steers the friendly of a Simulator towards the bogie. It shares ownership
// of the simulator with its owner and reads it afresh in every operation:
// getFriendlyPose, then the ranges, in a fixed order per operation.
//
// Requires: setBogiePose before getBogiePose, setPursue before the control
// getters; calls on one object must not overlap (it holds no lock).
// Guarantees: a turn command of -1.1, 0 or 1.1 and a speed command of 50
// while turning and 1000 while flying straight. Until the first
// setBogiePose the estimate is not a number; until the first setPursue both
// controls are 0.
class Autopilot {
 public:
  // Shares ownership of the simulator; sets nothing else.
  explicit Autopilot(std::shared_ptr<Simulator> sim);

  // Intersects the range circles about the friendly and the base station and
  // keeps both crossing points; circles that miss each other (noisy ranges)
  // give the foot point on the line between the two stations twice. A
  // friendly exactly on the base station gives no baseline: both points are
  // then not a number. Ends by reading the friendly range for reference.
  void setBogiePose();
  // Picks the point right of the line from the friendly to the base station
  // if the friendly range has shrunk since setBogiePose, else the left one
  // (also on equal ranges), and returns it with orientation
  // atan(|slope from the friendly to it|): between 0 and pi/2, no quadrant.
  Pose getBogiePose();
  // Computes the controls that turn the friendly the short way towards the
  // global point (x, y): no turn while the heading error is below 0.3925.
  // A point on the friendly itself, or not a number, gives no turn.
  void setPursue(double x, double y);
  // The last turn command: 1.1 anticlockwise, -1.1 clockwise, 0 straight.
  double getAngControl();
  // The last speed command: 50 while turning, 1000 while flying straight.
  double getLinControl();

 private:
  Pose candidate_a;
  Pose candidate_b;
  double ang_control;
  double lin_control;
  double reference_range;
  double bogie_heading;
  std::shared_ptr<Simulator> simulator;
};

#endif  // INTERCEPT_AUTOPILOT_H_
