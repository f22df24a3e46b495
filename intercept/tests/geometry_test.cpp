// Tests of the shared geometry: the crossing points of two circles, the
// short way round, and a flight along an arc against the simulator's own.
#include "geometry.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

// Tests the crossing points of the circle of radius 5 about (0, 0) and the
// one of radius sqrt(45) about (10, 0): (4, -3) right of the line from the
// first centre to the second, (4, 3) left of it. Then the same figure turned
// and moved, so that each coordinate depends on both of the centres': from
// (1, 2) to (7, 10) the line runs along (0.6, 0.8); with the centres swapped
// the sides swap. Circles that touch or miss give the point on the line.
TEST(Geometry, CrossCircles) {
  const GlobalOrd a{0.0, 0.0};
  const GlobalOrd b{10.0, 0.0};
  const Crossings ab = crossCircles(a, 5.0, b, std::sqrt(45.0), 10.0);
  const char* right_of_ab =
      "the crossing right of the line from (0, 0) to (10, 0)";
  EXPECT_NEAR(4.0, ab.right.x, 1e-12) << right_of_ab;
  EXPECT_NEAR(-3.0, ab.right.y, 1e-12) << right_of_ab;
  EXPECT_NEAR(4.0, ab.left.x, 1e-12);
  EXPECT_NEAR(3.0, ab.left.y, 1e-12);
  EXPECT_NEAR(3.0, ab.half_chord, 1e-12);
  const GlobalOrd c{1.0, 2.0};
  const GlobalOrd e{7.0, 10.0};
  const Crossings ec = crossCircles(e, std::sqrt(45.0), c, 5.0, 10.0);
  EXPECT_NEAR(1.0, ec.right.x, 1e-12);
  EXPECT_NEAR(7.0, ec.right.y, 1e-12);
  EXPECT_NEAR(5.8, ec.left.x, 1e-12);
  EXPECT_NEAR(3.4, ec.left.y, 1e-12);

  // Touching (5 from c along the line), one outside the other (-14.8), one
  // inside (3.95).
  struct Case {
    double r1, r2;
    GlobalOrd foot;
  };
  for (const Case k :
       {Case{5.0, 5.0, {4.0, 6.0}}, Case{2.0, 20.0, {-7.88, -9.84}},
        Case{2.0, 5.0, {3.37, 5.16}}}) {
    const Crossings on_line = crossCircles(c, k.r1, e, k.r2, 10.0);
    EXPECT_NEAR(k.foot.x, on_line.right.x, 1e-12) << k.r1 << " " << k.r2;
    EXPECT_NEAR(k.foot.y, on_line.right.y, 1e-12) << k.r1 << " " << k.r2;
    EXPECT_EQ(on_line.right.x, on_line.left.x);
    EXPECT_EQ(on_line.right.y, on_line.left.y);
    EXPECT_EQ(0.0, on_line.half_chord);
  }
  EXPECT_TRUE(std::isnan(crossCircles(a, 5.0, a, 5.0, 0.0).right.x));
}

// Tests the short way round on either side of the seam, with pi and with
// the autopilot's 3.14 as half a turn, two and three whole turns out either
// way (an unwrapped heading gets there), and far from it.
TEST(Geometry, ShortWay) {
  EXPECT_DOUBLE_EQ(0.5, shortWay(0.5));
  EXPECT_DOUBLE_EQ(-0.5, shortWay(2.0 * Simulator::pi - 0.5));
  EXPECT_DOUBLE_EQ(0.5, shortWay(0.5 - 2.0 * Simulator::pi));
  for (const double turns : {2.0, 3.0}) {
    const double out = turns * 2.0 * Simulator::pi;
    EXPECT_NEAR(0.5, shortWay(0.5 + out), 1e-12) << turns;
    EXPECT_NEAR(-0.5, shortWay(-0.5 - out), 1e-12) << turns;
    EXPECT_NEAR(0.5, shortWay(0.5 + turns * 6.28, 3.14), 1e-12) << turns;
    EXPECT_NEAR(-0.5, shortWay(-0.5 - turns * 6.28, 3.14), 1e-12) << turns;
  }
  EXPECT_EQ(3.14, shortWay(3.14, 3.14));  // half a turn stays as it is
  EXPECT_DOUBLE_EQ(3.14 - 6.28 + 0.001, shortWay(3.141, 3.14));
  EXPECT_NEAR(0.5, shortWay(0.5 + 1e6 * Simulator::pi), 1e-9);
  EXPECT_TRUE(std::isnan(shortWay(INFINITY)));  // at once, not forever
}

// Tests a flight along an arc against the simulator stepping the same
// controls in many small steps, turning and straight.
TEST(Geometry, FlyArcAsTheSimulatorFlies) {
  for (const Controls controls :
       {manoeuvres::left, manoeuvres::right, manoeuvres::straight,
        Controls{250.0, 0.02}}) {
    const Pose start{{2000.0, -300.0}, 1.0};
    Simulator sim(start, BogiePath{});
    sim.controlFriendly(controls.linear, controls.angular);
    for (int step = 0; step < 350; ++step) {
      sim.step(10);
    }
    const Pose flown = flyArc(start, controls, 3.5);
    const Pose stepped = sim.getFriendlyPose();
    EXPECT_NEAR(stepped.position.x, flown.position.x, 1e-6) << controls.angular;
    EXPECT_NEAR(stepped.position.y, flown.position.y, 1e-6) << controls.angular;
    EXPECT_NEAR(0.0, shortWay(stepped.orientation - flown.orientation), 1e-12)
        << controls.angular;
  }
}

}  // namespace
