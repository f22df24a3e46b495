// Producer threads that take one reading each per guidance cycle, on a signal
// of the loop, and a watchdog that names the reading that never came.
#include "reading_threads.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace {

// How long the guidance loop waits for a reading before the watchdog ends the
// program: a cycle takes microseconds.
constexpr std::chrono::seconds patience{5};

// A turnstile between the guidance loop and one producer: open() lets the
// producer through once; close() lets it out for good. mutex_ guards passes_
// and closed_; pass() is the only operation that blocks.
class TickGate {
 public:
  void open() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++passes_;
    cv_.notify_one();
  }
  void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    cv_.notify_one();
  }
  // Blocks until a pass was granted (true) or the gate closed (false).
  bool pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return closed_ || passes_ > 0; });
    if (closed_) {
      return false;
    }
    --passes_;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  int passes_ = 0;
  bool closed_ = false;
};

}  // namespace

// A producer thread that calls one add operation of the buffer once per
// release(), and counts the readings it has stored. Its destructor closes the
// gate and joins the thread, so leaving the scope that owns it, normally or
// by an exception, never leaves a thread running or joinable.
class ReadingThreads::Producer {
 public:
  Producer(RangeBuffer& buffer, void (RangeBuffer::*add)())
      : thread_([this, &buffer, add] {
          while (gate_.pass()) {
            (buffer.*add)();
            ++stored_;
          }
        }) {}
  Producer(const Producer&) = delete;
  Producer& operator=(const Producer&) = delete;
  ~Producer() {
    gate_.close();
    thread_.join();
  }

  // Lets the thread take exactly one reading; returns how many it will then
  // have stored.
  long release() {
    gate_.open();
    return ++released_;
  }
  long stored() const { return stored_; }

 private:
  TickGate gate_;  // constructed before the thread that uses it
  std::atomic<long> stored_{0};
  long released_ = 0;
  std::thread thread_;
};

Watchdog::Watchdog(std::chrono::milliseconds patience)
    : patience_(patience), thread_([this] { watch(); }) {}

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

void Watchdog::watch() {
  // It looks a few times per patience: a wait that ends in time costs the
  // waiting thread nothing but two uncontended locks.
  const auto look_every = patience_ / 5;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    if (describe_ && std::chrono::steady_clock::now() - since_ >= patience_) {
      std::cerr << describe_() << std::endl;
      std::_Exit(EXIT_FAILURE);
    }
    cv_.wait_for(lock, look_every);
  }
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
