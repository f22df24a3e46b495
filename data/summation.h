// Summing a vector of doubles with an explicit loop.
#ifndef DATA_SUMMATION_H_
#define DATA_SUMMATION_H_

#include <vector>

// Returns the sum of the elements, added from the first to the last (so the
// rounding is that of a left-to-right sum); 0.0 for an empty vector. The
// vector is left unchanged.
double sum(std::vector<double>& numbers);

#endif  // DATA_SUMMATION_H_
