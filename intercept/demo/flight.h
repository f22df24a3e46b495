// One intercept flown from start to end: producer threads feed a range
// buffer, a guidance loop turns the fresh ranges into a fix and controls (the
// autopilot's, or another guidance's), and the simulator's clock moves only
// between guidance cycles. Also the time an ideal pursuer would need.
#ifndef INTERCEPT_DEMO_FLIGHT_H_
#define INTERCEPT_DEMO_FLIGHT_H_

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "simulator.h"

// The fixed numbers of one flight.
struct Scenario {
  Pose friendly_start;         // where the friendly starts, and its heading
  double friendly_speed;       // m/s it flies at until the first command
  BogiePath bogie;             // where the bogie starts and how it flies
  double range_noise;          // standard deviation of every range (m); 0: off
  unsigned noise_seed;         // seed of the noise
  std::int64_t cycle_ms;       // simulated time per guidance cycle
  std::int64_t time_limit_ms;  // the flight ends as missed after this time
  double intercept_range;      // true distance (m) that counts as intercepted
};

// The scene without noise: the friendly 2 km east of the base heading north,
// the bogie 10 km away flying west on a wide left-hand curve at 250 m/s.
Scenario noiseFreeScenario();
// The same scene with 40 m of noise on every range.
Scenario noisyScenario();

// One guidance cycle, as the loop saw it.
struct FlightSample {
  std::int64_t time_ms;       // simulated time the ranges were taken
  std::int64_t reading_ms;    // time stamp of the newest friendly reading
  Pose friendly;              // the friendly when the ranges were taken
  double base_range;          // newest base reading (m)
  double friendly_range;      // newest friendly reading (m)
  GlobalOrd estimate;         // the autopilot's fix of the bogie
  bool estimate_on_baseline;  // the fix lies on the line friendly-base: the
                              // range circles missed each other
  GlobalOrd truth;            // where the bogie really was
  double ang_control;         // commands applied after this cycle
  double lin_control;
};

// The whole flight.
struct FlightResult {
  std::vector<FlightSample> samples;  // one per cycle, in order
  bool intercepted;                   // came within the intercept range
  std::int64_t end_ms;                // time of the intercept, or the limit
  double closest_distance;            // least true distance seen (m)
  std::int64_t closest_ms;            // when it was seen
  GlobalOrd closest_friendly;         // where the two were then
  GlobalOrd closest_bogie;
};

// What a guidance decided in one cycle: its fix of the bogie and the
// controls it commands the friendly with.
struct Steering {
  GlobalOrd estimate;
  double ang_control;
  double lin_control;
};

// A guidance as the flight drives it, once per cycle: observe() while the
// clock stands at the time the readings were taken, then steer() after the
// clock has moved on one cycle (the autopilot needs both moments: the change
// of the range in between picks its crossing point).
class Guidance {
 public:
  virtual ~Guidance() = default;
  // The cycle's fresh readings, the histories of the range buffer.
  virtual void observe(const std::deque<RangeStamped>& base,
                       const std::deque<RangeStamped>& friendly) = 0;
  virtual Steering steer() = 0;
};

// Makes a flight's guidance, given the simulator the flight shares with it.
using GuidanceMaker =
    std::function<std::unique_ptr<Guidance>(std::shared_ptr<Simulator>)>;

// The autopilot as a guidance: it reads the simulator itself, so the
// buffer's histories only tell it that fresh ranges are there.
std::unique_ptr<Guidance> autopilotGuidance(std::shared_ptr<Simulator> sim);

// Flies the scenario with two producer threads and this thread as the
// guidance loop, steered by the autopilot, or by the guidance that make
// builds; returns when the bogie is intercepted or the time is up, with both
// threads joined. The same scenario gives the same result always.
FlightResult flyIntercept(const Scenario& scenario);
FlightResult flyIntercept(const Scenario& scenario, const GuidanceMaker& make);

// The least time (ms) in which a pursuer that knows the bogie's whole path
// reaches the intercept range with the autopilot's own manoeuvres: one turn
// at 1.1 rad/s and 50 m/s, then straight on at 1000 m/s; -1 if it cannot
// within the time limit.
std::int64_t idealInterceptMs(const Scenario& scenario);

#endif  // INTERCEPT_DEMO_FLIGHT_H_
