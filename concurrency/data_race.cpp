// Shows a data race's lost updates: two threads each add 1 to one shared
// counter ten million times, by reading it and then storing the value plus 1
// in two separate steps, and the final value falls short of twenty million.
#include <array>
#include <cstddef>
#include <iostream>
#include <thread>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include "shared_counter.h"

namespace {

// No CPU of its own: the thread runs wherever the scheduler puts it.
constexpr int any_cpu = -1;

// The CPUs for the two workers: the first two this process may run on. A
// scheduler may keep two new threads on one CPU while the other is busy; a
// loop of a few milliseconds then ends within one time slice, the threads
// take turns instead of overlapping, and nothing is lost. Only CPUs the
// process may use are taken (a user may allow only some, with taskset), and
// when it may use only one there is nothing to spread over: no worker is
// pinned then, nor where the allowed set cannot be read.
std::array<int, 2> workerCpus() {
  std::array<int, 2> cpus{any_cpu, any_cpu};
#if defined(__linux__)
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0) return cpus;
  std::size_t found = 0;
  for (int cpu = 0; cpu < CPU_SETSIZE && found < cpus.size(); ++cpu) {
    if (CPU_ISSET(cpu, &allowed)) cpus[found++] = cpu;
  }
  if (found < cpus.size()) cpus = {any_cpu, any_cpu};
#endif
  return cpus;
}

// Asks to run the calling thread on `cpu` only. Where the request cannot be
// made or is refused, the thread runs wherever the scheduler puts it.
void runOnCpu(int cpu) {
#if defined(__linux__)
  if (cpu == any_cpu) return;
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  CPU_SET(cpu, &cpus);
  pthread_setaffinity_np(pthread_self(), sizeof(cpus), &cpus);
#else
  static_cast<void>(cpu);
#endif
}

StartGate start_gate;

// Moves to its CPU, waits at the gate until the other worker is running
// too, then runs increment().
void incrementTogether(int cpu) {
  runOnCpu(cpu);
  start_gate.arriveAndWait();
  increment();
}

}  // namespace

int main() {
  const std::array<int, 2> cpus = workerCpus();
  std::thread first(incrementTogether, cpus[0]);
  std::thread second(incrementTogether, cpus[1]);

  // join() waits for a thread to end; after both joins every store of the
  // workers is visible here, and nothing changes the counter any more.
  first.join();
  second.join();

  // 20000000 if no update was lost; less, and different on every run, when
  // the two threads' updates overwrite each other.
  std::cout << "Final value: " << shared_int.load() << std::endl;
  return 0;
}
