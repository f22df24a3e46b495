// Tests of Ranger's setters on a sensor of the tests' own, so that they hold
// Ranger to its contract whatever a concrete sensor adds: a setter that may
// refuse says whether the value is in force, and a refusal changes nothing.
#include "ranger.h"

#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The least concrete sensor: a 60-degree field of view and an offset of 5,
// and nothing of its own that a setter could reach.
class PlainSensor : public Ranger {
 public:
  PlainSensor() {
    fieldOfView_ = 60;
    offset_ = 5;
  }
  std::vector<double> generateData() override { return {}; }
  bool setAngularResolution(unsigned int /*resolution*/) override {
    return false;
  }
  int getSample() override { return sample_; }
  std::string getModel() override { return model_; }
};

// Tests fields of view up to a full turn, both ends included: each is taken,
// said so, and in force.
TEST(RangerTest, FieldOfViewUpToAFullTurnTaken) {
  PlainSensor sensor;
  for (unsigned int degrees : {0u, 19u, 90u, 359u, 360u}) {
    EXPECT_TRUE(sensor.setFieldOfView(degrees))
        << "setFieldOfView refused " << degrees << " degrees";
    EXPECT_EQ(degrees, sensor.getFieldOfView());
  }
}

// Tests fields of view wider than a full turn after one was taken: each is
// refused, said so, and the one in force stays.
TEST(RangerTest, FieldOfViewBeyondAFullTurnRefused) {
  PlainSensor sensor;
  ASSERT_TRUE(sensor.setFieldOfView(90));
  for (unsigned int degrees :
       {361u, 720u, std::numeric_limits<unsigned int>::max()}) {
    EXPECT_FALSE(sensor.setFieldOfView(degrees))
        << "setFieldOfView took " << degrees << " degrees";
    EXPECT_EQ(90u, sensor.getFieldOfView()) << "after " << degrees;
  }
}

// Tests the offset, negative and zero too: stored as given, the field of
// view untouched.
TEST(RangerTest, OffsetStored) {
  PlainSensor sensor;
  for (int offset : {-90, 0, 45}) {
    sensor.setOffset(offset);
    EXPECT_EQ(offset, sensor.getOffset());
  }
  EXPECT_EQ(60u, sensor.getFieldOfView());
}

}  // namespace
