// Appends normally distributed pseudo-random numbers to a vector, continuing
// one sequence from call to call.
#include "rand_vector.h"

namespace {

constexpr double mean = 1.0;
constexpr double standard_deviation = 6.0;

}  // namespace

RandVector::RandVector(int seed, int count)
    : count_(count),
      engine_(static_cast<std::minstd_rand0::result_type>(seed)),
      distribution_(mean, standard_deviation) {}

void RandVector::appendRandomNumbersTo(std::vector<double>& numbers) {
  for (int i = 0; i < count_; ++i) {
    numbers.push_back(distribution_(engine_));
  }
}
