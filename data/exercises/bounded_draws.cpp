// Draws bounded, normally distributed numbers from the object's own seeded
// engine, so every call continues one sequence.
#include "numgenerator.h"

namespace {

constexpr double mean = 4.0;
constexpr double standard_deviation = 5.0;
constexpr double lowest_number = 0.2;

}  // namespace

NumGenerator::NumGenerator(int seed, int count)
    : count_(count),
      engine_(static_cast<std::minstd_rand0::result_type>(seed)),
      distribution_(mean, standard_deviation) {}

double NumGenerator::RandomNumbers(double, double, double upper) {
  // Draw the next number of this object's sequence, raise it to
  // lowest_number if it is below, then lower it to upper if it is above, and
  // return it.
  return 0.0;
}
