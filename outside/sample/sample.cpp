// The sample stand-in: a signal held as a function, so a test or a demo can
// feed the consumer exactly the values it wants.
#include "sample.h"

#include <utility>

namespace {

constexpr int steps_per_quarter = 4;
constexpr double step_size = 0.25;

// The triangle wave at step k: up from 0 to 1, down to -1, back up to 0.
double triangle(int k) {
  const int phase = k % (4 * steps_per_quarter);
  if (phase <= steps_per_quarter) {
    return phase * step_size;
  }
  if (phase <= 3 * steps_per_quarter) {
    return (2 * steps_per_quarter - phase) * step_size;
  }
  return (phase - 4 * steps_per_quarter) * step_size;
}

}  // namespace

Sample::Sample()
    : signal_([step = 0]() mutable {
        const double value = triangle(step);
        step = (step + 1) % (4 * steps_per_quarter);
        return value;
      }) {}

Sample::Sample(std::function<double()> signal) : signal_(std::move(signal)) {}

double Sample::getSample() { return signal_(); }
