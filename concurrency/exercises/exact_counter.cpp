// The unguarded read-add-store that loses updates when two threads run it,
// and the start gate that makes the two threads run it at the same time.
#include <thread>

#include "shared_counter.h"

// Atomic only so that each single load and store is well defined: a plain
// int here would be undefined behaviour, and the optimiser would be free to
// fold the loop into one addition that hides the race. The read-add-store
// step as a whole is still unguarded.
std::atomic<int> shared_int{0};

void increment() {
  for (int i = 0; i < increments_per_thread; ++i) {
    // Read, then store the value plus 1: between the two steps the other
    // thread may store its own value, which this store then overwrites, and
    // that thread's increments are lost. Make the whole step indivisible,
    // so that two threads running this loop lose no increment.
    const int value = shared_int.load(std::memory_order_relaxed);
    shared_int.store(value + 1, std::memory_order_relaxed);
  }
}

// A busy wait rather than a condition variable: a worker woken from sleep
// may get its core back only after the other has run much of its loop, while
// one that spins is already running when the count reaches zero.
void StartGate::arriveAndWait() {
  not_arrived_.fetch_sub(1);
  while (not_arrived_.load() > 0) {
    std::this_thread::yield();
  }
}
