// A constant-time simulator for the benchmark, with the one part of the
// simulation library's interface the range buffer calls: every range is the
// same fixed reading, computed from nothing and sharing no memory, so that
// the benchmark's figures are about the buffer alone.
#ifndef INTERCEPT_BENCH_SIMULATOR_H_
#define INTERCEPT_BENCH_SIMULATOR_H_

#include <cstdint>

struct RangeStamped {
  double range;
  std::int64_t timestamp;
};

class Simulator {
 public:
  RangeStamped rangeToBogieFromBase() { return RangeStamped{1000.0, 0}; }
  RangeStamped rangeToBogieFromFriendly() { return RangeStamped{2000.0, 0}; }
};

#endif  // INTERCEPT_BENCH_SIMULATOR_H_
