// A seeded source of bounded, normally distributed numbers: each call draws
// the next value of the object's own sequence and clamps it into a range.
#ifndef DATA_NUMGENERATOR_H_
#define DATA_NUMGENERATOR_H_

#include <random>

// Draws numbers from a normal distribution (mean 4.0, standard deviation 5.0)
// fed by a std::minstd_rand0 engine seeded once at construction, and bounds
// them below by 0.2 and above by the caller's limit. Requires nothing of the
// caller; guarantees that two objects built with the same seed return the
// same sequence, and that successive calls continue it. Not safe to call from
// several threads at once: every call advances the engine.
class NumGenerator {
 public:
  // Seeds the engine with `seed` (converted to the engine's unsigned type, so
  // a negative seed wraps; the engine maps seeds that are multiples of
  // 2147483647, 0 among them, to 1) and keeps `count`, which nothing reads.
  NumGenerator(int seed, int count);

  // Returns the next number of the sequence, raised to 0.2 if below it and
  // then lowered to `upper` if above it, so an `upper` below 0.2 is returned
  // as it is. The first two arguments are accepted and ignored.
  double RandomNumbers(double, double, double upper);

 private:
  [[maybe_unused]] int count_;  // set by the constructor; nothing reads it
  std::minstd_rand0 engine_;
  std::normal_distribution<double> distribution_;
};

#endif  // DATA_NUMGENERATOR_H_
