// A complex component altered on purpose, for testing that the complex
// checks catch each fault on its own. ALTERED names what is altered, and
// CMakeLists.txt here builds one program for each:
// - one operation (magnitude, conjugate, ... format) is wrong and the rest
//   are right, so that a check left out, or one that compares the real part
//   alone, lets its program pass. The wrong magnitude lies just outside the
//   check's tolerance; every other wrong operation gives the right number
//   with the sign of its imaginary part flipped, as a lost minus does.
// - close: every result is as far off as the checks allow, and no further
//   (each part 4 units in the last place, the magnitude 0.00019), so that a
//   check stricter than its macro (== on a double) fails there.
#include <cmath>
#include <complex>
#include <locale>
#include <sstream>
#include <string>

#include "complex_number.h"
#include "ulps.h"

namespace {

enum class Altered {
  magnitude,
  conjugate,
  add,
  subtract,
  multiply,
  divide,
  format,
  close
};
constexpr Altered altered = Altered::ALTERED;

std::complex<double> toStd(TComplex z) { return {z.re, z.im}; }

// The right result `z` of `operation` as the component returns it: with its
// imaginary part's sign flipped if it is the wrong operation, moved by 4
// units in the last place if the component is close.
TComplex result(Altered operation, std::complex<double> z) {
  if (operation == altered) {
    return {z.real(), -z.imag()};
  }
  if (altered == Altered::close) {
    return {ulpsAway(z.real(), 4), ulpsAway(z.imag(), -4)};
  }
  return {z.real(), z.imag()};
}

}  // namespace

namespace Complex {

// Altered, it is the magnitude of (4, 2), the one number the checks ask for.
double magnitude(TComplex z) {
  if (altered == Altered::magnitude) {
    return 4.47221;  // 0.00021 away from 4.472
  }
  if (altered == Altered::close) {
    return 4.47181;  // 0.00019 away from 4.472
  }
  return std::abs(toStd(z));
}

TComplex conjugate(TComplex z) {
  return result(Altered::conjugate, std::conj(toStd(z)));
}

TComplex add(TComplex a, TComplex b) {
  return result(Altered::add, toStd(a) + toStd(b));
}

TComplex subtract(TComplex a, TComplex b) {
  return result(Altered::subtract, toStd(a) - toStd(b));
}

TComplex multiply(TComplex a, TComplex b) {
  return result(Altered::multiply, toStd(a) * toStd(b));
}

TComplex divide(TComplex a, TComplex b) {
  return result(Altered::divide, toStd(a) / toStd(b));
}

// Written as the right component writes it; the close one writes its exact
// number, since a text has no tolerance.
std::string format(TComplex z) {
  const double im = altered == Altered::format ? -z.im : z.im;
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << z.re << (std::signbit(im) ? " - " : " + ") << std::abs(im) << 'i';
  return text.str();
}

}  // namespace Complex
