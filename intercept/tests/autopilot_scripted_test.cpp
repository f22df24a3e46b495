// Tests of the autopilot against a scripted simulator (base station at
// (10, 0)): the order of its simulator calls, and the geometry where the two
// range circles have no crossing point.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "autopilot.h"

namespace {

using Calls = std::vector<std::string>;

// Tests that each operation reads the simulator in its fixed order.
TEST(AutopilotScripted, CallOrder) {
  auto sim = std::make_shared<Simulator>();
  sim->base_ranges = {6.0};
  sim->friendly_ranges = {5.0, 5.0, 4.0};
  Autopilot autopilot(sim);

  Simulator::calls.clear();
  autopilot.setBogiePose();
  EXPECT_EQ((Calls{"getFriendlyPose", "distance", "rangeToBogieFromBase",
                   "rangeToBogieFromFriendly", "rangeToBogieFromFriendly"}),
            Simulator::calls);

  Simulator::calls.clear();
  autopilot.getBogiePose();
  EXPECT_EQ((Calls{"getFriendlyPose", "rangeToBogieFromFriendly"}),
            Simulator::calls);

  Simulator::calls.clear();
  autopilot.setPursue(3.0, 4.0);
  EXPECT_EQ((Calls{"getFriendlyPose"}), Simulator::calls);
}

// Tests that the reference range is the second friendly range of
// setBogiePose, not the one the circles were drawn with: ranges 5, then 6,
// then 5.5 count as shrinking, so the right-hand candidate (4, -3) is chosen.
TEST(AutopilotScripted, ReferenceIsTheLaterRange) {
  auto sim = std::make_shared<Simulator>();
  sim->base_ranges = {6.708203932499369};  // sqrt(45)
  sim->friendly_ranges = {5.0, 6.0, 5.5};
  Autopilot autopilot(sim);
  autopilot.setBogiePose();
  const Pose estimate = autopilot.getBogiePose();
  EXPECT_NEAR(4.0, estimate.position.x, 1e-12);
  EXPECT_NEAR(-3.0, estimate.position.y, 1e-12);
  EXPECT_NEAR(0.6435011087932844, estimate.orientation, 1e-12);  // atan(0.75)
}

// Tests circles that miss each other, one outside the other or one inside
// the other: both candidates are the foot point on the line through the
// stations, whichever way the range moves. Touching circles meet there too.
TEST(AutopilotScripted, CirclesWithoutCrossing) {
  struct Case {
    double rf, rb, foot_x;
  };
  // Friendly at (0, 0), base at (10, 0): a = (rf^2 - rb^2 + 100) / 20.
  for (const Case c :
       {Case{2.0, 20.0, -14.8}, Case{2.0, 5.0, 3.95}, Case{5.0, 5.0, 5.0}}) {
    for (const double next_range : {c.rf - 1.0, c.rf + 1.0}) {
      auto sim = std::make_shared<Simulator>();
      sim->base_ranges = {c.rb};
      sim->friendly_ranges = {c.rf, c.rf, next_range};
      Autopilot autopilot(sim);
      autopilot.setBogiePose();
      const Pose estimate = autopilot.getBogiePose();
      EXPECT_NEAR(c.foot_x, estimate.position.x, 1e-12)
          << "rf " << c.rf << " rb " << c.rb;
      EXPECT_EQ(0.0, estimate.position.y) << "rf " << c.rf << " rb " << c.rb;
      EXPECT_EQ(0.0, estimate.orientation);
    }
  }
}

// Tests a friendly exactly on the base station: with no baseline both
// candidates are not a number, and pursuing such a point flies straight on.
TEST(AutopilotScripted, FriendlyOnBaseStation) {
  auto sim = std::make_shared<Simulator>();
  sim->friendly = Pose{Simulator::BSTATION_LOC, 1.0};
  sim->base_ranges = {5.0};
  sim->friendly_ranges = {5.0, 5.0, 4.0};
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
