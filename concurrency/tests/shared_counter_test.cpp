// Tests the racing loop without the race (one thread alone loses nothing, so
// the count is exact) and the gate that starts the two racing threads
// together.
#include "shared_counter.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "bounded_wait.h"

namespace {

using namespace std::chrono_literals;

// Tests that increment() adds exactly increments_per_thread, starting from
// what the counter held.
TEST(IncrementTest, AloneAddsEveryPass) {
  shared_int = 7;
  increment();
  EXPECT_EQ(7 + increments_per_thread, shared_int.load());
}

// A worker at the gate, on a thread of its own: it says when it arrives and
// when it is through. The thread is detached and shares the gate, so a worker
// stuck at a faulty gate cannot hang the test: the test fails and ends, and
// the worker ends with the process.
struct Worker {
  std::atomic<bool> arrived{false};
  std::atomic<bool> passed{false};
};

std::shared_ptr<Worker> startWorker(const std::shared_ptr<StartGate>& gate) {
  auto worker = std::make_shared<Worker>();
  std::thread([gate, worker] {
    worker->arrived = true;
    gate->arriveAndWait();
    worker->passed = true;
  }).detach();
  return worker;
}

// True as soon as `flag` is set; false when it is still unset after `limit`.
bool setWithin(const std::atomic<bool>& flag, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!flag) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Tests that both workers are past the gate before either counts: the first
// waits there until the second arrives, then both go on.
TEST(StartGateTest, FirstWaitsForSecond) {
  auto gate = std::make_shared<StartGate>();
  auto first = startWorker(gate);
  ASSERT_TRUE(waitEnded(setWithin(first->arrived, 10s),
                        "the first worker did not reach the gate within 10 s"));
  EXPECT_FALSE(setWithin(first->passed, 200ms))
      << "the first worker passed the gate before the second arrived";
  auto second = startWorker(gate);
  EXPECT_TRUE(waitEnded(setWithin(second->passed, 10s),
                        "the second worker did not pass the gate within 10 s"));
  EXPECT_TRUE(waitEnded(
      setWithin(first->passed, 10s),
      "the first worker did not pass the gate within 10 s of the second"));
}

}  // namespace
