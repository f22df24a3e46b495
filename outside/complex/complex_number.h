// A stand-in for the complex-number component that the complex check program
// calls: a plain value type and the usual arithmetic on it, computed with
// std::complex. (The header is not named complex.h, which would hide the C
// library's header of that name from every file that sees this folder.)
#ifndef OUTSIDE_COMPLEX_COMPLEX_NUMBER_H_
#define OUTSIDE_COMPLEX_COMPLEX_NUMBER_H_

#include <string>

// A complex number re + im i, passed and returned by value.
struct TComplex {
  double re;  // the real part
  double im;  // the imaginary part
};

// The operations of ordinary complex arithmetic, called in qualified form
// (Complex::add(a, b)); an operation of two operands takes the left operand
// first. None throws: results that have no finite value (a quotient by zero,
// operands that are infinite or NaN) come out as infinities or NaNs, as with
// std::complex.
namespace Complex {

// The absolute value |z|, without overflow for large parts.
double magnitude(TComplex z);
// The complex conjugate: the imaginary part with its sign flipped.
TComplex conjugate(TComplex z);
// The sum a + b.
TComplex add(TComplex a, TComplex b);
// The difference a - b.
TComplex subtract(TComplex a, TComplex b);
// The product a b (so (4, 7) times (2, -6) is (50, -10)).
TComplex multiply(TComplex a, TComplex b);
// The quotient a / b (so (5, 0.5) over (2, 1) is (2.1, -0.8)); for b = 0 the
// parts are infinite or NaN.
TComplex divide(TComplex a, TComplex b);
// The number as text, "4 + 7i" for (4, 7): the real part, " + " or " - " by
// the sign of the imaginary part, the imaginary part's magnitude and "i".
// Parts are written like std::cout writes a double (six significant digits,
// no decimal point for whole numbers): "2.1 - 0.8i", "-1 + 0.333333i",
// "4 - 0i" for an imaginary part of -0, "inf + nani" for non-finite parts.
std::string format(TComplex z);

}  // namespace Complex

#endif  // OUTSIDE_COMPLEX_COMPLEX_NUMBER_H_
