// The range buffer: two producer-consumer histories, each a bounded window
// guarded by its own mutex, with a condition variable and a flag that tells a
// waiting consumer that something new was stored.
#include "rangebuffer.h"

#include <cstddef>

namespace {

constexpr std::size_t base_data_size = 5;
constexpr std::size_t friendly_data_size = 10;
// Ints, not bools, on purpose: every module here keeps its defaults as integer
// constants (as the sizes above), and the constructor turns these two into
// the flags.
constexpr int default_base_values_added = 0;
constexpr int default_friendly_values_added = 0;

}  // namespace

RangeBuffer::RangeBuffer(std::shared_ptr<Simulator> const& sim)
    : simulator(sim),
      base_values_added(default_base_values_added != 0),
      friendly_values_added(default_friendly_values_added != 0) {}

void RangeBuffer::addBaseData() {
  const RangeStamped reading = simulator->rangeToBogieFromBase();
  std::unique_lock<std::mutex> lock(base_mutex);
  if (base_data.size() == base_data_size) {
    base_data.pop_front();
  }
  base_data.push_back(reading);
  base_values_added = true;
  // Notified under the lock: a woken getter cannot return, and its owner
  // destroy the buffer, while notify_all still touches the condition
  // variable. The benchmark shows that it costs no wake-up time.
  base_cv.notify_all();
}

void RangeBuffer::addFriendlyData() {
  const RangeStamped reading = simulator->rangeToBogieFromFriendly();
  std::unique_lock<std::mutex> lock(friendly_mutex);
  if (friendly_data.size() == friendly_data_size) {
    friendly_data.pop_front();
  }
  friendly_data.push_back(reading);
  friendly_values_added = true;
  friendly_cv.notify_all();
}

std::deque<RangeStamped> RangeBuffer::getBaseData() {
  std::unique_lock<std::mutex> lock(base_mutex);
  while (!base_values_added) {
    base_cv.wait(lock);
  }
  std::deque<RangeStamped> copy(base_data);
  base_values_added = false;
  return copy;
}

std::deque<RangeStamped> RangeBuffer::getFriendlyData() {
  std::unique_lock<std::mutex> lock(friendly_mutex);
  while (!friendly_values_added) {
    friendly_cv.wait(lock);
  }
  std::deque<RangeStamped> copy(friendly_data);
  friendly_values_added = false;
  return copy;
}
