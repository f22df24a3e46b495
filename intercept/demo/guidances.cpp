// Adapters from each lesson's interface to the flight's: what a guidance is
// handed, and when, is the flight's; how it decides is the lesson's.
#include "guidances.h"

#include <cstdint>
#include <utility>

#include "autopilot.h"
#include "pursuit.h"
#include "tracker.h"

namespace {

class AutopilotGuidance : public Guidance {
 public:
  explicit AutopilotGuidance(std::shared_ptr<Simulator> sim)
      : autopilot_(std::move(sim)) {}

  // The autopilot reads its ranges from the simulator when it fixes: the
  // same moment as the readings, but draws of its own.
  void observe(const Readings&) override { autopilot_.setBogiePose(); }

  // The change of the friendly range since observe() picks the crossing
  // point; the autopilot reads both the range and the pose again itself.
  Controls steer(const Pose&, std::int64_t) override {
    estimate_ = autopilot_.getBogiePose().position;
    autopilot_.setPursue(estimate_.x, estimate_.y);
    return Controls{autopilot_.getLinControl(), autopilot_.getAngControl()};
  }

  GlobalOrd estimate() const override { return estimate_; }
  bool resolved() const override { return false; }  // it keeps both points

 private:
  Autopilot autopilot_;
  GlobalOrd estimate_{};
};

class TrackerGuidance : public Guidance {
 public:
  TrackerGuidance(double range_sd, std::int64_t cycle_ms)
      : tracker_(range_sd), cycle_ms_(cycle_ms) {}

  void observe(const Readings& readings) override {
    tracker_.addReadings(readings.friendly, readings.base,
                         readings.from_friendly);
  }

  // The clock has moved on since the readings: it steers the friendly from
  // where it is now, against the tracks moved on as well.
  Controls steer(const Pose& friendly, std::int64_t now_ms) override {
    return leadPursuit(tracker_, friendly, now_ms, cycle_ms_);
  }

  GlobalOrd estimate() const override { return tracker_.getPosition(); }
  bool resolved() const override { return tracker_.isResolved(); }

 private:
  Tracker tracker_;
  std::int64_t cycle_ms_;
};

}  // namespace

std::unique_ptr<Guidance> autopilotGuidance(
    const std::shared_ptr<Simulator>& sim, const Scenario&) {
  return std::make_unique<AutopilotGuidance>(sim);
}

std::unique_ptr<Guidance> trackerGuidance(const std::shared_ptr<Simulator>&,
                                          const Scenario& scenario) {
  return std::make_unique<TrackerGuidance>(scenario.range_noise,
                                           scenario.cycle_ms);
}
