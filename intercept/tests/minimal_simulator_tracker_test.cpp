// Tests the tracker built against the minimal simulator double
// (minimal_simulator_double/), on its one scene.
#include <cmath>

#include <gtest/gtest.h>

#include "tracker.h"

namespace {

// Tests that the first readings start a track at each crossing point of the
// range circles, (4, 3) and (4, -3), and tell neither from the other yet.
TEST(MinimalSimulatorTest, TrackerStartsAtBothCrossings) {
  Simulator sim;
  Tracker tracker(0.0);
  tracker.addReadings(sim.getFriendlyPose(), sim.rangeToBogieFromBase(),
                      sim.rangeToBogieFromFriendly());
  ASSERT_EQ(2u, tracker.getTracks().size());
  EXPECT_FALSE(tracker.isResolved());
  for (const Track& track : tracker.getTracks()) {
    EXPECT_NEAR(4.0, track.x(0), 1e-9);
    EXPECT_NEAR(3.0, std::abs(track.x(1)), 1e-9);
  }
  EXPECT_NEAR(0.0, tracker.getTracks()[0].x(1) + tracker.getTracks()[1].x(1),
              1e-9);
}

}  // namespace
