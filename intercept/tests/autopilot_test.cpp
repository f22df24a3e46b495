// Tests of the autopilot flying in the simulator stand-in (base station at
// (0, 0)): locating the bogie from two ranges, choosing between the two
// candidates, the bearing of a target and the turn and speed commands.
#include "autopilot.h"

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

namespace {

constexpr double half_pi = 1.5707963267948966;

// A scene with the base station at (0, 0), the friendly at `friendly` and the
// bogie at `bogie`, flying nowhere until the test moves it.
std::shared_ptr<Simulator> makeScene(Pose friendly, GlobalOrd bogie) {
  return std::make_shared<Simulator>(friendly,
                                     BogiePath{Pose{bogie, 0.0}, 0.0, 0.0});
}

// The turn command for a friendly at `friendly` pursuing `target`.
double turnFor(Pose friendly, GlobalOrd target) {
  auto sim = makeScene(friendly, GlobalOrd{0.0, 0.0});
  Autopilot autopilot(sim);
  autopilot.setPursue(target.x, target.y);
  const double turn = autopilot.getAngControl();
  EXPECT_EQ(turn == 0.0 ? 1000.0 : 50.0, autopilot.getLinControl())
      << "the speed setPursue set, with the turn " << turn;
  return turn;
}

// Tests the worked example moved by (-10, 0): friendly at (-10, 0), base
// station at (0, 0), the bogie at (-6, 3), so rf = 5 and rb = sqrt(45). The
// candidates are (-6, -3) right of the line to the base and (-6, 3) left of
// it; a shrinking range picks the right one, an equal or growing one the
// left; the heading is atan(0.75). Then the same figure turned a quarter
// turn, so that the line to the base runs along the y axis: the friendly at
// (0, -10), the bogie at (3, -6) right of the line, its mirror (-3, -6) left
// of it, the heading atan(4/3).
TEST(Autopilot, LocatesBogieFromTwoRanges) {
  // After setBogiePose the bogie moves by -1, 0 or 1 times `away` (a step
  // that makes the friendly's range grow).
  const auto locates = [](Pose friendly, GlobalOrd bogie, GlobalOrd away,
                          GlobalOrd right, GlobalOrd left, double heading) {
    for (const double steps : {-1.0, 0.0, 1.0}) {
      auto sim = makeScene(friendly, bogie);
      Autopilot autopilot(sim);
      autopilot.setBogiePose();
      sim->placeBogie(
          Pose{{bogie.x + steps * away.x, bogie.y + steps * away.y}, 0.0});
      const GlobalOrd expected = steps < 0.0 ? right : left;
      const Pose estimate = autopilot.getBogiePose();
      SCOPED_TRACE(testing::Message() << "bogie at (" << bogie.x << ", "
                                      << bogie.y << "), steps " << steps);
      EXPECT_NEAR(expected.x, estimate.position.x, 1e-9);
      EXPECT_NEAR(expected.y, estimate.position.y, 1e-9);
      EXPECT_NEAR(heading, estimate.orientation, 1e-12);
    }
  };
  locates(Pose{{-10.0, 0.0}, 0.0}, {-6.0, 3.0}, {1.0, 0.0}, {-6.0, -3.0},
          {-6.0, 3.0}, 0.6435011087932844);  // atan(0.75)
  locates(Pose{{0.0, -10.0}, 0.0}, {3.0, -6.0}, {0.0, 1.0}, {3.0, -6.0},
          {-3.0, -6.0}, 0.9272952180016122);  // atan(4/3)
}

// Tests that the candidates and the reference range stay as setBogiePose
// left them, and that the heading follows the friendly's position when asked.
TEST(Autopilot, EstimateKeptUntilNextFix) {
  auto sim = makeScene(Pose{{-10.0, 0.0}, 0.0}, GlobalOrd{-6.0, 3.0});
  Autopilot autopilot(sim);
  autopilot.setBogiePose();
  sim->placeBogie(Pose{{-1000.0, 1000.0}, 0.0});
  sim->placeFriendly(Pose{{-6.0, 0.0}, 0.0});  // right below both candidates
  const Pose first = autopilot.getBogiePose();
  const Pose second = autopilot.getBogiePose();
  EXPECT_NEAR(3.0, first.position.y, 1e-9);
  EXPECT_NEAR(half_pi, first.orientation, 1e-12);
  EXPECT_EQ(first.position.x, second.position.x);
  EXPECT_EQ(first.position.y, second.position.y);
}

// Tests the bearing of a target straight above, below, left and right of
// the friendly, and diagonally in each quadrant: flying exactly along it, or
// within 0.392 of it, keeps straight; 0.393 off turns back towards it, so
// each bearing is pinned to within 0.0005 (which tells 3.14 from pi).
TEST(Autopilot, BearingsOfTheEightDirections) {
  const GlobalOrd friendly{200.0, -300.0};
  const double quarter_pi = half_pi / 2.0;
  struct Case {
    GlobalOrd target;
    double bearing;
  };
  for (const Case c :
       {Case{{200.0, 500.0}, half_pi}, Case{{200.0, -900.0}, 4.709203673205104},
        Case{{-50.0, -300.0}, 3.14}, Case{{900.0, -300.0}, 6.28},
        Case{{300.0, -200.0}, quarter_pi},
        Case{{100.0, -200.0}, 3.14 - quarter_pi},
        Case{{100.0, -400.0}, 3.14 + quarter_pi},
        Case{{300.0, -400.0}, 6.28 - quarter_pi}}) {
    EXPECT_EQ(0.0, turnFor(Pose{friendly, c.bearing}, c.target)) << c.bearing;
    EXPECT_EQ(0.0, turnFor(Pose{friendly, c.bearing - 0.392}, c.target))
        << c.bearing;
    EXPECT_EQ(1.1, turnFor(Pose{friendly, c.bearing - 0.393}, c.target))
        << c.bearing;
    if (c.bearing + 0.393 < 6.28) {
      EXPECT_EQ(0.0, turnFor(Pose{friendly, c.bearing + 0.392}, c.target))
          << c.bearing;
      EXPECT_EQ(-1.1, turnFor(Pose{friendly, c.bearing + 0.393}, c.target))
          << c.bearing;
    }
  }
}

// Tests turning the short way round across the 0 / 6.28 seam, where the
// plain difference of heading and bearing exceeds 3.14: a small error there
// flies straight, a large one turns the short way.
TEST(Autopilot, TurnsTheShortWayAcrossTheSeam) {
  const GlobalOrd origin{0.0, 0.0};
  // Heading 0 at a target straight to the right (bearing 6.28).
  EXPECT_EQ(0.0, turnFor(Pose{origin, 0.0}, GlobalOrd{1000.0, 0.0}));
  // Heading 0.1 at a target just below the x axis (bearing about 6.2).
  EXPECT_EQ(0.0, turnFor(Pose{origin, 0.1}, GlobalOrd{1000.0, -80.0}));
  // Heading 6.2 at a target at bearing 0.3: pointing clockwise of it.
  EXPECT_EQ(
      0.0, turnFor(Pose{origin, 6.2}, GlobalOrd{std::cos(0.3), std::sin(0.3)}));
  EXPECT_EQ(
      1.1, turnFor(Pose{origin, 6.0}, GlobalOrd{std::cos(1.0), std::sin(1.0)}));
  // Heading 0.5 at a target at bearing about 5.5: pointing anticlockwise of it.
  EXPECT_EQ(-1.1, turnFor(Pose{origin, 0.5},
                          GlobalOrd{std::cos(5.5), std::sin(5.5)}));
  // Differences just over 3.14 either way turn the short way, by the
  // controller's half turn: 3.141, under pi, is already over it.
  EXPECT_EQ(-1.1, turnFor(Pose{origin, 0.0}, GlobalOrd{-1000.0, -5.0}));
  EXPECT_EQ(-1.1, turnFor(Pose{origin, 0.0}, GlobalOrd{-1000.0, -1.0}));
  EXPECT_EQ(1.1, turnFor(Pose{origin, 6.28}, GlobalOrd{-1000.0, 5.0}));
  // Differences of exactly 3.14 (6.28 - 3.14 is exact) count as at most 3.14.
  EXPECT_EQ(-1.1, turnFor(Pose{origin, 6.28}, GlobalOrd{-10.0, 0.0}));
  EXPECT_EQ(1.1, turnFor(Pose{origin, 0.0}, GlobalOrd{-10.0, 0.0}));
  EXPECT_EQ(1.1, turnFor(Pose{origin, 3.14}, GlobalOrd{10.0, 0.0}));
}

// Tests the edge of the dead band: an error of exactly 0.3925 turns, one a
// hair smaller does not.
TEST(Autopilot, DeadBandEdge) {
  const GlobalOrd origin{0.0, 0.0};
  // Bearing 1e-300: the difference 0.3925 - 1e-300 rounds to 0.3925.
  EXPECT_EQ(-1.1, turnFor(Pose{origin, 0.3925}, GlobalOrd{1.0, 1e-300}));
  // atan of these slopes is exactly 0.3925 and the double just below it.
  const double edge_slope = 0.41398034288365404;
  const double inside_slope = 0.413980342883654;
  ASSERT_EQ(0.3925, std::atan(edge_slope));
  ASSERT_LT(std::atan(inside_slope), 0.3925);
  EXPECT_EQ(1.1, turnFor(Pose{origin, 0.0}, GlobalOrd{1.0, edge_slope}));
  EXPECT_EQ(0.0, turnFor(Pose{origin, 0.0}, GlobalOrd{1.0, inside_slope}));
}

// Tests the state before first use and a target on the friendly itself:
// defined values, no turn.
TEST(Autopilot, UnsetAndDegenerateTargets) {
  auto sim = makeScene(Pose{{5.0, 5.0}, 2.0}, GlobalOrd{100.0, 0.0});
  Autopilot autopilot(sim);
  EXPECT_EQ(2, sim.use_count());
  EXPECT_EQ(0.0, autopilot.getAngControl());
  EXPECT_EQ(0.0, autopilot.getLinControl());
  EXPECT_TRUE(std::isnan(autopilot.getBogiePose().position.x));

  EXPECT_EQ(0.0, turnFor(Pose{{5.0, 5.0}, 2.0}, GlobalOrd{5.0, 5.0}));
}

}  // namespace
