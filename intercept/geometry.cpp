// The shared geometry: the short way round, two crossing circles, an arc.
#include "geometry.h"

#include <cmath>

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
  // Both crossing points lie on the chord at right angles to the line through
  // the centres. The foot of that chord is a from c1 along the line, where
  // the two right triangles with sides a, h, r1 and d - a, h, r2 share h:
  // r1^2 - a^2 = r2^2 - (d - a)^2, so a = (r1^2 - r2^2 + d^2) / (2 d).
  const double a =
      (std::pow(r1, 2.0) - std::pow(r2, 2.0) + std::pow(d, 2.0)) / (2.0 * d);
  // Circles that miss each other (noisy ranges) have no chord: the foot
  // itself is then the nearest estimate (h = 0).
  const double h_squared = std::pow(r1, 2.0) - std::pow(a, 2.0);
  const double h = h_squared < 0.0 ? 0.0 : std::sqrt(h_squared);
  const double dx = c2.x - c1.x;
  const double dy = c2.y - c1.y;
  const double foot_x = c1.x + a * dx / d;
  const double foot_y = c1.y + a * dy / d;
  // (dy, -dx) / d is the unit vector right of the line from c1 to c2.
  return Crossings{GlobalOrd{foot_x + h * dy / d, foot_y - h * dx / d},
                   GlobalOrd{foot_x - h * dy / d, foot_y + h * dx / d}, h};
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
