// Tests of Motorbike with the vehicle stand-in: how the speed moves and how
// details lays out and flushes its line, read from std::cout.
#include "motorbike.h"

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "capture_cout.h"

namespace {

// What one call of details writes to std::cout, given the vehicle to call it
// on (through a base reference, so the call goes through the virtual table).
std::string detailsOf(Vehicle& vehicle) {
  return capturedCout([&] { vehicle.details(); });
}

// Tests the line of a new motorbike: colour, make and model in that order,
// the speed it was given, and a line break that flushes (std::endl).
TEST(MotorbikeTest, Details) {
  Motorbike bike("Harlan", "Streak", "red", 5);
  CaptureCout capture;
  bike.details();
  ASSERT_NE("", capture.text()) << "details() wrote nothing";
  EXPECT_EQ(
      "This motorbike is a red Harlan Streak. It's current speed is 5 km/h.\n",
      capture.text());
  EXPECT_EQ(1, capture.flushes())
      << "details() ends its line with std::endl, which also flushes it";
}

// Tests three accelerations and one deceleration: the speed rises by 2.
TEST(MotorbikeTest, AccelerateDecelerate) {
  Motorbike bike("Harlan", "Streak", "red", 5);
  bike.accelerate();
  bike.accelerate();
  bike.accelerate();
  bike.decelerate();
  EXPECT_EQ(
      "This motorbike is a red Harlan Streak. It's current speed is 7 km/h.\n",
      detailsOf(bike));
}

// Tests slowing down from a standstill: the speed goes negative and is
// written with its minus sign.
TEST(MotorbikeTest, BelowZero) {
  Motorbike bike("Harlan", "Streak", "red", 0);
  bike.decelerate();
  EXPECT_EQ(
      "This motorbike is a red Harlan Streak. It's current speed is -1 km/h.\n",
      detailsOf(bike));
  bike.accelerate();
  bike.accelerate();
  EXPECT_EQ(
      "This motorbike is a red Harlan Streak. It's current speed is 1 km/h.\n",
      detailsOf(bike));
}

// Tests empty texts: each keeps the blanks on both sides of it.
TEST(MotorbikeTest, EmptyTexts) {
  Motorbike noColour("Harlan", "Streak", "", 30);
  EXPECT_EQ(
      "This motorbike is a  Harlan Streak. It's current speed is 30 km/h.\n",
      detailsOf(noColour));
  Motorbike nothing("", "", "", 0);
  EXPECT_EQ("This motorbike is a   . It's current speed is 0 km/h.\n",
            detailsOf(nothing));
}

// Tests the limits of int: the speed stops there instead of overflowing.
TEST(MotorbikeTest, Limits) {
  const std::string prefix =
      "This motorbike is a red Harlan Streak. It's current speed is ";
  Motorbike fast("Harlan", "Streak", "red", std::numeric_limits<int>::max());
  fast.accelerate();
  EXPECT_EQ(prefix + "2147483647 km/h.\n", detailsOf(fast));
  fast.decelerate();
  EXPECT_EQ(prefix + "2147483646 km/h.\n", detailsOf(fast));
  Motorbike reversing("Harlan", "Streak", "red",
                      std::numeric_limits<int>::min());
  reversing.decelerate();
  EXPECT_EQ(prefix + "-2147483648 km/h.\n", detailsOf(reversing));
}

}  // namespace
