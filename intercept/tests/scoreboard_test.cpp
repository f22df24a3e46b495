// Tests of the scoreboard and its yardstick: the ideal pursuer against a
// brute-force search, the rules a flight must keep to be scored, quantiles
// and the miss rule on made-up flights, and the scenes it draws.
#include "scoreboard.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ideal.h"
#include "rules.h"

namespace {

// The first whole millisecond at which a friendly that turns one way for a
// whole number of milliseconds, then flies straight, is within the intercept
// range of the bogie: every such flight tried, the turns and the bogie's
// path flown by the simulator stand-in. A grid of flights, so never below
// the ideal time, and above it by the grid's coarseness only.
std::int64_t bruteForceMs(const Scenario& scenario) {
  const auto full_turn_ms = static_cast<std::int64_t>(
      std::ceil(2.0 * Simulator::pi / rules::turn_rate * 1000.0));
  struct Turned {
    GlobalOrd at;
    double cos, sin;  // of the heading
  };
  std::vector<Turned> turned[2];  // after each ms of a left and a right turn
  for (int way = 0; way < 2; ++way) {
    Simulator sim(scenario.friendly_start, scenario.bogie);
    const Controls turn = way == 0 ? rules::left : rules::right;
    sim.controlFriendly(turn.linear, turn.angular);
    for (std::int64_t ms = 0; ms <= full_turn_ms; ++ms, sim.step(1)) {
      const Pose pose = sim.getFriendlyPose();
      turned[way].push_back(Turned{pose.position, std::cos(pose.orientation),
                                   std::sin(pose.orientation)});
    }
  }
  Simulator bogie(scenario.friendly_start, scenario.bogie);
  for (std::int64_t t = 0; t <= scenario.time_limit_ms; ++t, bogie.step(1)) {
    const GlobalOrd at = bogie.getBogieTruth().position;
    const double seconds = static_cast<double>(t) / 1000.0;
    if (Simulator::distance(scenario.friendly_start.position, at) >
        scenario.intercept_range + rules::cruising_speed * seconds) {
      continue;  // out of reach of any flight
    }
    for (const std::vector<Turned>& poses : turned) {
      for (std::int64_t tau = 0; tau <= std::min(t, full_turn_ms); ++tau) {
        const Turned& p = poses[static_cast<std::size_t>(tau)];
        const double dash =
            static_cast<double>(t - tau) / 1000.0 * rules::cruising_speed;
        if (std::hypot(p.at.x + dash * p.cos - at.x,
                       p.at.y + dash * p.sin - at.y) <=
            scenario.intercept_range) {
          return t;
        }
      }
    }
  }
  return -1;
}

// Tests the ideal pursuer against the brute-force search on scenes that need
// a short turn, a long one (over 2 rad) and none at all (a bogie closing
// head on): never later than a flight of the grid, and within 2 ms of it.
TEST(IdealPursuer, AsQuickAsTheBestFlightOfAGrid) {
  Scenario behind;
  behind.friendly_start = Pose{{-2000.0, 1000.0}, 0.3};
  behind.bogie = BogiePath{Pose{{-6000.0, 3000.0}, 2.5}, 220.0, -0.015};
  Scenario head_on;
  head_on.bogie = BogiePath{Pose{{7000.0, 30.0}, Simulator::pi}, 300.0, 0.0};
  for (const Scenario& scene : {Scenario{}, behind, head_on}) {
    const double ideal_ms = idealInterceptMs(scene);
    const auto brute_ms = static_cast<double>(bruteForceMs(scene));
    EXPECT_GE(brute_ms, ideal_ms) << scene.bogie.start.position.x;
    EXPECT_LE(brute_ms, ideal_ms + 2.0) << scene.bogie.start.position.x;
  }
}

// The first cycle at which the best flight of the 20 ms grid is within the
// intercept range, as the flight loop flies it: the first cycle straight on
// at the scene's speed, then a whole number of cycles of one turn, then
// straight on; each flight of the grid tried in the simulator stand-in, until
// it has passed the bogie or is later than the best so far. -1: none.
std::int64_t cycleGridMs(const Scenario& scenario) {
  const std::int64_t c = scenario.cycle_ms;
  const auto full_turn = static_cast<std::int64_t>(
      std::ceil(2.0 * Simulator::pi / rules::turn_rate /
                (0.001 * static_cast<double>(c))));
  std::int64_t best = scenario.time_limit_ms + c;
  for (const Controls turn : {rules::left, rules::right}) {
    for (std::int64_t k = 0; k <= full_turn && (k + 1) * c < best; ++k) {
      Simulator sim(scenario.friendly_start, scenario.bogie);
      sim.controlFriendly(scenario.friendly_speed, 0.0);
      double last = INFINITY;
      for (std::int64_t t = 0; t < best; t += c, sim.step(c)) {
        const double now = Simulator::distance(sim.getFriendlyPose().position,
                                               sim.getBogieTruth().position);
        if (now <= scenario.intercept_range) {
          best = t;
        } else if (t > (k + 1) * c && now > last) {
          break;  // past the bogie on the dash
        }
        last = now;
        const Controls controls = t == 0
                                      ? Controls{scenario.friendly_speed, 0.0}
                                  : t <= k * c ? turn
                                               : rules::straight;
        sim.controlFriendly(controls.linear, controls.angular);
      }
    }
  }
  return best > scenario.time_limit_ms ? -1 : best;
}

// Tests the reference guidance, handed the bogie's path, on random scenes:
// never sooner than the ideal pursuer, and never later than the best flight
// of the grid of whole cycles of one turn (each of which it could fly). The
// grid may have none: a whole number of turn cycles can point the dash
// outside the range on either side. It still intercepts then, as on every
// scene, within four cycles of the ideal pursuer: the first cycle is flown
// before any command, it turns in whole cycles and once more to correct,
// and it comes into range at a whole cycle.
TEST(ReferenceGuidance, BetweenTheIdealAndTheGridsFloor) {
  std::minstd_rand0 engine(3);
  int grid_flights = 0;
  for (int scene = 0; scene < 8; ++scene) {
    const Scenario s = randomScenario(engine, 0.0);
    const double ideal_ms = idealInterceptMs(s);
    const FlightResult flight = flyWithoutThreads(s, Pilot::reference);
    ASSERT_TRUE(flight.intercepted) << "scene " << scene;
    EXPECT_EQ("", breaksTheRules(flight, ideal_ms)) << "scene " << scene;
    const auto end_ms = static_cast<double>(flight.end_ms);
    EXPECT_LE(end_ms, ideal_ms + 4.0 * static_cast<double>(s.cycle_ms))
        << "scene " << scene;
    const std::int64_t grid_ms = cycleGridMs(s);
    if (grid_ms >= 0) {
      ++grid_flights;
      EXPECT_LE(flight.end_ms, grid_ms) << "scene " << scene;
    }
  }
  EXPECT_GE(grid_flights, 3);
}

// Tests the rules of the scoreboard on made-up flights: a command outside
// the manoeuvres, or an intercept before the ideal pursuer's, is named; a
// flight of manoeuvres that intercepts later, or never, is fit.
TEST(Scoreboard, FlightsThatBreakTheRules) {
  FlightResult flight{};
  flight.samples.resize(3);
  flight.samples[0].controls = rules::left;
  flight.samples[1].controls = rules::straight;
  flight.samples[2].controls = rules::right;
  flight.intercepted = true;
  flight.end_ms = 9000;
  EXPECT_EQ("", breaksTheRules(flight, 8999.5));
  EXPECT_EQ("an intercept at 9.00 s, before the ideal pursuer's 9.10 s",
            breaksTheRules(flight, 9100.0));
  flight.intercepted = false;
  EXPECT_EQ("", breaksTheRules(flight, 9100.0));

  flight.samples[1].time_ms = 20;
  flight.samples[1].controls = Controls{1000.0, 1.1};  // turning at full speed
  EXPECT_EQ(
      "a command outside the manoeuvres at t = 0.02 s: 1000.00 m/s at 1.10 "
      "rad/s",
      breaksTheRules(flight, 8999.5));
}

// Tests when the mirror dropped on made-up flights: at the first sample that
// told the bogie from it (even if a later one did not), at the start, never.
TEST(Scoreboard, MirrorDroppedAtTheFirstResolvedSample) {
  FlightResult flight{};
  for (const bool resolved : {false, false, true, false, true}) {
    FlightSample sample{};
    sample.time_ms = static_cast<std::int64_t>(flight.samples.size()) * 20;
    sample.resolved = resolved;
    flight.samples.push_back(sample);
  }
  EXPECT_EQ(40, mirrorDroppedMs(flight));
  flight.samples[0].resolved = true;
  EXPECT_EQ(0, mirrorDroppedMs(flight));
  for (FlightSample& s : flight.samples) {
    s.resolved = false;
  }
  EXPECT_EQ(-1, mirrorDroppedMs(flight));
  EXPECT_EQ(-1, mirrorDroppedMs(FlightResult{}));
}

// Tests quantiles between ranks, on ranks, and where a miss decides them.
TEST(Scoreboard, QuantilesAndMisses) {
  EXPECT_DOUBLE_EQ(2.5, quantile({4.0, 1.0, 3.0, 2.0}, 0.5));
  EXPECT_DOUBLE_EQ(9.1, quantile({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0.9));
  EXPECT_DOUBLE_EQ(2.0, quantile({1.0, missed, 2.0}, 0.5));  // on a rank
  EXPECT_EQ(missed, quantile({1.0, missed}, 0.5));           // half a miss
  EXPECT_EQ(missed, quantile({}, 0.5));

  EXPECT_EQ("tracker: intercepted 3/4, median 1.15, p90 miss",
            scoreLine("tracker", {1.2, missed, 1.0, 1.1}));
  EXPECT_EQ("autopilot: intercepted 0/2, median miss, p90 miss",
            scoreLine("autopilot", {missed, missed}));
  EXPECT_EQ(
      "tracker: intercepted 10/10, median 1.05, p90 1.89",
      scoreLine("tracker", {1.0, 1.0, 1.0, 1.0, 1.0, 1.1, 1.1, 1.1, 1.8, 2.7}));
}

// Tests the shares: every ratio step from 1 to the largest finite one, each
// guidance's flights counted against all of its flights, misses never.
TEST(Scoreboard, SharesPerRatio) {
  using Rows = std::vector<std::vector<double>>;
  EXPECT_EQ((Rows{{1.0, 1.0 / 3.0, 0.0},
                  {1.01, 1.0 / 3.0, 1.0},
                  {1.02, 2.0 / 3.0, 1.0}}),
            shares({1.0, 1.02, missed}, {1.01}));
}

// Tests the scenes where the base, the friendly and the bogie stand nearly
// on one line, with 40 m of noise: each is what its name says (the bogie
// within 100 m of the line through the base and the friendly, which heads
// along it), and the tracker intercepts each before the time limit.
TEST(Scoreboard, InLineScenesIntercepted) {
  const std::map<std::string, Scenario> scenes = edgeScenarios(40.0, 1);
  ASSERT_EQ(4u, scenes.size());
  for (const auto& [name, s] : scenes) {
    EXPECT_EQ(0.0, s.friendly_start.position.y) << name;
    EXPECT_EQ(0.0, s.friendly_start.orientation) << name;
    EXPECT_LE(std::abs(s.bogie.start.position.y), 100.0) << name;
    EXPECT_EQ(40.0, s.range_noise) << name;
    EXPECT_TRUE(flyWithoutThreads(s, Pilot::tracker).intercepted) << name;
  }
}

// Tests the same scenes with exact ranges: the tracker is as quick as the
// autopilot or quicker in each (head-on and away both fly straight at the
// bogie, 1.003 and 1.006 times the ideal; off the line and turning the
// autopilot chases the mirror), and within 1.02 times the ideal.
TEST(Scoreboard, InLineScenesWithExactRangesAsQuickAsTheAutopilot) {
  for (const auto& [name, s] : edgeScenarios(0.0, 1)) {
    const double ideal_ms = idealInterceptMs(s);
    const FlightResult tracker = flyWithoutThreads(s, Pilot::tracker);
    const FlightResult autopilot = flyWithoutThreads(s, Pilot::autopilot);
    ASSERT_TRUE(tracker.intercepted && autopilot.intercepted) << name;
    EXPECT_LE(tracker.end_ms, autopilot.end_ms) << name;
    EXPECT_LE(static_cast<double>(tracker.end_ms), 1.02 * ideal_ms) << name;
  }
}

// Tests that the drawn scenes keep to their bounds, and that one seed gives
// one sequence.
TEST(Scoreboard, RandomScenesWithinBounds) {
  std::minstd_rand0 engine(1);
  std::minstd_rand0 again(1);
  for (int i = 0; i < 100; ++i) {
    const Scenario s = randomScenario(engine, 40.0);
    const double bogie =
        std::hypot(s.bogie.start.position.x, s.bogie.start.position.y);
    const double friendly =
        std::hypot(s.friendly_start.position.x, s.friendly_start.position.y);
    EXPECT_TRUE(bogie >= 4000.0 && bogie <= 12000.0) << bogie;
    EXPECT_TRUE(friendly >= 1000.0 && friendly <= 3000.0) << friendly;
    EXPECT_TRUE(s.bogie.speed >= 200.0 && s.bogie.speed <= 300.0);
    EXPECT_LE(std::abs(s.bogie.turnRate), 0.02);
    EXPECT_EQ(40.0, s.range_noise);
    EXPECT_EQ(s.noise_seed, randomScenario(again, 40.0).noise_seed);
  }
}

}  // namespace
