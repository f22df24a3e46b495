// A fatal assertion inside a helper function: ASSERT_TRUE returns from the
// helper, not from the check that called it, so the check goes on.
#include "testlimits.h"

#include <gtest/gtest.h>

void testLimits(std::vector<double> rawdata, double min, double max) {
  for (double measurement : rawdata) {
    ASSERT_TRUE(measurement <= max);
    ASSERT_TRUE(measurement >= min);
  }
}
