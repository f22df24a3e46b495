// Printing a vector of numbers on one line, as rand_vector_main shows its
// vector before and after each append.
#ifndef DATA_PRINT_NUMBER_VECTOR_H_
#define DATA_PRINT_NUMBER_VECTOR_H_

#include <vector>

// Writes the elements of a copy of `numbers` to standard output on one line,
// each in the default floating-point format and followed by one blank, then a
// line break; an empty vector writes the line "empty" and then an empty line.
void printNumberVector(std::vector<double> numbers);

#endif  // DATA_PRINT_NUMBER_VECTOR_H_
