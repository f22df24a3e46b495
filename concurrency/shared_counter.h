// The counter two threads race on, the loop each thread runs (every increment
// is a load and a separate store, so updates can be lost), and the gate that
// starts both loops together.
#ifndef CONCURRENCY_SHARED_COUNTER_H_
#define CONCURRENCY_SHARED_COUNTER_H_

#include <atomic>

// Passes of increment()'s loop: each thread adds 1 this many times.
constexpr int increments_per_thread = 10000000;

// The counter both threads update, 0 when the program starts.
extern std::atomic<int> shared_int;

// Adds 1 to shared_int increments_per_thread times, each time reading the
// value and then storing it plus 1. Run by one thread alone it adds exactly
// increments_per_thread; run by two at once, some of their updates are lost.
void increment();

// The start gate of the two workers. Their loops take a few milliseconds
// each, so without it the first could be done before the second is even
// running, and nothing would be lost. Each worker calls arriveAndWait() once,
// just before it counts; it blocks until both have arrived.
class StartGate {
 public:
  StartGate() = default;
  StartGate(const StartGate&) = delete;
  StartGate& operator=(const StartGate&) = delete;

  // Counts the calling worker in, then waits until the other is in too,
  // yielding its core meanwhile so that the other can get there even when
  // both share one core.
  void arriveAndWait();

 private:
  std::atomic<int> not_arrived_{2};  // workers that have yet to arrive
};

#endif  // CONCURRENCY_SHARED_COUNTER_H_
