// The tracker as a guidance the flight can drive: it turns the newest
// readings of the range buffer's histories into the tracker's estimate and
// controls.
#ifndef INTERCEPT_DEMO_TRACKER_GUIDANCE_H_
#define INTERCEPT_DEMO_TRACKER_GUIDANCE_H_

#include "flight.h"

// Makes a tracker for the scenario's flights: it expects the scenario's
// range noise and holds its controls for one of its cycles.
GuidanceMaker trackerGuidance(const Scenario& scenario);

#endif  // INTERCEPT_DEMO_TRACKER_GUIDANCE_H_
