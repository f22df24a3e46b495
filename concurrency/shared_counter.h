// The counter two threads race on, and the loop each thread runs: every
// increment is a load and a separate store, so updates can be lost.
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

#endif  // CONCURRENCY_SHARED_COUNTER_H_
