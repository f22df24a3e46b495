// Tests of the range check itself. GoogleTest's fake result reporter catches
// the failures testLimits records, so a test can count and read them instead
// of failing itself.
#include "testlimits.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using testing::HasSubstr;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// Runs the given calls of testLimits and returns the failures they recorded.
template <typename Calls>
std::vector<testing::TestPartResult> failuresOf(Calls calls) {
  testing::TestPartResultArray results;
  {
    using Reporter = testing::ScopedFakeTestPartResultReporter;
    Reporter reporter(Reporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    calls();
  }
  std::vector<testing::TestPartResult> failures;
  failures.reserve(results.size());
  for (int i = 0; i < results.size(); i++) {
    failures.push_back(results.GetTestPartResult(i));
  }
  return failures;
}

std::vector<testing::TestPartResult> failuresOf(std::vector<double> rawdata,
                                                double min, double max) {
  return failuresOf([&] { testLimits(rawdata, min, max); });
}

// Tests readings inside the limits and on them: the limits are inclusive.
TEST(TestLimits, ReadingsWithinLimitsPass) {
  EXPECT_TRUE(failuresOf({0.2, 8.0}, 0.2, 8.0).empty());
  EXPECT_TRUE(failuresOf({4.0, 0.2, 7.999, 8.0, 0.2}, 0.2, 8.0).empty());
  EXPECT_TRUE(failuresOf({5.0, 5.0}, 5.0, 5.0).empty());
}

// Tests an empty data set: nothing to assert, so it passes.
TEST(TestLimits, EmptyDataSetPasses) {
  EXPECT_TRUE(failuresOf({}, 0.2, 8.0).empty());
}

// Tests a reading that is not a number: it fails the first comparison, once
// and fatally, and the rest of the data set is not examined.
TEST(TestLimits, NotANumberFailsFirstComparisonAndStops) {
  const auto failures = failuresOf({1.0, nan, 100.0, -1.0}, 0.2, 8.0);
  ASSERT_EQ(1u, failures.size());
  EXPECT_TRUE(failures[0].fatally_failed());
  EXPECT_THAT(failures[0].message(), HasSubstr("measurement <= max"));
}

// Tests readings just outside either limit: one fatal failure that quotes
// the comparison that failed, and nothing after it.
TEST(TestLimits, OutOfRangeReadingFailsOnce) {
  const double belowMin = std::nextafter(0.2, 0.0);
  const double aboveMax = std::nextafter(8.0, 9.0);

  auto failures = failuresOf({aboveMax, belowMin}, 0.2, 8.0);
  ASSERT_EQ(1u, failures.size());
  EXPECT_TRUE(failures[0].fatally_failed());
  EXPECT_THAT(failures[0].message(), HasSubstr("measurement <= max"));

  failures = failuresOf({1.0, belowMin, aboveMax}, 0.2, 8.0);
  ASSERT_EQ(1u, failures.size());
  EXPECT_TRUE(failures[0].fatally_failed());
  EXPECT_THAT(failures[0].message(), HasSubstr("measurement >= min"));
}

// Tests several calls in one check: a failure ends only its own call, so
// each faulty data set is reported once.
TEST(TestLimits, FailureEndsOnlyItsCall) {
  const auto failures = failuresOf([] {
    testLimits({9.0, 9.0}, 0.2, 8.0);
    testLimits({1.0}, 0.2, 8.0);
    testLimits({0.1}, 0.2, 8.0);
  });
  ASSERT_EQ(2u, failures.size());
  EXPECT_THAT(failures[0].message(), HasSubstr("measurement <= max"));
  EXPECT_THAT(failures[1].message(), HasSubstr("measurement >= min"));
}

}  // namespace
