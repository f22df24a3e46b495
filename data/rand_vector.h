// A source of normally distributed pseudo-random numbers that appends a fixed
// number of values per call to a caller's vector. The engine and the
// distribution are members, so successive calls continue one sequence.
#ifndef DATA_RAND_VECTOR_H_
#define DATA_RAND_VECTOR_H_

#include <random>
#include <vector>

// Appends values drawn from a normal distribution (mean 1.0, standard
// deviation 6.0) fed by a std::minstd_rand0 engine seeded once at
// construction. Requires nothing of the caller; guarantees that two objects
// built with the same seed and count append the same values, and that each
// call appends the values that follow those of the previous call. Not safe to
// call from several threads at once: every call advances the engine.
class RandVector {
 public:
  // Seeds the engine with `seed` (converted to the engine's unsigned type, so
  // a negative seed wraps; the engine maps seeds that are multiples of
  // 2147483647, 0 among them, to 1) and appends `count` values per call.
  RandVector(int seed, int count);

  // Appends count values at the back of `numbers`, leaving the elements
  // already there as they are; a count of 0 or less appends nothing.
  void appendRandomNumbersTo(std::vector<double>& numbers);

 private:
  int count_;
  std::minstd_rand0 engine_;
  std::normal_distribution<double> distribution_;
};

#endif  // DATA_RAND_VECTOR_H_
