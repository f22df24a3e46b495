// An intercept flown from start to end: producer threads feed a range
// buffer, the autopilot locates the bogie and steers for it. The tracks go
// to intercept.csv and intercept_noisy.csv, and gnuplot draws them into
// intercept.png and intercept_noisy.png (flight.gp says how).
//
// How the threads keep every run the same, and how they stop:
// - The simulator's clock moves only when the guidance loop (this thread)
//   steps it. Each cycle the loop lets the base producer through its gate
//   for exactly one addBaseData, then waits in getBaseData, which returns
//   only once that reading is stored; then the same with the friendly
//   producer. So every range is taken at a known simulated time and the
//   noise draws come in one fixed order, whatever the scheduler does.
// - Only the loop calls a getter, and only right after releasing one
//   reading that the producer is bound to deliver, so a getter never waits
//   for a reading that cannot come.
// - A producer blocks only in its gate. At the end (or when an exception
//   leaves the loop), each producer's destructor closes its gate and joins
//   its thread, before the buffer they feed is destroyed. An exception in a
//   producer itself (memory exhausted) ends the program instead of leaving
//   the loop waiting for its reading.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "autopilot.h"
#include "flight.h"
#include "flight_chart.h"

namespace {

// Formats a value with a fixed number of decimals.
std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// A point in whole metres, "(x, y)".
std::string point(GlobalOrd p) {
  return "(" + fixed(p.x, 0) + ", " + fixed(p.y, 0) + ")";
}

// Milliseconds as seconds with two decimals.
std::string seconds(std::int64_t ms) {
  return fixed(static_cast<double>(ms) / 1000.0, 2);
}

// Prints one status line per simulated second, then the final line.
void printFlight(const FlightResult& flight) {
  for (const FlightSample& s : flight.samples) {
    if (s.time_ms % 1000 != 0) {
      continue;
    }
    std::cout << "t = " << s.time_ms / 1000 << " s  friendly "
              << point(s.friendly.position) << " heading "
              << fixed(s.friendly.orientation, 2) << "  bogie estimate "
              << point(s.estimate) << " true " << point(s.truth) << "  range "
              << fixed(s.friendly_range, 0) << " m" << std::endl;
  }
  if (flight.intercepted) {
    std::cout << "Intercepted at t = " << seconds(flight.end_ms)
              << " s, closest distance " << fixed(flight.closest_distance, 1)
              << " m" << std::endl;
  } else {
    std::cout << "Missed after " << seconds(flight.end_ms)
              << " s, closest distance " << fixed(flight.closest_distance, 1)
              << " m at t = " << seconds(flight.closest_ms) << " s"
              << std::endl;
  }
}

// Counts the cycles whose fix lies on the line from the friendly to the base.
int onBaseline(const FlightResult& flight) {
  int count = 0;
  for (const FlightSample& s : flight.samples) {
    count += s.estimate_on_baseline ? 1 : 0;
  }
  return count;
}

}  // namespace

int main() {
  // 1. The noise-free flight: ranges exact, the fix exact.
  const Scenario clean = noiseFreeScenario();
  const FlightResult flight = flyIntercept(clean);
  std::cout << "Noise-free flight, one guidance cycle every " << clean.cycle_ms
            << " ms of simulated time:" << std::endl;
  printFlight(flight);

  // 2. What a pursuer that knows the bogie's path would need.
  const std::int64_t ideal_ms = idealInterceptMs(clean);
  std::cout << "Ideal pursuer (knows the bogie's path; turns at " << turn_rate
            << " rad/s and " << turning_speed << " m/s, then flies straight at "
            << cruising_speed << " m/s): " << seconds(ideal_ms) << " s"
            << std::endl;
  if (flight.intercepted && ideal_ms > 0) {
    std::cout << "Autopilot time over ideal time: "
              << fixed(static_cast<double>(flight.end_ms) /
                           static_cast<double>(ideal_ms),
                       2)
              << std::endl;
  }
  if (!writeFlightCsv(flight, "intercept.csv")) {
    std::cerr << "intercept_demo: cannot write intercept.csv" << std::endl;
    return 1;
  }
  std::cout << "Tracks: intercept.csv" << std::endl;

  // 3. The same scene with noisy ranges: the fix scatters, and where the two
  // range circles miss each other the autopilot takes the foot point on the
  // line between friendly and base station.
  const Scenario noisy = noisyScenario();
  const FlightResult noisy_flight = flyIntercept(noisy);
  std::cout << std::endl
            << "Noisy flight, range noise " << fixed(noisy.range_noise, 0)
            << " m (standard deviation):" << std::endl;
  printFlight(noisy_flight);
  std::cout
      << "Fixes on the friendly-base line (range circles missed each other): "
      << onBaseline(noisy_flight) << " of " << noisy_flight.samples.size()
      << std::endl;
  if (!writeFlightCsv(noisy_flight, "intercept_noisy.csv")) {
    std::cerr << "intercept_demo: cannot write intercept_noisy.csv"
              << std::endl;
    return 1;
  }
  std::cout << "Tracks: intercept_noisy.csv" << std::endl;

  // 4. The pictures, drawn by gnuplot where it is installed; the CSV files
  // above are complete without them.
  const std::string noise_title =
      "Intercept, ranges with " + fixed(noisy.range_noise, 0) + " m noise";
  if (runGnuplot("intercept_demo", INTERCEPT_DEMO_DIR "/flight.gp",
                 {flightChart(flight, "intercept.csv", "intercept.png",
                              "Intercept, ranges without noise"),
                  flightChart(noisy_flight, "intercept_noisy.csv",
                              "intercept_noisy.png", noise_title)})) {
    std::cerr << "intercept_demo: drew intercept.png and intercept_noisy.png"
              << std::endl;
  }
  return 0;
}
