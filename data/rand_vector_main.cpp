// Shows a pseudo-random generator that keeps its state between calls: one
// RandVector, seeded from the clock, appends ten numbers to a vector twice,
// and the second ten continue the sequence after the first.
#include <chrono>
#include <cstdint>
#include <iostream>
#include <vector>

#include "print_number_vector.h"
#include "rand_vector.h"

int main() {
  // A different seed on every run: the clock's nanoseconds since the epoch,
  // of which an int keeps the low 32 bits.
  const std::int64_t nanoseconds =
      std::chrono::duration_cast<std::chrono::nanoseconds>(
          std::chrono::system_clock::now().time_since_epoch())
          .count();
  const int seed = static_cast<int>(nanoseconds);

  RandVector generator(seed, 10);
  std::vector<double> numbers;

  std::cout << "Numbers before: " << std::endl;
  printNumberVector(numbers);

  generator.appendRandomNumbersTo(numbers);
  std::cout << "Numbers after: " << std::endl;
  printNumberVector(numbers);

  // The second call leaves the first ten in place and appends the next ten: the
  // engine and the distribution remember where they stopped.
  generator.appendRandomNumbersTo(numbers);
  std::cout << "Numbers after again: " << std::endl;
  printNumberVector(numbers);
  return 0;
}
