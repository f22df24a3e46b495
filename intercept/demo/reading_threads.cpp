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
constexpr std::chrono::seconds reading_patience{5};

}  // namespace

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
      watchdog_(reading_patience),
      producers_{std::thread(&ReadingThreads::produce, this, base,
                             &RangeBuffer::addBaseData),
                 std::thread(&ReadingThreads::produce, this, friendly,
                             &RangeBuffer::addFriendlyData)} {}

ReadingThreads::~ReadingThreads() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  cv_.notify_all();
  for (std::thread& producer : producers_) {
    producer.join();
  }
}

void ReadingThreads::produce(History history, void (RangeBuffer::*add)()) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    cv_.wait(lock,
             [&] { return closed_ || stored_[history] < released_[history]; });
    if (closed_) {
      return;
    }
    lock.unlock();  // the buffer's add blocks nothing of ours
    (buffer_.*add)();
    lock.lock();
    ++stored_[history];
  }
}

Readings ReadingThreads::take() {
  const std::int64_t now = sim_->elapsedMs();
  Readings readings{sim_->getFriendlyPose(), {}, {}};
  // One reading from each producer, one after the other: the getter returns
  // only once the reading released for this cycle is stored, so the clock
  // stands still and the noise draws come in a fixed order.
  const auto await = [&](History history, const char* name, const char* getter,
                         auto get) {
    long wanted = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      wanted = ++released_[history];
    }
    cv_.notify_all();
    watchdog_.begins([this, history, name, getter, wanted, now] {
      std::lock_guard<std::mutex> lock(mutex_);
      return "intercept flight: no " + std::string(name) +
             " reading reached the guidance loop, which has waited " +
             std::to_string(reading_patience.count()) + " s in " + getter +
             " at t = " + std::to_string(now) + " ms: the " + name +
             " producer thread " +
             (stored_[history] >= wanted
                  ? "stored it, but nothing woke the getter (a missing "
                    "notify?)"
                  : "has not stored it (stuck in its add, or not running?)");
    });
    const RangeStamped reading = get().back();
    watchdog_.ended();
    return reading;
  };
  readings.base = await(base, "base", "getBaseData",
                        [this] { return buffer_.getBaseData(); });
  readings.from_friendly = await(friendly, "friendly", "getFriendlyData",
                                 [this] { return buffer_.getFriendlyData(); });
  return readings;
}
