// One scene flown from start to end by two guidances: producer threads feed
// a range buffer, and the autopilot (one fix per cycle) or the tracker (a
// filter over all of them) locates the bogie and steers for it. The tracks
// go to intercept_*.csv and intercept_noisy_*.csv, and gnuplot draws each
// scene, both guidances together, into intercept.png and intercept_noisy.png
// (flight.gp says how).
//
// The simulator's clock moves only when the guidance loop steps it, and each
// cycle the loop lets each producer take exactly one reading and waits for
// it, so every run prints the same numbers, whatever the scheduler does;
// reading_threads.h says how the threads keep to that, and how they stop.
#include <algorithm>
#include <cstdint>
#include <iostream>
#include <string>

#include "flight.h"
#include "flight_chart.h"
#include "geometry.h"
#include "ideal.h"
#include "rules.h"

namespace {

// A point in whole metres, "(x, y)".
std::string point(GlobalOrd p) {
  return "(" + formatted("%.0f", p.x) + ", " + formatted("%.0f", p.y) + ")";
}

// Milliseconds as seconds with two decimals.
std::string seconds(std::int64_t ms) {
  return formatted("%.2f", static_cast<double>(ms) / 1000.0);
}

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
  std::cout << (flight.intercepted ? "Intercepted at t = " : "Missed after ")
            << seconds(flight.end_ms) << " s, closest distance "
            << formatted("%.1f", flight.closest_distance) << " m";
  if (!flight.intercepted) {
    std::cout << " at t = " << seconds(flight.closest_ms) << " s";
  }
  std::cout << std::endl;
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
};

// Flies the scenario with each guidance, prints both flights, the ideal
// pursuer's time and each ratio, and writes each flight's tracks to
// <stem>_autopilot.csv and <stem>_tracker.csv. Returns false when a file
// cannot be written.
bool flyScene(const Scenario& scenario, const std::string& stem, Scene& scene) {
  scene.autopilot = flyIntercept(scenario, Pilot::autopilot);
  std::cout << "Autopilot (a fix from this cycle's ranges; the change of the "
               "range picks the crossing point):"
            << std::endl;
  printFlight(scene.autopilot);
  if (scenario.range_noise > 0.0) {
    std::cout << "Fixes on the friendly-base line (range circles missed each "
                 "other): "
              << std::count_if(scene.autopilot.samples.begin(),
                               scene.autopilot.samples.end(), onBaseline)
              << " of " << scene.autopilot.samples.size() << std::endl;
  }

  scene.tracker = flyIntercept(scenario, Pilot::tracker);
  std::cout << "Tracker (a Kalman filter on every cycle's ranges; aims where "
               "the bogie will be):"
            << std::endl;
  printFlight(scene.tracker);

  const double ideal_ms = idealInterceptMs(scenario);
  std::cout << "Ideal pursuer (knows the bogie's path; turns at "
            << rules::turn_rate << " rad/s and " << rules::turning_speed
            << " m/s, then flies straight at " << rules::cruising_speed
            << " m/s): " << formatted("%.2f", ideal_ms / 1000.0) << " s"
            << std::endl;
  printRatio("Autopilot", scene.autopilot, ideal_ms);
  printRatio("Tracker", scene.tracker, ideal_ms);
  return writeTracks("intercept_demo", stem, scene.autopilot, scene.tracker);
}

}  // namespace

int main() {
  // 1. The noise-free scene: ranges exact, the autopilot's fix exact.
  const Scenario clean{};
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
  if (runGnuplot(
          "intercept_demo", INTERCEPT_DEMO_DIR "/flight.gp",
          {flightChart("intercept", clean_scene.autopilot, clean_scene.tracker,
                       "Intercept, ranges without noise"),
           flightChart(
               "intercept_noisy", noisy_scene.autopilot, noisy_scene.tracker,
               "Intercept, ranges with " +
                   formatted("%.0f", noisy.range_noise) + " m noise")})) {
    std::cerr << "intercept_demo: drew intercept.png and intercept_noisy.png"
              << std::endl;
  }
  return 0;
}
