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

// Tests that a call appends count values behind those already there, and a
// count of 0 or below nothing.
TEST(RandVectorTest, Count) {
  RandVector three(5, 3);
  std::vector<double> numbers{3.5};
  three.appendRandomNumbersTo(numbers);
  ASSERT_NE(1u, numbers.size()) << "appendRandomNumbersTo appended no values";
  ASSERT_EQ(4u, numbers.size())
      << "a count of 3 appends 3 values behind the one there";
  EXPECT_EQ(3.5, numbers.front());

  for (const int count : {0, -1}) {
    RandVector generator(11, count);
    std::vector<double> unchanged{3.5};
    generator.appendRandomNumbersTo(unchanged);
    EXPECT_EQ(std::vector<double>{3.5}, unchanged) << "count " << count;
  }
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
  EXPECT_NE(one, firstValues(2, 10)) << "seeds 1 and 2 gave the same values";
}

// Tests that a second call continues the sequence behind the values already
// in the vector, the caller's own included. The count is odd: the normal
// distribution makes its values in pairs and keeps the second of a pair for
// its next draw, which a distribution made afresh in every call would lose.
TEST(RandVectorTest, SequenceContinuesAcrossCalls) {
  RandVector generator(7, 5);
  std::vector<double> numbers{-1.5};
  generator.appendRandomNumbersTo(numbers);
  generator.appendRandomNumbersTo(numbers);

  std::vector<double> expected{-1.5};
  const std::vector<double> ten = firstValues(7, 10);
  expected.insert(expected.end(), ten.begin(), ten.end());
  EXPECT_EQ(expected, numbers);
  EXPECT_NE(std::vector<double>(ten.begin(), ten.begin() + 5),
            std::vector<double>(ten.begin() + 5, ten.end()));
}

}  // namespace
