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
#include "rules.h"
#include "simulator.h"

// The fixed numbers of one flight. By default the demonstration's scene: the
// friendly 2 km east of the base heading east, the bogie 10 km away flying
// west on a wide left-hand curve at 250 m/s, the ranges exact.
struct Scenario {
  Pose friendly_start{{2000.0, 0.0}, 0.0};  // and its heading
  double friendly_speed = 50.0;  // m/s it flies at until the first command
  BogiePath bogie{Pose{{9000.0, 7000.0}, Simulator::pi}, 250.0, 0.01};
  double range_noise = 0.0;  // standard deviation of every range (m); 0: off
  unsigned noise_seed = 1;
  std::int64_t cycle_ms = rules::cycle_ms;  // simulated time per cycle
  std::int64_t time_limit_ms = rules::time_limit_ms;  // missed then
  double intercept_range = rules::intercept_range;    // true distance (m)
};

// The demonstration's scene with 40 m of noise on every range.
Scenario noisyScenario();

// The guidances: the autopilot (a fix from each cycle's ranges), the tracker
// (a filter over all of them, steering by lead pursuit), and the reference,
// which is handed the bogie's true path instead of ranges and flies the
// ideal pursuer's flight in whole cycles.
enum class Pilot { autopilot, tracker, reference };

// What a guidance is handed of one cycle: the friendly's pose and the two
// ranges, all taken at the same simulated time.
struct Readings {
  Pose friendly;
  RangeStamped base;
  RangeStamped from_friendly;
};

// A guidance as the flight drives it, twice per cycle: observe() with the
// cycle's readings while the clock stands at their time, then steer() once
// the clock has moved on one cycle, with where the friendly is then. (The
// autopilot needs both moments: the change of its range in between picks
// its crossing point.)
class Guidance {
 public:
  virtual ~Guidance() = default;
  virtual void observe(const Readings& readings) = 0;
  virtual Controls steer(const Pose& friendly, std::int64_t now_ms) = 0;
  virtual GlobalOrd estimate() const = 0;  // where the last steer() placed it
  virtual bool resolved() const = 0;  // told the bogie from the mirror for good
};

// The pilot's guidance for the scenario. Only the autopilot is handed the
// simulator (its interface reads it); the tracker gets the readings alone,
// and the reference the scenario's bogie path.
std::unique_ptr<Guidance> makeGuidance(Pilot pilot, const Scenario& scenario,
                                       const std::shared_ptr<Simulator>& sim);

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
  GlobalOrd closest_bogie;            // where the bogie was then
};

// Flies the scenario with the pilot, one guidance cycle after another, until
// the bogie is within the intercept range or the time limit is reached.
// flyIntercept takes each cycle's ranges from two producer threads through a
// RangeBuffer (joined before it returns; a reading that does not arrive
// within 5 s ends the program with a message naming it); flyWithoutThreads
// reads the simulator itself, in the producers' order. The same scenario
// gives the same result always, either way.
FlightResult flyIntercept(const Scenario& scenario, Pilot pilot);
FlightResult flyWithoutThreads(const Scenario& scenario, Pilot pilot);

// Whether the sample's estimate lies on the line from the friendly to the
// base station (to rounding): where the range circles missed each other.
bool onBaseline(const FlightSample& sample);

#endif  // INTERCEPT_DEMO_FLIGHT_H_
