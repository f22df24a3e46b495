// Sends std::cout into a string while a test runs a print function, so that
// the test can compare what it wrote, line breaks and blanks included.
#ifndef TESTING_CAPTURE_COUT_H_
#define TESTING_CAPTURE_COUT_H_

#include <iostream>
#include <sstream>
#include <string>

// Captures std::cout for as long as it lives and gives the stream its own
// buffer back when it ends, also when the code under test throws. Counts the
// flushes too: std::endl flushes, a plain '\n' does not.
class CaptureCout {
 public:
  CaptureCout() : original_(std::cout.rdbuf(&buffer_)) {}
  ~CaptureCout() { std::cout.rdbuf(original_); }
  CaptureCout(const CaptureCout&) = delete;
  CaptureCout& operator=(const CaptureCout&) = delete;

  // What was written so far.
  std::string text() const { return buffer_.str(); }
  // How often the stream was flushed so far.
  int flushes() const { return buffer_.flushes; }

 private:
  struct CountingBuffer : std::stringbuf {
    int sync() override {
      ++flushes;
      return std::stringbuf::sync();
    }
    int flushes = 0;
  };

  CountingBuffer buffer_;
  std::streambuf* original_;
};

// Returns what `action` wrote to std::cout.
template <typename Action>
std::string capturedCout(Action action) {
  CaptureCout capture;
  action();
  return capture.text();
}

#endif  // TESTING_CAPTURE_COUT_H_
