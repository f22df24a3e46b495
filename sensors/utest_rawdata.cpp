// Checks of the two ranging sensors with GoogleTest: every reading lies
// within the sensor's limits, a data set has the expected number of readings,
// and the laser accepts and refuses the expected angular resolutions.
#include <vector>

#include <gtest/gtest.h>

#include "laser.h"
#include "radar.h"
#include "rangerinterface.h"
#include "testlimits.h"

// The range checks: 100 data sets from one sensor, each checked on its own,
// so a fault shows up once per data set that has it.
TEST(DataDistanceTest, Laser) {
  Laser laser;
  for (int i = 0; i < 100; i++) {
    testLimits(laser.generateData(), 0.2, 8.0);
  }
}

TEST(DataDistanceTest, Radar) {
  Radar radar;
  for (int i = 0; i < 100; i++) {
    testLimits(radar.generateData(), 0.2, 16.0);
  }
}

// The count checks ask for data through the interface, as a caller that
// works with any kind of sensor would: the call reaches the sensor's own
// generateData through the virtual table.
TEST(NumMeasurementsTest, LaserAngRes10) {
  Laser laser;
  laser.setAngularResolution(10);
  laser.setOffset(0);
  std::vector<RangerInterface*> sensors = {&laser};
  std::vector<double> rawdata = sensors.front()->generateData();
  ASSERT_EQ(19, rawdata.size());
}

TEST(NumMeasurementsTest, LaserAngRes30) {
  Laser laser;
  laser.setAngularResolution(30);
  laser.setOffset(0);
  std::vector<RangerInterface*> sensors = {&laser};
  std::vector<double> rawdata = sensors.front()->generateData();
  ASSERT_EQ(7, rawdata.size());
}

TEST(NumMeasurementsTest, Radar) {
  Radar radar;
  radar.setOffset(0);
  std::vector<RangerInterface*> sensors = {&radar};
  std::vector<double> rawdata = sensors.front()->generateData();
  ASSERT_EQ(3, rawdata.size());
}

// The resolution checks: EXPECT lets the check go on after a failure, so
// both requests are always made.
TEST(Laser, ValidResolution) {
  Laser l;
  EXPECT_TRUE(l.setAngularResolution(10));
  EXPECT_TRUE(l.setAngularResolution(30));
}

TEST(Laser, InvalidResolution) {
  Laser l;
  // Saved in a signed int, as this check always has; the resolutions are far
  // below the limits of int.
  // NOLINTNEXTLINE(bugprone-narrowing-conversions)
  int res = l.getAngularResolution();
  EXPECT_FALSE(l.setAngularResolution(40));
  ASSERT_EQ(l.getAngularResolution(), res);
}

// GoogleTest takes the options it knows from the command line, then runs
// every check in the order above; the result is the exit status.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
