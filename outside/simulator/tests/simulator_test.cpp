// Tests of the simulator stand-in: true ranges, a clock that never goes back,
// exact flight along lines and arcs, and noise that is off unless asked for
// and the same for the same seed.
#include "simulator.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr double pi = Simulator::pi;

// A scene whose friendly flies by its controls and whose bogie stands still.
Simulator sceneWithFriendlyAt(Pose friendly) {
  return Simulator(friendly, BogiePath{Pose{{5000.0, 5000.0}, 0.0}, 0.0, 0.0});
}

// Tests that both ranges are the true distances to the bogie, from the base
// station and from the friendly, as both aircraft move.
TEST(SimulatorTest, RangesAreTrueDistances) {
  EXPECT_DOUBLE_EQ(5.0, Simulator::distance({0.0, 0.0}, {3.0, 4.0}));
  EXPECT_DOUBLE_EQ(5.0, Simulator::distance({3.0, 4.0}, {0.0, 0.0}));
  EXPECT_DOUBLE_EQ(0.0, Simulator::distance({-7.5, 2.0}, {-7.5, 2.0}));

  Simulator sim(Pose{{300.0, 400.0}, 0.0},
                BogiePath{Pose{{-600.0, 800.0}, 0.0}, 0.0, 0.0});
  EXPECT_DOUBLE_EQ(1000.0, sim.rangeToBogieFromBase().range);
  EXPECT_DOUBLE_EQ(std::sqrt(970000.0), sim.rangeToBogieFromFriendly().range);

  Simulator moving;
  moving.controlFriendly(300.0, 0.05);
  for (int i = 0; i < 50; ++i) {
    moving.step(317);
    const GlobalOrd bogie = moving.getBogieTruth().position;
    EXPECT_DOUBLE_EQ(Simulator::distance(Simulator::BSTATION_LOC, bogie),
                     moving.rangeToBogieFromBase().range);
    EXPECT_DOUBLE_EQ(
        Simulator::distance(moving.getFriendlyPose().position, bogie),
        moving.rangeToBogieFromFriendly().range);
  }
}

// Tests that time starts at 0, advances by the steps taken, ignores negative
// steps, and stamps every range with the time it was taken.
TEST(SimulatorTest, TimeStampsNeverDecrease) {
  Simulator sim;
  EXPECT_EQ(0, sim.elapsedMs());
  EXPECT_EQ(0, sim.rangeToBogieFromBase().timestamp);
  std::int64_t previous = 0;
  for (std::int64_t step : {5, 0, -20, 1, 1000, -1}) {
    sim.step(step);
    const std::int64_t base = sim.rangeToBogieFromBase().timestamp;
    const std::int64_t friendly = sim.rangeToBogieFromFriendly().timestamp;
    EXPECT_EQ(sim.elapsedMs(), base);
    EXPECT_EQ(base, friendly);
    EXPECT_GE(base, previous);
    previous = base;
  }
  EXPECT_EQ(1006, sim.elapsedMs());
  sim.step(INT64_MAX);
  sim.step(INT64_MAX);
  EXPECT_EQ(INT64_MAX, sim.elapsedMs());
}

// Tests flight along straight lines: the distance is speed times time in the
// direction of the heading, whatever the steps.
TEST(SimulatorTest, StepsFlyStraightLinesExactly) {
  const double heading = std::atan2(3.0, 4.0);
  Simulator sim = sceneWithFriendlyAt(Pose{{10.0, -20.0}, heading});
  sim.controlFriendly(100.0, 0.0);
  sim.step(2500);
  Pose pose = sim.getFriendlyPose();
  EXPECT_NEAR(210.0, pose.position.x, 1e-9);
  EXPECT_NEAR(130.0, pose.position.y, 1e-9);
  EXPECT_DOUBLE_EQ(heading, pose.orientation);
  for (int i = 0; i < 100; ++i) {
    sim.step(25);
  }
  pose = sim.getFriendlyPose();
  EXPECT_NEAR(410.0, pose.position.x, 1e-9);
  EXPECT_NEAR(280.0, pose.position.y, 1e-9);

  Simulator bogie(Pose{{0.0, 0.0}, 0.0},
                  BogiePath{Pose{{0.0, 0.0}, 3.0 * pi / 2.0}, 250.0, 0.0});
  bogie.step(4000);
  EXPECT_NEAR(0.0, bogie.getBogieTruth().position.x, 1e-9);
  EXPECT_NEAR(-1000.0, bogie.getBogieTruth().position.y, 1e-9);
}

// Tests flight along arcs: a turn of pi/20 rad/s at 100 m/s flies a circle of
// radius 2000/pi m, a quarter of it every 10 s, anticlockwise for a positive
// rate and clockwise for a negative one; slow turns are as exact as fast ones.
TEST(SimulatorTest, StepsFlyArcsExactly) {
  const double radius = 2000.0 / pi;
  Simulator sim = sceneWithFriendlyAt(Pose{{0.0, 0.0}, 0.0});
  sim.controlFriendly(100.0, pi / 20.0);
  sim.step(10000);
  Pose pose = sim.getFriendlyPose();
  EXPECT_NEAR(radius, pose.position.x, 1e-9);
  EXPECT_NEAR(radius, pose.position.y, 1e-9);
  EXPECT_NEAR(pi / 2.0, pose.orientation, 1e-12);
  for (int i = 0; i < 1000; ++i) {
    sim.step(i % 2 == 0 ? 1 : 7);  // uneven small steps, 4 s in all
    pose = sim.getFriendlyPose();
    ASSERT_NEAR(radius, Simulator::distance(pose.position, {0.0, radius}),
                1e-9);
    ASSERT_GE(pose.orientation, 0.0);
    ASSERT_LT(pose.orientation, 2.0 * pi);
  }
  sim.step(30000 - 4000);  // the rest of the full circle
  pose = sim.getFriendlyPose();
  EXPECT_NEAR(0.0, pose.position.x, 1e-9);
  EXPECT_NEAR(0.0, pose.position.y, 1e-9);
  EXPECT_NEAR(0.0, std::sin(pose.orientation), 1e-12);

  Simulator clockwise = sceneWithFriendlyAt(Pose{{0.0, 0.0}, 0.0});
  clockwise.controlFriendly(100.0, -pi / 20.0);
  clockwise.step(10000);
  pose = clockwise.getFriendlyPose();
  EXPECT_NEAR(radius, pose.position.x, 1e-9);
  EXPECT_NEAR(-radius, pose.position.y, 1e-9);
  EXPECT_NEAR(3.0 * pi / 2.0, pose.orientation, 1e-12);

  Simulator once = sceneWithFriendlyAt(Pose{{0.0, 0.0}, 1.0});
  Simulator often = sceneWithFriendlyAt(Pose{{0.0, 0.0}, 1.0});
  once.controlFriendly(250.0, 1e-9);
  often.controlFriendly(250.0, 1e-9);
  once.step(1000000);
  for (int i = 0; i < 1000; ++i) {
    often.step(1000);
  }
  EXPECT_NEAR(once.getFriendlyPose().position.x,
              often.getFriendlyPose().position.x, 1e-6);
  EXPECT_NEAR(once.getFriendlyPose().position.y,
              often.getFriendlyPose().position.y, 1e-6);
}

// Tests the friendly's flight envelope: a speed above 1000 m/s or below 0 is
// clamped, a turn that asks more than 90 m/s^2 sideways is flown at the rate
// that gives that, and a command that is not a number is refused, while the
// last one holds.
TEST(SimulatorTest, ClampsWhatNoAircraftCouldFly) {
  Simulator sim = sceneWithFriendlyAt(Pose{{0.0, 0.0}, 0.0});
  EXPECT_TRUE(sim.controlFriendly(1000.0, 0.0));
  EXPECT_FALSE(sim.controlFriendly(1500.0, 0.0));
  sim.step(1000);
  EXPECT_NEAR(1000.0, sim.getFriendlyPose().position.x, 1e-9);
  EXPECT_FALSE(sim.controlFriendly(-50.0, 0.0));  // no flying backwards
  sim.step(1000);
  EXPECT_NEAR(1000.0, sim.getFriendlyPose().position.x, 1e-9);

  EXPECT_TRUE(sim.controlFriendly(50.0, -1.5));  // 75 m/s^2
  EXPECT_FALSE(sim.controlFriendly(1000.0, 1.1));
  sim.step(1000);
  EXPECT_NEAR(0.09, sim.getFriendlyPose().orientation, 1e-12);
  EXPECT_FALSE(sim.controlFriendly(std::nan(""), 0.0));
  EXPECT_FALSE(sim.controlFriendly(50.0, INFINITY));
  sim.step(1000);
  EXPECT_NEAR(0.18, sim.getFriendlyPose().orientation, 1e-12);
}

// Tests that placing an aircraft sets its pose with the heading wrapped into
// [0, 2 pi), and that the bogie then flies on at its own speed and rate.
TEST(SimulatorTest, PlacesAircraft) {
  Simulator sim(Pose{{0.0, 0.0}, 0.0},
                BogiePath{Pose{{0.0, 0.0}, 0.0}, 100.0, 0.0});
  sim.placeFriendly(Pose{{1.0, 2.0}, -pi / 2.0});
  EXPECT_DOUBLE_EQ(1.0, sim.getFriendlyPose().position.x);
  EXPECT_DOUBLE_EQ(2.0, sim.getFriendlyPose().position.y);
  EXPECT_DOUBLE_EQ(3.0 * pi / 2.0, sim.getFriendlyPose().orientation);
  sim.placeBogie(Pose{{50.0, 50.0}, 5.0 * pi / 2.0});
  EXPECT_DOUBLE_EQ(pi / 2.0, sim.getBogieTruth().orientation);
  sim.step(1000);
  EXPECT_NEAR(50.0, sim.getBogieTruth().position.x, 1e-9);
  EXPECT_NEAR(150.0, sim.getBogieTruth().position.y, 1e-9);
}

// Takes n ranges from the friendly.
std::vector<double> friendlyRanges(Simulator& sim, int n) {
  std::vector<double> ranges;
  ranges.reserve(n);
  for (int i = 0; i < n; ++i) {
    ranges.push_back(sim.rangeToBogieFromFriendly().range);
  }
  return ranges;
}

// Tests noise: off by default and at 0, the same for the same seed, other for
// another seed, spread as asked, and never making a range negative.
TEST(SimulatorTest, NoiseIsOffByDefaultAndReproducible) {
  Simulator sim = sceneWithFriendlyAt(Pose{{5000.0, 0.0}, 0.0});
  EXPECT_EQ(std::vector<double>(3, 5000.0), friendlyRanges(sim, 3));

  sim.setRangeNoise(10.0, 42);
  const std::vector<double> first = friendlyRanges(sim, 2000);
  sim.setRangeNoise(10.0, 42);
  EXPECT_EQ(first, friendlyRanges(sim, 2000));
  sim.setRangeNoise(10.0, 43);
  EXPECT_NE(first, friendlyRanges(sim, 2000));
  double sum = 0.0;
  double squares = 0.0;
  for (double range : first) {
    sum += range - 5000.0;
    squares += (range - 5000.0) * (range - 5000.0);
  }
  EXPECT_NEAR(0.0, sum / 2000.0, 1.0);
  EXPECT_NEAR(10.0, std::sqrt(squares / 2000.0), 1.0);

  sim.setRangeNoise(0.0, 42);
  EXPECT_EQ(std::vector<double>(3, 5000.0), friendlyRanges(sim, 3));

  sim.placeFriendly(Pose{{5000.0, 5000.0}, 0.0});
  sim.setRangeNoise(10.0, 1);
  const std::vector<double> close = friendlyRanges(sim, 200);
  for (double range : close) {
    ASSERT_GE(range, 0.0);
  }
  EXPECT_NE(std::vector<double>(200, 0.0), close);
}

}  // namespace
