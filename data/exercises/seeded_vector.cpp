// Appends normally distributed pseudo-random numbers to a vector, continuing
// one sequence from call to call.
#include "rand_vector.h"

namespace {

constexpr double mean = 1.0;
constexpr double standard_deviation = 6.0;

}  // namespace

RandVector::RandVector(int seed, int count) : count_(count) {
  // Seed the member engine here, once, from seed, and give the member
  // distribution its mean and standard deviation (rand_vector.h says how).
}

void RandVector::appendRandomNumbersTo(std::vector<double>& numbers) {
  // Append count_ values at the back of numbers, each drawn from the member
  // distribution with the member engine.
}
