// The read-add-store made indivisible, so that two threads running it lose
// no update, and the start gate that makes the two threads run it at the
// same time.
#include <thread>

#include "shared_counter.h"

// Atomic, so that the whole read-add-store step can be one indivisible
// operation.
std::atomic<int> shared_int{0};

void increment() {
  for (int i = 0; i < increments_per_thread; ++i) {
    // Read, add and store in one step: no other thread's store can come
    // between the read and the store. Relaxed is enough: nothing else
    // depends on the count, and the total is read only once both threads
    // have ended, which orders every step before that read.
    shared_int.fetch_add(1, std::memory_order_relaxed);
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
