// Helpers for tests that run a RangeBuffer's getters on threads of their own:
// a test checks with bounded waits whether a getter returned, and can never
// hang, since every helper releases or leaves behind a thread that is stuck.
#ifndef INTERCEPT_TESTS_BUFFER_THREADS_H_
#define INTERCEPT_TESTS_BUFFER_THREADS_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "bounded_wait.h"
#include "rangebuffer.h"

// How long a test waits for something that must happen, and how long it
// watches a thread that must stay blocked.
constexpr std::chrono::seconds must_happen_within{5};
constexpr std::chrono::milliseconds stays_blocked_for{50};

enum class History { base, friendly };

inline void add(RangeBuffer& buffer, History history) {
  history == History::base ? buffer.addBaseData() : buffer.addFriendlyData();
}

inline std::deque<RangeStamped> get(RangeBuffer& buffer, History history) {
  return history == History::base ? buffer.getBaseData()
                                  : buffer.getFriendlyData();
}

// "getBaseData of the base history", for messages that name what stalled.
inline std::string getterName(History history) {
  return history == History::base ? "getBaseData of the base history"
                                  : "getFriendlyData of the friendly history";
}

// The time stamps of a copy, oldest first.
inline std::vector<std::int64_t> stamps(const std::deque<RangeStamped>& copy) {
  std::vector<std::int64_t> result;
  result.reserve(copy.size());
  for (const RangeStamped& reading : copy) {
    result.push_back(reading.timestamp);
  }
  return result;
}

// The threads of a test, each counted as finished when its work returned. On
// destruction the crew keeps adding to both histories of the buffer until
// every thread has finished (a consumer blocked in a getter needs that to see
// a stop flag) and joins them; a thread that never finishes is detached, and
// the test fails naming it instead of hanging (and records a wait that gave
// up, bounded_wait.h). Work that ended with an exception fails the test too.
// Work that may be left behind so must share ownership of whatever it uses.
class Crew {
 public:
  explicit Crew(std::shared_ptr<RangeBuffer> buffer)
      : buffer_(std::move(buffer)) {}
  Crew(const Crew&) = delete;
  Crew& operator=(const Crew&) = delete;
  ~Crew() {
    for (int i = 0; i < 40 && !finishWithin(stays_blocked_for); ++i) {
      buffer_->addBaseData();
      buffer_->addFriendlyData();
    }
    for (std::size_t i = 0; i < threads_.size(); ++i) {
      if (done_[i].wait_for(std::chrono::seconds{0}) !=
          std::future_status::ready) {
        const std::string what =
            "the thread " + names_[i] + " stayed blocked; left behind";
        recordWaitGaveUp(what);
        ADD_FAILURE() << what;
        threads_[i].detach();
        continue;
      }
      threads_[i].join();
      try {
        done_[i].get();
      } catch (const std::exception& error) {
        ADD_FAILURE() << "the thread " << names_[i]
                      << " threw: " << error.what();
      }
    }
  }

  // Runs the work on a thread of its own, which messages call by its name.
  template <class Work>
  void start(std::string name, Work work) {
    std::packaged_task<void()> task(std::move(work));
    names_.push_back(std::move(name));
    done_.push_back(task.get_future());
    threads_.emplace_back(std::move(task));
  }
  // True when every thread has finished, or finishes within the limit.
  bool finishWithin(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (std::future<void>& done : done_) {
      if (done.wait_until(deadline) != std::future_status::ready) {
        return false;
      }
    }
    return true;
  }

 private:
  std::shared_ptr<RangeBuffer> buffer_;
  std::vector<std::string> names_;
  std::vector<std::future<void>> done_;
  std::vector<std::thread> threads_;
};

// One getter call on a thread of its own, run by a crew: a getter still
// blocked when the test ends is released, or left behind.
class Getter {
 public:
  Getter(const std::shared_ptr<RangeBuffer>& buffer, History history)
      : crew_(buffer),
        name_(getterName(history)),
        copy_(std::make_shared<std::deque<RangeStamped>>()) {
    crew_.start("in " + name_, [buffer, history, copy = copy_] {
      *copy = get(*buffer, history);
    });
  }

  // Success when the getter has returned, or returns within the limit; the
  // message names the getter either way.
  testing::AssertionResult returnsWithin(std::chrono::milliseconds limit) {
    if (crew_.finishWithin(limit)) {
      return testing::AssertionSuccess()
             << name_ << " returned within " << limit.count() << " ms";
    }
    return testing::AssertionFailure()
           << name_ << " did not return within " << limit.count() << " ms";
  }
  // The copy the getter returned; call only after returnsWithin said true.
  const std::deque<RangeStamped>& copy() const { return *copy_; }

 private:
  Crew crew_;
  std::string name_;
  std::shared_ptr<std::deque<RangeStamped>> copy_;
};

#endif  // INTERCEPT_TESTS_BUFFER_THREADS_H_
