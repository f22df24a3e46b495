// Tests of the tracker and its lead pursuit on scenes of the simulator
// stand-in (base station at (0, 0)): telling the true crossing point from its
// mirror, the filter beating single fixes and knowing what it does not know,
// and the aim where the bogie will be.
#include "tracker.h"

#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "autopilot.h"
#include "pursuit.h"

namespace {

double apart(GlobalOrd a, GlobalOrd b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// A scene of the stand-in: the friendly from `start` flying `controls`, the
// bogie from `bogie` straight on at 250 m/s, every range with noise_sd (m)
// of noise drawn from seed.
std::shared_ptr<Simulator> makeScene(Pose start, Pose bogie, Controls controls,
                                     double noise_sd = 0.0, unsigned seed = 3) {
  auto sim = std::make_shared<Simulator>(start, BogiePath{bogie, 250.0, 0.0});
  sim->setRangeNoise(noise_sd, seed);
  sim->controlFriendly(controls.linear, controls.angular);
  return sim;
}

// Hands the tracker the friendly's pose and the two ranges, base first: in
// one fixed order, so that the noise draws fall the same with any compiler
// (the order in which a call's arguments are evaluated is not fixed).
void feed(Tracker& tracker, Simulator& sim) {
  const Pose friendly = sim.getFriendlyPose();
  const RangeStamped base = sim.rangeToBogieFromBase();
  tracker.addReadings(friendly, base, sim.rangeToBogieFromFriendly());
}

// Feeds the tracker the readings of `cycles` cycles of 20 ms.
void track(Tracker& tracker, Simulator& sim, int cycles) {
  for (int cycle = 0; cycle < cycles; ++cycle) {
    feed(tracker, sim);
    sim.step(20);
  }
}

// The friendly from (2000, 0) at full speed, heading 1.5 across the line to
// the base, and the bogie from (6000, 8000) heading 3.5, tracked for 2 s.
struct Crossing {
  explicit Crossing(double range_sd) : tracker(range_sd) {
    track(tracker, *sim, 100);
  }
  std::shared_ptr<Simulator> sim =
      makeScene(Pose{{2000.0, 0.0}, 1.5}, Pose{{6000.0, 8000.0}, 3.5},
                manoeuvres::straight);
  Tracker tracker;
};

// The lead pursuit's controls for a friendly at `from` at time now_ms,
// heading `off` rad anticlockwise of the lead point of the best track.
Controls offTheLead(const Tracker& tracker, GlobalOrd from, double off,
                    std::int64_t now_ms) {
  const GlobalOrd aim = leadPoint(tracker.getTracks()[0], tracker.getTime(),
                                  Pose{from, 0.0}, now_ms);
  const double bearing = std::atan2(aim.y - from.y, aim.x - from.x);
  return leadPursuit(tracker, Pose{from, bearing + off}, now_ms, 20);
}

// Tests the first readings, each range a correction with nothing to correct:
// seen from the base and the friendly at right angles, each crossing point
// is pinned along both lines of sight, so the variance of its position falls
// from 3000^2 m^2 each way to about R each way.
TEST(Tracker, FirstRangesNarrowTheSpread) {
  auto sim = makeScene(Pose{{2000.0, 0.0}, 0.0}, Pose{{1000.0, 1000.0}, 0.0},
                       manoeuvres::straight);
  Tracker tracker(10.0);
  feed(tracker, *sim);
  ASSERT_FALSE(tracker.getTracks().empty());
  for (const Track& t : tracker.getTracks()) {
    const double spread = t.P.topLeftCorner<2, 2>().trace();
    EXPECT_LT(spread, 3.0 * tracker.getRangeVariance())
        << "the first two ranges left the track's P as wide as it started";
  }
}

// Tests a friendly flying straight at the bogie, 2 s at 1000 m/s, from
// (2000, 0): its range shrinks, so the autopilot's rule takes the crossing
// point left of the line to the base, (x, +y), in every cycle. With the
// bogie at (5000, -7000) that is the mirror; the tracker tells them apart
// by how they move, and finds the bogie on either side of the line.
TEST(Tracker, TellsTheMirrorApartWhereTheRangeRuleCannot) {
  for (const double side : {-1.0, 1.0}) {
    const GlobalOrd bogie{5000.0, side * 7000.0};
    auto sim =
        makeScene(Pose{{2000.0, 0.0}, std::atan2(bogie.y, bogie.x - 2000.0)},
                  Pose{bogie, -side * 1.5}, manoeuvres::straight);
    Autopilot autopilot(sim);
    Tracker tracker(0.0);

    int rule_on_mirror = 0;
    GlobalOrd truth{};
    for (int cycle = 0; cycle < 100; ++cycle) {
      truth = sim->getBogieTruth().position;
      feed(tracker, *sim);
      autopilot.setBogiePose();
      sim->step(20);
      const GlobalOrd picked = autopilot.getBogiePose().position;
      rule_on_mirror += apart(picked, sim->getBogieTruth().position) > 100.0;
    }
    EXPECT_EQ(side < 0.0 ? 100 : 0, rule_on_mirror) << "side " << side;
    EXPECT_TRUE(tracker.isResolved()) << "side " << side;
    EXPECT_LT(apart(tracker.getPosition(), truth), 1.0) << "side " << side;
  }
}

// Tests the drop rule on either side of the line, with 40 m of noise and the
// friendly circling: both tracks are kept while the mirror's cost (twice its
// negative log-likelihood) exceeds the true one's by at most 30, a
// likelihood ratio of e^15; the mirror goes once it passes that (within a
// cycle: its cost grows by a few per cycle here), and the true track stays.
TEST(Tracker, DropsTheMirrorAtALikelihoodRatioOfE15) {
  for (const double side : {-1.0, 1.0}) {
    const GlobalOrd start{5000.0, side * 7000.0};
    auto sim =
        makeScene(Pose{{2000.0, 0.0}, std::atan2(start.y, start.x - 2000.0)},
                  Pose{start, -side * 1.5}, manoeuvres::left, 40.0, 5);
    Tracker tracker(40.0);
    double last_apart = 0.0;  // in cost, while two tracks were kept
    int cycle = 0;
    for (; cycle < 400 && !tracker.isResolved(); ++cycle) {
      feed(tracker, *sim);
      const std::vector<Track> tracks = tracker.getTracks();
      if (tracks.size() == 2) {
        last_apart = tracks[1].cost - tracks[0].cost;
        ASSERT_LE(last_apart, 30.0) << "side " << side << ", cycle " << cycle;
      }
      sim->step(20);
    }
    ASSERT_TRUE(tracker.isResolved()) << "side " << side;
    EXPECT_GT(last_apart, 20.0) << "side " << side << ", cycle " << cycle;
    const GlobalOrd truth = sim->getBogieTruth().position;
    EXPECT_LT(apart(tracker.getPosition(), truth), 200.0) << "side " << side;
  }
}

// The position the tracks claim together: their mean and covariance, each
// weighed by its likelihood, exp(-cost / 2), with the spread of their means.
struct Claim {
  Eigen::Vector2d mean = Eigen::Vector2d::Zero();
  Eigen::Matrix2d P = Eigen::Matrix2d::Zero();
};
Claim together(const std::vector<Track>& tracks) {
  Claim claim;
  double total = 0.0;
  for (const Track& t : tracks) {
    const double w = std::exp(-0.5 * (t.cost - tracks[0].cost));
    claim.mean += w * t.x.head<2>();
    total += w;
  }
  claim.mean /= total;
  for (const Track& t : tracks) {
    const double w = std::exp(-0.5 * (t.cost - tracks[0].cost)) / total;
    const Eigen::Vector2d apart = t.x.head<2>() - claim.mean;
    claim.P += w * (t.P.topLeftCorner<2, 2>() + apart * apart.transpose());
  }
  return claim;
}

// Tests a line-up: the friendly flies from (2000, 0) along the line from
// the base at the bogie, 100 m off that line and flying back along it. Both
// ranges measure the same direction, so the sideways position stays unseen,
// and the filter says so: it keeps more tracks than the two crossing points,
// side by side across the line, which together claim a place far wider
// across the line than along it, the true error within three standard
// deviations of that claim either way.
TEST(Tracker, KnowsWhatItDoesNotKnowInLine) {
  auto sim =
      makeScene(Pose{{2000.0, 0.0}, 0.0}, Pose{{10000.0, 100.0}, Simulator::pi},
                manoeuvres::straight, 40.0);
  Tracker tracker(40.0);
  for (int cycle = 0; cycle < 150; ++cycle) {
    const GlobalOrd truth = sim->getBogieTruth().position;
    feed(tracker, *sim);
    ASSERT_GT(tracker.getTracks().size(), 2u) << "cycle " << cycle;
    const Claim claim = together(tracker.getTracks());
    // Unit vectors along the line from the base through the claim, and
    // across it.
    const Eigen::Vector2d along = claim.mean.normalized();
    const Eigen::Vector2d across(-along.y(), along.x());
    const double along_sd = std::sqrt(along.dot(claim.P * along));
    const double across_sd = std::sqrt(across.dot(claim.P * across));
    const Eigen::Vector2d error =
        Eigen::Vector2d(truth.x, truth.y) - claim.mean;
    ASSERT_GT(across_sd, 5.0 * along_sd) << "cycle " << cycle;
    ASSERT_LT(std::abs(error.dot(along)), 3.0 * along_sd) << cycle;
    ASSERT_LT(std::abs(error.dot(across)), 3.0 * across_sd) << cycle;
    sim->step(20);
  }
}

// The NIS of the best track over many flights, its moving average read every
// cycle from the second second on, for a tracker told range_sd (m) of ranges
// that carry 40 m of noise: the friendly circling 2 km east of the base, the
// bogie 8 km out in twelve directions, flying at the base and across.
double averageNis(double range_sd) {
  double sum = 0.0;
  int count = 0;
  for (int scene = 0; scene < 24; ++scene) {
    const double bearing = scene * Simulator::pi / 6.0;
    const GlobalOrd start{8000.0 * std::cos(bearing),
                          8000.0 * std::sin(bearing)};
    auto sim = makeScene(Pose{{2000.0, 0.0}, 0.0},
                         Pose{start, bearing + Simulator::pi + scene % 2},
                         manoeuvres::left, 40.0, 11 + scene);
    Tracker tracker(range_sd);
    for (int cycle = 0; cycle < 250; ++cycle) {
      feed(tracker, *sim);
      if (cycle >= 50) {
        sum += tracker.getTracks().front().nis_average;
        ++count;
      }
      sim->step(20);
    }
  }
  return sum / count;
}

// Tests the filter's consistency: where it is told the ranges' true noise,
// the NIS averages about 1; told a range variance twice or half the true
// one, it averages about 1/2 or 2, which the same bounds catch. (Three
// tests, so that checks run in parallel share the flights out.)
TEST(Tracker, ConsistentWhereToldTheTrueNoise) {
  EXPECT_NEAR(1.0, averageNis(40.0), 0.15);
}
TEST(Tracker, InconsistentWhereToldTwiceTheVariance) {
  EXPECT_LT(averageNis(40.0 * std::sqrt(2.0)), 0.85);
}
TEST(Tracker, InconsistentWhereToldHalfTheVariance) {
  EXPECT_GT(averageNis(40.0 / std::sqrt(2.0)), 1.15);
}

// Tests the filter with 40 m of noise on every range, the friendly circling
// 2 km from the base and the bogie 10 km out, where the circles cross at a
// shallow angle and a single fix is hundreds of metres off: after 6 s of
// fixes the estimate is within tens of metres, and the velocity is known.
TEST(Tracker, ErrorFallsAsFixesAccumulate) {
  auto sim = makeScene(Pose{{2000.0, 0.0}, 0.0}, Pose{{6000.0, -8000.0}, 2.0},
                       manoeuvres::left, 40.0);
  Tracker tracker(40.0);

  double first_error = 0.0;  // over the first 10 cycles
  double last_error = 0.0;   // over the last 100
  for (int cycle = 0; cycle < 400; ++cycle) {
    const Pose bogie = sim->getBogieTruth();
    feed(tracker, *sim);
    const double error = apart(tracker.getPosition(), bogie.position);
    if (cycle < 10) {
      first_error += error / 10.0;
    } else if (cycle >= 300) {
      last_error += error / 100.0;
    }
    sim->step(20);
  }
  EXPECT_GT(first_error, 100.0);
  EXPECT_LT(last_error, 40.0);
  EXPECT_LT(last_error, first_error / 4.0);
  const GlobalOrd velocity = tracker.getVelocity();
  EXPECT_NEAR(250.0 * std::cos(2.0), velocity.x, 15.0);
  EXPECT_NEAR(250.0 * std::sin(2.0), velocity.y, 15.0);
}

// Tests the lead: after 2 s of a friendly flying across the line to the
// base, the aim point lies ahead of the bogie on its path, where the
// friendly at full speed and the bogie arrive at the same time; heading
// there it flies straight, heading well left of it, it turns right.
TEST(Tracker, AimsWhereTheBogieWillBe) {
  const Crossing c(0.0);
  const std::int64_t now = c.sim->elapsedMs();
  const Pose friendly = c.sim->getFriendlyPose();
  const Pose bogie = c.sim->getBogieTruth();
  const GlobalOrd aim =
      leadPoint(c.tracker.getTracks()[0], c.tracker.getTime(), friendly, now);

  const double bogie_s = apart(aim, bogie.position) / 250.0;
  EXPECT_NEAR(bogie_s, apart(aim, friendly.position) / 1000.0, 0.01);
  EXPECT_NEAR(bogie.position.x + 250.0 * bogie_s * std::cos(3.5), aim.x, 5.0);
  EXPECT_NEAR(bogie.position.y + 250.0 * bogie_s * std::sin(3.5), aim.y, 5.0);

  EXPECT_EQ(manoeuvres::straight,
            offTheLead(c.tracker, friendly.position, 0.0, now));
  EXPECT_EQ(manoeuvres::right,
            offTheLead(c.tracker, friendly.position, 1.0, now));
}

// Tests the hold: after 2 s of exact ranges to a tracker that expects 40 m
// of noise, 5.7 km from the aim a heading 0.05 rad off it (a predicted miss
// of some 280 m) is held, since the readings still to come may move the
// estimate that far; 1 km beyond the bogie on the base's line of sight,
// where no reading will tell more sideways, a miss of some 60 m is turned
// away from.
TEST(Tracker, HoldsWhileTheReadingsMayStillExplainTheMiss) {
  const Crossing c(40.0);
  const std::int64_t now = c.sim->elapsedMs();
  EXPECT_EQ(manoeuvres::straight,
            offTheLead(c.tracker, c.sim->getFriendlyPose().position, 0.05, now))
      << "turned 5.7 km out, where the coming readings may explain the miss";
  const GlobalOrd bogie = c.tracker.getPosition();
  const double out = std::hypot(bogie.x, bogie.y);
  const GlobalOrd beyond{bogie.x * (out + 1000.0) / out,
                         bogie.y * (out + 1000.0) / out};
  EXPECT_EQ(manoeuvres::right, offTheLead(c.tracker, beyond, 0.05, now))
      << "held on a miss no reading will explain away";
}

// Tests the way out of a line-up: after 1 s of noisy ranges with the
// friendly flying from (2000, 0) along the line at a bogie coming head-on,
// the sideways position is still unseen and will stay so on the lead
// course, so the friendly turns 0.4 rad off the lead, to the side its
// heading lies on, and holds that heading; 2 km off the line it would not.
TEST(Tracker, OpensOffTheLineToSeeSideways) {
  // The lead pursuit's controls after 1 s of readings with the friendly
  // flying from `start` at the bogie, heading each of `offs` rad from the
  // lead.
  const auto afterOneSecond = [](Pose start, const std::vector<double>& offs) {
    auto sim = makeScene(start, Pose{{10000.0, 0.0}, Simulator::pi},
                         manoeuvres::straight, 40.0);
    Tracker tracker(40.0);
    track(tracker, *sim, 50);
    std::vector<Controls> controls;
    controls.reserve(offs.size());
    for (double off : offs) {
      controls.push_back(offTheLead(tracker, sim->getFriendlyPose().position,
                                    off, sim->elapsedMs()));
    }
    return controls;
  };
  const std::vector<Controls> in_line =
      afterOneSecond(Pose{{2000.0, 0.0}, 0.0}, {0.2, -0.2, 0.4, -0.4});
  EXPECT_EQ(manoeuvres::left, in_line[0]);
  EXPECT_EQ(manoeuvres::right, in_line[1]);
  EXPECT_EQ(manoeuvres::straight, in_line[2]);
  EXPECT_EQ(manoeuvres::straight, in_line[3]);
  const std::vector<Controls> off_line = afterOneSecond(
      Pose{{2000.0, 2000.0}, std::atan2(-2000.0, 8000.0)}, {0.0, 0.4});
  EXPECT_EQ(manoeuvres::straight, off_line[0]);
  EXPECT_EQ(manoeuvres::right, off_line[1]);
}

// Tests a line-up with exact ranges, the friendly flying from (2000, 0) along
// the line: the bend of the range circles shows the bogie's offset to metres
// within five readings, so a bogie coming head-on on the line is flown
// straight at for the whole first second, never opened from; one 100 m off
// the line starts two tracks, itself and its mirror image, and the friendly
// keeps to one of them, turning off the line (which swings it round) at
// once, until the mirror is told apart within a quarter of a second.
TEST(Tracker, FliesStraightAtAResolvedBogieInLine) {
  for (const double off : {0.0, 100.0}) {
    auto sim =
        makeScene(Pose{{2000.0, 0.0}, 0.0}, Pose{{10000.0, off}, Simulator::pi},
                  manoeuvres::straight);
    Tracker tracker(0.0);
    int turns = 0;
    std::int64_t resolved_ms = -1;
    for (int cycle = 0; cycle < 50; ++cycle) {
      feed(tracker, *sim);
      sim->step(20);
      const Controls controls =
          leadPursuit(tracker, sim->getFriendlyPose(), sim->elapsedMs(), 20);
      sim->controlFriendly(controls.linear, controls.angular);
      turns += controls.angular != 0.0;
      if (resolved_ms < 0 && tracker.isResolved()) {
        resolved_ms = tracker.getTime();
      }
    }
    if (off == 0.0) {
      EXPECT_EQ(0, turns) << "opened off a line-up the ranges resolve";
    } else {
      EXPECT_GE(turns, 1) << "flew between the bogie and its mirror image";
      EXPECT_LE(turns, 3);
      EXPECT_TRUE(resolved_ms >= 0 && resolved_ms <= 250) << resolved_ms;
    }
  }
}

// Tests the lead point of a track that makes the bogie as fast as the
// friendly (a fresh one may): coming head-on it meets at the earliest time,
// flying away faster there is no meeting and the aim is the bogie itself.
TEST(Tracker, LeadPointOfABogieAsFastAsTheFriendly) {
  const Pose friendly{{0.0, 0.0}, 0.0};
  Track track{Eigen::Vector4d(5000.0, 0.0, -1000.0, 0.0),
              Eigen::Matrix4d::Identity(), 0.0, 1.0};
  EXPECT_NEAR(2500.0, leadPoint(track, 0, friendly, 0).x, 1e-6);
  track.x(2) = 1200.0;
  EXPECT_EQ(5000.0, leadPoint(track, 0, friendly, 0).x);
}

// Tests a track that loses the bogie (moved 3 km in an instant, which no
// filter expects): it starts afresh and finds the bogie again.
TEST(Tracker, StartsAfreshWhenLost) {
  Crossing c(0.0);
  c.sim->placeBogie(Pose{{3000.0, 9000.0}, 3.5});
  track(c.tracker, *c.sim, 200);
  EXPECT_TRUE(c.tracker.isResolved());
  const GlobalOrd truth = c.sim->getBogieTruth().position;
  const GlobalOrd velocity = c.tracker.getVelocity();
  // The estimate is of the last readings, one cycle before the truth now.
  EXPECT_LT(
      apart(c.tracker.getPosition(), GlobalOrd{truth.x - 0.02 * velocity.x,
                                               truth.y - 0.02 * velocity.y}),
      1.0);
}

}  // namespace
