// Flies the autopilot and the tracker over the same random scenarios and
// scores each by its time over an ideal pursuer's: how much history is worth
// to a guidance, in one table. A reference guidance that is handed the
// bogie's true path flies them too: the best that steering once a cycle
// allows, beside the ideal. The usage below gives its options; a flight
// that breaks the rules stops it with status 3. It writes scoreboard.csv
// (the shares) and flights.csv (one row per flight) into the folder it runs
// in, and gnuplot draws the shares into scoreboard.png (scoreboard.gp).
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <getopt.h>

#include "chart.h"
#include "flight.h"
#include "flight_chart.h"
#include "ideal.h"
#include "scoreboard.h"

namespace {

constexpr char usage[] =
    "usage: guidance_scoreboard [--flights N] [--seed S] [--noise M]\n"
    "                           [--replay K] [--scene NAME]\n"
    "  --flights N   random scenarios to fly with each guidance (default 200)\n"
    "  --seed S      seed of the scenarios (default 1)\n"
    "  --noise M     standard deviation of every range in metres (default 0)\n"
    "  --replay K    fly only the K-th scenario again, and write its tracks\n"
    "                and picture\n"
    "  --scene NAME  fly the named scene instead, the K-th flight with the\n"
    "                noise seed S + K - 1: head-on, away, off-line or "
    "turning\n";

struct Options {
  long flights = 200;
  unsigned long seed = 1;
  double noise = 0.0;
  long replay = 0;    // 0: score them all
  std::string scene;  // "": random scenes
  bool help = false;
};

// Reads the whole of text as a number; false when anything else is there or
// it is out of range.
template <typename T>
bool readNumber(const char* text, T& value) {
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, value);
  return error == std::errc() && stop == end && stop != text;
}

// Parses the options with getopt_long (which names an unknown option on
// standard error itself); on a bad value says why and returns false.
bool parseOptions(int argc, char** argv, Options& options) {
  const option names[] = {{"flights", required_argument, nullptr, 'f'},
                          {"seed", required_argument, nullptr, 's'},
                          {"noise", required_argument, nullptr, 'n'},
                          {"replay", required_argument, nullptr, 'r'},
                          {"scene", required_argument, nullptr, 'c'},
                          {"help", no_argument, nullptr, 'h'},
                          {nullptr, 0, nullptr, 0}};
  int which = 0;
  for (int name; (name = getopt_long(argc, argv, "", names, &which)) != -1;) {
    bool good = true;
    if (name == 'f') {
      good = readNumber(optarg, options.flights) && options.flights > 0;
    } else if (name == 's') {
      good = readNumber(optarg, options.seed);
    } else if (name == 'n') {
      good = readNumber(optarg, options.noise) && options.noise >= 0.0 &&
             options.noise < 1e6;
    } else if (name == 'r') {
      good = readNumber(optarg, options.replay) && options.replay > 0;
    } else if (name == 'c') {
      options.scene = optarg;
      good = edgeScenarios(0.0, 0).count(options.scene) == 1;
    } else if (name == 'h') {
      options.help = true;
    } else {
      return false;
    }
    if (!good) {
      std::cerr << "guidance_scoreboard: bad value for --" << names[which].name
                << ": '" << optarg << "'" << std::endl;
      return false;
    }
  }
  if (optind < argc) {
    std::cerr << "guidance_scoreboard: unexpected argument '" << argv[optind]
              << "'" << std::endl;
    return false;
  }
  return true;
}

// One scene flown by each guidance.
struct Flown {
  Scenario scenario;
  double ideal_ms;
  FlightResult autopilot;
  FlightResult tracker;
  FlightResult reference;
};

// The reference's name on its line: what it is handed is no reading.
constexpr char reference_name[] = "reference (handed the bogie's true path)";

// The noise seed of the number-th flight of a named scene: S + number - 1.
unsigned long noiseSeed(const Options& options, long number) {
  return options.seed + static_cast<unsigned long>(number) - 1;
}

// The number-th scene: the next random one that the ideal pursuer can make
// within the time limit (counting those drawn again), or the named scene
// with its noise seed. Flown with each guidance, or with none when only its
// place in the sequence counts.
Flown flyNext(const Options& options, std::minstd_rand0& engine, long number,
              long& redrawn, bool fly = true) {
  Flown flown{};
  if (!options.scene.empty()) {
    const auto seed = static_cast<unsigned>(noiseSeed(options, number));
    flown.scenario = edgeScenarios(options.noise, seed).at(options.scene);
    flown.ideal_ms = idealInterceptMs(flown.scenario);
  } else {
    for (;;) {
      flown.scenario = randomScenario(engine, options.noise);
      flown.ideal_ms = idealInterceptMs(flown.scenario);
      if (flown.ideal_ms > 0) {
        break;
      }
      ++redrawn;
    }
  }
  if (fly) {
    flown.autopilot = flyWithoutThreads(flown.scenario, Pilot::autopilot);
    flown.tracker = flyWithoutThreads(flown.scenario, Pilot::tracker);
    flown.reference = flyWithoutThreads(flown.scenario, Pilot::reference);
  }
  return flown;
}

// The flight's time over the ideal pursuer's, or `missed`.
double ratio(const FlightResult& flight, double ideal_ms) {
  return flight.intercepted ? static_cast<double>(flight.end_ms) / ideal_ms
                            : missed;
}

// False, after saying why on standard error, if a flight breaks the rules.
bool fitToScore(const Flown& flown, long number) {
  for (const auto& [name, flight] :
       {std::pair{"autopilot", &flown.autopilot},
        std::pair{"tracker", &flown.tracker},
        std::pair{"reference", &flown.reference}}) {
    const std::string broken = breaksTheRules(*flight, flown.ideal_ms);
    if (!broken.empty()) {
      std::cerr << "guidance_scoreboard: flight " << number << ", " << name
                << ": " << broken << "; the scores would mean nothing"
                << std::endl;
      return false;
    }
  }
  return true;
}

// The flight's row of flights.csv: the scene, each guidance's ratio and
// closest pass, when the tracker dropped the mirror (s; empty: never), and
// the reference's ratio.
std::vector<double> row(long number, const Flown& flown) {
  const Scenario& s = flown.scenario;
  const std::int64_t dropped = mirrorDroppedMs(flown.tracker);
  return {static_cast<double>(number),
          s.bogie.start.position.x,
          s.bogie.start.position.y,
          s.bogie.start.orientation,
          s.bogie.speed,
          s.bogie.turnRate,
          s.friendly_start.position.x,
          s.friendly_start.position.y,
          s.friendly_start.orientation,
          flown.ideal_ms / 1000.0,
          ratio(flown.autopilot, flown.ideal_ms),
          flown.autopilot.closest_distance,
          ratio(flown.tracker, flown.ideal_ms),
          flown.tracker.closest_distance,
          dropped < 0 ? std::nan("") : static_cast<double>(dropped) / 1000.0,
          ratio(flown.reference, flown.ideal_ms)};
}

// "intercepted at 9.42 s (1.03 times the ideal)" or "missed, closest ...".
std::string outcome(const FlightResult& flight, double ideal_ms) {
  const double seconds = static_cast<double>(flight.end_ms) / 1000.0;
  if (flight.intercepted) {
    return "intercepted at " + formatted("%.2f s", seconds) + " (" +
           formatted("%.2f", ratio(flight, ideal_ms)) + " times the ideal)";
  }
  return "missed, closest " + formatted("%.1f m", flight.closest_distance) +
         " at " +
         formatted("%.2f s", static_cast<double>(flight.closest_ms) / 1000.0);
}

// "Flight 3 from seed 1", or "Flight 3 of the scene away, noise seed 3".
std::string flightName(const Options& options, long number) {
  const std::string flight = "Flight " + std::to_string(number);
  if (options.scene.empty()) {
    return flight + " from seed " + std::to_string(options.seed);
  }
  return flight + " of the scene " + options.scene + ", noise seed " +
         std::to_string(noiseSeed(options, number));
}

// Prints the replayed flight and writes its tracks and picture.
int replay(const Flown& flown, const Options& options,
           const std::string& noise) {
  const std::string name = flightName(options, options.replay);
  std::cout << name << ", range noise " << noise
            << " m: the ideal pursuer intercepts at "
            << formatted("%.2f s", flown.ideal_ms / 1000.0) << std::endl;
  std::cout << "autopilot: " << outcome(flown.autopilot, flown.ideal_ms)
            << std::endl;
  const std::int64_t dropped = mirrorDroppedMs(flown.tracker);
  std::cout << "tracker: " << outcome(flown.tracker, flown.ideal_ms)
            << (dropped < 0
                    ? ", the mirror never dropped"
                    : ", the mirror dropped at " +
                          formatted("%.2f s",
                                    static_cast<double>(dropped) / 1000.0))
            << std::endl;
  std::cout << reference_name << ": "
            << outcome(flown.reference, flown.ideal_ms) << std::endl;
  const std::string stem = "replay_" + std::to_string(options.replay);
  if (!writeTracks("guidance_scoreboard", stem, flown.autopilot,
                   flown.tracker)) {
    return 1;
  }
  if (runGnuplot("guidance_scoreboard", INTERCEPT_DEMO_DIR "/flight.gp",
                 {flightChart(stem, flown.autopilot, flown.tracker,
                              name + ", range noise " + noise + " m")})) {
    std::cerr << "guidance_scoreboard: drew " << stem << ".png" << std::endl;
  }
  return 0;
}

// "autopilot (missed 22 %)": a legend entry of the scoreboard's picture.
std::string legend(const std::string& name, const std::vector<double>& ratios) {
  const auto misses = std::count(ratios.begin(), ratios.end(), missed);
  return name + " (missed " +
         formatted("%.0f %%)", 100.0 * static_cast<double>(misses) /
                                   static_cast<double>(ratios.size()));
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::cerr << usage;
    return 2;
  }
  if (options.help) {
    std::cout << usage;
    return 0;
  }
  std::ostringstream noise_text;
  noise_text << options.noise;
  const std::string noise = noise_text.str();

  std::minstd_rand0 engine(
      static_cast<std::minstd_rand0::result_type>(options.seed));
  long redrawn = 0;
  if (options.replay > 0) {
    for (long before = 1; before < options.replay; ++before) {
      flyNext(options, engine, before, redrawn, false);
    }
    const Flown flown = flyNext(options, engine, options.replay, redrawn);
    return fitToScore(flown, options.replay) ? replay(flown, options, noise)
                                             : 3;
  }

  std::vector<double> autopilot;
  std::vector<double> tracker;
  std::vector<double> reference;
  std::vector<std::vector<double>> rows;
  const long progress_every = (options.flights + 9) / 10;
  for (long number = 1; number <= options.flights; ++number) {
    const Flown flown = flyNext(options, engine, number, redrawn);
    if (!fitToScore(flown, number)) {
      return 3;
    }
    autopilot.push_back(ratio(flown.autopilot, flown.ideal_ms));
    tracker.push_back(ratio(flown.tracker, flown.ideal_ms));
    reference.push_back(ratio(flown.reference, flown.ideal_ms));
    rows.push_back(row(number, flown));
    if (number % progress_every == 0 || number == options.flights) {
      std::cerr << "guidance_scoreboard: flown " << number << " of "
                << options.flights << " scenarios" << std::endl;
    }
  }

  if (!writeCsv("scoreboard.csv", {"ratio", "autopilot", "tracker"},
                shares(autopilot, tracker)) ||
      !writeCsv(
          "flights.csv",
          {"flight", "bogie_x_m", "bogie_y_m", "bogie_heading", "bogie_speed",
           "bogie_turn", "friendly_x_m", "friendly_y_m", "friendly_heading",
           "ideal_s", "autopilot_ratio", "autopilot_closest_m", "tracker_ratio",
           "tracker_closest_m", "tracker_mirror_dropped_s", "reference_ratio"},
          rows)) {
    std::cerr << "guidance_scoreboard: cannot write scoreboard.csv or "
                 "flights.csv"
              << std::endl;
    return 1;
  }
  // What the flights and the files cost this process, gnuplot (a process of
  // its own, started below) left out.
  std::cerr << "guidance_scoreboard: wrote scoreboard.csv and flights.csv, "
            << formatted("%.2f",
                         static_cast<double>(std::clock()) / CLOCKS_PER_SEC)
            << " s of CPU time so far" << std::endl;

  // "200 random scenarios" or "10 flights of the scene away".
  const std::string flown =
      std::to_string(options.flights) +
      (options.scene.empty() ? " random scenarios"
                             : " flights of the scene " + options.scene);
  if (options.scene.empty()) {
    std::cout << flown << " from seed " << options.seed << ", range noise "
              << noise << " m (" << redrawn
              << " redrawn: the ideal pursuer could not make them)"
              << std::endl;
  } else {
    std::cout << flown << ", noise seeds " << options.seed << " to "
              << noiseSeed(options, options.flights) << ", range noise "
              << noise << " m" << std::endl;
  }
  std::cout << "Time to intercept over the ideal pursuer's:" << std::endl;
  std::cout << scoreLine("autopilot", autopilot) << std::endl;
  std::cout << scoreLine("tracker", tracker) << std::endl;
  std::cout << scoreLine(reference_name, reference) << std::endl;

  // The chart, drawn by gnuplot where it is installed; the CSV is complete
  // without it.
  const std::string title =
      "Both guidances over " + flown + ", range noise " + noise + " m";
  if (runGnuplot("guidance_scoreboard", INTERCEPT_DEMO_DIR "/scoreboard.gp",
                 {{{"data", "scoreboard.csv"},
                   {"picture", "scoreboard.png"},
                   {"title", title},
                   {"autopilot_title", legend("autopilot", autopilot)},
                   {"tracker_title", legend("tracker", tracker)}}})) {
    std::cerr << "guidance_scoreboard: drew scoreboard.png" << std::endl;
  }
  return 0;
}
