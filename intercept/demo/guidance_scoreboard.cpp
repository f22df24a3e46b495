// Flies the autopilot and the tracker over the same random scenarios and
// scores each by its time over an ideal pursuer's: how much history is worth
// to a guidance, in one table. Writes scoreboard.csv into the folder it runs
// in, and gnuplot draws it into scoreboard.png (scoreboard.gp says how).
//
//   guidance_scoreboard [--flights N] [--seed S] [--noise M]
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "chart.h"
#include "flight.h"
#include "scoreboard.h"
#include "tracker_guidance.h"

namespace {

constexpr char usage[] =
    "usage: guidance_scoreboard [--flights N] [--seed S] [--noise M]\n"
    "  --flights N  random scenarios to fly with each guidance (default 200)\n"
    "  --seed S     seed of the scenarios (default 1)\n"
    "  --noise M    standard deviation of every range in metres (default 0)\n";

struct Options {
  long flights = 200;
  unsigned long seed = 1;
  double noise = 0.0;
};

// Reads the whole of `text` as a number with `parse` (a strtol-like
// function); false when anything is left over or out of range.
template <typename T, typename Parse>
bool readNumber(const std::string& text, Parse parse, T& value) {
  if (text.empty()) {
    return false;
  }
  char* end = nullptr;
  errno = 0;
  value = parse(text.c_str(), &end);
  return errno == 0 && *end == '\0';
}

// Parses the options; on an error says why on standard error and returns
// false.
bool parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::string value;
    const std::size_t equals = name.find('=');
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      std::cerr << "guidance_scoreboard: " << name << " needs a value"
                << std::endl;
      return false;
    }
    bool good = false;
    if (name == "--flights") {
      good = readNumber(
                 value,
                 [](const char* s, char** e) { return std::strtol(s, e, 10); },
                 options.flights) &&
             options.flights > 0;
    } else if (name == "--seed") {
      good = value[0] != '-' &&
             readNumber(
                 value,
                 [](const char* s, char** e) { return std::strtoul(s, e, 10); },
                 options.seed);
    } else if (name == "--noise") {
      good =
          readNumber(
              value, [](const char* s, char** e) { return std::strtod(s, e); },
              options.noise) &&
          options.noise >= 0.0 && options.noise < 1e6;
    } else {
      std::cerr << "guidance_scoreboard: unknown option " << name << std::endl;
      return false;
    }
    if (!good) {
      std::cerr << "guidance_scoreboard: bad value for " << name << ": '"
                << value << "'" << std::endl;
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::cout << usage;
    return 0;
  }
  if (!parseOptions(argc, argv, options)) {
    std::cerr << usage;
    return 2;
  }

  std::minstd_rand0 engine(
      static_cast<std::minstd_rand0::result_type>(options.seed));
  std::vector<double> autopilot;
  std::vector<double> tracker;
  long redrawn = 0;
  const long progress_every = (options.flights + 9) / 10;
  for (long flight = 1; flight <= options.flights; ++flight) {
    Scenario scenario = randomScenario(engine, options.noise);
    std::int64_t ideal_ms = idealInterceptMs(scenario);
    while (ideal_ms <= 0) {
      ++redrawn;
      scenario = randomScenario(engine, options.noise);
      ideal_ms = idealInterceptMs(scenario);
    }
    const auto ratio = [&](std::int64_t end_ms) {
      return end_ms < 0
                 ? missed
                 : static_cast<double>(end_ms) / static_cast<double>(ideal_ms);
    };
    autopilot.push_back(ratio(flyDirect(scenario, autopilotGuidance)));
    tracker.push_back(ratio(flyDirect(scenario, trackerGuidance(scenario))));
    if (flight % progress_every == 0 || flight == options.flights) {
      std::cerr << "guidance_scoreboard: flown " << flight << " of "
                << options.flights << " scenarios" << std::endl;
    }
  }

  if (!writeCsv("scoreboard.csv", {"ratio", "autopilot", "tracker"},
                shares(autopilot, tracker))) {
    std::cerr << "guidance_scoreboard: cannot write scoreboard.csv"
              << std::endl;
    return 1;
  }
  std::cerr << "guidance_scoreboard: wrote scoreboard.csv" << std::endl;

  std::ostringstream noise_text;
  noise_text << options.noise;
  const std::string noise = noise_text.str();
  std::cout << options.flights << " random scenarios from seed " << options.seed
            << ", range noise " << noise << " m (" << redrawn
            << " redrawn: the ideal pursuer could not make them)" << std::endl;
  std::cout << "Time to intercept over the ideal pursuer's:" << std::endl;
  std::cout << scoreLine("autopilot", autopilot) << std::endl;
  std::cout << scoreLine("tracker", tracker) << std::endl;

  // The chart, drawn by gnuplot where it is installed; the CSV is complete
  // without it.
  const std::string title = "Both guidances over " +
                            std::to_string(options.flights) +
                            " random scenes, range noise " + noise + " m";
  if (runGnuplot("guidance_scoreboard", INTERCEPT_DEMO_DIR "/scoreboard.gp",
                 {{{"data", "scoreboard.csv"},
                   {"picture", "scoreboard.png"},
                   {"title", title}}})) {
    std::cerr << "guidance_scoreboard: drew scoreboard.png" << std::endl;
  }
  return 0;
}
