// Tests of Rectangle: whole and fractional sizes, sizes that collapse to a
// line, and resetting a rectangle that was already set.
#include "rectangle.h"

#include <gtest/gtest.h>

namespace {

// Tests a rectangle of whole sides and one of fractional sides, whose area
// and perimeter keep their fractions.
TEST(RectangleTest, AreaAndPerimeter) {
  Rectangle rectangle;
  rectangle.setWidthHeight(10, 5);
  EXPECT_DOUBLE_EQ(50, rectangle.area())
      << "the area of a 10 by 5 rectangle is 50";
  EXPECT_DOUBLE_EQ(30, rectangle.perimeter())
      << "the perimeter of a 10 by 5 rectangle is 30";
  Rectangle tile;
  tile.setWidthHeight(2.5, 1.5);
  EXPECT_DOUBLE_EQ(3.75, tile.area());
  EXPECT_DOUBLE_EQ(8, tile.perimeter());
}

// Tests a rectangle of width 0: no area, and a perimeter of twice its height.
TEST(RectangleTest, ZeroWidth) {
  Rectangle line;
  line.setWidthHeight(0, 7.5);
  EXPECT_DOUBLE_EQ(0, line.area());
  EXPECT_DOUBLE_EQ(15, line.perimeter());
}

// Tests that a second setWidthHeight replaces both values, not just one.
TEST(RectangleTest, SetAgain) {
  Rectangle rectangle;
  rectangle.setWidthHeight(10, 5);
  rectangle.setWidthHeight(3, 4);
  EXPECT_DOUBLE_EQ(12, rectangle.area());
  EXPECT_DOUBLE_EQ(14, rectangle.perimeter());
}

// Tests a rectangle that was never set: 0 by 0, not whatever memory held.
TEST(RectangleTest, NotSet) {
  Rectangle rectangle;
  EXPECT_EQ(0, rectangle.area());
  EXPECT_EQ(0, rectangle.perimeter());
}

}  // namespace
