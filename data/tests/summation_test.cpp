// Tests of sum: a left-to-right sum of a vector's elements.
#include "summation.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

// Tests no element, one element, and that the vector stays as it was.
TEST(SumTest, Values) {
  std::vector<double> empty;
  EXPECT_EQ(0.0, sum(empty));
  std::vector<double> one{-4.75};
  EXPECT_EQ(-4.75, sum(one)) << "the sum of one element is that element";
  std::vector<double> numbers{1.0, 2.0, 20.0, 4.0, 5.0};
  EXPECT_EQ(32.0, sum(numbers));
  EXPECT_EQ((std::vector<double>{1.0, 2.0, 20.0, 4.0, 5.0}), numbers);
}

// Tests the order of the additions: from the first element on, each 1.0
// added to 1e16 is lost to rounding; added the other way round, they count.
TEST(SumTest, AddsLeftToRight) {
  std::vector<double> big_first{1e16, 1.0, 1.0};
  EXPECT_EQ(1e16, sum(big_first));
  std::vector<double> big_last{1.0, 1.0, 1e16};
  EXPECT_EQ(1e16 + 2.0, sum(big_last));
}

}  // namespace
