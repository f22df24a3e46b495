// Sums a vector of doubles from its first element to its last.
#include "summation.h"

double sum(std::vector<double>& numbers) {
  double total = 0.0;
  for (const double number : numbers) {
    total = number + total;
  }
  return total;
}
