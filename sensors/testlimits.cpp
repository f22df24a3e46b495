// A fatal assertion inside a helper function: ASSERT_TRUE returns from the
// helper, not from the check that called it, so the check goes on.
#include "testlimits.h"

#include <gtest/gtest.h>

// The data set is taken by value, as the checks hand over the list that
// generateData returned.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void testLimits(std::vector<double> rawdata, double min, double max) {
  for (double measurement : rawdata) {
    ASSERT_TRUE(measurement <= max);
    ASSERT_TRUE(measurement >= min);
  }
}
