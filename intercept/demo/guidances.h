// The two guidances the demonstration flies, behind the flight's Guidance
// interface: the autopilot (a fix from each cycle's ranges) and the tracker
// (a filter over all of them, steering by lead pursuit).
#ifndef INTERCEPT_DEMO_GUIDANCES_H_
#define INTERCEPT_DEMO_GUIDANCES_H_

#include <memory>

#include "flight.h"

// The autopilot: it reads the simulator itself, as its interface fixes, so
// the readings the flight hands it only tell it that it is time to fix.
std::unique_ptr<Guidance> autopilotGuidance(
    const std::shared_ptr<Simulator>& sim, const Scenario& scenario);
// The tracker, expecting the scenario's range noise and holding its controls
// for one of the scenario's cycles; it never reads the simulator.
std::unique_ptr<Guidance> trackerGuidance(const std::shared_ptr<Simulator>& sim,
                                          const Scenario& scenario);

#endif  // INTERCEPT_DEMO_GUIDANCES_H_
