// One scene flown from start to end by two guidances: producer threads feed
// a range buffer, and the autopilot (one fix per cycle) or the tracker (a
// filter over all of them) locates the bogie and steers for it. The tracks
// go to intercept_*.csv and intercept_noisy_*.csv, and gnuplot draws each
// scene, both guidances together, into intercept.png and intercept_noisy.png
// (flight.gp says how).
//
// How the threads keep every run the same, and how they stop
// (reading_threads.h holds them):
// - The simulator's clock moves only when the guidance loop (this thread)
//   steps it. Each cycle the loop lets the base producer through its gate
//   for exactly one addBaseData, then waits in getBaseData, which returns
//   only once that reading is stored; then the same with the friendly
//   producer. So every range is taken at a known simulated time and the
//   noise draws come in one fixed order, whatever the scheduler does.
// - Only the loop calls a getter, and only right after releasing one
//   reading that the producer is bound to deliver, so a getter never waits
//   for a reading that cannot come; if one does not come all the same (a
//   missing notify), a watchdog ends the program after 5 s, naming it.
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
#include <utility>
#include <vector>

#include "flight.h"
#include "flight_chart.h"
#include "geometry.h"
#include "guidances.h"
#include "ideal.h"

namespace {

// A point in whole metres, "(x, y)".
std::string point(GlobalOrd p) {
  return "(" + formatted("%.0f", p.x) + ", " + formatted("%.0f", p.y) + ")";
}

// Milliseconds as seconds with two decimals.
std::string seconds(double ms) { return formatted("%.2f", ms / 1000.0); }

// Prints one status line per simulated second, then the final line.
void printFlight(const FlightResult& flight) {
  for (const FlightSample& s : flight.samples) {
    if (s.time_ms % 1000 != 0) {
      continue;
    }
    std::cout << "t = " << s.time_ms / 1000 << " s  friendly "
              << point(s.readings.friendly.position) << " heading "
              << formatted("%.2f", s.readings.friendly.orientation)
              << "  bogie estimate " << point(s.estimate) << " true "
              << point(s.truth) << "  range "
              << formatted("%.0f", s.readings.from_friendly.range) << " m"
              << std::endl;
  }
  if (flight.intercepted) {
    std::cout << "Intercepted at t = "
              << seconds(static_cast<double>(flight.end_ms))
              << " s, closest distance "
              << formatted("%.1f", flight.closest_distance) << " m"
              << std::endl;
  } else {
    std::cout << "Missed after " << seconds(static_cast<double>(flight.end_ms))
              << " s, closest distance "
              << formatted("%.1f", flight.closest_distance)
              << " m at t = " << seconds(static_cast<double>(flight.closest_ms))
              << " s" << std::endl;
  }
}

// Counts the cycles whose fix lies on the line from the friendly to the base.
int countOnBaseline(const FlightResult& flight) {
  int count = 0;
  for (const FlightSample& s : flight.samples) {
    count += onBaseline(s) ? 1 : 0;
  }
  return count;
}

// Prints a guidance's time over the ideal pursuer's, or "miss".
void printRatio(const std::string& guidance, const FlightResult& flight,
                double ideal_ms) {
  std::cout << guidance << " time over ideal time: "
            << (flight.intercepted && ideal_ms > 0
                    ? formatted("%.2f",
                                static_cast<double>(flight.end_ms) / ideal_ms)
                    : "miss")
            << std::endl;
}

// One scene flown by both guidances.
struct Scene {
  FlightResult autopilot;
  FlightResult tracker;
  std::string autopilot_csv;
  std::string tracker_csv;
};

// Flies the scenario with each guidance, prints both flights, the ideal
// pursuer's time and each ratio, and writes each flight's tracks to
// <stem>_autopilot.csv and <stem>_tracker.csv. Returns false when a file
// cannot be written.
bool flyScene(const Scenario& scenario, const std::string& stem, Scene& scene) {
  scene.autopilot = flyIntercept(scenario, autopilotGuidance);
  std::cout << "Autopilot (a fix from this cycle's ranges; the change of the "
               "range picks the crossing point):"
            << std::endl;
  printFlight(scene.autopilot);
  if (scenario.range_noise > 0.0) {
    std::cout << "Fixes on the friendly-base line (range circles missed each "
                 "other): "
              << countOnBaseline(scene.autopilot) << " of "
              << scene.autopilot.samples.size() << std::endl;
  }

  scene.tracker = flyIntercept(scenario, trackerGuidance);
  std::cout << "Tracker (a Kalman filter on every cycle's ranges; aims where "
               "the bogie will be):"
            << std::endl;
  printFlight(scene.tracker);

  const double ideal_ms = idealInterceptMs(scenario);
  std::cout << "Ideal pursuer (knows the bogie's path; turns at "
            << manoeuvres::turn_rate << " rad/s and "
            << manoeuvres::turning_speed << " m/s, then flies straight at "
            << manoeuvres::cruising_speed << " m/s): " << seconds(ideal_ms)
            << " s" << std::endl;
  printRatio("Autopilot", scene.autopilot, ideal_ms);
  printRatio("Tracker", scene.tracker, ideal_ms);

  scene.autopilot_csv = stem + "_autopilot.csv";
  scene.tracker_csv = stem + "_tracker.csv";
  for (const auto& [flight, csv] :
       {std::pair{&scene.autopilot, &scene.autopilot_csv},
        std::pair{&scene.tracker, &scene.tracker_csv}}) {
    if (!writeFlightCsv(*flight, *csv)) {
      std::cerr << "intercept_demo: cannot write " << *csv << std::endl;
      return false;
    }
  }
  std::cout << "Tracks: " << scene.autopilot_csv << ", " << scene.tracker_csv
            << std::endl;
  return true;
}

}  // namespace

int main() {
  // 1. The noise-free scene: ranges exact, the autopilot's fix exact.
  const Scenario clean = noiseFreeScenario();
  std::cout << "Noise-free flights, one guidance cycle every " << clean.cycle_ms
            << " ms of simulated time." << std::endl;
  Scene clean_scene;
  if (!flyScene(clean, "intercept", clean_scene)) {
    return 1;
  }

  // 2. The same scene with noisy ranges: the autopilot's fix scatters, and
  // where the two range circles miss each other it takes the foot point on
  // the line between friendly and base station; the tracker weighs each
  // range by the geometry it was taken in.
  const Scenario noisy = noisyScenario();
  std::cout << std::endl
            << "Noisy flights, range noise "
            << formatted("%.0f", noisy.range_noise)
            << " m (standard deviation)." << std::endl;
  Scene noisy_scene;
  if (!flyScene(noisy, "intercept_noisy", noisy_scene)) {
    return 1;
  }

  // 3. The pictures, both guidances in one per scene, drawn by gnuplot
  // where it is installed; the CSV files above are complete without them.
  const std::string noise_title = "Intercept, ranges with " +
                                  formatted("%.0f", noisy.range_noise) +
                                  " m noise";
  if (runGnuplot(
          "intercept_demo", INTERCEPT_DEMO_DIR "/flight.gp",
          {flightChart(clean_scene.autopilot, clean_scene.autopilot_csv,
                       clean_scene.tracker, clean_scene.tracker_csv,
                       "intercept.png", "Intercept, ranges without noise"),
           flightChart(noisy_scene.autopilot, noisy_scene.autopilot_csv,
                       noisy_scene.tracker, noisy_scene.tracker_csv,
                       "intercept_noisy.png", noise_title)})) {
    std::cerr << "intercept_demo: drew intercept.png and intercept_noisy.png"
              << std::endl;
  }
  return 0;
}
