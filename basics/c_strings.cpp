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
  int i = 0;
  while (x[i] != '\0') {
    std::cout << x[i];
    ++i;
  }
  std::cout << "\"" << std::endl;

  // By pointer: *p is the character p points at; p++ moves on to the next
  // one after *p has been read.
  std::cout << "x = \"";
  char* p = x;
  while (*p != '\0') {
    std::cout << *p++;
  }
  std::cout << "\"" << std::endl;
  return 0;
}
