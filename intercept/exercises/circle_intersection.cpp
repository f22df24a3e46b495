// The shared geometry: the short way round, two crossing circles, an arc.
#include <cmath>

#include "geometry.h"

double shortWay(double difference, double half_turn) {
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

Crossings crossCircles(GlobalOrd c1, double r1, GlobalOrd c2, double r2,
                       double d) {
  // Both crossing points lie on the chord at right angles to the line from
  // c1 to c2: return the one right of that line, the one left of it, and how
  // far each lies off it. Circles that miss give the chord's foot twice, 0
  // off the line.
  return Crossings{c1, c1, 0.0};
}

Pose flyArc(Pose pose, Controls controls, double seconds) {
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
