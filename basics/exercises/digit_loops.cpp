// One string of digits walked with each loop form of the language: a while
// loop, a counting for loop and a range-based for loop. On the way characters
// become integers, and a digit's code becomes the digit it stands for.
#include <iostream>

// The tests build this program once more with other digits, the first of
// them one that counts, so that a loop skipping the first digit shows.
#ifndef LOOPS_DIGITS
#define LOOPS_DIGITS "24013"
#endif

int main() {
  // Six chars: the five digits and the null character that ends the string.
  char digits[] = LOOPS_DIGITS;

  // A char converted to int gives its character code ('0' is 48, '1' is 49).
  int i = 0;
  while (digits[i] != '\0') {
    std::cout << "'" << digits[i] << "' = " << static_cast<int>(digits[i])
              << std::endl;
    ++i;
  }

  int sum = 0;
  // Add up the digits' values with a while loop that stops at the null
  // character. A digit's value is not its character code.
  std::cout << "Sum of digits [" << digits << "] is " << sum << std::endl;

  // A counting loop: start, condition and step in one line.
  int count = 0;
  for (int j = 0; digits[j] != '\0'; ++j) {
    if (static_cast<int>(digits[j]) - 48 < 2) {
      ++count;
    }
  }
  std::cout << "Number of digits less than 2 in [" << digits << "] is " << count
            << " (for loop)" << std::endl;

  // The same count as a condition loop: the index is set before the loop and
  // raised at the end of each pass.
  count = 0;
  int k = 0;
  while (digits[k] != '\0') {
    if (static_cast<int>(digits[k]) - 48 < 2) {
      ++count;
    }
    ++k;
  }
  std::cout << "Number of digits less than 2 in [" << digits << "] is " << count
            << " (while loop)" << std::endl;

  // Count the digits less than 2 once more, with a range-based for loop
  // over the whole array.
  count = 0;
  std::cout << "Number of digits less than 2 in [" << digits << "] is " << count
            << " (for range loop)" << std::endl;
  return 0;
}
