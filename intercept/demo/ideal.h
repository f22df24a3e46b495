// The yardstick of every flight: the least time in which a pursuer that knows
// the bogie's whole path could intercept it with the friendly's manoeuvres.
#ifndef INTERCEPT_DEMO_IDEAL_H_
#define INTERCEPT_DEMO_IDEAL_H_

#include "flight.h"

// The least time (ms, to a microsecond) in which a friendly that knows the
// bogie's path comes within the intercept range of it, flying one turn
// either way (1.1 rad/s at 50 m/s) and then straight on (1000 m/s), from the
// scenario's start; -1 if it cannot within the time limit. It may aim
// anywhere inside the intercept range. A guidance that turns more than once
// is no quicker to any point a few turn radii (45 m) away, as every scene
// here is, so no flight of these manoeuvres beats it.
double idealInterceptMs(const Scenario& scenario);

#endif  // INTERCEPT_DEMO_IDEAL_H_
