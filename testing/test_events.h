// Writes what a GoogleTest program does as it happens, one JSON line per
// event, to the file that the environment variable PELTRA_TEST_EVENTS names:
// each test's start, each failure with its file and line, each test's end.
// A program that crashes or is stopped at a time-out writes no report of its
// own; these lines, flushed one by one, still say which test was running
// and what had failed before. The exercises' test programs link it
// (cmake/PeltraExercises.cmake); it installs itself before main runs.
#ifndef TESTING_TEST_EVENTS_H_
#define TESTING_TEST_EVENTS_H_

#include <cstdio>
#include <mutex>
#include <string>

#include <gtest/gtest.h>

// A listener that appends the events to an open file; it closes the file
// when GoogleTest deletes it. A failure may be reported on any thread, so
// one mutex guards the writes.
class TestEventLog : public testing::EmptyTestEventListener {
 public:
  explicit TestEventLog(std::FILE* file);
  ~TestEventLog() override;
  TestEventLog(const TestEventLog&) = delete;
  TestEventLog& operator=(const TestEventLog&) = delete;

  void OnTestStart(const testing::TestInfo& test) override;
  void OnTestPartResult(const testing::TestPartResult& result) override;
  void OnTestEnd(const testing::TestInfo& test) override;

 private:
  void write(const std::string& line);

  std::mutex mutex_;
  std::FILE* file_;
  std::string running_;
};

// Appends a TestEventLog to GoogleTest's listeners when PELTRA_TEST_EVENTS
// names a file that can be opened; returns whether it did.
bool installTestEventLog();

// `text` as a JSON string, quotes included.
std::string jsonString(const std::string& text);

#endif  // TESTING_TEST_EVENTS_H_
