// A switch statement picks one of several branches by the value of a
// character; each case ends with break, and default catches everything else.
#include <iostream>

// The tests build this program once more with all ten digits, so that a
// program that prints the five words it expects, without a switch, shows.
#ifndef SWITCH_DIGITS
#define SWITCH_DIGITS "24013"
#endif

int main() {
  char digits[] = SWITCH_DIGITS;

  int i = 0;
  while (digits[i] != '\0') {
    // A char in a switch is compared as an integer with each case label.
    switch (digits[i]) {
      case '0':
        std::cout << "zero ";
        break;
      case '1':
        std::cout << "one ";
        break;
      case '2':
        std::cout << "two ";
        break;
      case '4':
        std::cout << "four ";
        break;
      default:  // there is no case '3': it lands here like any other char
        std::cout << "other ";
        break;
    }
    ++i;
  }
  std::cout << std::endl;
  return 0;
}
