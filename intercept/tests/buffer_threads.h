// Helpers for tests that run a RangeBuffer's getters on threads of their own:
// a test checks with bounded waits whether a getter returned, and can never
// hang, since every helper releases or leaves behind a thread that is stuck.
#ifndef INTERCEPT_TESTS_BUFFER_THREADS_H_
#define INTERCEPT_TESTS_BUFFER_THREADS_H_

#include <chrono>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <thread>
#include <vector>

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

// The time stamps of a copy, oldest first.
inline std::vector<std::int64_t> stamps(const std::deque<RangeStamped>& copy) {
  std::vector<std::int64_t> result;
  for (const RangeStamped& reading : copy) {
    result.push_back(reading.timestamp);
  }
  return result;
}

// One getter call on a thread of its own. The thread shares ownership of the
// buffer, so a getter that never returns cannot outlive it. On destruction a
// getter still blocked is released by adds to its history and joined; one
// that does not return even then (a deadlock) is detached, so that the test
// fails instead of hanging.
class Getter {
 public:
  Getter(std::shared_ptr<RangeBuffer> buffer, History history)
      : buffer_(std::move(buffer)), history_(history) {
    std::packaged_task<std::deque<RangeStamped>()> task(
        [buffer = buffer_, history] { return get(*buffer, history); });
    result_ = task.get_future().share();
    thread_ = std::thread(std::move(task));
  }
  Getter(const Getter&) = delete;
  Getter& operator=(const Getter&) = delete;
  ~Getter() {
    for (int i = 0; i < 100 && !returnsWithin(stays_blocked_for); ++i) {
      add(*buffer_, history_);
    }
    if (returnsWithin(std::chrono::milliseconds{0})) {
      thread_.join();
    } else {
      thread_.detach();
    }
  }

  // True when the getter has returned, or returns within the limit.
  template <class Duration>
  bool returnsWithin(Duration limit) {
    return result_.wait_for(limit) == std::future_status::ready;
  }
  // The copy the getter returned; call only after returnsWithin said true.
  std::deque<RangeStamped> copy() { return result_.get(); }

 private:
  std::shared_ptr<RangeBuffer> buffer_;
  History history_;
  std::shared_future<std::deque<RangeStamped>> result_;
  std::thread thread_;
};

#endif  // INTERCEPT_TESTS_BUFFER_THREADS_H_
