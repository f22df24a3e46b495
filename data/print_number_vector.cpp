// Prints a vector of numbers on one line, or "empty" when it has none.
#include "print_number_vector.h"

#include <iostream>

// The copy is the program's own interface, kept as it is given.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void printNumberVector(std::vector<double> numbers) {
  if (numbers.empty()) {
    std::cout << "empty" << std::endl;
  } else {
    for (const double number : numbers) {
      std::cout << number << " ";
    }
  }
  std::cout << std::endl;
}
