// A check program for the square-root function: three squares must
// give their roots to within 4 units in the last place (EXPECT: each is
// checked even if one fails), then zero must give zero and a negative number
// NaN (ASSERT: the check stops at the first failure).
#include <cmath>

#include <gtest/gtest.h>

#include "squareroot.h"

// Squares of 18, 25.4 and 50.332 give back their roots.
// The calls keep the blank before their parenthesis: the report quotes them
// as written.
// clang-format off
TEST(SquareRootTest, PositiveNos) {
  // Check that squareroot gives 18.0 for 324.0, 25.4 for 645.16 and 50.332
  // for 2533.310224, to within a few units in the last place, each check
  // going on after a failure.
}

// Zero is its own root; a negative number has no real root, so NaN.
TEST(SquareRootTest, ZeroAndNegativeNos) {
  // Check that squareroot gives 0.0 for 0.0 and a NaN for -22.0, each check
  // ending the test when it fails.
}

// clang-format on

int main(int argc, char** argv) {
  // Google Test takes the options it knows (--gtest_filter and the like) out
  // of argc and argv, then runs every check in the order they are defined.
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
