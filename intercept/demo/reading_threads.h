// The threaded half of the demonstration: one producer thread per history
// feeds a RangeBuffer, one reading per guidance cycle, and a watchdog bounds
// every wait of the guidance loop, since the buffer's getters have none.
#ifndef INTERCEPT_DEMO_READING_THREADS_H_
#define INTERCEPT_DEMO_READING_THREADS_H_

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "flight.h"
#include "rangebuffer.h"
#include "simulator.h"

// Ends the program, with a message on standard error, when a wait it was
// told of lasts longer than its patience. A thread blocked in a getter
// without a time-out cannot be called back, so ending the program is the
// only bound there is. mutex_ guards describe_, since_ and stop_.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::milliseconds patience);
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  ~Watchdog();

  // A wait begins: if it has not ended (ended()) within the patience, the
  // program ends with status 1 after printing what describe returns then.
  void begins(std::function<std::string()> describe);
  void ended();

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::function<std::string()> describe_;
  std::chrono::steady_clock::time_point since_;
  bool stop_ = false;
  std::thread thread_;  // started last, stopped first
};

// The readings of each guidance cycle, taken by two producer threads: take()
// lets the base producer add exactly one reading and waits for it in
// getBaseData, then the same with the friendly producer. So every range is
// taken at the simulated time the loop stands at, and the noise draws come
// in one fixed order, whatever the scheduler does. Only the loop calls a
// getter, and only for a reading a producer is bound to deliver; if it does
// not come all the same (a missing notify), the watchdog names it. The
// destructor stops and joins both producers, before the buffer they feed
// goes; an exception in a producer (memory exhausted) ends the program
// instead of leaving the loop waiting.
class ReadingThreads {
 public:
  explicit ReadingThreads(std::shared_ptr<Simulator> sim);
  ReadingThreads(const ReadingThreads&) = delete;
  ReadingThreads& operator=(const ReadingThreads&) = delete;
  ~ReadingThreads();

  Readings take();

 private:
  enum History { base, friendly };
  // The producer thread of a history: one add per reading released to it.
  void produce(History history, void (RangeBuffer::*add)());

  std::shared_ptr<Simulator> sim_;
  RangeBuffer buffer_;
  Watchdog watchdog_;
  std::mutex mutex_;  // guards released_, stored_ and closed_
  std::condition_variable cv_;
  long released_[2] = {0, 0};  // readings each producer may take
  long stored_[2] = {0, 0};    // and has stored
  bool closed_ = false;        // the producers stop
  // Declared last: they start once the rest is ready, and the destructor
  // joins them before the buffer they feed goes.
  std::thread producers_[2];
};

#endif  // INTERCEPT_DEMO_READING_THREADS_H_
