// Tests the simulator stand-in under calls from several threads at once: one
// thread steps the scene and commands the friendly while others read it, and
// several threads draw noisy ranges from one engine.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "simulator.h"

namespace {

// Tests concurrent readers against a stepping thread: each range with its
// stamp is read as one (the bogie flies away from both stations at 1 m per
// ms, so every range is 1000 m plus its stamp), and each reader sees its
// stamps never decrease.
TEST(SimulatorThreadsTest, ConcurrentCallsStayConsistent) {
  constexpr int steps = 20000;
  constexpr int readers = 3;
  Simulator sim(Pose{{0.0, 0.0}, 0.0},
                BogiePath{Pose{{1000.0, 0.0}, 0.0}, 1000.0, 0.0});
  std::atomic<bool> stepping{true};
  std::atomic<int> torn{0};
  std::atomic<int> backwards{0};
  std::atomic<long> reads{0};
  std::atomic<int> readers_started{0};

  std::vector<std::thread> threads;
  threads.emplace_back([&] {
    // Lets the readers start first, for a while at most.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds{5};
    while (readers_started < readers &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
    for (int i = 0; i < steps; ++i) {
      sim.controlFriendly(0.0, i % 2 == 0 ? 0.5 : -0.5);  // turns on the spot
      sim.step(1);
    }
    stepping = false;
  });
  for (int r = 0; r < readers; ++r) {
    threads.emplace_back([&] {
      std::int64_t previous = 0;
      ++readers_started;
      while (stepping) {
        for (const RangeStamped reading :
             {sim.rangeToBogieFromBase(), sim.rangeToBogieFromFriendly()}) {
          if (reading.range !=
              1000.0 + static_cast<double>(reading.timestamp)) {
            ++torn;
          }
          if (reading.timestamp < previous) {
            ++backwards;
          }
          previous = reading.timestamp;
        }
        const Pose friendly = sim.getFriendlyPose();
        if (friendly.position.x != 0.0 || friendly.position.y != 0.0 ||
            !(friendly.orientation >= 0.0)) {
          ++torn;
        }
        sim.getBogieTruth();
        sim.elapsedMs();
        ++reads;
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(steps, sim.elapsedMs());
  EXPECT_EQ(0, torn);
  EXPECT_EQ(0, backwards);
  EXPECT_GT(reads, readers);
}

// Tests noisy ranges taken from several threads at once: together they are
// exactly the draws one thread takes with the same seed, none lost or twice.
TEST(SimulatorThreadsTest, NoisyRangesShareOneEngine) {
  constexpr int threads_count = 4;
  constexpr int per_thread = 2000;
  Simulator alone;
  alone.setRangeNoise(5.0, 11);
  std::vector<double> expected;
  expected.reserve(std::size_t{threads_count} * per_thread);
  for (int i = 0; i < threads_count * per_thread; ++i) {
    expected.push_back(alone.rangeToBogieFromBase().range);
  }

  Simulator shared;
  shared.setRangeNoise(5.0, 11);
  std::vector<std::vector<double>> taken(threads_count);
  std::vector<std::thread> threads;
  threads.reserve(threads_count);
  for (std::vector<double>& mine : taken) {
    threads.emplace_back([&shared, &mine] {
      mine.reserve(per_thread);
      for (int i = 0; i < per_thread; ++i) {
        mine.push_back(shared.rangeToBogieFromBase().range);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  std::vector<double> all;
  for (const std::vector<double>& mine : taken) {
    all.insert(all.end(), mine.begin(), mine.end());
  }
  std::sort(all.begin(), all.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, all);
}

}  // namespace
