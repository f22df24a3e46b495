// Tests the racing loop without the race: one thread alone loses nothing, so
// the count is exact.
#include "shared_counter.h"

#include <gtest/gtest.h>

namespace {

// Tests that increment() adds exactly increments_per_thread, starting from
// what the counter held.
TEST(IncrementTest, AloneAddsEveryPass) {
  shared_int = 7;
  increment();
  EXPECT_EQ(7 + increments_per_thread, shared_int.load());
}

}  // namespace
