// The range check of the sensor data checks, on its own so that its own
// tests can link it without the checks.
#ifndef SENSORS_TESTLIMITS_H_
#define SENSORS_TESTLIMITS_H_

#include <vector>

// Asserts, reading by reading, that each lies within [min, max] (limits
// included). The first reading out of range, or not a number, records a
// fatal failure for the running check and ends this call; the rest of the
// data set is not examined. An empty data set passes.
void testLimits(std::vector<double> rawdata, double min, double max);

#endif  // SENSORS_TESTLIMITS_H_
