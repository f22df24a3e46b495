// Producer threads that take one reading each per guidance cycle, on a signal
// of the loop, and a watchdog that names the reading that never came.
#include "reading_threads.h"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace {

// How long the guidance loop waits for a reading before the watchdog ends the
// program: a cycle takes microseconds.
constexpr std::chrono::seconds patience{5};

}  // namespace

// A producer thread behind a turnstile: it calls its add operation of the
// buffer once per release(), and blocks nowhere else. Its destructor closes
// the turnstile and joins the thread, so leaving the scope that owns it,
// normally or by an exception, never leaves a thread running or joinable.
// mutex_ guards released_, stored_ and closed_.
class ReadingThreads::Producer {
 public:
  Producer(RangeBuffer& buffer, void (RangeBuffer::*add)())
      : thread_([this, &buffer, add] {
          std::unique_lock<std::mutex> lock(mutex_);
          for (;;) {
            cv_.wait(lock, [this] { return closed_ || stored_ < released_; });
            if (closed_) {
              return;
            }
            lock.unlock();
            (buffer.*add)();
            lock.lock();
            ++stored_;
          }
        }) {}
  Producer(const Producer&) = delete;
  Producer& operator=(const Producer&) = delete;
  ~Producer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closed_ = true;
    }
    cv_.notify_one();
    thread_.join();
  }

  // Lets the thread take exactly one more reading; returns how many it will
  // then have stored.
  long release() {
    std::lock_guard<std::mutex> lock(mutex_);
    cv_.notify_one();
    return ++released_;
  }
  long stored() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stored_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  long released_ = 0;
  long stored_ = 0;
  bool closed_ = false;
  std::thread thread_;  // started last, once the rest is ready
};

Watchdog::Watchdog(std::chrono::milliseconds patience)
    : thread_([this, patience] {
        // It looks a few times per patience: a wait that ends in time costs
        // the waiting thread nothing but two uncontended locks.
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_) {
          if (describe_ &&
              std::chrono::steady_clock::now() - since_ >= patience) {
            std::cerr << describe_() << std::endl;
            std::_Exit(EXIT_FAILURE);
          }
          cv_.wait_for(lock, patience / 5);
        }
      }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  cv_.notify_one();
  thread_.join();
}

void Watchdog::begins(std::function<std::string()> describe) {
  std::lock_guard<std::mutex> lock(mutex_);
  describe_ = std::move(describe);
  since_ = std::chrono::steady_clock::now();
}

void Watchdog::ended() {
  std::lock_guard<std::mutex> lock(mutex_);
  describe_ = nullptr;
}

ReadingThreads::ReadingThreads(std::shared_ptr<Simulator> sim)
    : sim_(std::move(sim)),
      buffer_(sim_),
      watchdog_(patience),
      base_producer_(
          std::make_unique<Producer>(buffer_, &RangeBuffer::addBaseData)),
      friendly_producer_(
          std::make_unique<Producer>(buffer_, &RangeBuffer::addFriendlyData)) {}

ReadingThreads::~ReadingThreads() = default;

Readings ReadingThreads::take() {
  const std::int64_t now = sim_->elapsedMs();
  Readings readings{sim_->getFriendlyPose(), {}, {}};
  // One reading from each producer, one after the other: the getter returns
  // only once the reading released for this cycle is stored, so the clock
  // stands still and the noise draws come in a fixed order.
  const auto await = [&](Producer& producer, const char* history,
                         const char* getter, auto get) {
    const long wanted = producer.release();
    watchdog_.begins([&producer, history, getter, wanted, now] {
      return "intercept flight: no " + std::string(history) +
             " reading reached the guidance loop, which has waited " +
             std::to_string(patience.count()) + " s in " + getter +
             " at t = " + std::to_string(now) + " ms: the " + history +
             " producer thread " +
             (producer.stored() >= wanted
                  ? "stored it, but nothing woke the getter (a missing "
                    "notify?)"
                  : "has not stored it (stuck in its add, or not running?)");
    });
    const RangeStamped reading = get().back();
    watchdog_.ended();
    return reading;
  };
  readings.base = await(*base_producer_, "base", "getBaseData",
                        [this] { return buffer_.getBaseData(); });
  readings.from_friendly =
      await(*friendly_producer_, "friendly", "getFriendlyData",
            [this] { return buffer_.getFriendlyData(); });
  return readings;
}
