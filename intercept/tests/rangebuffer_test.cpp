// Tests of RangeBuffer: the bounded windows, the copies, and every way a
// getter blocks and is released; a copy made under the history's lock, and
// one that fails for lack of memory. Each getter runs on a thread of its
// own, watched with bounded waits, so that a fault fails a test instead of
// hanging.
#include "rangebuffer.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "bounded_wait.h"
#include "buffer_threads.h"
#include "simulator.h"

namespace {

// A stop at the next allocation of a thread: it says that it got there,
// then waits while it is held. A getter's first allocation is its copy's.
struct Stop {
  std::atomic<bool> reached{false};
  std::atomic<bool> held{true};
};

// What the allocations of this thread do (the other threads allocate as
// usual): stop once at `stop`, and fail while out_of_memory is set, as they
// would once memory runs out.
thread_local Stop* stop = nullptr;
thread_local bool out_of_memory = false;

}  // namespace

// The program's own allocation and deallocation functions, so that a test can
// stop a copy or make it fail: a container allocates through the first and
// frees through the sized one (the other forms keep theirs, allocating and
// freeing in pairs).
void* operator new(std::size_t size) {
  if (Stop* here = stop) {
    stop = nullptr;
    here->reached = true;
    while (here->held) {
      std::this_thread::sleep_for(std::chrono::milliseconds{1});
    }
  }
  void* memory = out_of_memory ? nullptr : std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t /*size*/) noexcept {
  std::free(memory);
}

namespace {

constexpr History both_histories[] = {History::base, History::friendly};

// A scene in which both ranges are 1000 m plus the simulated milliseconds: the
// friendly waits at the base station, the bogie flies away east at 1 m per ms.
std::shared_ptr<Simulator> makeScene() {
  return std::make_shared<Simulator>(
      Pose{{0.0, 0.0}, 0.0}, BogiePath{Pose{{1000.0, 0.0}, 0.0}, 1000.0, 0.0});
}

// Steps the scene 1 ms before each of n adds: the k-th reading since the
// start carries the stamp k.
void feed(Simulator& sim, RangeBuffer& buffer, History history, int n) {
  for (int i = 0; i < n; ++i) {
    sim.step(1);
    add(buffer, history);
  }
}

// A scene and a buffer on it, shared with the getters' threads.
struct Fixture {
  std::shared_ptr<Simulator> sim = makeScene();
  std::shared_ptr<RangeBuffer> buffer = std::make_shared<RangeBuffer>(sim);
};

// Tests that a full window drops the oldest reading: 6 base adds keep the
// readings 2 to 6, 11 friendly adds keep 2 to 11, and so on as adds go on;
// each record is exactly what the simulator returned.
TEST(RangeBufferTest, KeepsTheLatestReadingsOldestFirst) {
  Fixture f;
  feed(*f.sim, *f.buffer, History::base, 6);
  Getter base(f.buffer, History::base);
  ASSERT_TRUE(base.returnsWithin(must_happen_within));
  ASSERT_FALSE(base.copy().empty()) << "getBaseData returned no readings";
  EXPECT_EQ((std::vector<std::int64_t>{2, 3, 4, 5, 6}), stamps(base.copy()));
  for (const RangeStamped& reading : base.copy()) {
    EXPECT_DOUBLE_EQ(1000.0 + static_cast<double>(reading.timestamp),
                     reading.range);
  }

  Fixture g;
  feed(*g.sim, *g.buffer, History::friendly, 11);
  Getter friendly(g.buffer, History::friendly);
  ASSERT_TRUE(friendly.returnsWithin(must_happen_within));
  EXPECT_EQ((std::vector<std::int64_t>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11}),
            stamps(friendly.copy()));

  feed(*g.sim, *g.buffer, History::friendly, 25);
  Getter later(g.buffer, History::friendly);
  ASSERT_TRUE(later.returnsWithin(must_happen_within));
  EXPECT_EQ((std::vector<std::int64_t>{27, 28, 29, 30, 31, 32, 33, 34, 35, 36}),
            stamps(later.copy()));
}

// Tests that a copy stays as it was returned while newer readings arrive.
TEST(RangeBufferTest, CopiesDoNotChangeLater) {
  for (History history : both_histories) {
    Fixture f;
    feed(*f.sim, *f.buffer, history, 2);
    Getter first(f.buffer, history);
    ASSERT_TRUE(first.returnsWithin(must_happen_within));
    const std::deque<RangeStamped> copy = first.copy();
    feed(*f.sim, *f.buffer, history, 12);
    ASSERT_EQ((std::vector<std::int64_t>{1, 2}), stamps(copy));
    EXPECT_DOUBLE_EQ(1001.0, copy.front().range);

    Getter second(f.buffer, history);
    ASSERT_TRUE(second.returnsWithin(must_happen_within));
    EXPECT_EQ(14, second.copy().back().timestamp);
  }
}

// Tests that a getter copies its history under the history's lock: stopped
// within its copy, it holds up an add to that history until it goes on.
TEST(RangeBufferTest, AddWaitsForTheCopyBeingMade) {
  for (History history : both_histories) {
    Fixture f;
    feed(*f.sim, *f.buffer, history, 1);
    auto copying = std::make_shared<Stop>();
    Crew getter(f.buffer);
    getter.start("in " + getterName(history) + ", stopped within its copy",
                 [buffer = f.buffer, history, copying] {
                   stop = copying.get();
                   get(*buffer, history);
                 });
    const auto deadline = std::chrono::steady_clock::now() + must_happen_within;
    while (!copying->reached && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds{1});
    }
    Crew adder(f.buffer);
    adder.start("in an add while " + getterName(history) + " copies",
                [buffer = f.buffer, history] { add(*buffer, history); });
    const bool added_meanwhile = adder.finishWithin(stays_blocked_for);
    copying->held = false;
    ASSERT_TRUE(copying->reached) << getterName(history) << " made no copy";
    EXPECT_FALSE(added_meanwhile)
        << "an add went ahead while " << getterName(history)
        << " was copying: the copy is not made under the history's lock";
  }
}

// Tests a getter whose copy fails for lack of memory: the exception leaves it
// with the lock released, and the new data stays for the next getter, which
// returns at once with all of it.
TEST(RangeBufferTest, FailedCopyLeavesTheNewData) {
  for (History history : both_histories) {
    Fixture f;
    feed(*f.sim, *f.buffer, history, 2);
    auto threw = std::make_shared<std::atomic<bool>>(false);
    {
      Crew crew(f.buffer);
      crew.start("in " + getterName(history) + ", out of memory",
                 [buffer = f.buffer, history, threw] {
                   out_of_memory = true;
                   try {
                     get(*buffer, history);
                   } catch (const std::bad_alloc&) {
                     *threw = true;
                   }
                   out_of_memory = false;
                 });
      ASSERT_TRUE(waitEnded(crew.finishWithin(must_happen_within),
                            getterName(history) + " out of memory stalled"));
    }
    ASSERT_TRUE(*threw) << getterName(history)
                        << " made its copy without memory";
    Getter next(f.buffer, history);
    ASSERT_TRUE(next.returnsWithin(must_happen_within))
        << "the new data was lost with the copy that failed";
    EXPECT_EQ((std::vector<std::int64_t>{1, 2}), stamps(next.copy()));
  }
}

// Tests that the buffer shares the simulator while it lives, and only then.
TEST(RangeBufferTest, SharesTheSimulator) {
  const std::shared_ptr<Simulator> sim = makeScene();
  {
    const RangeBuffer buffer(sim);
    EXPECT_EQ(2, sim.use_count());
  }
  EXPECT_EQ(1, sim.use_count());
}

// Tests that a getter right after construction blocks until the first add,
// then returns that one reading.
TEST(RangeBufferBlockingTest, GetterWaitsForTheFirstAdd) {
  for (History history : both_histories) {
    Fixture f;
    Getter getter(f.buffer, history);
    EXPECT_FALSE(getter.returnsWithin(stays_blocked_for));
    feed(*f.sim, *f.buffer, history, 1);
    ASSERT_TRUE(getter.returnsWithin(must_happen_within));
    EXPECT_EQ(std::vector<std::int64_t>{1}, stamps(getter.copy()));
  }
}

// Tests two getters in a row with three adds before the first: the first
// returns at once with all three (several adds release one getter only), the
// second blocks until the next add and then sees all four readings.
TEST(RangeBufferBlockingTest, SecondGetterWaitsForTheNextAdd) {
  for (History history : both_histories) {
    Fixture f;
    feed(*f.sim, *f.buffer, history, 3);
    Getter first(f.buffer, history);
    ASSERT_TRUE(first.returnsWithin(must_happen_within));
    EXPECT_EQ((std::vector<std::int64_t>{1, 2, 3}), stamps(first.copy()));

    Getter second(f.buffer, history);
    EXPECT_FALSE(second.returnsWithin(stays_blocked_for));
    feed(*f.sim, *f.buffer, history, 1);
    ASSERT_TRUE(second.returnsWithin(must_happen_within));
    EXPECT_EQ((std::vector<std::int64_t>{1, 2, 3, 4}), stamps(second.copy()));
  }
}

// Tests that the histories are independent: adds to one never release a
// getter of the other, however many there are.
TEST(RangeBufferBlockingTest, HistoriesDoNotWakeEachOther) {
  for (History waiting : both_histories) {
    const History other =
        waiting == History::base ? History::friendly : History::base;
    Fixture f;
    Getter getter(f.buffer, waiting);
    ASSERT_FALSE(getter.returnsWithin(stays_blocked_for));
    feed(*f.sim, *f.buffer, other, 12);
    EXPECT_FALSE(getter.returnsWithin(stays_blocked_for));

    Getter unaffected(f.buffer, other);
    ASSERT_TRUE(unaffected.returnsWithin(must_happen_within));
    feed(*f.sim, *f.buffer, waiting, 1);
    ASSERT_TRUE(getter.returnsWithin(must_happen_within));
    EXPECT_EQ(std::vector<std::int64_t>{13}, stamps(getter.copy()));
  }
}

// Tests that one add releases exactly one of several waiting getters: all
// wake, the first takes the reading, the others wait again.
TEST(RangeBufferBlockingTest, OneAddReleasesJustOneGetter) {
  for (History history : both_histories) {
    Fixture f;
    auto returned = std::make_shared<std::atomic<int>>(0);
    Crew crew(f.buffer);
    for (int i = 0; i < 3; ++i) {
      crew.start("getter " + std::to_string(i) + " in " + getterName(history),
                 [buffer = f.buffer, history, returned] {
                   get(*buffer, history);
                   ++*returned;
                 });
    }
    for (int released = 0; released <= 3; ++released) {
      if (released > 0) {
        feed(*f.sim, *f.buffer, history, 1);
      }
      const auto deadline =
          std::chrono::steady_clock::now() + must_happen_within;
      while (*returned < released &&
             std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds{1});
      }
      std::this_thread::sleep_for(stays_blocked_for);
      ASSERT_EQ(released, returned->load())
          << "getters returned from " << getterName(history);
    }
  }
}

}  // namespace
