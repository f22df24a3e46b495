// Tests of the autopilot against the simulator double (base station at
// (0, 0), friendly at (-10, 0) unless a test moves it): the order of its
// simulator calls, which range picks the crossing point, and a friendly
// without a baseline. (geometry_test.cpp has circles that do not cross.)
#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "autopilot.h"
#include "simulator_double.h"

namespace {

using Calls = std::vector<std::string>;

// A fresh script with these ranges, and a simulator with the friendly at
// (-10, 0) reading it.
std::shared_ptr<Simulator> makeScene(std::deque<double> base_ranges,
                                     std::deque<double> friendly_ranges) {
  SimulatorScript& script = simulatorScript();
  script = SimulatorScript{};
  script.base_ranges = std::move(base_ranges);
  script.friendly_ranges = std::move(friendly_ranges);
  return std::make_shared<Simulator>(Pose{{-10.0, 0.0}, 0.0}, BogiePath{});
}

// Tests that each operation reads the simulator in its fixed order.
TEST(AutopilotScripted, CallOrder) {
  Autopilot autopilot(makeScene({6.0}, {5.0, 5.0, 4.0}));
  SimulatorScript& script = simulatorScript();
  script.log_calls = true;

  autopilot.setBogiePose();
  EXPECT_EQ((Calls{"getFriendlyPose", "distance", "rangeToBogieFromBase",
                   "rangeToBogieFromFriendly", "rangeToBogieFromFriendly"}),
            script.calls);

  script.calls.clear();
  autopilot.getBogiePose();
  EXPECT_EQ((Calls{"getFriendlyPose", "rangeToBogieFromFriendly"}),
            script.calls);

  script.calls.clear();
  autopilot.setPursue(3.0, 4.0);
  EXPECT_EQ((Calls{"getFriendlyPose"}), script.calls);
}

// Tests that the reference range is the second friendly range of
// setBogiePose, not the one the circles were drawn with: ranges 5, then 6,
// then 5.5 count as shrinking, so the right-hand candidate (-6, -3) is chosen.
TEST(AutopilotScripted, ReferenceIsTheLaterRange) {
  Autopilot autopilot(makeScene({6.708203932499369}, {5.0, 6.0, 5.5}));
  autopilot.setBogiePose();
  const Pose estimate = autopilot.getBogiePose();
  EXPECT_NEAR(-6.0, estimate.position.x, 1e-12);
  EXPECT_NEAR(-3.0, estimate.position.y, 1e-12);
  EXPECT_NEAR(0.6435011087932844, estimate.orientation, 1e-12);  // atan(0.75)
}

// Tests a friendly exactly on the base station: with no baseline both
// candidates are not a number, and pursuing such a point flies straight on.
TEST(AutopilotScripted, FriendlyOnBaseStation) {
  const std::shared_ptr<Simulator> sim = makeScene({5.0}, {5.0, 5.0, 4.0});
  sim->placeFriendly(Pose{Simulator::BSTATION_LOC, 1.0});
  Autopilot autopilot(sim);
  autopilot.setBogiePose();
  const Pose estimate = autopilot.getBogiePose();
  EXPECT_TRUE(std::isnan(estimate.position.x));
  EXPECT_TRUE(std::isnan(estimate.position.y));

  autopilot.setPursue(estimate.position.x, estimate.position.y);
  EXPECT_EQ(0.0, autopilot.getAngControl());
  EXPECT_EQ(1000.0, autopilot.getLinControl());
}

}  // namespace
