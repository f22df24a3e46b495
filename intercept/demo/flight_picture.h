// Draws one flown intercept into a picture file.
#ifndef INTERCEPT_DEMO_FLIGHT_PICTURE_H_
#define INTERCEPT_DEMO_FLIGHT_PICTURE_H_

#include <string>

#include "flight.h"

// Draws the flight: base station, both tracks, the estimates, the intercept
// (or closest) point, a legend and a scale bar. Returns false when the file
// cannot be written.
bool drawFlight(const FlightResult& flight, const std::string& title,
                const std::string& file);

#endif  // INTERCEPT_DEMO_FLIGHT_PICTURE_H_
