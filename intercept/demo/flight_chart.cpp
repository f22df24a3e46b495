// The flight's tracks as CSV for flight.gp. A fix is either the true crossing
// point of the range circles or its mirror image in the line from the
// friendly to the base station; the chart tells the two apart.
#include "flight_chart.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr double km = 1000.0;
constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr std::int64_t mark_every_ms = 10000;

// The mirror image of p in the line through a and b.
GlobalOrd mirror(GlobalOrd a, GlobalOrd b, GlobalOrd p) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
  return GlobalOrd{2.0 * (a.x + t * dx) - p.x, 2.0 * (a.y + t * dy) - p.y};
}

// The fix counts as the mirror point when it lies nearer the truth's mirror
// image than the truth itself.
bool isMirror(const FlightSample& s) {
  const GlobalOrd image =
      mirror(s.readings.friendly.position, Simulator::BSTATION_LOC, s.truth);
  return Simulator::distance(s.estimate, image) <
         Simulator::distance(s.estimate, s.truth);
}

std::string formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

bool writeFlightCsv(const FlightResult& flight, const std::string& csv) {
  const std::vector<FlightSample>& samples = flight.samples;
  std::vector<std::vector<double>> rows;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const FlightSample& s = samples[i];
    // The bogie's heading from its next position (its last from the one
    // before).
    const bool last = i + 1 == samples.size();
    const GlobalOrd from = last && i > 0 ? samples[i - 1].truth : s.truth;
    const GlobalOrd to = last ? s.truth : samples[i + 1].truth;
    const bool mirrored = isMirror(s);
    const double t = static_cast<double>(s.time_ms) / km;
    rows.push_back({t, s.readings.friendly.position.x / km,
                    s.readings.friendly.position.y / km, s.truth.x / km,
                    s.truth.y / km, mirrored ? none : s.estimate.x / km,
                    mirrored ? none : s.estimate.y / km,
                    mirrored ? s.estimate.x / km : none,
                    mirrored ? s.estimate.y / km : none,
                    s.readings.friendly.orientation,
                    std::atan2(to.y - from.y, to.x - from.x),
                    s.time_ms % mark_every_ms == 0 ? t : none});
  }
  return writeCsv(
      csv,
      {"t_s", "friendly_x_km", "friendly_y_km", "bogie_x_km", "bogie_y_km",
       "fix_x_km", "fix_y_km", "mirror_x_km", "mirror_y_km", "friendly_heading",
       "bogie_heading", "mark_s"},
      rows);
}

GnuplotVariables flightChart(const FlightResult& autopilot,
                             const std::string& autopilot_csv,
                             const FlightResult& tracker,
                             const std::string& tracker_csv,
                             const std::string& picture,
                             const std::string& title) {
  GnuplotVariables variables{{"picture", picture}, {"title", title}};
  // Each guidance's CSV and where its flight ended: <guidance>_data,
  // <guidance>_end_x, _end_y (km) and _end_label.
  const auto add = [&](const std::string& guidance, const FlightResult& flight,
                       const std::string& csv) {
    const std::string end =
        flight.intercepted
            ? "intercept at " +
                  formatted("%.1f s", static_cast<double>(flight.end_ms) / km)
            : "closest, " + formatted("%.0f m", flight.closest_distance) +
                  " at " +
                  formatted("%.1f s",
                            static_cast<double>(flight.closest_ms) / km);
    variables.insert(
        variables.end(),
        {{guidance + "_data", csv},
         {guidance + "_end_x", formatted("%.4f", flight.closest_bogie.x / km)},
         {guidance + "_end_y", formatted("%.4f", flight.closest_bogie.y / km)},
         {guidance + "_end_label", guidance + ": " + end}});
  };
  add("autopilot", autopilot, autopilot_csv);
  add("tracker", tracker, tracker_csv);
  return variables;
}
