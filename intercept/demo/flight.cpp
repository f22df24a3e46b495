// The guidance loop closed in the simulator, with or without threads: one
// loop, one cycle, and two ways to take the cycle's readings.
#include "flight.h"

#include <cmath>
#include <functional>
#include <limits>

#include "reading_threads.h"

namespace {

// Flies the scenario's flight on sim, taking each cycle's readings with
// take, until the intercept or the time limit, whichever comes first.
FlightResult fly(const Scenario& scenario, Simulator& sim, Guidance& guidance,
                 const std::function<Readings()>& take) {
  FlightResult result{};
  result.closest_distance = std::numeric_limits<double>::infinity();
  for (;;) {
    // Where things stand now, for the record and the end of the flight.
    const std::int64_t now = sim.elapsedMs();
    const GlobalOrd friendly = sim.getFriendlyPose().position;
    const GlobalOrd truth = sim.getBogieTruth().position;
    const double distance = Simulator::distance(friendly, truth);
    if (distance < result.closest_distance) {
      result.closest_distance = distance;
      result.closest_ms = now;
      result.closest_friendly = friendly;
      result.closest_bogie = truth;
    }
    if (distance <= scenario.intercept_range || now >= scenario.time_limit_ms) {
      result.intercepted = distance <= scenario.intercept_range;
      result.end_ms = now;
      return result;
    }
    FlightSample sample =
        guidanceCycle(sim, guidance, take(), scenario.cycle_ms);
    sample.truth = truth;
    result.samples.push_back(sample);
  }
}

// The simulator of a scenario, the friendly flying its first command.
std::shared_ptr<Simulator> simulatorFor(const Scenario& scenario) {
  auto sim =
      std::make_shared<Simulator>(scenario.friendly_start, scenario.bogie);
  sim->setRangeNoise(scenario.range_noise, scenario.noise_seed);
  sim->controlFriendly(scenario.friendly_speed, 0.0);
  return sim;
}

}  // namespace

Scenario noiseFreeScenario() {
  Scenario scenario{};
  scenario.friendly_start = Pose{{2000.0, 0.0}, 0.0};
  scenario.friendly_speed = 50.0;
  scenario.bogie =
      BogiePath{Pose{{9000.0, 7000.0}, Simulator::pi}, 250.0, 0.01};
  scenario.range_noise = 0.0;
  scenario.noise_seed = 1;
  scenario.cycle_ms = 20;
  scenario.time_limit_ms = 120000;
  scenario.intercept_range = 50.0;
  return scenario;
}

Scenario noisyScenario() {
  Scenario scenario = noiseFreeScenario();
  scenario.range_noise = 40.0;
  scenario.noise_seed = 7;
  return scenario;
}

FlightSample guidanceCycle(Simulator& sim, Guidance& guidance,
                           const Readings& readings, std::int64_t cycle_ms) {
  FlightSample sample{};
  sample.time_ms = sim.elapsedMs();
  sample.readings = readings;
  guidance.observe(readings);
  sim.step(cycle_ms);
  sample.controls = guidance.steer(sim.getFriendlyPose(), sim.elapsedMs());
  sim.controlFriendly(sample.controls.linear, sample.controls.angular);
  sample.estimate = guidance.estimate();
  sample.resolved = guidance.resolved();
  return sample;
}

FlightResult flyIntercept(const Scenario& scenario, GuidanceMaker make) {
  // The owner hands the same simulator to the buffer and to the guidance.
  const std::shared_ptr<Simulator> sim = simulatorFor(scenario);
  const std::unique_ptr<Guidance> guidance = make(sim, scenario);
  ReadingThreads threads(sim);
  return fly(scenario, *sim, *guidance, [&threads] { return threads.take(); });
}

FlightResult flyWithoutThreads(const Scenario& scenario, GuidanceMaker make) {
  const std::shared_ptr<Simulator> sim = simulatorFor(scenario);
  const std::unique_ptr<Guidance> guidance = make(sim, scenario);
  // The producers' calls, in their order: the same noise draws.
  return fly(scenario, *sim, *guidance, [&sim] {
    const Pose friendly = sim->getFriendlyPose();
    const RangeStamped base = sim->rangeToBogieFromBase();
    return Readings{friendly, base, sim->rangeToBogieFromFriendly()};
  });
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
