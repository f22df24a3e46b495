// Every operation converts its operands to std::complex<double>, lets the
// standard library do the arithmetic and converts the result back.
#include "complex_number.h"

#include <cmath>
#include <complex>
#include <locale>
#include <sstream>

namespace {

std::complex<double> toStd(TComplex z) { return {z.re, z.im}; }

TComplex fromStd(std::complex<double> z) { return {z.real(), z.imag()}; }

}  // namespace

namespace Complex {

double magnitude(TComplex z) { return std::abs(toStd(z)); }

TComplex conjugate(TComplex z) { return fromStd(std::conj(toStd(z))); }

TComplex add(TComplex a, TComplex b) { return fromStd(toStd(a) + toStd(b)); }

TComplex subtract(TComplex a, TComplex b) {
  return fromStd(toStd(a) - toStd(b));
}

TComplex multiply(TComplex a, TComplex b) {
  return fromStd(toStd(a) * toStd(b));
}

TComplex divide(TComplex a, TComplex b) { return fromStd(toStd(a) / toStd(b)); }

std::string format(TComplex z) {
  std::ostringstream text;
  text.imbue(std::locale::classic());  // no digit grouping from a global locale
  text << z.re << (std::signbit(z.im) ? " - " : " + ") << std::abs(z.im) << 'i';
  return text.str();
}

}  // namespace Complex
