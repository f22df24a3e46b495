// Shows a std::vector<double> being grown, changed through the range-checked
// at(), walked element by element and summed.
#include <iostream>
#include <vector>

#include "summation.h"

int main() {
  std::vector<double> numbers{1.0, 2.0, 3.0, 4.0};
  numbers.push_back(5.0);
  // at() checks the index and throws std::out_of_range beyond the end;
  // index 2 is the third element.
  numbers.at(2) = 20.0;

  // Whole numbers print without a decimal point: "element 20", not "20.0".
  for (const double number : numbers) {
    std::cout << "element " << number << std::endl;
  }
  std::cout << "the sum of the vector " << sum(numbers) << std::endl;
  return 0;
}
