// The flight drawn into a picture with OpenCV: base station, both tracks, the
// estimates, the intercept (or closest) point, a legend and a scale bar.
#include "flight_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// Formats a value with a fixed number of decimals.
std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// Maps the plane's metres to pixels: one scale for both axes, y upwards.
struct View {
  double min_x, max_y, pixels_per_metre;
  cv::Point operator()(GlobalOrd p) const {
    return cv::Point(
        static_cast<int>(std::lround((p.x - min_x) * pixels_per_metre)),
        static_cast<int>(std::lround((max_y - p.y) * pixels_per_metre)));
  }
};

}  // namespace

bool drawFlight(const FlightResult& flight, const std::string& title,
                const std::string& file) {
  const int width = 900;
  const int height = 820;
  const int margin = 40;
  const int legend_height = 130;  // a band at the top for title and legend

  // The frame: both tracks, the estimates and the base station, with a margin.
  double min_x = 0.0, max_x = 0.0, min_y = 0.0, max_y = 0.0;
  for (const FlightSample& s : flight.samples) {
    for (GlobalOrd p : {s.friendly.position, s.truth, s.estimate}) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        continue;
      }
      min_x = std::min(min_x, p.x);
      max_x = std::max(max_x, p.x);
      min_y = std::min(min_y, p.y);
      max_y = std::max(max_y, p.y);
    }
  }
  const double scale =
      std::min((width - 2 * margin) / (max_x - min_x),
               (height - legend_height - 2 * margin) / (max_y - min_y));
  const View view{min_x - margin / scale,
                  max_y + (legend_height + margin) / scale, scale};

  cv::Mat image(height, width, CV_8UC3, cv::Scalar(255, 255, 255));
  const cv::Scalar friendly_colour(200, 80, 0);   // blue (OpenCV orders BGR)
  const cv::Scalar bogie_colour(40, 40, 220);     // red
  const cv::Scalar estimate_colour(0, 160, 255);  // orange
  const cv::Scalar intercept_colour(0, 150, 0);   // green
  const cv::Scalar ink(0, 0, 0);

  for (const FlightSample& s : flight.samples) {
    cv::circle(image, view(s.estimate), 2, estimate_colour, cv::FILLED,
               cv::LINE_AA);
  }
  std::vector<cv::Point> friendly_track;
  std::vector<cv::Point> bogie_track;
  for (const FlightSample& s : flight.samples) {
    friendly_track.push_back(view(s.friendly.position));
    bogie_track.push_back(view(s.truth));
  }
  friendly_track.push_back(view(flight.closest_friendly));
  bogie_track.push_back(view(flight.closest_bogie));
  cv::polylines(image, friendly_track, false, friendly_colour, 2, cv::LINE_AA);
  cv::polylines(image, bogie_track, false, bogie_colour, 2, cv::LINE_AA);

  const cv::Point base = view(Simulator::BSTATION_LOC);
  cv::rectangle(image, base - cv::Point(6, 6), base + cv::Point(6, 6), ink,
                cv::FILLED);
  cv::putText(image, "base", base + cv::Point(10, 5), cv::FONT_HERSHEY_SIMPLEX,
              0.5, ink, 1, cv::LINE_AA);
  // Where the two started: small open circles.
  if (!flight.samples.empty()) {
    cv::circle(image, view(flight.samples.front().friendly.position), 5,
               friendly_colour, 2, cv::LINE_AA);
    cv::circle(image, view(flight.samples.front().truth), 5, bogie_colour, 2,
               cv::LINE_AA);
  }
  const cv::Point end = view(flight.closest_bogie);
  cv::circle(image, end, 10, intercept_colour, 2, cv::LINE_AA);
  cv::drawMarker(image, end, intercept_colour, cv::MARKER_CROSS, 14, 2);

  // Title and legend, top left.
  const auto text = [&](const std::string& words, cv::Point at, double size) {
    cv::putText(image, words, at, cv::FONT_HERSHEY_SIMPLEX, size, ink, 1,
                cv::LINE_AA);
  };
  struct Entry {
    cv::Scalar colour;
    std::string label;
  };
  const Entry entries[] = {
      {friendly_colour, "friendly"},
      {bogie_colour, "bogie (true)"},
      {estimate_colour, "bogie (estimated)"},
      {intercept_colour, flight.intercepted ? "intercept" : "closest"}};
  text(title, cv::Point(15, 25), 0.6);
  int row = 50;
  for (const Entry& e : entries) {
    cv::line(image, cv::Point(15, row - 5), cv::Point(40, row - 5), e.colour, 3,
             cv::LINE_AA);
    text(e.label, cv::Point(48, row), 0.5);
    row += 20;
  }

  // Scale bar, bottom left: a round number of kilometres near 1/5 of the width.
  const double bar_metres =
      1000.0 * std::max(1.0, std::round((width / 5.0) / scale / 1000.0));
  const cv::Point bar_start(15, height - 20);
  const cv::Point bar_end =
      bar_start +
      cv::Point(static_cast<int>(std::lround(bar_metres * scale)), 0);
  cv::line(image, bar_start, bar_end, ink, 2);
  cv::line(image, bar_start - cv::Point(0, 5), bar_start + cv::Point(0, 5), ink,
           2);
  cv::line(image, bar_end - cv::Point(0, 5), bar_end + cv::Point(0, 5), ink, 2);
  text(fixed(bar_metres / 1000.0, 0) + " km", bar_end + cv::Point(8, 5), 0.5);

  return cv::imwrite(file, image);
}
