// The flown intercept as a chart: its tracks written as CSV, and the values
// the gnuplot script flight.gp reads to draw them.
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

// What flight.gp reads to draw the CSV into picture under title.
GnuplotVariables flightChart(const FlightResult& flight, const std::string& csv,
                             const std::string& picture,
                             const std::string& title);

#endif  // INTERCEPT_DEMO_FLIGHT_CHART_H_
