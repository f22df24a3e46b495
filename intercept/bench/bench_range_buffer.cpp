// Measures RangeBuffer against the floors of its technique: what an add
// costs over a bare mutex-protected deque push, how the two independently
// locked histories scale when both are fed at once, and how long a waiting
// getter takes to wake after an add, against a bare mutex and condition
// variable hand-off. A summary of these ratios follows the table.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "rangebuffer.h"
#include "simulator.h"

namespace {

constexpr std::size_t window = 5;
constexpr int wake_samples = 2000;  // of each of the three hand-offs
// How long the producer lets the consumer settle into its wait before each
// wake-up, and how long it waits for the wake-up before giving up.
constexpr std::chrono::microseconds settle_time{200};
constexpr std::chrono::seconds wake_limit{1};

// A thread that only waits until the program ends, so that every figure is
// taken with a second thread alive, as in any program that uses the buffer:
// a process with a single thread may take cheaper paths through the C
// library, which would flatter the floors.
class ParkedThread {
 public:
  ParkedThread() : thread_([this] { park(); }) {}
  ParkedThread(const ParkedThread&) = delete;
  ParkedThread& operator=(const ParkedThread&) = delete;
  ~ParkedThread() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

 private:
  void park() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return done_; });
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

// One scene and one buffer for all benchmarks, shared by their threads.
std::shared_ptr<Simulator> sharedSimulator() {
  static const auto sim = std::make_shared<Simulator>();
  return sim;
}

RangeBuffer& sharedBuffer() {
  static RangeBuffer buffer(sharedSimulator());
  return buffer;
}

// The floor of an add: the buffer's steps on a bare history, without the
// simulator call: lock, drop the oldest of a full window, push, set the flag,
// notify all under the lock. Each on cache lines of its own, so that two
// bare histories show what independent locks can scale to.
struct alignas(64) BareHistory {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<RangeStamped> data;
  bool added = false;

  void push(RangeStamped reading) {
    std::unique_lock<std::mutex> lock(mutex);
    if (data.size() == window) {
      data.pop_front();
    }
    data.push_back(reading);
    added = true;
    cv.notify_all();
  }
};

// The floor of a wake-up: a flag handed over under a mutex, the waiter woken
// by a condition variable notified under the lock or after unlocking.
template <bool notify_under_lock>
struct BareHandOff {
  std::mutex mutex;
  std::condition_variable cv;
  bool ready = false;

  void send() {
    std::unique_lock<std::mutex> lock(mutex);
    ready = true;
    if (notify_under_lock) {
      cv.notify_all();
    }
    lock.unlock();
    if (!notify_under_lock) {
      cv.notify_all();
    }
  }
  void receive() {
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait(lock, [this] { return ready; });
    ready = false;
  }
};

// The buffer's base history seen as a hand-off, for the same measurement.
struct BufferHandOff {
  RangeBuffer buffer{sharedSimulator()};
  void send() { buffer.addBaseData(); }
  void receive() { benchmark::DoNotOptimize(buffer.getBaseData()); }
};

// Adds per second on the base history alone, then on both histories at once,
// one producer each (independent locks should scale): thread 0 feeds the base
// history, thread 1 the friendly one. The single-thread run is also the cost
// of an add.
void BM_BufferAdd(benchmark::State& state) {
  RangeBuffer& buffer = sharedBuffer();
  const bool base = state.thread_index() == 0;
  for (auto _ : state) {
    base ? buffer.addBaseData() : buffer.addFriendlyData();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BufferAdd)->Threads(1)->Threads(2)->UseRealTime();

// The floor of both: one bare history, then two fed at once, one each.
BareHistory bare_histories[2];

void BM_BarePush(benchmark::State& state) {
  BareHistory& history = bare_histories[state.thread_index()];
  const RangeStamped reading{1000.0, 0};
  for (auto _ : state) {
    history.push(reading);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BarePush)->Threads(1)->Threads(2)->UseRealTime();

std::int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A consumer thread blocked on a hand-off, and the time it takes to wake:
// from just before a send to the consumer's return from its wait.
template <class HandOff>
class WakeProbe {
 public:
  WakeProbe() : consumer_([this] { consume(); }) {}
  WakeProbe(const WakeProbe&) = delete;
  WakeProbe& operator=(const WakeProbe&) = delete;
  ~WakeProbe() {
    stop_ = true;
    hand_off_.send();
    consumer_.join();
  }

  // Lets the consumer settle into its wait, sends, and spins until it has
  // posted the time it woke: the latency in microseconds, or a negative
  // value when it did not wake in time.
  double sample() {
    std::this_thread::sleep_for(settle_time);
    const int expected = received_.load(std::memory_order_acquire) + 1;
    const std::int64_t sent_at = nowNs();
    hand_off_.send();
    const auto deadline = std::chrono::steady_clock::now() + wake_limit;
    while (received_.load(std::memory_order_acquire) < expected) {
      if (std::chrono::steady_clock::now() > deadline) {
        return -1.0;
      }
      std::this_thread::yield();
    }
    return static_cast<double>(woke_at_.load(std::memory_order_relaxed) -
                               sent_at) /
           1e3;
  }

 private:
  void consume() {
    for (;;) {
      hand_off_.receive();
      const std::int64_t now = nowNs();
      if (stop_) {
        return;
      }
      woke_at_.store(now, std::memory_order_relaxed);
      received_.fetch_add(1, std::memory_order_release);
    }
  }

  HandOff hand_off_;
  std::atomic<bool> stop_{false};
  std::atomic<int> received_{0};
  std::atomic<std::int64_t> woke_at_{0};
  std::thread consumer_;  // last: starts once everything above exists
};

// The wake-up latency of the buffer and of the two bare hand-offs, sampled
// in turns (each iteration in another order), so that whatever else the
// machine does at the time falls on all three alike: the median and the 99th
// percentile of each, in microseconds, are the counters. The time column
// counts the pauses between samples too and says nothing.
void BM_WakeUp(benchmark::State& state) {
  WakeProbe<BufferHandOff> buffer;
  WakeProbe<BareHandOff<true>> under_lock;
  WakeProbe<BareHandOff<false>> after_unlock;
  std::vector<double> samples[3];
  int turn = 0;
  for (auto _ : state) {
    for (int k = 0; k < 3; ++k) {
      const int which = (turn + k) % 3;
      const double latency = which == 0   ? buffer.sample()
                             : which == 1 ? under_lock.sample()
                                          : after_unlock.sample();
      if (latency < 0.0) {
        state.SkipWithError("a consumer did not wake");
        return;
      }
      samples[which].push_back(latency);
    }
    turn = (turn + 1) % 3;
  }
  const char* names[3] = {"buffer", "bare_under", "bare_after"};
  for (int which = 0; which < 3; ++which) {
    std::vector<double>& sorted = samples[which];
    if (sorted.empty()) {
      continue;
    }
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&sorted](double fraction) {
      return sorted[static_cast<std::size_t>(
          fraction * static_cast<double>(sorted.size() - 1))];
    };
    state.counters[std::string(names[which]) + "_med_us"] = at(0.5);
    state.counters[std::string(names[which]) + "_p99_us"] = at(0.99);
  }
}
BENCHMARK(BM_WakeUp)->Iterations(wake_samples)->Unit(benchmark::kMicrosecond);

// An aim of a ratio, and why it may be missed on an idle machine.
struct Aim {
  const char* text;  // empty: a ratio for reference, with no aim
  double limit;
  bool at_most;  // the ratio must stay at or below the limit, else above it
  const char* why_missed;
};

// The usual table, then the ratios that say how close the buffer comes to
// its floors. With repetitions, the median of each benchmark counts.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  SummaryReporter()
      : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular
                                                   : OO_Tabular) {}

  // The library's account of the machine, less one line: Debian builds the
  // library without NDEBUG, so it warns "Library was built as DEBUG", but
  // what is timed (the loops of this file and the buffer) is compiled here.
  // Whether this program is optimised is what matters, and it says so. The
  // load average at the start tells the summary whether the machine was busy.
  bool ReportContext(const Context& context) override {
    std::ostream& err = GetErrorStream();
    std::ostringstream text;
    SetErrorStream(&text);
    const bool ok = ConsoleReporter::ReportContext(context);
    SetErrorStream(&err);
    std::istringstream lines(text.str());
    for (std::string line; std::getline(lines, line);) {
      if (line.find("Library was built as DEBUG") == std::string::npos) {
        err << line << '\n';
      }
    }
#ifndef NDEBUG
    err << "***WARNING*** This program was built without optimisation: "
           "build/default/intercept/bench/bench_range_buffer is.\n";
#endif
    cpus_ = context.cpu_info.num_cpus;
    load_ =
        context.cpu_info.load_avg.empty() ? 0.0 : context.cpu_info.load_avg[0];
    return ok;
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) {
        continue;
      }
      std::string name = run.run_name.function_name;
      if (!run.run_name.threads.empty()) {
        name += "/" + run.run_name.threads;
      }
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") {
          medians_[name] = true;
          runs_.insert_or_assign(name, run);
        }
      } else if (!medians_[name]) {
        runs_.insert_or_assign(name, run);
      }
    }
  }

  void printSummary() const {
    std::printf("\nSummary\n");
    // The two producers need two cores: with less than one and a half left
    // idle by other programs, the threads took turns with them.
    if (cpus_ - load_ < 1.5) {
      std::printf(
          "The machine was busy: load average %.2f on %d CPUs as the run "
          "began. The ratios below mean little; run it again when the "
          "machine is idle.\n",
          load_, cpus_);
    }
    const double add = time("BM_BufferAdd/threads:1");
    const double push = time("BM_BarePush/threads:1");
    ratio("add: buffer over bare push (notify under the lock)", add, push,
          {"within 2x", 2.0, true,
           "an add does what the floor does and takes the simulator's "
           "reading; more points at work added under the lock"});
    ratio("adds per second: both histories over one history",
          counter("BM_BufferAdd/threads:2", "items_per_second"),
          counter("BM_BufferAdd/threads:1", "items_per_second"),
          {"1.6x or more on 2 cores", 1.6, false,
           "the two producers take turns: on one core, or where the two "
           "histories share a cache line (false sharing)"});
    ratio("  the same for two bare histories (the floor)",
          counter("BM_BarePush/threads:2", "items_per_second"),
          counter("BM_BarePush/threads:1", "items_per_second"));
    for (const char* statistic : {"med", "p99"}) {
      const std::string suffix = std::string("_") + statistic + "_us";
      const double buffer = counter("BM_WakeUp", "buffer" + suffix);
      const double under = counter("BM_WakeUp", "bare_under" + suffix);
      const double after = counter("BM_WakeUp", "bare_after" + suffix);
      if (buffer == 0.0 && under == 0.0 && after == 0.0) {
        continue;
      }
      const bool median = statistic[0] == 'm';
      std::printf(
          "wake-up %s: buffer %.2f us, bare with notify under the "
          "lock %.2f us, bare with notify after unlock %.2f us\n",
          median ? "median" : "99th percentile", buffer, under, after);
      if (median) {
        ratio("  buffer over bare, notify under the lock", buffer, under,
              {"within 1.2x", 1.2, true,
               "a woken getter also copies its history; beyond that, "
               "wake-ups are the scheduler's, and a short run (the "
               "tour's) has few of them"});
      } else {
        ratio("  buffer over bare, notify under the lock", buffer, under);
      }
      ratio("  buffer over bare, notify after unlock", buffer, after);
    }
  }

 private:
  double time(const std::string& name) const {
    const auto found = runs_.find(name);
    return found == runs_.end() ? 0.0 : found->second.GetAdjustedRealTime();
  }
  double counter(const std::string& name, const std::string& counter) const {
    const auto found = runs_.find(name);
    if (found == runs_.end()) {
      return 0.0;
    }
    const auto value = found->second.counters.find(counter);
    return value == found->second.counters.end() ? 0.0 : value->second.value;
  }
  // Prints value / floor with its aim, and whether and why the aim was missed.
  void ratio(const char* what, double value, double floor,
             const Aim& aim = {"", 0.0, true, ""}) const {
    if (value <= 0.0 || floor <= 0.0) {
      std::printf("%s: not measured in this run\n", what);
      return;
    }
    const double x = value / floor;
    if (*aim.text == '\0') {
      std::printf("%s: %.2fx (for reference)\n", what, x);
      return;
    }
    std::printf("%s: %.2fx (aim: %s)\n", what, x, aim.text);
    if (aim.at_most ? x > aim.limit : x < aim.limit) {
      std::printf("    missed: %s\n", cpus_ - load_ < 1.5
                                          ? "the machine was busy (above)"
                                          : aim.why_missed);
    }
  }

  int cpus_ = 0;
  double load_ = 0.0;
  std::map<std::string, Run> runs_;
  std::map<std::string, bool> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  const ParkedThread second_thread;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  return 0;
}
