// Many intercepts flown without threads, one guidance at a time, and scored
// against a pursuer that knows the bogie's whole path: the random scenes, the
// checks that keep the score honest, and the statistics.
#ifndef INTERCEPT_DEMO_SCOREBOARD_H_
#define INTERCEPT_DEMO_SCOREBOARD_H_

#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "flight.h"

// A ratio for a flight that never intercepted: it sorts after every other.
constexpr double missed = std::numeric_limits<double>::infinity();

// Draws a scene: the bogie 4 to 12 km from the base in any direction, any
// heading, 200 to 300 m/s, turning at -0.02 to 0.02 rad/s; the friendly 1 to
// 3 km from the base, any heading, at 50 m/s; cycle, time limit and
// intercept range those of the demonstration; the noise seed drawn too.
Scenario randomScenario(std::minstd_rand0& engine, double range_noise);

// The scenes, by name, where the base, the friendly and the bogie stand
// nearly on one line, so that both ranges measure one direction and neither
// the sideways position nor the mirror shows: "head-on" (in line), "away"
// (the bogie flying away along the line), "off-line" (head-on, 100 m off the
// line) and "turning" (head-on, in line, turning at 0.02 rad/s). The
// friendly starts 2 km east of the base heading east, at the bogie, at
// 50 m/s; the ranges carry range_noise (m), drawn from noise_seed.
std::map<std::string, Scenario> edgeScenarios(double range_noise,
                                              unsigned noise_seed);

// What makes a flight unfit to score, in words: a command outside the rules'
// manoeuvres (the first one, and when), or an intercept sooner than the
// ideal pursuer's ideal_ms, which no flight can beat; "" for a fit flight.
std::string breaksTheRules(const FlightResult& flight, double ideal_ms);

// When the guidance first told the bogie from its mirror point (ms), or -1.
std::int64_t mirrorDroppedMs(const FlightResult& flight);

// The q-quantile (0 <= q <= 1) of the ratios, interpolated linearly between
// the two nearest ranks; `missed` where a rank it needs is a miss.
double quantile(std::vector<double> ratios, double q);

// "<name>: intercepted K/N, median R, p90 Q": K of N ratios finite, R and Q
// with two decimals or the word "miss".
std::string scoreLine(const std::string& name,
                      const std::vector<double>& ratios);

// The share of each guidance's flights intercepted within each ratio to
// the ideal time, from 1 (or the least ratio) to the largest finite one, in
// steps of 0.01: rows of ratio, autopilot's share, tracker's share.
std::vector<std::vector<double>> shares(const std::vector<double>& autopilot,
                                        const std::vector<double>& tracker);

#endif  // INTERCEPT_DEMO_SCOREBOARD_H_
