// A deliberately wrong complex component, for testing the complex check
// program itself: its magnitude lies just outside the tolerance, it multiplies
// and divides part by part and formats without blanks. The check program must
// report exactly these faults and pass the three right operations.
#include <string>

#include "complex_number.h"

namespace Complex {

double magnitude(TComplex) { return 4.47221; }

TComplex conjugate(TComplex z) { return {z.re, -z.im}; }

TComplex add(TComplex a, TComplex b) { return {a.re + b.re, a.im + b.im}; }

TComplex subtract(TComplex a, TComplex b) { return {a.re - b.re, a.im - b.im}; }

// Products of like parts: (4, 7) by (2, -6) gives (-34, -10), whose
// imaginary part happens to be right.
TComplex multiply(TComplex a, TComplex b) {
  return {a.re * b.re + a.im * b.im, a.re * b.im + a.im * b.re};
}

TComplex divide(TComplex a, TComplex b) { return {a.re / b.re, a.im / b.im}; }

std::string format(TComplex) { return "4+7i"; }

}  // namespace Complex
