// Lead pursuit: the meeting point of a straight dash, and a bang-bang steering
// law that weighs each cycle's turn by how much it shrinks the miss, and the
// miss by how much of it the filter does not know yet.
#include "pursuit.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

namespace {

using Eigen::Matrix4d;
using Eigen::RowVector4d;
using Eigen::Vector2d;
using Eigen::Vector4d;

// The guidance's own idea of an intercept: the friendly within this true
// distance (m) of the bogie.
constexpr double intercept_range = 50.0;
// Straight while the predicted pass lies inside the intercept range, less
// half the closing between two samples and less the doubt that no turn can
// act on any more; but never less than least_reach of the range (where the
// doubt is as wide as the range, chasing it only costs turns; tuned: without
// it the p90 at 150 m of noise rose from 1.80 to 1.95, at 0.6 the p90 at
// 40 m from 1.28 to 1.32). Straight too while the miss is within
// doubt_weight standard deviations of the sideways doubt that the coming
// readings will clear up while a turn can still act (three: nearer than that,
// a turn as likely chases the noise). Turn while the heading is more than
// aim_band (rad) off the lead point; nearer, turn only when one cycle of
// turning shrinks the miss by turn_gain (m) or more, and in the last cycles,
// when a cycle of turning moves the pass by less than turn_gain, by
// last_gain (above the rounding of a predicted pass, below any miss worth
// holding): a pass that misses costs a turn round.
constexpr double least_reach = 0.3;
constexpr double doubt_weight = 3.0;
constexpr double aim_band = 0.1;
constexpr double turn_gain = 10.0;
constexpr double last_gain = 0.5;
// Where the lines of sight from the base and the friendly stay nearly
// parallel (a sine below in_line_sine, now and at the pass), the readings
// cannot tell where the bogie is sideways, nor the mirror: while that leaves
// more than unresolved_sd (m) of doubt at the pass and more than
// least_open_s (s) to go, the friendly flies open_angle (rad) off the lead,
// which swings its line of sight off the base's.
constexpr double in_line_sine = 0.1;
constexpr double unresolved_sd = 100.0;
constexpr double least_open_s = 1.5;
constexpr double open_angle = 0.4;
// Nor does flying along the line tell a bogie off it from its mirror image:
// the friendly opens too where their lead points lie more than mirror_apart
// (m, 1 sd) apart, so that a dash between them would pass outside the range.
constexpr double mirror_apart = 25.0;
// Nor before the tracks have seen least_seen_s (s) of readings (five): until
// then the doubt at the pass is mostly the guess at the velocity that they
// start with, not what the readings leave.
constexpr double least_seen_s = 0.1;
// Until the mirror is told apart, a friendly whose heading crosses the line
// to the base at more than this sine flies straight if the two tracks want
// different turns: swinging that line round is what tells them apart. Not
// for a track that is no aircraft (faster than plausible_speed, m/s: half as
// fast again as the fastest bogie) or that explains the ranges worse by more
// than settled_cost (a likelihood ratio of e^5): the best one leads then.
constexpr double least_crossing_sine = 0.5;
constexpr double plausible_speed = 450.0;
constexpr double settled_cost = 10.0;
// Tracks within mixture_radius (m) of the best, and not settled against, are
// one place that the filter split for a range's sake (a Gaussian sum): the
// steering aims at their moment-matched mixture, whose spread says how little
// is known. In a line-up they lie side by side across the line, and the best
// of them is no better than its neighbours (tuned against 3 km: the p90 of
// the noisy line-ups 1.66 against 1.70).
constexpr double mixture_radius = 1000.0;

Vector2d vec(GlobalOrd p) { return Vector2d(p.x, p.y); }

Vector2d heading(double orientation) {
  return Vector2d(std::cos(orientation), std::sin(orientation));
}

// How close a friendly that holds the controls for hold_s seconds and then
// flies straight at full speed passes a bogie that keeps its velocity.
double missDistance(const Vector4d& bogie, const Pose& friendly,
                    const Controls& hold, double hold_s) {
  const Pose then = flyArc(friendly, hold, hold_s);
  const Vector2d velocity = bogie.tail<2>();
  const Vector2d apart =
      bogie.head<2>() + velocity * hold_s - vec(then.position);
  const Vector2d closing =
      velocity - manoeuvres::cruising_speed * heading(then.orientation);
  const double when =
      std::max(0.0, -apart.dot(closing) / closing.squaredNorm());
  return (apart + closing * when).norm();
}

// Where a friendly at `from`, flying straight at full speed from now, meets
// the bogie: at the time t where |apart + velocity t| = cruising_speed t, a
// quadratic with a < 0 < c while the friendly is the faster, so exactly one
// root is positive. A fresh track may make the bogie as fast as the friendly
// or faster for a while: then the earliest meeting, or where the bogie is
// if there is none (not the square root of a negative number).
Vector2d meeting(const Vector4d& bogie, const Vector2d& from) {
  const Vector2d position = bogie.head<2>();
  const Vector2d velocity = bogie.tail<2>();
  const Vector2d apart = position - from;
  const double a = velocity.squaredNorm() -
                   manoeuvres::cruising_speed * manoeuvres::cruising_speed;
  const double b = 2.0 * apart.dot(velocity);
  const double c = apart.squaredNorm();
  const double discriminant = b * b - 4.0 * a * c;
  double t = -1.0;
  if (a == 0.0) {
    t = b < 0.0 ? -c / b : -1.0;
  } else if (discriminant >= 0.0) {
    t = (-b - std::sqrt(discriminant)) / (2.0 * a);
  }
  return t >= 0.0 ? position + velocity * t : position;
}

// The sine of the angle from direction a to direction b.
double sineBetween(const Vector2d& a, const Vector2d& b) {
  const Vector2d u = a.normalized();
  const Vector2d v = b.normalized();
  return u.x() * v.y() - u.y() * v.x();
}

// How long (s) before the pass one cycle of turning still moves it by
// turn_gain: about the dash's length times the angle turned in a cycle.
double tooLateS(double hold_s) {
  return turn_gain /
         (manoeuvres::turn_rate * hold_s * manoeuvres::cruising_speed);
}

// What the filter does not know about the pass of a straight dash at the
// lead point, and what the readings before it will teach.
struct PassDoubt {
  double learnable;   // the sideways doubt they clear up in time (m, 1 sd)
  double late;        // what is left of it when they have come (m, 1 sd)
  double unresolved;  // what they will leave as the geometry changes (m)
  double lead_s;      // time to the pass (s)
  double closing;     // the speed at which the two close at the pass (m/s)
  bool in_line;       // the lines of sight nearly parallel, now and then
};

// The doubt: the position's spread across the closing direction, moved on
// with the velocity's to the pass. Each reading tells sideways as much as
// the base's line of sight to the bogie turns away from the friendly's (the
// sine between them): where the two are nearly parallel, hardly anything.
// Information adds up, 1/left^2 = 1/doubt^2 + readings sine^2 / R; the
// rest, sqrt(doubt^2 - left^2), is what waiting will teach. But only the
// readings before the last moment a turn still moves the pass by turn_gain
// count: waiting for later ones would hold a miss of a few tens of metres
// into the last cycles, where a turn corrects it only a little.
// At the pass the friendly sees the bogie along its heading, so the
// readings on the way tell the mean of sine^2 now and then.
PassDoubt passDoubt(const Track& track, const Vector2d& from, double hold_s,
                    double R) {
  const Vector2d aim = meeting(track.x, from);
  const Vector2d to_aim = aim - from;
  const double lead_s = to_aim.norm() / manoeuvres::cruising_speed;
  const Vector2d closing =
      track.x.tail<2>() - manoeuvres::cruising_speed * to_aim.normalized();
  const Vector2d across = Vector2d(-closing.y(), closing.x()).normalized();
  RowVector4d at_pass;
  at_pass << across.transpose(), lead_s * across.transpose();
  const double doubt2 = (at_pass * track.P * at_pass.transpose())(0, 0);
  const Vector2d base = vec(Simulator::BSTATION_LOC);
  const double sine =
      sineBetween(track.x.head<2>() - base, track.x.head<2>() - from);
  const double sine_then = sineBetween(aim - base, to_aim);
  const double readings = lead_s / hold_s;
  const double in_time = std::max(0.0, lead_s - tooLateS(hold_s)) / hold_s;
  const double left2 = 1.0 / (1.0 / doubt2 + in_time * sine * sine / R);
  const double mean_sine2 = (sine * sine + sine_then * sine_then) / 2.0;
  return PassDoubt{
      std::sqrt(std::max(0.0, doubt2 - left2)),
      std::sqrt(left2),
      1.0 / std::sqrt(1.0 / doubt2 + readings * mean_sine2 / R),
      lead_s,
      closing.norm(),
      std::abs(sine) < in_line_sine && std::abs(sine_then) < in_line_sine};
}

// Whether a track is one of the likely ones: within mixture_radius of the
// best and no worse than it by settled_cost.
bool isLikely(const Track& track, const Track& best) {
  return track.cost - best.cost <= settled_cost &&
         (track.x.head<2>() - best.x.head<2>()).norm() <= mixture_radius;
}

// Its likelihood beside the best's, exp(-cost / 2).
double weightOf(const Track& track, const Track& best) {
  return std::exp(-0.5 * (track.cost - best.cost));
}

// How far off a line-up the readings seen so far may still place the bogie:
// there the two range circles touch, and at y off the line they part by
// k y^2 / 2, k the difference of their curvatures (their sum where the base
// and the friendly see the bogie from opposite sides). n pairs of readings
// measure that gap to sqrt(2 R / n), so an offset below
// sqrt(2 sqrt(2 R / n) / k) goes unseen: 6 m at 8 km with exact ranges after
// five pairs, 1.2 km with 40 m of noise.
double bendWidth(const Vector2d& bogie, const Vector2d& from, double n,
                 double R) {
  const Vector2d to_base = vec(Simulator::BSTATION_LOC) - bogie;
  const Vector2d to_friendly = from - bogie;
  const double same_side = to_base.dot(to_friendly) >= 0.0 ? -1.0 : 1.0;
  const double k =
      std::abs(1.0 / to_friendly.norm() + same_side / to_base.norm());
  return std::sqrt(2.0 * std::sqrt(2.0 * R / std::max(n, 1.0)) / k);
}

// How far a point lies off the line from the base to the friendly at `from`,
// positive on its left.
double offsetFromLine(const Vector2d& point, const Vector2d& from) {
  const Vector2d base = vec(Simulator::BSTATION_LOC);
  return sineBetween(from - base, point - base) * (point - base).norm();
}

// What a line-up leaves open, should the friendly fly along it: where the
// bogie lies across the line from the base to the friendly, which the bend of
// the range circles tells to no better than bendWidth, and the side it is on,
// which nothing along the line tells.
struct LineUp {
  bool unseen;    // the bend's width above unresolved_sd
  bool mirrored;  // likely tracks on both sides, apart where it counts
};

// The line-up as n pairs of readings leave it: mirrored where the likely
// tracks lie across the line further apart than doubt_weight bend widths (a
// bogie off the line and its mirror image) and their lead points further
// than mirror_apart (so that a dash between them misses both). A track whose
// offset the bend rules out does not count: a filter linearised on the line
// learns nothing sideways, so its doubt there grows until it splits, and the
// outer parts of the split lie where the ranges cannot have come from.
LineUp lineUp(const std::vector<Track>& tracks, const Vector2d& from, double n,
              double R) {
  const Track& best = tracks[0];
  const double unseen = bendWidth(best.x.head<2>(), from, n, R);
  const double best_offset = std::abs(offsetFromLine(best.x.head<2>(), from));
  double total = 0.0;
  Vector2d mean = Vector2d::Zero();    // offsets now and of the lead points
  Vector2d square = Vector2d::Zero();  // and their squares
  for (const Track& track : tracks) {
    const Vector2d y(offsetFromLine(track.x.head<2>(), from),
                     offsetFromLine(meeting(track.x, from), from));
    if (isLikely(track, best) &&
        std::abs(std::abs(y.x()) - best_offset) <= doubt_weight * unseen) {
      const double weight = weightOf(track, best);
      total += weight;
      mean += weight * y;
      square += weight * y.cwiseProduct(y);
    }
  }
  mean /= total;
  const Vector2d spread =
      (square / total - mean.cwiseProduct(mean)).cwiseMax(0.0).cwiseSqrt();
  return LineUp{unseen > unresolved_sd, spread.x() > doubt_weight * unseen &&
                                            spread.y() > mirror_apart};
}

// A turn towards the heading `wanted`, or straight within aim_band of it.
Controls turnTowards(double wanted, const Pose& friendly) {
  const double error = shortWay(wanted - friendly.orientation);
  if (std::abs(error) > aim_band) {
    return error > 0.0 ? manoeuvres::left : manoeuvres::right;
  }
  return manoeuvres::straight;
}

// The controls for one cycle of hold_s seconds against a track. Near the aim
// a single cycle of turning is coarse (0.022 rad at 20 ms: 220 m sideways at
// 10 km), so it turns only where that clearly shrinks the miss, which it does
// ever more finely as the bogie comes closer. And each cycle of turning costs
// as much as 20 m of the dash: a miss that the coming readings may still
// explain away is not worth one, or it turns after the noise and back again.
// But a pass it expects outside the range is never held into the last
// cycles: there a miss costs a turn round, and every cycle that brings the
// pass nearer is worth it.
Controls steer(const Track& track, const Pose& friendly, double hold_s,
               double R, const LineUp& line_up) {
  const Vector4d& bogie = track.x;
  const Vector2d from = vec(friendly.position);
  const Vector2d to_aim = meeting(bogie, from) - from;
  const double lead = std::atan2(to_aim.y(), to_aim.x());
  const PassDoubt doubt = passDoubt(track, from, hold_s, R);
  if (doubt.in_line && doubt.lead_s > least_open_s && line_up.unseen &&
      doubt.unresolved > unresolved_sd) {
    // Off the lead, on the side the heading already lies.
    const double side =
        shortWay(friendly.orientation - lead) >= 0.0 ? 1.0 : -1.0;
    return turnTowards(lead + side * open_angle, friendly);
  }
  const double miss_straight =
      missDistance(bogie, friendly, manoeuvres::straight, 0.0);
  // Between two samples the two close by closing * hold_s: a pass counts
  // for sure only where the chord it cuts through the range is that long.
  const double half_step = 0.5 * doubt.closing * hold_s;
  const double sampled = std::sqrt(
      std::max(0.0, intercept_range * intercept_range - half_step * half_step));
  const double reach = std::max(least_reach * sampled, sampled - doubt.late);
  const bool in_time = doubt.lead_s > tooLateS(hold_s);
  if (miss_straight <= reach ||
      (in_time && miss_straight <= doubt_weight * doubt.learnable)) {
    return manoeuvres::straight;
  }
  if (std::abs(shortWay(lead - friendly.orientation)) > aim_band) {
    return turnTowards(lead, friendly);
  }
  const double miss_left =
      missDistance(bogie, friendly, manoeuvres::left, hold_s);
  const double miss_right =
      missDistance(bogie, friendly, manoeuvres::right, hold_s);
  const double gain = in_time ? turn_gain : last_gain;
  if (std::min(miss_left, miss_right) > miss_straight - gain) {
    return manoeuvres::straight;
  }
  return miss_left < miss_right ? manoeuvres::left : manoeuvres::right;
}

// The moment-matched mixture of the likely tracks, each weighed by its
// likelihood: their weighted mean, and their weighted covariances plus the
// spread of their means. Best first, so never empty.
Track likelyPlace(const std::vector<Track>& tracks) {
  const Track& best = tracks[0];
  std::vector<std::pair<double, const Track*>> parts;
  double total = 0.0;
  Vector4d mean = Vector4d::Zero();
  for (const Track& track : tracks) {
    if (isLikely(track, best)) {
      const double weight = weightOf(track, best);
      parts.emplace_back(weight, &track);
      total += weight;
      mean += weight * track.x;
    }
  }
  Track place = best;
  place.x = mean / total;
  place.P = Matrix4d::Zero();
  for (const auto& [weight, track] : parts) {
    const Vector4d apart = track->x - place.x;
    place.P += weight / total * (track->P + apart * apart.transpose());
  }
  return place;
}

}  // namespace

GlobalOrd leadPoint(const Track& track, std::int64_t track_ms,
                    const Pose& friendly, std::int64_t at_ms) {
  const double seconds = static_cast<double>(at_ms - track_ms) / 1000.0;
  Vector4d bogie = track.x;
  bogie.head<2>() += bogie.tail<2>() * seconds;
  const Vector2d point = meeting(bogie, vec(friendly.position));
  return GlobalOrd{point.x(), point.y()};
}

Controls leadPursuit(const Tracker& tracker, const Pose& friendly,
                     std::int64_t now_ms, std::int64_t hold_ms) {
  const std::vector<Track>& all = tracker.getTracks();
  if (all.empty()) {
    return manoeuvres::straight;
  }
  // The likely tracks and the second best, moved on to now: no other steers.
  std::vector<Track> tracks;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i == 1 || isLikely(all[i], all[0])) {
      tracks.push_back(all[i]);
      tracker.predict(tracks.back(), now_ms - tracker.getTime());
    }
  }
  const double hold_s = static_cast<double>(hold_ms) / 1000.0;
  const double R = tracker.getRangeVariance();
  const double seen_s =
      static_cast<double>(tracker.getTime() - tracker.getStartTime()) / 1000.0;
  const LineUp line_up =
      seen_s >= least_seen_s
          ? lineUp(tracks, vec(friendly.position), seen_s / hold_s + 1.0, R)
          : LineUp{false, false};
  // A bogie off the line and its mirror image are two places, not one spread
  // between them: the steering keeps to the best one's side, which crosses
  // the line, and that tells them apart.
  std::vector<Track> best_side;
  if (line_up.mirrored) {
    const Vector2d from = vec(friendly.position);
    const bool left = offsetFromLine(tracks[0].x.head<2>(), from) >= 0.0;
    std::copy_if(tracks.begin(), tracks.end(), std::back_inserter(best_side),
                 [&](const Track& track) {
                   return (offsetFromLine(track.x.head<2>(), from) >= 0.0) ==
                          left;
                 });
  }
  const Controls controls =
      steer(likelyPlace(line_up.mirrored ? best_side : tracks), friendly,
            hold_s, R, line_up);
  if (tracks.size() >= 2) {
    // Turning for the wrong track costs a turn back; flying straight across
    // the line to the base swings the mirror point far off any aircraft's
    // path and settles the question soonest.
    const Track& other = tracks[1];
    const bool still_open = other.x.tail<2>().norm() <= plausible_speed &&
                            other.cost - tracks[0].cost <= settled_cost;
    const Vector2d along_line =
        vec(friendly.position) - vec(Simulator::BSTATION_LOC);
    const double crossing =
        std::abs(sineBetween(along_line, heading(friendly.orientation)));
    if (still_open && crossing > least_crossing_sine &&
        steer(other, friendly, hold_s, R, line_up).angular !=
            controls.angular) {
      return manoeuvres::straight;
    }
  }
  return controls;
}
