// Stress tests of RangeBuffer: crowds of producers and consumers on both
// histories at once, checking the invariants of every copy, and a strict
// ping-pong between two threads that stalls on any lost wake-up.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "bounded_wait.h"
#include "buffer_threads.h"
#include "rangebuffer.h"
#include "simulator.h"

namespace {

constexpr std::size_t base_capacity = 5;
constexpr std::size_t friendly_capacity = 10;
constexpr int gets_per_consumer = 1000;
constexpr std::chrono::seconds stall_limit{10};

// What the threads of a crowd counted; shared, so that a thread left behind
// by a failing test never touches a destroyed object.
struct Tally {
  std::atomic<bool> stop{false};
  std::atomic<long> gets{0};
  std::atomic<int> consumers_done[2]{{0}, {0}};  // base, friendly
  std::atomic<int> wrong_size{0};
  std::atomic<int> repeated{0};
  std::atomic<int> out_of_order{0};
};

// Checks one copy: 1 to capacity readings, none twice (the scene's noise
// makes every reading unique), and, when asked, stamps rising strictly.
void check(const std::deque<RangeStamped>& copy, std::size_t capacity,
           bool ordered, Tally& tally) {
  if (copy.empty() || copy.size() > capacity) {
    ++tally.wrong_size;
  }
  for (std::size_t i = 0; i < copy.size(); ++i) {
    for (std::size_t j = i + 1; j < copy.size(); ++j) {
      if (copy[i].range == copy[j].range &&
          copy[i].timestamp == copy[j].timestamp) {
        ++tally.repeated;
      }
    }
    if (ordered && i > 0 && copy[i - 1].timestamp >= copy[i].timestamp) {
      ++tally.out_of_order;
    }
  }
}

// Runs producers and consumers on both histories at once until every
// consumer has returned gets_per_consumer copies. Each producer steps the
// simulated clock before each add, so one producer per history stores its
// readings with rising stamps; several need not, since each calls the
// simulator outside the buffer's lock.
void runCrowd(int producers, int consumers) {
  auto sim = std::make_shared<Simulator>();
  sim->setRangeNoise(1.0, 7);
  auto buffer = std::make_shared<RangeBuffer>(sim);
  auto tally = std::make_shared<Tally>();
  const bool ordered = producers == 1;
  {
    Crew crew(buffer);
    Crew producer_crew(buffer);
    for (History history : {History::base, History::friendly}) {
      const std::size_t capacity =
          history == History::base ? base_capacity : friendly_capacity;
      const int h = history == History::base ? 0 : 1;
      for (int i = 0; i < consumers; ++i) {
        crew.start(
            "consumer " + std::to_string(i) + " in " + getterName(history),
            [buffer, tally, history, capacity, ordered, h] {
              for (int n = 0; n < gets_per_consumer && !tally->stop; ++n) {
                check(get(*buffer, history), capacity, ordered, *tally);
              }
              ++tally->consumers_done[h];
            });
      }
      for (int i = 0; i < producers; ++i) {
        producer_crew.start(std::string(h == 0 ? "base" : "friendly") +
                                " producer " + std::to_string(i),
                            [sim, buffer, tally, history] {
                              while (!tally->stop) {
                                sim->step(1);
                                add(*buffer, history);
                              }
                            });
      }
    }
    const bool finished = crew.finishWithin(stall_limit);
    tally->stop = true;
    EXPECT_TRUE(waitEnded(finished,
                          "a stall: of " + std::to_string(consumers) +
                              " consumers per history, " +
                              std::to_string(tally->consumers_done[0].load()) +
                              " of the base history and " +
                              std::to_string(tally->consumers_done[1].load()) +
                              " of the friendly history returned " +
                              std::to_string(gets_per_consumer) + " copies"));
    EXPECT_TRUE(waitEnded(producer_crew.finishWithin(must_happen_within),
                          "the producers did not finish within 5 s"));
  }
  EXPECT_EQ(0, tally->wrong_size);
  EXPECT_EQ(0, tally->repeated);
  EXPECT_EQ(0, tally->out_of_order);
}

// Tests several producers and consumers per history, both histories at once:
// every copy holds 1 to 5 (base) or 1 to 10 (friendly) readings, none twice,
// and every consumer keeps returning while adds go on.
TEST(RangeBufferStressTest, SeveralProducersAndConsumers) { runCrowd(3, 3); }

// Tests one producer per history with several consumers: every copy also
// holds its readings in arrival order.
TEST(RangeBufferStressTest, OneProducerKeepsArrivalOrder) { runCrowd(1, 3); }

// Tests strict turns between a producer and a consumer: the producer adds a
// base reading and waits for a friendly one, the consumer takes the base
// copy and answers with a friendly reading. A lost wake-up stalls both.
TEST(RangeBufferPingPongTest, StrictTurnsNeverStall) {
  constexpr int rounds = 5000;
  auto sim = std::make_shared<Simulator>();
  auto buffer = std::make_shared<RangeBuffer>(sim);
  auto tally = std::make_shared<Tally>();
  Crew crew(buffer);
  crew.start("ping, adding base readings and waiting in getFriendlyData",
             [sim, buffer, tally] {
               for (int round = 1; round <= rounds && !tally->stop; ++round) {
                 sim->step(1);
                 buffer->addBaseData();
                 buffer->getFriendlyData();
               }
             });
  crew.start("pong, waiting in getBaseData and adding friendly readings",
             [buffer, tally] {
               for (int round = 1; round <= rounds && !tally->stop; ++round) {
                 const std::deque<RangeStamped> copy = buffer->getBaseData();
                 if (copy.empty() || copy.back().timestamp != round) {
                   ++tally->out_of_order;
                 }
                 ++tally->gets;
                 buffer->addFriendlyData();
               }
             });
  const bool finished = crew.finishWithin(stall_limit);
  tally->stop = true;
  EXPECT_TRUE(waitEnded(
      finished, "stalled after " + std::to_string(tally->gets.load()) + " of " +
                    std::to_string(rounds) + " rounds: a lost wake-up"));
  EXPECT_EQ(0, tally->out_of_order);
}

}  // namespace
