// The guidance loop closed in the simulator: the guidances behind one
// interface, one cycle, and one loop that takes each cycle's readings with
// threads or without.
#include "flight.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "autopilot.h"
#include "ideal.h"
#include "pursuit.h"
#include "reading_threads.h"
#include "tracker.h"

namespace {

// The autopilot reads the simulator itself, as its interface fixes: the
// readings it is handed only say that it is time to fix. It reads the same
// moment, with noise draws of its own.
class AutopilotGuidance : public Guidance {
 public:
  explicit AutopilotGuidance(std::shared_ptr<Simulator> sim)
      : autopilot_(std::move(sim)) {}

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

// The tracker never reads the simulator. It steers from where the friendly
// is after the clock step, against its tracks moved on as well, and holds
// its controls for one cycle.
class TrackerGuidance : public Guidance {
 public:
  TrackerGuidance(double range_sd, std::int64_t cycle_ms)
      : tracker_(range_sd), cycle_ms_(cycle_ms) {}

  void observe(const Readings& readings) override {
    tracker_.addReadings(readings.friendly, readings.base,
                         readings.from_friendly);
  }
  Controls steer(const Pose& friendly, std::int64_t now_ms) override {
    return leadPursuit(tracker_, friendly, now_ms, cycle_ms_);
  }
  GlobalOrd estimate() const override { return tracker_.getPosition(); }
  bool resolved() const override { return tracker_.isResolved(); }

 private:
  Tracker tracker_;
  std::int64_t cycle_ms_;
};

// The reference is handed the bogie's true path, not the readings: at its
// first cycle it plans the ideal pursuer's flight in whole cycles and flies
// it. It shows what steering once a cycle costs on its own.
class ReferenceGuidance : public Guidance {
 public:
  explicit ReferenceGuidance(const Scenario& scenario) : scenario_(scenario) {}

  void observe(const Readings&) override {}
  Controls steer(const Pose& friendly, std::int64_t now_ms) override {
    if (start_ms_ < 0) {
      plan_ = bestCycleFlight(scenario_, friendly, now_ms);
      start_ms_ = now_ms;
    }
    const Controls bogie_flight{scenario_.bogie.speed,
                                scenario_.bogie.turnRate};
    estimate_ = flyArc(scenario_.bogie.start, bogie_flight,
                       static_cast<double>(now_ms) / 1000.0)
                    .position;
    const auto cycles_flown = static_cast<std::size_t>(
        (now_ms - start_ms_) / std::max<std::int64_t>(scenario_.cycle_ms, 1));
    return cycles_flown < plan_.commands.size() ? plan_.commands[cycles_flown]
                                                : rules::straight;
  }
  GlobalOrd estimate() const override { return estimate_; }
  bool resolved() const override { return true; }  // it was told

 private:
  Scenario scenario_;
  CycleFlight plan_{};
  std::int64_t start_ms_ = -1;  // of the plan; -1: none yet
  GlobalOrd estimate_{};
};

// One guidance cycle on readings taken at the clock's time now_ms: the
// guidance observes them, the clock runs cycle_ms, the guidance steers from
// where the friendly is then, and its controls go to the friendly. The record
// holds all but the truth, which the caller knows; now_ms becomes the time
// the clock stands at after the step.
FlightSample guidanceCycle(Simulator& sim, Guidance& guidance,
                           const Readings& readings, std::int64_t& now_ms,
                           std::int64_t cycle_ms) {
  FlightSample sample{};
  sample.time_ms = now_ms;
  sample.readings = readings;
  guidance.observe(readings);
  sim.step(cycle_ms);
  now_ms = sim.elapsedMs();
  sample.controls = guidance.steer(sim.getFriendlyPose(), now_ms);
  sim.controlFriendly(sample.controls.linear, sample.controls.angular);
  sample.estimate = guidance.estimate();
  sample.resolved = guidance.resolved();
  return sample;
}

FlightResult fly(const Scenario& scenario, Pilot pilot, bool threaded) {
  // The owner hands the same simulator to the guidance and to the buffer.
  const auto sim =
      std::make_shared<Simulator>(scenario.friendly_start, scenario.bogie);
  sim->setRangeNoise(scenario.range_noise, scenario.noise_seed);
  sim->controlFriendly(scenario.friendly_speed, 0.0);
  const std::unique_ptr<Guidance> guidance = makeGuidance(pilot, scenario, sim);
  std::optional<ReadingThreads> threads;
  if (threaded) {
    threads.emplace(sim);
  }

  FlightResult result{};
  result.closest_distance = std::numeric_limits<double>::infinity();
  result.samples.reserve(static_cast<std::size_t>(
      scenario.time_limit_ms / std::max<std::int64_t>(scenario.cycle_ms, 1) +
      1));
  // Each cycle reads the clock, the friendly's pose and the truth once: the
  // scoreboard flies a million cycles, and every call of the simulator takes
  // its lock.
  std::int64_t now = sim->elapsedMs();
  for (;;) {
    const Pose friendly = sim->getFriendlyPose();
    const GlobalOrd truth = sim->getBogieTruth().position;
    const double distance = Simulator::distance(friendly.position, truth);
    if (distance < result.closest_distance) {
      result.closest_distance = distance;
      result.closest_ms = now;
      result.closest_bogie = truth;
    }
    if (distance <= scenario.intercept_range || now >= scenario.time_limit_ms) {
      result.intercepted = distance <= scenario.intercept_range;
      result.end_ms = now;
      return result;
    }
    Readings readings{};
    if (threads) {
      readings = threads->take();
    } else {  // the producers' calls, in their order: the same noise draws
      readings.friendly = friendly;
      readings.base = sim->rangeToBogieFromBase();
      readings.from_friendly = sim->rangeToBogieFromFriendly();
    }
    FlightSample sample =
        guidanceCycle(*sim, *guidance, readings, now, scenario.cycle_ms);
    sample.truth = truth;
    result.samples.push_back(sample);
  }
}

}  // namespace

std::unique_ptr<Guidance> makeGuidance(Pilot pilot, const Scenario& scenario,
                                       const std::shared_ptr<Simulator>& sim) {
  if (pilot == Pilot::autopilot) {
    return std::make_unique<AutopilotGuidance>(sim);
  }
  if (pilot == Pilot::tracker) {
    return std::make_unique<TrackerGuidance>(scenario.range_noise,
                                             scenario.cycle_ms);
  }
  return std::make_unique<ReferenceGuidance>(scenario);
}

Scenario noisyScenario() {
  Scenario scenario;
  scenario.range_noise = 40.0;
  scenario.noise_seed = 7;
  return scenario;
}

FlightResult flyIntercept(const Scenario& scenario, Pilot pilot) {
  return fly(scenario, pilot, true);
}

FlightResult flyWithoutThreads(const Scenario& scenario, Pilot pilot) {
  return fly(scenario, pilot, false);
}

bool onBaseline(const FlightSample& sample) {
  const GlobalOrd a = sample.readings.friendly.position;
  const GlobalOrd b = Simulator::BSTATION_LOC;
  const GlobalOrd p = sample.estimate;
  const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
  const double scale =
      Simulator::distance(a, b) * (Simulator::distance(a, p) + 1.0);
  return std::abs(cross) <= 1e-9 * scale;
}
