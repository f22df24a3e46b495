// A check program for the complex-number component: each of its seven
// operations is called once on fixed operands and its result compared with
// the value worked out by hand. Every comparison is an EXPECT, so one wrong
// part does not hide the others; the expected value always comes first.
#include <string>

#include <gtest/gtest.h>

#include "complex_number.h"

// |4 + 2i| = sqrt(20) = 4.4721..., within 0.0002 of 4.472.
TEST(ComplexNumTest, Magnitude) {
  double expected = 4.472;
  double answer = Complex::magnitude(TComplex{4, 2});
  EXPECT_NEAR(expected, answer, 0.0002);
}

// The conjugate flips the sign of the imaginary part.
TEST(ComplexNumTest, Conjugate) {
  TComplex expected{4, 4};
  TComplex answer = Complex::conjugate(TComplex{4, -4});
  EXPECT_DOUBLE_EQ(expected.re, answer.re);
  EXPECT_DOUBLE_EQ(expected.im, answer.im);
}

// Sums add part by part.
TEST(ComplexNumTest, Add) {
  TComplex expected{6, 2};
  TComplex answer = Complex::add(TComplex{4, -4}, TComplex{2, 6});
  EXPECT_DOUBLE_EQ(expected.re, answer.re);
  EXPECT_DOUBLE_EQ(expected.im, answer.im);
}

// Differences subtract part by part.
TEST(ComplexNumTest, Subtract) {
  TComplex expected{2, 13};
  TComplex answer = Complex::subtract(TComplex{4, 7}, TComplex{2, -6});
  EXPECT_DOUBLE_EQ(expected.re, answer.re);
  EXPECT_DOUBLE_EQ(expected.im, answer.im);
}

// (4 + 7i)(2 - 6i) = 8 - 24i + 14i - 42i^2 = 50 - 10i, since i^2 = -1.
TEST(ComplexNumTest, Multiply) {
  TComplex expected{50, -10};
  TComplex answer = Complex::multiply(TComplex{4, 7}, TComplex{2, -6});
  EXPECT_DOUBLE_EQ(expected.re, answer.re);
  EXPECT_DOUBLE_EQ(expected.im, answer.im);
}

// (5 + 0.5i) / (2 + i): multiplying above and below by the conjugate 2 - i
// gives (10.5 - 4i) / 5 = 2.1 - 0.8i.
TEST(ComplexNumTest, Divide) {
  TComplex expected{2.1, -0.8};
  TComplex answer = Complex::divide(TComplex{5, 0.5}, TComplex{2, 1});
  EXPECT_DOUBLE_EQ(expected.re, answer.re);
  EXPECT_DOUBLE_EQ(expected.im, answer.im);
}

// The text form, compared character by character.
TEST(ComplexNumTest, Format) {
  std::string expected = "4 + 7i";
  std::string answer = Complex::format(TComplex{4, 7});
  EXPECT_EQ(expected, answer);
}

int main(int argc, char** argv) {
  // Google Test takes the options it knows (--gtest_filter and the like) out
  // of argc and argv, then runs every check in the order they are defined.
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
