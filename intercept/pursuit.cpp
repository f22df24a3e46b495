// Lead pursuit: the meeting point of a straight dash, and a bang-bang steering
// law that weighs each cycle's turn by how much it shrinks the miss.
#include "pursuit.h"

#include <algorithm>
#include <cmath>

namespace {

using Eigen::Vector2d;
using Eigen::Vector4d;

// Straight while the predicted miss is within miss_tolerance (m, well inside
// an intercept range of 50 m); turn while the heading is more than aim_band
// (rad) off the lead point; nearer, turn only when one cycle of turning
// shrinks the miss by turn_gain (m) or more.
constexpr double miss_tolerance = 30.0;
constexpr double aim_band = 0.1;
constexpr double turn_gain = 10.0;
// Until the mirror is told apart, a friendly whose heading crosses the line
// to the base at more than this sine flies straight if the two tracks want
// different turns: swinging that line round is what tells them apart.
constexpr double least_crossing_sine = 0.5;

Vector2d vec(GlobalOrd p) { return Vector2d(p.x, p.y); }

Vector2d heading(double orientation) {
  return Vector2d(std::cos(orientation), std::sin(orientation));
}

// The signed angle (rad) from direction a to direction b, anticlockwise
// positive, in [-pi, pi].
double angleBetween(const Vector2d& a, const Vector2d& b) {
  return std::atan2(a.x() * b.y() - a.y() * b.x(), a.dot(b));
}

// A track's state [x, y, vx, vy] moved on from track_ms to at_ms.
Vector4d stateAt(const Track& track, std::int64_t track_ms,
                 std::int64_t at_ms) {
  const double seconds = static_cast<double>(at_ms - track_ms) / 1000.0;
  Vector4d state = track.x;
  state.head<2>() += state.tail<2>() * seconds;
  return state;
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
// quadratic with a < 0 < c (the friendly is the faster), so exactly one
// root is positive.
Vector2d meeting(const Vector4d& bogie, const Vector2d& from) {
  const Vector2d position = bogie.head<2>();
  const Vector2d velocity = bogie.tail<2>();
  const Vector2d apart = position - from;
  const double a = velocity.squaredNorm() -
                   manoeuvres::cruising_speed * manoeuvres::cruising_speed;
  const double b = 2.0 * apart.dot(velocity);
  const double c = apart.squaredNorm();
  const double t = (-b - std::sqrt(b * b - 4.0 * a * c)) / (2.0 * a);
  return position + velocity * t;
}

// The controls for one cycle of hold_s seconds against a bogie with state
// [x, y, vx, vy]. Near the aim a single cycle of turning is coarse
// (0.022 rad at 20 ms: 220 m sideways at 10 km), so it turns only where
// that clearly shrinks the miss, which it does ever more finely as the
// bogie comes closer.
Controls steer(const Vector4d& bogie, const Pose& friendly, double hold_s) {
  const double miss_straight =
      missDistance(bogie, friendly, manoeuvres::straight, 0.0);
  if (miss_straight <= miss_tolerance) {
    return manoeuvres::straight;
  }
  const Vector2d to_aim =
      meeting(bogie, vec(friendly.position)) - vec(friendly.position);
  const double error = angleBetween(heading(friendly.orientation), to_aim);
  if (std::abs(error) > aim_band) {
    return error > 0.0 ? manoeuvres::left : manoeuvres::right;
  }
  const double miss_left =
      missDistance(bogie, friendly, manoeuvres::left, hold_s);
  const double miss_right =
      missDistance(bogie, friendly, manoeuvres::right, hold_s);
  if (std::min(miss_left, miss_right) > miss_straight - turn_gain) {
    return manoeuvres::straight;
  }
  return miss_left < miss_right ? manoeuvres::left : manoeuvres::right;
}

}  // namespace

GlobalOrd leadPoint(const Track& track, std::int64_t track_ms,
                    const Pose& friendly, std::int64_t at_ms) {
  const Vector2d point =
      meeting(stateAt(track, track_ms, at_ms), vec(friendly.position));
  return GlobalOrd{point.x(), point.y()};
}

Controls leadPursuit(const std::vector<Track>& tracks, std::int64_t tracks_ms,
                     const Pose& friendly, std::int64_t now_ms,
                     std::int64_t hold_ms) {
  if (tracks.empty()) {
    return manoeuvres::straight;
  }
  const double hold_s = static_cast<double>(hold_ms) / 1000.0;
  const Controls controls =
      steer(stateAt(tracks[0], tracks_ms, now_ms), friendly, hold_s);
  if (tracks.size() == 2) {
    // Turning for the wrong track costs a turn back; flying straight across
    // the line to the base swings the mirror point far off any aircraft's
    // path and settles the question soonest.
    const Vector2d along_line =
        vec(friendly.position) - vec(Simulator::BSTATION_LOC);
    const double crossing = std::abs(
        std::sin(angleBetween(along_line, heading(friendly.orientation))));
    if (crossing > least_crossing_sine &&
        steer(stateAt(tracks[1], tracks_ms, now_ms), friendly, hold_s)
                .angular != controls.angular) {
      return manoeuvres::straight;
    }
  }
  return controls;
}
