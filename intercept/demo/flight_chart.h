// The flown intercepts as a chart: the tracks of each flight written as
// CSV, and what the gnuplot script flight.gp reads to draw two guidances'
// flights of one scene in one picture.
#ifndef INTERCEPT_DEMO_FLIGHT_CHART_H_
#define INTERCEPT_DEMO_FLIGHT_CHART_H_

#include <string>

#include "chart.h"
#include "flight.h"

// Writes one line per guidance cycle, in kilometres and seconds: the time,
// the friendly, the bogie, the fix (split into fixes of the true crossing
// point and of its mirror image), both headings, and the time again on every
// 10th second for the marks. Returns false when the file cannot be written.
bool writeFlightCsv(const FlightResult& flight, const std::string& csv);

// Writes both flights of a scene to <stem>_autopilot.csv and
// <stem>_tracker.csv and names them on standard output ("Tracks: ..."). When
// one cannot be written, it says so on standard error after program and
// returns false.
bool writeTracks(const std::string& program, const std::string& stem,
                 const FlightResult& autopilot, const FlightResult& tracker);

// What flight.gp reads to draw the scene whose tracks writeTracks wrote
// under stem into <stem>.png, titled title: the frame (the tracks and every
// fix near the bogie or its mirror image; how many other fixes lie outside
// it), and the time labels, placed apart from each other, which it writes to
// <stem>_marks.csv.
GnuplotVariables flightChart(const std::string& stem,
                             const FlightResult& autopilot,
                             const FlightResult& tracker,
                             const std::string& title);

#endif  // INTERCEPT_DEMO_FLIGHT_CHART_H_
