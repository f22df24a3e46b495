// The tracker behind the flight's Guidance interface. The tracker reads no
// simulator; this adapter hands it the friendly's pose and the newest range
// of each history when the readings are taken, and the pose again when it is
// time to steer.
#include "tracker_guidance.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "tracker.h"

namespace {

class TrackerGuidance : public Guidance {
 public:
  TrackerGuidance(std::shared_ptr<Simulator> sim, double range_sd,
                  std::int64_t cycle_ms)
      : simulator_(std::move(sim)), tracker_(range_sd), cycle_ms_(cycle_ms) {}

  void observe(const std::deque<RangeStamped>& base,
               const std::deque<RangeStamped>& friendly) override {
    tracker_.addReadings(simulator_->getFriendlyPose(), base.back(),
                         friendly.back());
  }

  // The clock has moved on since the readings: the tracker steers the
  // friendly from where it is now, against its estimate moved on as well.
  Steering steer() override {
    const Controls controls = tracker_.getControls(
        simulator_->getFriendlyPose(), simulator_->elapsedMs(), cycle_ms_);
    return Steering{tracker_.getPosition(), controls.angular, controls.linear};
  }

 private:
  std::shared_ptr<Simulator> simulator_;
  Tracker tracker_;
  std::int64_t cycle_ms_;
};

}  // namespace

GuidanceMaker trackerGuidance(const Scenario& scenario) {
  return [range_sd = scenario.range_noise,
          cycle_ms = scenario.cycle_ms](std::shared_ptr<Simulator> sim) {
    return std::make_unique<TrackerGuidance>(std::move(sim), range_sd,
                                             cycle_ms);
  };
}
