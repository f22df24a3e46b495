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
  double number = distribution_(engine_);
  if (number < lowest_number) {
    number = lowest_number;
  }
  if (number > upper) {
    number = upper;
  }
  return number;
}
