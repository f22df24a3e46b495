// Shows a data race's lost updates: two threads each add 1 to one shared
// counter ten million times, by reading it and then storing the value plus 1
// in two separate steps, and the final value falls short of twenty million.
#include <atomic>
#include <iostream>
#include <thread>

// The counter both threads update. It is atomic only so that each single load
// and store is well defined (a plain int here would be undefined behaviour,
// and the optimiser would be free to fold each loop into one addition that
// hides the race); the read-add-store step as a whole is still unguarded.
std::atomic<int> shared_int{0};

void increment() {
  for (int i = 0; i <= 9999999; ++i) {
    // Read, then store the value plus 1: between the two steps the other
    // thread may store its own value, which this store then overwrites, and
    // that thread's increments are lost.
    //
    // To make it correct, make the whole step indivisible:
    //   shared_int.fetch_add(1, std::memory_order_relaxed);
    // or hold a std::mutex locked around the read and the store.
    const int value = shared_int.load(std::memory_order_relaxed);
    shared_int.store(value + 1, std::memory_order_relaxed);
  }
}

int main() {
  // Both threads run increment() at the same time.
  std::thread first(increment);
  std::thread second(increment);

  // join() waits for a thread to end; after both joins every store of the
  // workers is visible here, and nothing changes the counter any more.
  first.join();
  second.join();

  // 20000000 if no update was lost; usually less, and different every run.
  std::cout << "Final value: " << shared_int.load() << std::endl;
  return 0;
}
