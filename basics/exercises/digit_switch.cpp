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
    // Write the digit as a word followed by one blank, chosen by a switch on
    // digits[i]: "zero ", "one ", "two ", "four ", and "other " for any other
    // character.
    ++i;
  }
  std::cout << std::endl;
  return 0;
}
