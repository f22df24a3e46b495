// Shows a data race's lost updates: two threads each add 1 to one shared
// counter ten million times, by reading it and then storing the value plus 1
// in two separate steps, and the final value falls short of twenty million.
#include <atomic>
#include <iostream>
#include <thread>

#include "shared_counter.h"

namespace {

// Workers that have not yet reached the start line.
std::atomic<int> not_started{2};

// Waits until both workers are running, then runs increment(). Without this
// start line the first thread could be done before the second is even
// scheduled, and then nothing is lost: the race would show only now and then.
void incrementTogether() {
  not_started.fetch_sub(1);
  while (not_started.load() > 0) {
    std::this_thread::yield();  // leave the core to the thread not yet running
  }
  increment();
}

}  // namespace

int main() {
  std::thread first(incrementTogether);
  std::thread second(incrementTogether);

  // join() waits for a thread to end; after both joins every store of the
  // workers is visible here, and nothing changes the counter any more.
  first.join();
  second.join();

  // 20000000 if no update was lost; less, and different on every run, when
  // the two threads' updates overwrite each other.
  std::cout << "Final value: " << shared_int.load() << std::endl;
  return 0;
}
