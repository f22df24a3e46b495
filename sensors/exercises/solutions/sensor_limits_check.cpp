// A check of every ranging sensor at once, through the interface they share:
// each reading of each data set lies within the limits the sensor reports.
#include <vector>

#include <gtest/gtest.h>

#include "laser.h"
#include "radar.h"
#include "rangerinterface.h"
#include "testlimits.h"

// One check for any sensor: it asks each sensor for its limits rather than
// knowing them, so a new kind of sensor needs only a place in the list.
TEST(AnySensorTest, ReadingsWithinOwnLimits) {
  Radar radar;
  Laser laser;
  std::vector<RangerInterface*> sensors = {&radar, &laser};
  for (RangerInterface* sensor : sensors) {
    // Every failure below names the sensor it came from.
    SCOPED_TRACE(sensor->getModel());
    for (int i = 0; i < 100; i++) {
      testLimits(sensor->generateData(), sensor->getMin(), sensor->getMax());
    }
  }
}

// GoogleTest takes the options it knows from the command line, then runs
// the check; the result is the exit status.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
