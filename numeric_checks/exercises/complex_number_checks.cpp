// A check program for the complex-number component: each of its seven
// operations is called once on fixed operands and its result compared with
// the value worked out by hand. Every comparison is an EXPECT, so one wrong
// part does not hide the others; the expected value always comes first.
#include <string>

#include <gtest/gtest.h>

#include "complex_number.h"

// |4 + 2i| = sqrt(20) = 4.4721..., within 0.0002 of 4.472.
TEST(ComplexNumTest, Magnitude) {
  // Check that Complex::magnitude of (4, 2) is 4.472 to within 0.0002.
}

// The conjugate flips the sign of the imaginary part.
TEST(ComplexNumTest, Conjugate) {
  // Check that Complex::conjugate of (4, -4) is (4, 4).
}

// Sums add part by part.
TEST(ComplexNumTest, Add) {
  // Check that Complex::add of (4, -4) and (2, 6) is (6, 2).
}

// Differences subtract part by part.
TEST(ComplexNumTest, Subtract) {
  // Check that Complex::subtract of (4, 7) and (2, -6) is (2, 13).
}

// (4 + 7i)(2 - 6i) = 8 - 24i + 14i - 42i^2 = 50 - 10i, since i^2 = -1.
TEST(ComplexNumTest, Multiply) {
  // Check that Complex::multiply of (4, 7) and (2, -6) is (50, -10).
}

// (5 + 0.5i) / (2 + i): multiplying above and below by the conjugate 2 - i
// gives (10.5 - 4i) / 5 = 2.1 - 0.8i.
TEST(ComplexNumTest, Divide) {
  // Check that Complex::divide of (5, 0.5) and (2, 1) is (2.1, -0.8).
}

// The text form, compared character by character.
TEST(ComplexNumTest, Format) {
  // Check that Complex::format of (4, 7) is the text "4 + 7i".
}

int main(int argc, char** argv) {
  // Google Test takes the options it knows (--gtest_filter and the like) out
  // of argc and argv, then runs every check in the order they are defined.
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
