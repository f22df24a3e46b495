// Helpers for tests that run a RangeBuffer's getters on threads of their own:
// a test checks with bounded waits whether a getter returned, and can never
// hang, since every helper releases or leaves behind a thread that is stuck.
#ifndef INTERCEPT_TESTS_BUFFER_THREADS_H_
#define INTERCEPT_TESTS_BUFFER_THREADS_H_

#include <chrono>
#include <cstddef>
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

// The threads of a test, each counted as finished when its work returned. On
// destruction the crew keeps adding to both histories of the buffer until
// every thread has finished (a consumer blocked in a getter needs that to see
// a stop flag) and joins them; a thread that never finishes is detached, so
// that the test fails instead of hanging. Work that may be left behind so
// must share ownership of whatever it uses.
class Crew {
 public:
  explicit Crew(std::shared_ptr<RangeBuffer> buffer)
      : buffer_(std::move(buffer)) {}
  Crew(const Crew&) = delete;
  Crew& operator=(const Crew&) = delete;
  ~Crew() {
    for (int i = 0; i < 100 && !finishWithin(stays_blocked_for); ++i) {
      buffer_->addBaseData();
      buffer_->addFriendlyData();
    }
    for (std::size_t i = 0; i < threads_.size(); ++i) {
      if (done_[i].wait_for(std::chrono::seconds{0}) ==
          std::future_status::ready) {
        threads_[i].join();
      } else {
        threads_[i].detach();
      }
    }
  }

  // Runs the work on a thread of its own.
  template <class Work>
  void start(Work work) {
    std::packaged_task<void()> task(std::move(work));
    done_.push_back(task.get_future());
    threads_.emplace_back(std::move(task));
  }
  // True when every thread has finished, or finishes within the limit.
  template <class Duration>
  bool finishWithin(Duration limit) {
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
  std::vector<std::future<void>> done_;
  std::vector<std::thread> threads_;
};

#endif  // INTERCEPT_TESTS_BUFFER_THREADS_H_
