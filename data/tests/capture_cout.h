// Runs a piece of code with std::cout redirected into a string, so that tests
// can compare what a print function writes.
#ifndef DATA_TESTS_CAPTURE_COUT_H_
#define DATA_TESTS_CAPTURE_COUT_H_

#include <iostream>
#include <sstream>
#include <string>

// Returns what `action` wrote to std::cout; std::cout gets its own buffer
// back afterwards, also when `action` throws.
template <typename Action>
std::string capturedCout(Action action) {
  std::ostringstream captured;
  struct Restore {
    std::streambuf* original;
    ~Restore() { std::cout.rdbuf(original); }
  } restore{std::cout.rdbuf(captured.rdbuf())};
  action();
  return captured.str();
}

#endif  // DATA_TESTS_CAPTURE_COUT_H_
