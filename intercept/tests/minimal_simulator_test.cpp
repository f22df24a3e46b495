// Tests the range buffer and the autopilot built against the minimal
// simulator double (minimal_simulator_double/): that they compile and link
// with nothing of the simulator but what it declares shows in the build;
// here they run on its one scene.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "autopilot.h"
#include "rangebuffer.h"

namespace {

// Tests that each history keeps its own window of the double's readings.
TEST(MinimalSimulatorTest, BufferKeepsItsWindows) {
  RangeBuffer buffer(std::make_shared<Simulator>());
  for (int i = 0; i < 11; ++i) {
    buffer.addBaseData();
    buffer.addFriendlyData();
  }
  const auto base = buffer.getBaseData();
  const auto friendly = buffer.getFriendlyData();
  ASSERT_EQ(5u, base.size());
  ASSERT_EQ(10u, friendly.size());
  EXPECT_DOUBLE_EQ(std::sqrt(45.0), base.back().range);
  EXPECT_DOUBLE_EQ(5.0, friendly.back().range);
}

// Tests the crossing point the autopilot picks on equal ranges, (4, 3), and
// the turn towards it: 0.64 rad anticlockwise of the friendly's heading.
TEST(MinimalSimulatorTest, AutopilotLocatesAndTurns) {
  Autopilot autopilot(std::make_shared<Simulator>());
  autopilot.setBogiePose();
  const Pose bogie = autopilot.getBogiePose();
  EXPECT_NEAR(4.0, bogie.position.x, 1e-12);
  EXPECT_NEAR(3.0, bogie.position.y, 1e-12);
  EXPECT_NEAR(std::atan(0.75), bogie.orientation, 1e-12);
  autopilot.setPursue(bogie.position.x, bogie.position.y);
  EXPECT_EQ(1.1, autopilot.getAngControl());
  EXPECT_EQ(50.0, autopilot.getLinControl());
}

}  // namespace
