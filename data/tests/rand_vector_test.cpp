// Tests of RandVector: one seeded sequence, continued across calls, appended
// behind what the caller's vector already holds.
#include "rand_vector.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<double> firstValues(int seed, int count) {
  RandVector generator(seed, count);
  std::vector<double> numbers;
  generator.appendRandomNumbersTo(numbers);
  return numbers;
}

// Tests that the seed alone decides the values, and seeds the engine maps to
// one state: 0 and 2147483647 both act as 1. The first values for seed 1 are
// those of std::minstd_rand0 feeding a normal distribution of mean 1 and
// standard deviation 6 (with this standard library).
TEST(RandVectorTest, Seeds) {
  EXPECT_EQ((std::vector<double>{0.26820529515041858, -5.5209082655681438,
                                 5.105739662779329}),
            firstValues(1, 3));
  const std::vector<double> one = firstValues(1, 10);
  EXPECT_EQ(10u, one.size());
  EXPECT_EQ(one, firstValues(1, 10));
  EXPECT_EQ(one, firstValues(0, 10));
  EXPECT_EQ(one, firstValues(2147483647, 10));
  EXPECT_NE(one, firstValues(2, 10));
}

// Tests that a second call continues the sequence behind the values already
// in the vector, the caller's own included.
TEST(RandVectorTest, SequenceContinuesAcrossCalls) {
  RandVector generator(7, 10);
  std::vector<double> numbers{-1.5};
  generator.appendRandomNumbersTo(numbers);
  generator.appendRandomNumbersTo(numbers);

  std::vector<double> expected{-1.5};
  const std::vector<double> twenty = firstValues(7, 20);
  expected.insert(expected.end(), twenty.begin(), twenty.end());
  EXPECT_EQ(expected, numbers);
  EXPECT_NE(std::vector<double>(twenty.begin(), twenty.begin() + 10),
            std::vector<double>(twenty.begin() + 10, twenty.end()));
}

// Tests that a count of 0 or below appends nothing.
TEST(RandVectorTest, CountZeroOrNegative) {
  for (const int count : {0, -1}) {
    RandVector generator(11, count);
    std::vector<double> numbers{3.5};
    generator.appendRandomNumbersTo(numbers);
    EXPECT_EQ(std::vector<double>{3.5}, numbers) << "count " << count;
  }
}

}  // namespace
