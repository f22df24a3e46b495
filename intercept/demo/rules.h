// The rules every flight here is judged by: the three manoeuvres a friendly
// may fly, how near counts as an intercept, how often a guidance may steer,
// and how long a flight may last. They are the judge's own, read by the
// flights, the scoreboard's check and the ideal pursuer alone: a guidance
// that flew by another turn rate or speed than these would be caught, not
// believed.
#ifndef INTERCEPT_DEMO_RULES_H_
#define INTERCEPT_DEMO_RULES_H_

#include <cstdint>

#include "geometry.h"

namespace rules {

// A turn at turn_rate (rad/s) flown at turning_speed (m/s), either way, or
// straight on at cruising_speed (m/s).
inline constexpr double turn_rate = 1.1;
inline constexpr double turning_speed = 50.0;
inline constexpr double cruising_speed = 1000.0;
inline constexpr Controls straight{cruising_speed, 0.0};
inline constexpr Controls left{turning_speed, turn_rate};
inline constexpr Controls right{turning_speed, -turn_rate};

// The true distance (m) that counts as an intercept, the simulated time
// (ms) between two commands, and the time after which a flight has missed.
inline constexpr double intercept_range = 50.0;
inline constexpr std::int64_t cycle_ms = 20;
inline constexpr std::int64_t time_limit_ms = 120000;

// Whether the controls are one of the three manoeuvres, exactly.
inline bool allowed(const Controls& controls) {
  return controls == straight || controls == left || controls == right;
}

}  // namespace rules

#endif  // INTERCEPT_DEMO_RULES_H_
