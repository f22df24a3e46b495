// A stand-in for the square-root function whose results the square root
// check program compares with fixed expectations.
#ifndef OUTSIDE_SQUAREROOT_SQUAREROOT_H_
#define OUTSIDE_SQUAREROOT_SQUAREROOT_H_

// The correctly rounded square root of x: +0 for +0, -0 for -0, a NaN for a
// negative x or a NaN, infinity for infinity.
double squareroot(double x);

#endif  // OUTSIDE_SQUAREROOT_SQUAREROOT_H_
