// The geometry every intercept lesson shares, each piece in one place: the
// friendly's commands and the manoeuvres they allow, the short way round
// between two headings, where two range circles cross, and a flight along a
// circular arc. The points and poses are the simulator's records.
#ifndef INTERCEPT_GEOMETRY_H_
#define INTERCEPT_GEOMETRY_H_

#include "simulator.h"

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
double shortWay(double difference, double half_turn = Simulator::pi);

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
Crossings crossCircles(GlobalOrd c1, double r1, GlobalOrd c2, double r2,
                       double d);

// The pose after flying for the given seconds under constant controls,
// exactly along the circular arc (a straight line when the turn rate is 0).
// The heading is not wrapped: its sine and cosine are what count.
Pose flyArc(Pose pose, Controls controls, double seconds);

#endif  // INTERCEPT_GEOMETRY_H_
