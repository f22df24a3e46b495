// Tests of the sample consumer and the sample stand-in. The consumer never
// returns on its own, so its tests feed it a source that throws after a few
// values, which ends the loop.
#include "consumer.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_cout.h"
#include "sample.h"

namespace {

// What the test source throws when it has no values left.
struct SourceExhausted {};

// A source that hands out the given values, then throws SourceExhausted.
Sample sampleOf(std::vector<double> values) {
  return Sample([values, next = std::size_t{0}]() mutable {
    if (next == values.size()) {
      throw SourceExhausted{};
    }
    return values[next++];
  });
}

// Tests the line format: the literal directly followed by the value in the
// stream's default format, one flushed line per sample; a zero is a sample
// like any other, not the end.
TEST(Consumer, PrintsEachSampleOnItsOwnLine) {
  Sample sample = sampleOf({1.5, 2.0, 0.1, 0.0, 1234567.0, -0.5, 1e-7});
  Consumer consumer;
  CaptureCout capture;
  EXPECT_THROW(consumer.processSamples(sample), SourceExhausted)
      << "processSamples must take samples until the source throws";
  EXPECT_EQ(
      "sample is:1.5\nsample is:2\nsample is:0.1\nsample is:0\n"
      "sample is:1.23457e+06\nsample is:-0.5\nsample is:1e-07\n",
      capture.text());
  EXPECT_EQ(7, capture.flushes()) << "one flush per line: std::endl";
}

// Tests the default signal: a triangle wave between -1 and 1, 16 samples a
// period, exact in binary, repeating.
TEST(Sample, DefaultIsTriangleWave) {
  const std::vector<double> period = {0,   0.25,  0.5,  0.75,  1,    0.75,
                                      0.5, 0.25,  0,    -0.25, -0.5, -0.75,
                                      -1,  -0.75, -0.5, -0.25};
  Sample sample;
  for (int round = 0; round < 3; round++) {
    for (double value : period) {
      EXPECT_EQ(value, sample.getSample());
    }
  }
}

// Tests a chosen signal: its values in order, one per call; an empty signal
// is a clear error, not a crash.
TEST(Sample, ChosenSignal) {
  Sample sample = sampleOf({3.0, -4.5});
  EXPECT_EQ(3.0, sample.getSample());
  EXPECT_EQ(-4.5, sample.getSample());
  EXPECT_THROW(sample.getSample(), SourceExhausted);
  Sample empty{std::function<double()>()};
  EXPECT_THROW(empty.getSample(), std::bad_function_call);
}

}  // namespace
