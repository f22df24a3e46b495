// Tests of the complex stand-in's text form and quotient: the two operations
// whose results are not plain part-wise arithmetic.
#include "complex_number.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

// Tests the text form: the sign of the imaginary part goes into the operator,
// fractions keep six significant digits.
TEST(ComplexNumberTest, Format) {
  EXPECT_EQ("4 + 7i", Complex::format({4, 7}));
  EXPECT_EQ("4 - 7i", Complex::format({4, -7}));
  EXPECT_EQ("-4 + 0i", Complex::format({-4, 0}));
  EXPECT_EQ("4 - 0i", Complex::format({4, -0.0}));
  EXPECT_EQ("2.1 - 0.8i", Complex::format({2.1, -0.8}));
  EXPECT_EQ("0.333333 + 1e+06i", Complex::format({1.0 / 3.0, 1e6}));
}

// Tests the quotient: the complex one, not part by part, without overflow
// for huge parts, and non-finite rather than a crash for a zero divisor.
TEST(ComplexNumberTest, Divide) {
  const TComplex quotient = Complex::divide({5, 0.5}, {2, 1});
  EXPECT_DOUBLE_EQ(2.1, quotient.re);
  EXPECT_DOUBLE_EQ(-0.8, quotient.im);

  const TComplex byI = Complex::divide({3, 4}, {0, 1});
  EXPECT_DOUBLE_EQ(4, byI.re);
  EXPECT_DOUBLE_EQ(-3, byI.im);

  const TComplex huge = Complex::divide({1e300, 1e300}, {1e300, 1e300});
  EXPECT_DOUBLE_EQ(1, huge.re);
  EXPECT_DOUBLE_EQ(0, huge.im);

  const TComplex byZero = Complex::divide({1, 1}, {0, 0});
  EXPECT_FALSE(std::isfinite(byZero.re) && std::isfinite(byZero.im));
}

}  // namespace
