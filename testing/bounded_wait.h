// How a test says that a bounded wait gave up: a wait that never woke is not
// a wrong value, and the hint after a failed run should say which it was.
// The test records a GoogleTest property, which its XML report carries, so
// that scripts/test reads it instead of the failure's wording.
#ifndef TESTING_BOUNDED_WAIT_H_
#define TESTING_BOUNDED_WAIT_H_

#include <string>

#include <gtest/gtest.h>

// The property a test records when one of its bounded waits gave up.
inline constexpr char wait_gave_up_property[] = "wait_gave_up";

// Records on the running test that a bounded wait gave up, with what it
// waited for.
inline void recordWaitGaveUp(const std::string& what) {
  testing::Test::RecordProperty(wait_gave_up_property, what);
}

// Success when the wait ended in time (`done`); otherwise a failure saying
// `what`, recorded as a wait that gave up.
inline testing::AssertionResult waitEnded(bool done, const std::string& what) {
  if (done) {
    return testing::AssertionSuccess();
  }
  recordWaitGaveUp(what);
  return testing::AssertionFailure() << what;
}

#endif  // TESTING_BOUNDED_WAIT_H_
