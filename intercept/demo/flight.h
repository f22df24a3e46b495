// One intercept flown from start to end, one guidance cycle after another:
// the friendly's pose and two fresh ranges go to a guidance, the simulator's
// clock runs one cycle, and the guidance's controls go to the friendly. The
// readings come from producer threads through a range buffer
// (flyIntercept) or straight from the simulator (flyWithoutThreads); both
// fly the same cycle, so a guidance sees the same readings, noise and all.
#ifndef INTERCEPT_DEMO_FLIGHT_H_
#define INTERCEPT_DEMO_FLIGHT_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "geometry.h"
#include "simulator.h"

// The fixed numbers of one flight.
struct Scenario {
  Pose friendly_start;         // where the friendly starts, and its heading
  double friendly_speed;       // m/s it flies at until the first command
  BogiePath bogie;             // where the bogie starts and how it flies
  double range_noise;          // standard deviation of every range (m); 0: off
  unsigned noise_seed;         // seed of the noise
  std::int64_t cycle_ms;       // simulated time per guidance cycle
  std::int64_t time_limit_ms;  // the flight ends as missed at this time
  double intercept_range;      // true distance (m) that counts as intercepted
};

// The scene without noise: the friendly 2 km east of the base heading east,
// the bogie 10 km away flying west on a wide left-hand curve at 250 m/s.
Scenario noiseFreeScenario();
// The same scene with 40 m of noise on every range.
Scenario noisyScenario();

// What a guidance is handed of one cycle: the friendly's pose and the two
// ranges, all taken at the same simulated time.
struct Readings {
  Pose friendly;
  RangeStamped base;
  RangeStamped from_friendly;
};

// A guidance as a flight drives it, twice per cycle: observe() with the
// cycle's readings while the clock stands at their time, then steer() once
// the clock has moved on one cycle, with where the friendly is then. (The
// autopilot needs both moments: the change of its range in between picks
// its crossing point.)
class Guidance {
 public:
  virtual ~Guidance() = default;
  virtual void observe(const Readings& readings) = 0;
  virtual Controls steer(const Pose& friendly, std::int64_t now_ms) = 0;
  // Where it placed the bogie in the last steer().
  virtual GlobalOrd estimate() const = 0;
  // Whether it has told the bogie from its mirror point for good.
  virtual bool resolved() const = 0;
};

// Makes a flight's guidance for the scenario, given the simulator the
// flight runs (only the autopilot reads it: its interface needs that).
using GuidanceMaker = std::unique_ptr<Guidance> (*)(
    const std::shared_ptr<Simulator>&, const Scenario&);

// One guidance cycle, as the flight recorded it.
struct FlightSample {
  std::int64_t time_ms;  // simulated time the readings were taken
  Readings readings;     // what the guidance was handed
  GlobalOrd truth;       // where the bogie really was
  GlobalOrd estimate;    // where the guidance placed it
  bool resolved;         // whether it had told the bogie from the mirror
  Controls controls;     // what it commanded for the next cycle
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

// One guidance cycle on readings taken at the clock's time: the guidance
// observes them, the clock runs cycle_ms, the guidance steers from where the
// friendly is then, and its controls go to the friendly. The record holds
// all but the truth, which the caller knows.
FlightSample guidanceCycle(Simulator& sim, Guidance& guidance,
                           const Readings& readings, std::int64_t cycle_ms);

// Flies the scenario with the guidance that make builds, one guidance cycle
// after another, until the bogie is within the intercept range or the time
// limit is reached. flyIntercept takes each cycle's ranges from two producer
// threads through a RangeBuffer (joined before it returns; a reading that
// does not arrive within 5 s ends the program with a message naming it);
// flyWithoutThreads reads the simulator itself, in the producers' order.
// The same scenario gives the same result always, either way.
FlightResult flyIntercept(const Scenario& scenario, GuidanceMaker make);
FlightResult flyWithoutThreads(const Scenario& scenario, GuidanceMaker make);

// Whether the sample's estimate lies on the line from the friendly to the
// base station (to rounding): where the range circles missed each other.
bool onBaseline(const FlightSample& sample);

#endif  // INTERCEPT_DEMO_FLIGHT_H_
