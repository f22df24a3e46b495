// The geometry every intercept lesson shares, each piece in one place: the
// friendly's commands and the manoeuvres they allow, the short way round
// between two headings, where two range circles cross, and a flight along a
// circular arc. The points and poses are the simulator's records.
//
// Everything here is inline, so that each module that uses a piece carries
// its own copy: a program that links the autopilot or the tracker needs no
// third module for their geometry, and no two modules define one symbol.
#ifndef INTERCEPT_GEOMETRY_H_
#define INTERCEPT_GEOMETRY_H_

#include <cmath>

#include "simulator.h"

// Half a turn, in radians: the short way round of every guidance but the
// autopilot's controller.
inline constexpr double pi = 3.14159265358979323846;

// A command for the friendly: a speed (m/s) and a turn rate (rad/s,
// anticlockwise positive), in the order Simulator::controlFriendly takes.
struct Controls {
  double linear;
  double angular;
};

inline bool operator==(const Controls& a, const Controls& b) {
  return a.linear == b.linear && a.angular == b.angular;
}

// The manoeuvres the guidances here fly: a turn at turn_rate flown at
// turning_speed, or straight on at cruising_speed. (Whoever judges a flight
// keeps its own copy of the rules.)
namespace manoeuvres {
inline constexpr double turn_rate = 1.1;
inline constexpr double turning_speed = 50.0;
inline constexpr double cruising_speed = 1000.0;
inline constexpr Controls straight{cruising_speed, 0.0};
inline constexpr Controls left{turning_speed, turn_rate};
inline constexpr Controls right{turning_speed, -turn_rate};
}  // namespace manoeuvres

// An angle taken the short way round, into [-half_turn, half_turn]: whole
// turns (2 half_turn) are added or taken away while it lies beyond half a
// turn (once, for a difference of two headings in [0, 2 half_turn)). The
// autopilot's controller counts half a turn as 3.14.
inline double shortWay(double difference, double half_turn = pi) {
  // Whole turns, one at a time: exact, where a remainder would round. Only
  // an angle many turns out (or not finite) is brought near first.
  if (std::abs(difference) > 8.0 * half_turn) {
    difference = std::remainder(difference, 2.0 * half_turn);
  }
  while (difference > half_turn) {
    difference -= 2.0 * half_turn;
  }
  while (difference < -half_turn) {
    difference += 2.0 * half_turn;
  }
  return difference;
}

// The two points where two circles cross, named by the side of the line from
// the first centre to the second that they lie on.
struct Crossings {
  GlobalOrd right;
  GlobalOrd left;
  double half_chord;  // how far each lies off that line; 0: they only touch
};

// Where the circle of radius r1 about c1 crosses the circle of radius r2 about
// c2, d apart (the caller measures d in the unit of the radii). Circles that
// miss each other give the nearest point on the line through the centres
// twice; d = 0 gives points that are not a number.
inline Crossings crossCircles(GlobalOrd c1, double r1, GlobalOrd c2, double r2,
                              double d) {
  // Both crossing points lie on the chord at right angles to the line from
  // c1 to c2: return the one right of that line, the one left of it, and how
  // far each lies off it. Circles that miss give the chord's foot twice, 0
  // off the line.
  return Crossings{c1, c1, 0.0};
}

// The pose after flying for the given seconds under constant controls,
// exactly along the circular arc (a straight line when the turn rate is 0).
// The heading is not wrapped: its sine and cosine are what count.
inline Pose flyArc(Pose pose, Controls controls, double seconds) {
  // The move along an arc is its chord: it points halfway between the old
  // and the new heading and is as long as the arc times sin(h) / h, where h
  // is half the angle turned. Unlike the difference of two sines about the
  // circle's centre, this stays exact for slow turns, whose radius is huge.
  const double half_turned = 0.5 * controls.angular * seconds;
  const double arc = controls.linear * seconds;
  const double chord =
      half_turned == 0.0 ? arc : arc * std::sin(half_turned) / half_turned;
  const double direction = pose.orientation + half_turned;
  pose.position.x += chord * std::cos(direction);
  pose.position.y += chord * std::sin(direction);
  pose.orientation += 2.0 * half_turned;
  return pose;
}

#endif  // INTERCEPT_GEOMETRY_H_
