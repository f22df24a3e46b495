// The guidance loop closed in the simulator: two producer threads take one
// range reading each per cycle, on a signal of the loop, so that every run
// makes the same simulator calls in the same order at the same simulated time.
#include "flight.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "autopilot.h"
#include "rangebuffer.h"

namespace {

// A turnstile between the guidance loop and one producer: open() lets the
// producer through once; close() lets it out for good. mutex_ guards passes_
// and closed_; pass() is the only operation that blocks.
class TickGate {
 public:
  // Grants one pass.
  void open() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++passes_;
    cv_.notify_one();
  }
  // Ends the gate: the waiting producer, and every later pass(), get false.
  void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    cv_.notify_one();
  }
  // Blocks until a pass was granted (true) or the gate closed (false).
  bool pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return closed_ || passes_ > 0; });
    if (closed_) {
      return false;
    }
    --passes_;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  int passes_ = 0;
  bool closed_ = false;
};

// A producer thread that calls one add operation of the buffer once per
// release(). Its destructor closes the gate and joins the thread, so leaving
// the scope that owns it, normally or by an exception, never leaves a thread
// running or joinable.
class Producer {
 public:
  Producer(RangeBuffer& buffer, void (RangeBuffer::*add)())
      : thread_([this, &buffer, add] {
          while (gate_.pass()) {
            (buffer.*add)();
          }
        }) {}
  Producer(const Producer&) = delete;
  Producer& operator=(const Producer&) = delete;
  ~Producer() {
    gate_.close();
    thread_.join();
  }
  // Lets the thread take exactly one reading.
  void release() { gate_.open(); }

 private:
  TickGate gate_;  // constructed before the thread that uses it
  std::thread thread_;
};

// Whether p lies on the straight line through a and b (to rounding).
bool onLine(GlobalOrd a, GlobalOrd b, GlobalOrd p) {
  const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
  const double scale =
      Simulator::distance(a, b) * (Simulator::distance(a, p) + 1.0);
  return std::abs(cross) <= 1e-9 * scale;
}

// The angle wrapped into [-pi, pi): the signed error the short way round.
double wrapSigned(double angle) {
  return Simulator::wrapAngle(angle + Simulator::pi) - Simulator::pi;
}

class AutopilotGuidance : public Guidance {
 public:
  explicit AutopilotGuidance(std::shared_ptr<Simulator> sim)
      : autopilot_(std::move(sim)) {}
  void observe(const std::deque<RangeStamped>&,
               const std::deque<RangeStamped>&) override {
    autopilot_.setBogiePose();
  }
  Steering steer() override {
    const Pose estimate = autopilot_.getBogiePose();
    autopilot_.setPursue(estimate.position.x, estimate.position.y);
    return Steering{estimate.position, autopilot_.getAngControl(),
                    autopilot_.getLinControl()};
  }

 private:
  Autopilot autopilot_;
};

}  // namespace

Scenario noiseFreeScenario() {
  Scenario scenario{};
  scenario.friendly_start = Pose{{2000.0, 0.0}, 0.0};
  scenario.friendly_speed = 50.0;
  scenario.bogie =
      BogiePath{Pose{{9000.0, 7000.0}, Simulator::pi}, 250.0, 0.01};
  scenario.range_noise = 0.0;
  scenario.noise_seed = 1;
  scenario.cycle_ms = 20;
  scenario.time_limit_ms = 120000;
  scenario.intercept_range = 50.0;
  return scenario;
}

Scenario noisyScenario() {
  Scenario scenario = noiseFreeScenario();
  scenario.range_noise = 40.0;
  scenario.noise_seed = 7;
  return scenario;
}

std::unique_ptr<Guidance> autopilotGuidance(std::shared_ptr<Simulator> sim) {
  return std::make_unique<AutopilotGuidance>(std::move(sim));
}

FlightResult flyIntercept(const Scenario& scenario) {
  return flyIntercept(scenario, autopilotGuidance);
}

FlightResult flyIntercept(const Scenario& scenario, const GuidanceMaker& make) {
  auto sim =
      std::make_shared<Simulator>(scenario.friendly_start, scenario.bogie);
  sim->setRangeNoise(scenario.range_noise, scenario.noise_seed);
  sim->controlFriendly(scenario.friendly_speed, 0.0);

  // The owner hands the same simulator to the buffer and to the guidance.
  // The producers are declared last: they stop and join before the buffer
  // they feed goes away.
  RangeBuffer buffer(sim);
  const std::unique_ptr<Guidance> guidance = make(sim);
  Producer base_producer(buffer, &RangeBuffer::addBaseData);
  Producer friendly_producer(buffer, &RangeBuffer::addFriendlyData);

  FlightResult result{};
  result.closest_distance = std::numeric_limits<double>::infinity();
  for (;;) {
    // Where things stand now, for the record and the end of the flight.
    const std::int64_t now = sim->elapsedMs();
    const Pose friendly = sim->getFriendlyPose();
    const GlobalOrd truth = sim->getBogieTruth().position;
    const double distance = Simulator::distance(friendly.position, truth);
    if (distance < result.closest_distance) {
      result.closest_distance = distance;
      result.closest_ms = now;
      result.closest_friendly = friendly.position;
      result.closest_bogie = truth;
    }
    if (distance <= scenario.intercept_range || now >= scenario.time_limit_ms) {
      result.intercepted = distance <= scenario.intercept_range;
      result.end_ms = now;
      break;
    }

    // One reading from each producer, one after the other: the getter
    // returns only once the reading released for this cycle is stored, so
    // the clock stands still and the noise draws come in a fixed order.
    base_producer.release();
    const std::deque<RangeStamped> base = buffer.getBaseData();
    friendly_producer.release();
    const std::deque<RangeStamped> ranges = buffer.getFriendlyData();

    // The guidance fixes the bogie now; the clock runs one cycle; then it
    // steers (for the autopilot, the change of the friendly range in between
    // picks the crossing point).
    guidance->observe(base, ranges);
    sim->step(scenario.cycle_ms);
    const Steering steering = guidance->steer();
    sim->controlFriendly(steering.lin_control, steering.ang_control);

    FlightSample sample{};
    sample.time_ms = now;
    sample.reading_ms = ranges.back().timestamp;
    sample.friendly = friendly;
    sample.base_range = base.back().range;
    sample.friendly_range = ranges.back().range;
    sample.estimate = steering.estimate;
    sample.estimate_on_baseline =
        onLine(friendly.position, Simulator::BSTATION_LOC, steering.estimate);
    sample.truth = truth;
    sample.ang_control = steering.ang_control;
    sample.lin_control = steering.lin_control;
    result.samples.push_back(sample);
  }
  return result;
}

std::int64_t idealInterceptMs(const Scenario& scenario) {
  // The friendly's poses along a whole turn each way, 1 ms apart.
  const auto full_turn_ms = static_cast<std::int64_t>(
      std::ceil(2.0 * Simulator::pi / manoeuvres::turn_rate * 1000.0));
  std::vector<Pose> turns[2];
  for (int way = 0; way < 2; ++way) {
    Simulator sim(scenario.friendly_start, scenario.bogie);
    sim.controlFriendly(
        manoeuvres::turning_speed,
        way == 0 ? manoeuvres::turn_rate : -manoeuvres::turn_rate);
    for (std::int64_t ms = 0; ms <= full_turn_ms; ++ms) {
      turns[way].push_back(sim.getFriendlyPose());
      sim.step(1);
    }
  }

  // The least time (ms) to turn until the nose points at the target, then
  // fly straight to within the intercept range of it.
  auto reachMs = [&](GlobalOrd target) {
    double best = std::numeric_limits<double>::infinity();
    for (int way = 0; way < 2; ++way) {
      const double sense = way == 0 ? 1.0 : -1.0;
      double previous = 0.0;
      for (std::size_t ms = 0; ms < turns[way].size(); ++ms) {
        const Pose& pose = turns[way][ms];
        const double bearing =
            std::atan2(target.y - pose.position.y, target.x - pose.position.x);
        const double error = wrapSigned(bearing - pose.orientation);
        // Aligned where the error crosses zero in the sense of the turn (not
        // where it jumps by a whole turn at +-pi).
        const bool aligned =
            ms == 0 ? std::abs(error) <= manoeuvres::turn_rate / 1000.0
                    : sense * error <= 0.0 && sense * previous > 0.0 &&
                          std::abs(error) < 0.5;
        if (aligned) {
          const double dash =
              std::max(0.0, Simulator::distance(pose.position, target) -
                                scenario.intercept_range);
          best = std::min(best, static_cast<double>(ms) +
                                    dash / manoeuvres::cruising_speed * 1000.0);
          break;
        }
        previous = error;
      }
    }
    return best;
  };
  auto bogieAt = [&](std::int64_t ms) {
    Simulator sim(scenario.friendly_start, scenario.bogie);
    sim.step(ms);
    return sim.getBogieTruth().position;
  };
  auto reachable = [&](std::int64_t ms) {
    return reachMs(bogieAt(ms)) <= static_cast<double>(ms);
  };

  // A coarse search in tenths of a second, then to the millisecond.
  constexpr std::int64_t coarse_ms = 100;
  for (std::int64_t ms = 0; ms <= scenario.time_limit_ms; ms += coarse_ms) {
    if (reachable(ms)) {
      for (std::int64_t fine = std::max<std::int64_t>(0, ms - coarse_ms + 1);
           fine < ms; ++fine) {
        if (reachable(fine)) {
          return fine;
        }
      }
      return ms;
    }
  }
  return -1;
}
