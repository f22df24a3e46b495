// Shows a data race's lost updates: two threads each add 1 to one shared
// counter ten million times, by reading it and then storing the value plus 1
// in two separate steps, and the final value falls short of twenty million.
#include <atomic>
#include <iostream>
#include <thread>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include "shared_counter.h"

namespace {

// Asks to run the calling thread on the given core only. A scheduler may keep
// two new threads on one core while the other is busy; a loop of a few
// milliseconds then ends within one time slice, the threads take turns
// instead of overlapping, and nothing is lost. Where the request cannot be
// made or is refused, the thread runs wherever the scheduler puts it.
void runOnCore(int core) {
#if defined(__linux__)
  cpu_set_t cores;
  CPU_ZERO(&cores);
  CPU_SET(core, &cores);
  pthread_setaffinity_np(pthread_self(), sizeof(cores), &cores);
#else
  static_cast<void>(core);
#endif
}

// Workers that have not yet reached the start line.
std::atomic<int> not_started{2};

// Moves to its own core and waits until the other worker is running too,
// then runs increment(). Without this start line the first thread could be
// done before the second is even scheduled, and the race would show only now
// and then.
void incrementTogether(int core) {
  runOnCore(core);
  not_started.fetch_sub(1);
  while (not_started.load() > 0) {
    std::this_thread::yield();  // let others use the core meanwhile
  }
  increment();
}

}  // namespace

int main() {
  std::thread first(incrementTogether, 0);
  std::thread second(incrementTogether, 1);

  // join() waits for a thread to end; after both joins every store of the
  // workers is visible here, and nothing changes the counter any more.
  first.join();
  second.join();

  // 20000000 if no update was lost; less, and different on every run, when
  // the two threads' updates overwrite each other.
  std::cout << "Final value: " << shared_int.load() << std::endl;
  return 0;
}
