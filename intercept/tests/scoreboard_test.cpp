// Tests of the scoreboard: its quantiles and the miss rule on made-up
// flights, the scenes it draws, and flights flown without threads that see
// what the demonstration's threaded loop sees.
#include "scoreboard.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

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

// Tests that the drawn scenes keep to their bounds and the demonstration's
// cycle, limit and intercept range, and that one seed gives one sequence.
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
    EXPECT_EQ(50.0, s.friendly_speed);
    EXPECT_EQ(40.0, s.range_noise);
    EXPECT_EQ(noiseFreeScenario().cycle_ms, s.cycle_ms);
    EXPECT_EQ(noiseFreeScenario().time_limit_ms, s.time_limit_ms);
    EXPECT_EQ(noiseFreeScenario().intercept_range, s.intercept_range);
    EXPECT_EQ(s.noise_seed, randomScenario(again, 40.0).noise_seed);
  }
}

}  // namespace
