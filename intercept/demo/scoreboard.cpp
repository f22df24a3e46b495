// The scoreboard's scenes, its checks and its statistics.
#include "scoreboard.h"

#include <algorithm>
#include <cmath>

#include "chart.h"
#include "rules.h"

namespace {

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
  using Uniform = std::uniform_real_distribution<double>;
  Uniform heading(0.0, 2.0 * Simulator::pi);
  // The draws in the order written: a braced list is evaluated left to right.
  Scenario scenario;
  scenario.bogie =
      BogiePath{Pose{aroundBase(engine, 4000.0, 12000.0), heading(engine)},
                Uniform(200.0, 300.0)(engine), Uniform(-0.02, 0.02)(engine)};
  scenario.friendly_start =
      Pose{aroundBase(engine, 1000.0, 3000.0), heading(engine)};
  scenario.range_noise = range_noise;
  scenario.noise_seed = static_cast<unsigned>(engine());
  return scenario;
}

std::map<std::string, Scenario> edgeScenarios(double range_noise,
                                              unsigned noise_seed) {
  Scenario head_on;
  head_on.range_noise = range_noise;
  head_on.noise_seed = noise_seed;
  head_on.bogie = BogiePath{Pose{{10000.0, 0.0}, Simulator::pi}, 250.0, 0.0};
  Scenario away = head_on;
  away.bogie = BogiePath{Pose{{6000.0, 0.0}, 0.0}, 250.0, 0.0};
  Scenario off_line = head_on;
  off_line.bogie.start.position.y = 100.0;
  Scenario turning = head_on;
  turning.bogie.turnRate = 0.02;
  return {{"head-on", head_on},
          {"away", away},
          {"off-line", off_line},
          {"turning", turning}};
}

std::string breaksTheRules(const FlightResult& flight, double ideal_ms) {
  for (const FlightSample& s : flight.samples) {
    if (!rules::allowed(s.controls)) {
      return "a command outside the manoeuvres at t = " +
             formatted("%.2f", static_cast<double>(s.time_ms) / 1000.0) +
             " s: " + formatted("%.2f", s.controls.linear) + " m/s at " +
             formatted("%.2f", s.controls.angular) + " rad/s";
    }
  }
  if (flight.intercepted && static_cast<double>(flight.end_ms) < ideal_ms) {
    return "an intercept at " +
           formatted("%.2f", static_cast<double>(flight.end_ms) / 1000.0) +
           " s, before the ideal pursuer's " +
           formatted("%.2f", ideal_ms / 1000.0) + " s";
  }
  return "";
}

std::int64_t mirrorDroppedMs(const FlightResult& flight) {
  const auto dropped =
      std::find_if(flight.samples.begin(), flight.samples.end(),
                   [](const FlightSample& s) { return s.resolved; });
  return dropped == flight.samples.end() ? -1 : dropped->time_ms;
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
    return value == missed ? std::string("miss") : formatted("%.2f", value);
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
