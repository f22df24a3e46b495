// A C string is an array of char ended by the null character. It is walked
// here twice, by index and by pointer, and both walks stop at the null.
#include <iostream>

// The tests build this program once more with other text, empty and longer,
// so that a walk that counts five characters instead of stopping at the null
// character shows.
#ifndef C_STRINGS_TEXT
#define C_STRINGS_TEXT "24013"
#endif

int main() {
  // Six chars: the five digits and the terminating null character.
  char x[] = C_STRINGS_TEXT;

  // By index: x[i] is the i-th character.
  std::cout << "x = \"";
  // Write the characters of x one by one, by index (x[i]), up to the null
  // character.
  std::cout << "\"" << std::endl;

  // By pointer: write the characters of x once more, through a char pointer
  // that starts at x and moves on one character at a time.
  std::cout << "\"" << std::endl;
  return 0;
}
