// The yardstick of every flight: the least time in which a pursuer that knows
// the bogie's whole path could intercept it with the friendly's manoeuvres.
#ifndef INTERCEPT_DEMO_IDEAL_H_
#define INTERCEPT_DEMO_IDEAL_H_

#include <cstdint>
#include <vector>

#include "flight.h"

// The least time (ms, to a microsecond) in which a friendly that knows the
// bogie's path comes within the intercept range of it, flying one turn
// either way and then straight on, by the rules' manoeuvres, from the
// scenario's start; -1 if it cannot within the time limit. It may aim
// anywhere inside the intercept range. A guidance that turns more than once
// is no quicker to any point a few turn radii (45 m) away, as every scene
// here is, so no flight of these manoeuvres beats it.
double idealInterceptMs(const Scenario& scenario);

// The ideal pursuer's flight as a guidance that steers once a cycle can fly
// it, knowing the bogie's path: from `friendly` at now_ms, one turn of whole
// cycles and straight on, or a turn, straight on, one more cycle of turning
// (a turn's whole cycles can point the dash too far either side) and
// straight on; the one that is within the intercept range at the earliest
// cycle, looked for up to half a second after the ideal time. Without one
// there, intercept_ms is -1 and the commands those of the turn that passes
// nearest.
struct CycleFlight {
  std::vector<Controls> commands;  // one a cycle from now_ms, then straight
  std::int64_t intercept_ms;
};
CycleFlight bestCycleFlight(const Scenario& scenario, const Pose& friendly,
                            std::int64_t now_ms);

#endif  // INTERCEPT_DEMO_IDEAL_H_
