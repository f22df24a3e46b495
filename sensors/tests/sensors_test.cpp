// Tests of the ranging sensors: first what every sensor promises through the
// interface, on the radar and the laser alike, then each sensor's own
// configuration, counts and clamping.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "laser.h"
#include "radar.h"
#include "ranger.h"
#include "rangerinterface.h"

namespace {

// No destructor in the tree is virtual, and the bases' are protected, so a
// sensor cannot be deleted through a base pointer by mistake.
static_assert(!std::has_virtual_destructor_v<RangerInterface>);
static_assert(!std::has_virtual_destructor_v<Ranger>);
static_assert(!std::has_virtual_destructor_v<Radar>);
static_assert(!std::has_virtual_destructor_v<Laser>);
static_assert(!std::is_destructible_v<RangerInterface>);
static_assert(!std::is_destructible_v<Ranger>);
static_assert(std::is_abstract_v<RangerInterface>);
static_assert(std::is_abstract_v<Ranger>);
// The radar adds no state to Ranger's.
static_assert(sizeof(Radar) == sizeof(Ranger));

constexpr unsigned int largest = std::numeric_limits<unsigned int>::max();

template <typename Sensor>
class SensorContractTest : public testing::Test {};

using Sensors = testing::Types<Radar, Laser>;
// Numbers the instances as GoogleTest does by default (SensorContractTest/0
// is the radar), which ctest shows short, as SensorContractTest.Name<Radar>;
// a sensor's name there would make ctest repeat the whole suite line. Passing
// a generator keeps clang quiet: before C++20 the macro's optional third
// argument may not be left empty.
struct IndexName {
  template <typename Sensor>
  static std::string GetName(int index) {
    return std::to_string(index);
  }
};
TYPED_TEST_SUITE(SensorContractTest, Sensors, IndexName);

// Tests many data sets: every reading within the sensor's limits, and the
// draws that fall below the lower limit stored as that limit exactly.
TYPED_TEST(SensorContractTest, ReadingsStayWithinLimits) {
  TypeParam sensor;
  ASSERT_FALSE(sensor.generateData().empty())
      << "generateData returned no readings";
  int atMin = 0;
  for (int i = 0; i < 1000; i++) {
    for (double reading : sensor.generateData()) {
      ASSERT_GE(reading, sensor.getMin());
      ASSERT_LE(reading, sensor.getMax());
      atMin += reading == sensor.getMin() ? 1 : 0;
    }
  }
  EXPECT_GT(atMin, 0) << "not one reading equals the lower limit";
}

// Tests that each data set raises the sample number by exactly one.
TYPED_TEST(SensorContractTest, SampleNumberCountsDataSets) {
  TypeParam sensor;
  const int start = sensor.getSample();
  for (int i = 1; i <= 5; i++) {
    sensor.generateData();
    EXPECT_EQ(start + i, sensor.getSample());
  }
}

// Tests two data sets in a row: fresh draws, reading by reading and set by
// set, and changing one changes neither the other nor the sensor.
TYPED_TEST(SensorContractTest, DataSetsAreIndependent) {
  TypeParam sensor;
  std::vector<double> first = sensor.generateData();
  EXPECT_NE(first.end(), std::adjacent_find(first.begin(), first.end(),
                                            std::not_equal_to<>()))
      << "every reading of the data set is the same draw";
  const std::vector<double> second = sensor.generateData();
  // The copy is the point: it keeps second's values to compare with later.
  // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
  const std::vector<double> secondCopy = second;
  EXPECT_NE(first, second);
  first.assign(first.size(), -1.0);
  first.push_back(-1.0);
  EXPECT_EQ(secondCopy, second);
  EXPECT_EQ(second.size(), sensor.generateData().size());
}

// Tests a sensor in a list of interface pointers: the calls reach the
// sensor's own operations and give what direct calls give.
TYPED_TEST(SensorContractTest, SameThroughInterface) {
  TypeParam sensor;
  std::vector<RangerInterface*> sensors = {&sensor};
  const int start = sensor.getSample();
  const std::size_t direct = sensor.generateData().size();
  EXPECT_EQ(direct, sensors.front()->generateData().size());
  EXPECT_EQ(start + 2, sensors.front()->getSample());
  EXPECT_EQ(sensor.getModel(), sensors.front()->getModel());
  EXPECT_EQ(sensor.getAngularResolution(),
            sensors.front()->getAngularResolution());
}

// Tests refused resolutions: false, and nothing changes.
TYPED_TEST(SensorContractTest, RefusalChangesNothing) {
  for (unsigned int value : {0u, 1u, 40u, largest}) {
    TypeParam sensor;
    const unsigned int before = sensor.getAngularResolution();
    const std::size_t count = sensor.generateData().size();
    EXPECT_FALSE(sensor.setAngularResolution(value)) << value;
    EXPECT_EQ(before, sensor.getAngularResolution()) << value;
    EXPECT_EQ(count, sensor.generateData().size()) << value;
  }
}

// Tests the offset: stored, and without effect on the count.
TYPED_TEST(SensorContractTest, OffsetChangesNoCount) {
  TypeParam sensor;
  const std::size_t count = sensor.generateData().size();
  for (int offset : {-90, 45}) {
    sensor.setOffset(offset);
    EXPECT_EQ(offset, sensor.getOffset());
    EXPECT_EQ(count, sensor.generateData().size());
  }
}

// A radar whose raw draws and limits a test can move, to reach each branch
// of the clamping.
class AdjustableRadar : public Radar {
 public:
  void drawAround(double mean) {
    distribution_ = std::normal_distribution<double>(mean, 1.0);
  }
  void setLimits(double min, double max) {
    min_ = min;
    max_ = max;
  }
};

// Tests a new radar's configuration.
TEST(Radar, Construction) {
  Radar radar;
  EXPECT_EQ(20u, radar.getAngularResolution());
  EXPECT_EQ(60u, radar.getFieldOfView());
  EXPECT_EQ(0, radar.getOffset());
  EXPECT_EQ(16.0, radar.getMax());
  EXPECT_EQ(0.2, radar.getMin());
  EXPECT_EQ("RAD-00", radar.getModel());
  EXPECT_EQ(3u, radar.generateData().size());
}

// Tests the count after the field of view changes: a truncating division,
// with no extra reading at the end and an empty data set below 20 degrees,
// which still counts as a data set.
TEST(Radar, CountFollowsFieldOfView) {
  const struct {
    unsigned int fieldOfView;
    std::size_t count;
  } cases[] = {{59, 2}, {80, 4}, {20, 1}, {19, 0}, {0, 0}, {61, 3}};
  Radar radar;
  int sample = radar.getSample();
  for (const auto& c : cases) {
    radar.setFieldOfView(c.fieldOfView);
    EXPECT_EQ(c.count, radar.generateData().size()) << c.fieldOfView;
    EXPECT_EQ(++sample, radar.getSample()) << c.fieldOfView;
  }
}

// Tests resolutions a laser would take, and the radar's own: all refused.
TEST(Radar, RefusesEveryResolution) {
  Radar radar;
  for (unsigned int value : {10u, 20u, 30u, 60u}) {
    EXPECT_FALSE(radar.setAngularResolution(value)) << value;
    EXPECT_EQ(20u, radar.getAngularResolution());
  }
}

// Tests draws beyond either limit: stored as that limit exactly.
TEST(Radar, ClampsIntoLimits) {
  AdjustableRadar high;
  high.drawAround(100.0);
  EXPECT_EQ(std::vector<double>(3, 16.0), high.generateData());
  AdjustableRadar low;
  low.drawAround(-100.0);
  EXPECT_EQ(std::vector<double>(3, 0.2), low.generateData());
}

// Tests limits set the wrong way round: the upper limit is tested first, so
// a draw above both is stored as the upper limit.
TEST(Radar, UpperLimitTestedFirst) {
  AdjustableRadar radar;
  radar.setLimits(16.0, 0.2);
  radar.drawAround(8.0);
  EXPECT_EQ(std::vector<double>(3, 0.2), radar.generateData());
}

// Tests a new laser's configuration.
TEST(Laser, Construction) {
  Laser laser;
  EXPECT_EQ(10u, laser.getAngularResolution());
  EXPECT_EQ(180u, laser.getFieldOfView());
  EXPECT_EQ(0, laser.getOffset());
  EXPECT_EQ(8.0, laser.getMax());
  EXPECT_EQ(0.2, laser.getMin());
  EXPECT_EQ("LSR-00", laser.getModel());
}

// Tests the two resolutions the laser accepts and their counts, including
// both ends of the field of view.
TEST(Laser, AcceptedResolutions) {
  Laser laser;
  EXPECT_TRUE(laser.setAngularResolution(30));
  EXPECT_EQ(30u, laser.getAngularResolution());
  EXPECT_EQ(7u, laser.generateData().size());
  EXPECT_TRUE(laser.setAngularResolution(10));
  EXPECT_EQ(10u, laser.getAngularResolution());
  EXPECT_EQ(19u, laser.generateData().size());
}

// Tests a refusal after a change: the laser keeps the accepted value, not
// its default.
TEST(Laser, RefusalKeepsCurrentResolution) {
  Laser laser;
  ASSERT_TRUE(laser.setAngularResolution(30));
  for (unsigned int value : {0u, 20u, 40u, 45u, largest}) {
    EXPECT_FALSE(laser.setAngularResolution(value)) << value;
    EXPECT_EQ(30u, laser.getAngularResolution());
  }
}

// Tests the count after the field of view changes: one reading per step and
// one more, so a field of view of 0 still gives one reading.
TEST(Laser, CountFollowsFieldOfView) {
  Laser laser;
  laser.setFieldOfView(90);
  EXPECT_EQ(10u, laser.generateData().size());
  laser.setFieldOfView(0);
  EXPECT_EQ(1u, laser.generateData().size());
  ASSERT_TRUE(laser.setAngularResolution(30));
  laser.setFieldOfView(100);
  EXPECT_EQ(4u, laser.generateData().size());
}

}  // namespace
