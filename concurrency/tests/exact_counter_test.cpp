// The check of the exact counter exercise (../exercises/exact_counter.cpp):
// two threads run increment() together, from the start gate, round after
// round, and not one round may lose an update. A loop with the race loses
// some in nearly every round in which the two threads overlap; on a busy
// machine they overlap in fewer rounds, so the check runs many.
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "bounded_wait.h"
#include "shared_counter.h"

namespace {

using namespace std::chrono_literals;

// The check runs rounds until it has run at least min_rounds and spent at
// least checking_time: a loop with the race, a few milliseconds a round, is
// tried in dozens of rounds even on a busy machine, while an exact loop with
// a mutex, slower by far, still ends well within the exercise's time-out.
constexpr int min_rounds = 10;
constexpr auto checking_time = 2s;

// Starts two workers that meet at a gate and then run increment(); the
// future is ready once both are done. They are detached and share what they
// use, so that a loop that never ends (a lock never unlocked) cannot hang
// the check: it fails at its bound, and the workers end with the process.
std::future<void> startTwoWorkers() {
  auto gate = std::make_shared<StartGate>();
  auto finished = std::make_shared<std::atomic<int>>(0);
  auto both_done = std::make_shared<std::promise<void>>();
  std::future<void> done = both_done->get_future();
  for (int worker = 0; worker < 2; ++worker) {
    std::thread([gate, finished, both_done] {
      gate->arriveAndWait();
      increment();
      if (finished->fetch_add(1) == 1) both_done->set_value();
    }).detach();
  }
  return done;
}

// Tests that two threads together add exactly twice increments_per_thread,
// in every round.
TEST(ExactCounterTest, TwoThreadsLoseNothing) {
  const auto end = std::chrono::steady_clock::now() + checking_time;
  for (int round = 1;
       round <= min_rounds || std::chrono::steady_clock::now() < end; ++round) {
    shared_int = 0;
    std::future<void> done = startTwoWorkers();
    ASSERT_TRUE(waitEnded(
        done.wait_for(20s) == std::future_status::ready,
        "round " + std::to_string(round) +
            ": the two threads did not finish within 20 s (a wait did not "
            "wake, or a lock was never unlocked)"));
    const int total = shared_int.load();
    ASSERT_EQ(2 * increments_per_thread, total)
        << "round " << round
        << (total < 2 * increments_per_thread
                ? " lost updates"
                : " counted more increments than the threads made");
  }
}

}  // namespace
