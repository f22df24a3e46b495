// The scoreboard's flights call the simulator directly: with no producer
// threads to hand over to, a flight of a few thousand cycles takes
// milliseconds, and the order of the calls alone fixes every noise draw.
#include "scoreboard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <memory>

namespace {

// Formats a value with two decimals.
std::string twoDecimals(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// A point at a distance from the base in a direction, both drawn uniformly.
GlobalOrd aroundBase(std::minstd_rand0& engine, double nearest,
                     double furthest) {
  std::uniform_real_distribution<double> distance(nearest, furthest);
  std::uniform_real_distribution<double> direction(0.0, 2.0 * Simulator::pi);
  const double r = distance(engine);
  const double angle = direction(engine);
  return GlobalOrd{Simulator::BSTATION_LOC.x + r * std::cos(angle),
                   Simulator::BSTATION_LOC.y + r * std::sin(angle)};
}

}  // namespace

Scenario randomScenario(std::minstd_rand0& engine, double range_noise) {
  std::uniform_real_distribution<double> heading(0.0, 2.0 * Simulator::pi);
  std::uniform_real_distribution<double> bogie_speed(200.0, 300.0);
  std::uniform_real_distribution<double> bogie_turn(-0.02, 0.02);

  Scenario scenario = noiseFreeScenario();
  const GlobalOrd bogie_at = aroundBase(engine, 4000.0, 12000.0);
  const double bogie_heading = heading(engine);
  const double speed = bogie_speed(engine);
  scenario.bogie =
      BogiePath{Pose{bogie_at, bogie_heading}, speed, bogie_turn(engine)};
  const GlobalOrd friendly_at = aroundBase(engine, 1000.0, 3000.0);
  scenario.friendly_start = Pose{friendly_at, heading(engine)};
  scenario.friendly_speed = 50.0;
  scenario.range_noise = range_noise;
  scenario.noise_seed = static_cast<unsigned>(engine());
  return scenario;
}

std::int64_t flyDirect(const Scenario& scenario, const GuidanceMaker& make) {
  auto sim =
      std::make_shared<Simulator>(scenario.friendly_start, scenario.bogie);
  sim->setRangeNoise(scenario.range_noise, scenario.noise_seed);
  sim->controlFriendly(scenario.friendly_speed, 0.0);
  const std::unique_ptr<Guidance> guidance = make(sim);

  for (;;) {
    const std::int64_t now = sim->elapsedMs();
    const double distance = Simulator::distance(sim->getFriendlyPose().position,
                                                sim->getBogieTruth().position);
    if (distance <= scenario.intercept_range) {
      return now;
    }
    if (now >= scenario.time_limit_ms) {
      return -1;
    }
    // The two readings the producers take for the buffer, in their order.
    const std::deque<RangeStamped> base{sim->rangeToBogieFromBase()};
    const std::deque<RangeStamped> ranges{sim->rangeToBogieFromFriendly()};
    guidance->observe(base, ranges);
    sim->step(scenario.cycle_ms);
    const Steering steering = guidance->steer();
    sim->controlFriendly(steering.lin_control, steering.ang_control);
  }
}

double quantile(std::vector<double> ratios, double q) {
  if (ratios.empty()) {
    return missed;
  }
  std::sort(ratios.begin(), ratios.end());
  const double rank = q * static_cast<double>(ratios.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(rank));
  const double above_weight = rank - static_cast<double>(below);
  if (above_weight == 0.0) {
    return ratios[below];
  }
  // inf - inf would be not a number: a miss on either side is a miss.
  if (ratios[below + 1] == missed) {
    return missed;
  }
  return ratios[below] + above_weight * (ratios[below + 1] - ratios[below]);
}

std::string scoreLine(const std::string& name,
                      const std::vector<double>& ratios) {
  const auto hits = std::count_if(ratios.begin(), ratios.end(),
                                  [](double r) { return r != missed; });
  const auto shown = [&](double q) {
    const double value = quantile(ratios, q);
    return value == missed ? std::string("miss") : twoDecimals(value);
  };
  return name + ": intercepted " + std::to_string(hits) + "/" +
         std::to_string(ratios.size()) + ", median " + shown(0.5) + ", p90 " +
         shown(0.9);
}

std::vector<std::vector<double>> shares(const std::vector<double>& autopilot,
                                        const std::vector<double>& tracker) {
  // Ratios counted in hundredths, so that the steps add up exactly.
  long lowest = 100;
  long highest = 100;
  for (const std::vector<double>* ratios : {&autopilot, &tracker}) {
    for (double r : *ratios) {
      if (r != missed) {
        lowest = std::min(lowest, static_cast<long>(std::floor(r * 100.0)));
        highest = std::max(highest, static_cast<long>(std::ceil(r * 100.0)));
      }
    }
  }
  const auto share = [](const std::vector<double>& ratios, double limit) {
    if (ratios.empty()) {
      return 0.0;
    }
    const auto within = std::count_if(ratios.begin(), ratios.end(),
                                      [&](double r) { return r <= limit; });
    return static_cast<double>(within) / static_cast<double>(ratios.size());
  };
  std::vector<std::vector<double>> rows;
  for (long hundredths = lowest; hundredths <= highest; ++hundredths) {
    const double limit = static_cast<double>(hundredths) / 100.0;
    rows.push_back({limit, share(autopilot, limit), share(tracker, limit)});
  }
  return rows;
}
