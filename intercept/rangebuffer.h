// A buffer shared by producer and consumer threads: two bounded histories of
// range readings, each with its own mutex, condition variable and new-data
// flag, so that consumers sleep until a producer has stored something new.
#ifndef INTERCEPT_RANGEBUFFER_H_
#define INTERCEPT_RANGEBUFFER_H_

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "simulator.h"

// Keeps the latest range readings to the bogie in two independent histories,
// oldest first: the last 5 taken from the base station and the last 10 taken
// from the friendly aircraft. It shares ownership of the simulator.
//
// Requires: a simulator that allows calls from several threads at once.
// Guarantees: any number of threads may add and get at once. An add stores
// exactly one reading, dropping the oldest of a full history. A getter
// returns once a reading of its history was stored since the last getter of
// that history returned; several adds in between release one getter only,
// which sees all of them. A simulator call that throws leaves the buffer
// unchanged; a copy that fails for lack of memory leaves the new data for
// the next getter.
// Locks: base_mutex guards base_data and base_values_added, friendly_mutex
// guards friendly_data and friendly_values_added; no operation holds both.
// The adds call the simulator before they lock and never wait for a
// consumer; the getters block, without a time-out, on their history's
// condition variable.
class RangeBuffer {
 public:
  // Shares ownership of the simulator; both histories start empty, with
  // nothing new.
  explicit RangeBuffer(std::shared_ptr<Simulator> const& sim);

  RangeBuffer(const RangeBuffer&) = delete;
  RangeBuffer& operator=(const RangeBuffer&) = delete;

  // Takes one reading from the base station and stores it, dropping the
  // oldest of a full history; wakes every thread waiting for base data.
  void addBaseData();
  // Takes one reading from the friendly and stores it, dropping the oldest of
  // a full history; wakes every thread waiting for friendly data.
  void addFriendlyData();
  // Waits until a base reading was added since the last call returned, then
  // returns a copy of the base history (1 to 5 readings, oldest first).
  std::deque<RangeStamped> getBaseData();
  // Waits until a friendly reading was added since the last call returned,
  // then returns a copy of the friendly history (1 to 10 readings, oldest
  // first).
  std::deque<RangeStamped> getFriendlyData();

 private:
  // Each member on cache lines of its own (64 bytes on x86-64), so that base
  // and friendly threads never share one (false sharing: the Benchmark
  // section of the folder README says why).
  std::shared_ptr<Simulator> simulator;
  alignas(64) std::deque<RangeStamped> base_data;
  alignas(64) std::deque<RangeStamped> friendly_data;
  alignas(64) std::mutex friendly_mutex;
  alignas(64) std::mutex base_mutex;
  alignas(64) std::condition_variable friendly_cv;
  alignas(64) std::condition_variable base_cv;
  alignas(64) bool base_values_added;
  alignas(64) bool friendly_values_added;
};

#endif  // INTERCEPT_RANGEBUFFER_H_
