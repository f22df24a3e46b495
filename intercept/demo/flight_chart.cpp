// The flight's tracks as CSV for flight.gp. A fix is either the true crossing
// point of the range circles or its mirror image in the line from the
// friendly to the base station; the chart tells the two apart.
#include "flight_chart.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr double km = 1000.0;
constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr std::int64_t mark_every_ms = 10000;
// A fix that is neither near the bogie nor near its mirror image, which the
// picture need not frame (m).
constexpr double stray_beyond = 1000.0;

// The file a guidance's tracks of the scene go to: <stem>_<guidance>.csv.
std::string tracksCsv(const std::string& stem, const std::string& guidance) {
  return stem + "_" + guidance + ".csv";
}

// The bogie's mirror image in the line from the friendly to the base.
GlobalOrd mirrorOfTruth(const FlightSample& s) {
  const GlobalOrd a = s.readings.friendly.position;
  const GlobalOrd b = Simulator::BSTATION_LOC;
  const GlobalOrd p = s.truth;
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
  return GlobalOrd{2.0 * (a.x + t * dx) - p.x, 2.0 * (a.y + t * dy) - p.y};
}

// The fix counts as the mirror point when it lies nearer the truth's mirror
// image than the truth itself.
bool isMirror(const FlightSample& s) {
  return Simulator::distance(s.estimate, mirrorOfTruth(s)) <
         Simulator::distance(s.estimate, s.truth);
}

// The bogie's heading at sample i, from its next position (its last from the
// one before).
double bogieHeading(const std::vector<FlightSample>& samples, std::size_t i) {
  const bool last = i + 1 == samples.size();
  const GlobalOrd from =
      last && i > 0 ? samples[i - 1].truth : samples[i].truth;
  const GlobalOrd to = last ? samples[i].truth : samples[i + 1].truth;
  return std::atan2(to.y - from.y, to.x - from.x);
}

// The smallest box around the points it was shown, in metres.
struct Frame {
  double x_min = 0.0, x_max = 0.0, y_min = 0.0, y_max = 0.0;  // the base
  void take(GlobalOrd p) {
    x_min = std::min(x_min, p.x);
    x_max = std::max(x_max, p.x);
    y_min = std::min(y_min, p.y);
    y_max = std::max(y_max, p.y);
  }
  bool holds(GlobalOrd p) const {
    return p.x >= x_min && p.x <= x_max && p.y >= y_min && p.y <= y_max;
  }
  double span() const { return std::max(x_max - x_min, y_max - y_min); }
};

// A time label beside a track, every 10 s, on the left of the direction of
// flight where that is clear of the labels already placed, else on the
// right, else left out; a time already labelled nearby is left out too.
struct Label {
  GlobalOrd at;
  GlobalOrd of;  // the point it labels
  std::int64_t ms;
};

void placeLabel(std::vector<Label>& labels, GlobalOrd point, double heading,
                std::int64_t ms, double offset) {
  for (const Label& other : labels) {
    if (other.ms == ms && Simulator::distance(other.of, point) < offset) {
      return;
    }
  }
  for (const double side : {1.0, -1.0}) {
    const GlobalOrd at{point.x - side * offset * std::sin(heading),
                       point.y + side * offset * std::cos(heading)};
    if (std::all_of(labels.begin(), labels.end(), [&](const Label& other) {
          return Simulator::distance(other.at, at) > 1.5 * offset;
        })) {
      labels.push_back(Label{at, point, ms});
      return;
    }
  }
}

}  // namespace

bool writeFlightCsv(const FlightResult& flight, const std::string& csv) {
  const std::vector<FlightSample>& samples = flight.samples;
  std::vector<std::vector<double>> rows;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const FlightSample& s = samples[i];
    const bool mirrored = isMirror(s);
    const double t = static_cast<double>(s.time_ms) / km;
    rows.push_back({t, s.readings.friendly.position.x / km,
                    s.readings.friendly.position.y / km, s.truth.x / km,
                    s.truth.y / km, mirrored ? none : s.estimate.x / km,
                    mirrored ? none : s.estimate.y / km,
                    mirrored ? s.estimate.x / km : none,
                    mirrored ? s.estimate.y / km : none,
                    s.readings.friendly.orientation, bogieHeading(samples, i),
                    s.time_ms % mark_every_ms == 0 ? t : none});
  }
  return writeCsv(
      csv,
      {"t_s", "friendly_x_km", "friendly_y_km", "bogie_x_km", "bogie_y_km",
       "fix_x_km", "fix_y_km", "mirror_x_km", "mirror_y_km", "friendly_heading",
       "bogie_heading", "mark_s"},
      rows);
}

bool writeTracks(const std::string& program, const std::string& stem,
                 const FlightResult& autopilot, const FlightResult& tracker) {
  for (const auto& [flight, csv] :
       {std::pair{&autopilot, tracksCsv(stem, "autopilot")},
        std::pair{&tracker, tracksCsv(stem, "tracker")}}) {
    if (!writeFlightCsv(*flight, csv)) {
      std::cerr << program << ": cannot write " << csv << std::endl;
      return false;
    }
  }
  std::cout << "Tracks: " << tracksCsv(stem, "autopilot") << ", "
            << tracksCsv(stem, "tracker") << std::endl;
  return true;
}

GnuplotVariables flightChart(const std::string& stem,
                             const FlightResult& autopilot,
                             const FlightResult& tracker,
                             const std::string& title) {
  std::vector<FlightSample> both = autopilot.samples;
  both.insert(both.end(), tracker.samples.begin(), tracker.samples.end());
  // The frame holds the base, the tracks and every fix near the bogie or
  // its mirror image (the fixes the lesson is about), with a margin; the
  // few strays beyond it are counted instead.
  Frame frame;
  for (const FlightSample& s : both) {
    frame.take(s.readings.friendly.position);
    frame.take(s.truth);
    if (std::min(Simulator::distance(s.estimate, s.truth),
                 Simulator::distance(s.estimate, mirrorOfTruth(s))) <
        stray_beyond) {
      frame.take(s.estimate);
    }
  }
  const double margin = 0.08 * frame.span();
  frame = Frame{frame.x_min - margin, frame.x_max + margin,
                frame.y_min - margin, frame.y_max + margin};
  const auto outside = std::count_if(
      both.begin(), both.end(),
      [&](const FlightSample& s) { return !frame.holds(s.estimate); });

  // The time labels, the bogie's first (along the longer flight), written
  // for flight.gp to draw.
  std::vector<Label> labels;
  const double offset = 0.03 * frame.span();
  const bool autopilot_longer =
      autopilot.samples.size() >= tracker.samples.size();
  const std::vector<FlightSample>& longer =
      autopilot_longer ? autopilot.samples : tracker.samples;
  for (std::size_t i = 0; i < longer.size(); ++i) {
    if (longer[i].time_ms % mark_every_ms == 0) {
      placeLabel(labels, longer[i].truth, bogieHeading(longer, i),
                 longer[i].time_ms, offset);
    }
  }
  for (const FlightSample& s : both) {
    if (s.time_ms % mark_every_ms == 0) {
      placeLabel(labels, s.readings.friendly.position,
                 s.readings.friendly.orientation, s.time_ms, offset);
    }
  }
  std::vector<std::vector<double>> rows;
  rows.reserve(labels.size());
  for (const Label& label : labels) {
    rows.push_back(
        {label.at.x / km, label.at.y / km, static_cast<double>(label.ms) / km});
  }
  writeCsv(stem + "_marks.csv", {"x_km", "y_km", "t_s"}, rows);

  GnuplotVariables variables{
      {"picture", stem + ".png"},
      {"title", title},
      {"marks", stem + "_marks.csv"},
      {"bogie_data",
       tracksCsv(stem, autopilot_longer ? "autopilot" : "tracker")},
      {"x_min", formatted("%.4f", frame.x_min / km)},
      {"x_max", formatted("%.4f", frame.x_max / km)},
      {"y_min", formatted("%.4f", frame.y_min / km)},
      {"y_max", formatted("%.4f", frame.y_max / km)},
      {"outside", outside == 0
                      ? ""
                      : std::to_string(outside) +
                            (outside == 1 ? " fix lies" : " fixes lie") +
                            " outside the picture"}};
  // Each guidance's CSV and where its flight ended: <guidance>_data,
  // <guidance>_end_x, _end_y (km) and _end_label.
  for (const auto& [guidance, flight] :
       {std::pair{"autopilot", &autopilot}, std::pair{"tracker", &tracker}}) {
    const std::string name = guidance;
    std::string end = name + ": ";
    if (flight->intercepted) {
      end += "intercept at " +
             formatted("%.1f s", static_cast<double>(flight->end_ms) / km);
    } else {
      end += "closest, " + formatted("%.0f m", flight->closest_distance);
      end += " at " +
             formatted("%.1f s", static_cast<double>(flight->closest_ms) / km);
    }
    variables.insert(
        variables.end(),
        {{name + "_data", tracksCsv(stem, name)},
         {name + "_end_x", formatted("%.4f", flight->closest_bogie.x / km)},
         {name + "_end_y", formatted("%.4f", flight->closest_bogie.y / km)},
         {name + "_end_label", end}});
  }
  return variables;
}
