// The ideal pursuer, exactly and fast. A point that stands still at P is
// reached soonest by turning until the nose points into the intercept range
// about P and then flying straight; if the friendly can reach the range about
// where the bogie will be at T by T, it intercepts at T, and since the bogie
// (at most 300 m/s) is slower than the dash (1000 m/s), it can then for any
// later T too. That makes the earliest such T the one root of a falling
// function, closed in from both sides by false position. The same flight
// steered once a cycle is a search over whole cycles of turning, from the
// ideal time on.
#include "ideal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// How many cycles past the ideal time a flight steered once a cycle is
// looked for: a few cycles of turning, and the cycles that a pass at the
// edge of the range takes to come into it.
constexpr std::int64_t search_cycles = 25;

// How long (s) a friendly at `start` turns, the way `turn` goes, until its
// nose points `offset` short of the direction to `target`; 0 if it does at
// once. Found from below: each step turns through the angle still to go,
// which converges fast, since the bearing moves far slower than the nose.
double turnTime(const Pose& start, Controls turn, GlobalOrd target,
                double offset) {
  const double sense = turn.angular > 0.0 ? 1.0 : -1.0;
  const auto ahead = [&](double tau) {
    const Pose pose = flyArc(start, turn, tau);
    const double bearing =
        std::atan2(target.y - pose.position.y, target.x - pose.position.x);
    return shortWay(sense * (bearing - pose.orientation));
  };
  double to_turn = ahead(0.0);
  if (to_turn < 0.0) {
    to_turn += 2.0 * Simulator::pi;  // on the other side: the long way round
  }
  if (to_turn <= offset) {
    return 0.0;
  }
  double tau = (to_turn - offset) / rules::turn_rate;
  for (int step = 0; step < 12; ++step) {
    tau += (ahead(tau) - offset) / rules::turn_rate;
  }
  return tau;
}

// The time (s) to turn for tau and then fly straight into the circle of
// radius range about target; infinite if that line misses it.
double turnThenDash(const Pose& start, Controls turn, double tau,
                    GlobalOrd target, double range) {
  const Pose turned = flyArc(start, turn, tau);
  const double ux = std::cos(turned.orientation);
  const double uy = std::sin(turned.orientation);
  const double dx = target.x - turned.position.x;
  const double dy = target.y - turned.position.y;
  const double along = dx * ux + dy * uy;
  const double across = dx * uy - dy * ux;
  if (std::abs(across) > range || along < 0.0) {
    return infinity;
  }
  const double dash = along - std::sqrt(range * range - across * across);
  return tau + std::max(0.0, dash) / rules::cruising_speed;
}

// The least time (s) in which a friendly at `start` can come within `range`
// of a target that stands still.
double reachTime(const Pose& start, GlobalOrd target, double range) {
  const double distance = Simulator::distance(start.position, target);
  if (distance <= range) {
    return 0.0;
  }
  // Between the turn that first grazes the circle and the one that points at
  // its centre the time is convex: a golden-section search finds the best
  // aim inside the circle.
  // Each step keeps one of its two inner points as an inner point of the
  // next; 40 steps narrow a turn of seconds to nanoseconds.
  const double graze = std::asin(std::min(1.0, range / distance));
  const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
  double best = infinity;
  for (const Controls turn : {rules::left, rules::right}) {
    const auto time = [&](double tau) {
      return turnThenDash(start, turn, tau, target, range);
    };
    double low = turnTime(start, turn, target, graze);
    double high = std::max(low, turnTime(start, turn, target, 0.0));
    double a = high - golden * (high - low);
    double b = low + golden * (high - low);
    double time_a = time(a);
    double time_b = time(b);
    for (int step = 0; step < 40; ++step) {
      if (time_a <= time_b) {
        high = b;
        b = a;
        time_b = time_a;
        a = high - golden * (high - low);
        time_a = time(a);
      } else {
        low = a;
        a = b;
        time_a = time_b;
        b = low + golden * (high - low);
        time_b = time(b);
      }
    }
    best = std::min({best, time_a, time_b});
  }
  return best;
}

}  // namespace

double idealInterceptMs(const Scenario& scenario) {
  const Controls bogie_flight{scenario.bogie.speed, scenario.bogie.turnRate};
  // How much later than T (s) the friendly can be where the bogie is at T:
  // above 0 before the intercept, at most 0 from it on, and falling all the
  // way (the bogie is the slower).
  const auto late = [&](double seconds) {
    const GlobalOrd bogie =
        flyArc(scenario.bogie.start, bogie_flight, seconds).position;
    return reachTime(scenario.friendly_start, bogie, scenario.intercept_range) -
           seconds;
  };
  double low = 0.0;
  double high = static_cast<double>(scenario.time_limit_ms) / 1000.0;
  double late_low = late(low);
  double late_high = late(high);
  if (late_low <= 0.0) {
    return 0.0;
  }
  if (late_high > 0.0) {
    return -1.0;
  }
  // The bracket narrowed where the straight line between its ends crosses
  // 0, and the end kept twice in a row weighed half (the Illinois rule, so
  // that both ends close in): a few steps, where halving takes thirty.
  int kept = 0;  // +1: low kept last, -1: high kept last
  while (high - low > 1e-7) {
    double middle =
        (low * late_high - high * late_low) / (late_high - late_low);
    if (!(middle > low && middle < high)) {
      middle = 0.5 * (low + high);
    }
    const double late_middle = late(middle);
    if (late_middle <= 0.0) {
      high = middle;
      late_high = late_middle;
      late_low *= kept == 1 ? 0.5 : 1.0;
      kept = 1;
    } else {
      low = middle;
      late_low = late_middle;
      late_high *= kept == -1 ? 0.5 : 1.0;
      kept = -1;
    }
  }
  return high * 1000.0;
}

CycleFlight bestCycleFlight(const Scenario& scenario, const Pose& friendly,
                            std::int64_t now_ms) {
  const Controls bogie_flight{scenario.bogie.speed, scenario.bogie.turnRate};
  const std::int64_t cycle_ms = std::max<std::int64_t>(scenario.cycle_ms, 1);
  const double cycle_s = static_cast<double>(cycle_ms) / 1000.0;
  // No flight steered once a cycle is sooner than the ideal pursuer from here.
  Scenario from_here = scenario;
  from_here.friendly_start = friendly;
  from_here.bogie.start = flyArc(scenario.bogie.start, bogie_flight,
                                 static_cast<double>(now_ms) / 1000.0);
  from_here.time_limit_ms = scenario.time_limit_ms - now_ms;
  const double ideal_ms = idealInterceptMs(from_here);
  if (ideal_ms < 0.0) {
    return CycleFlight{{}, -1};
  }
  // The bogie at each cycle j from now that the search looks at.
  const std::int64_t first = static_cast<std::int64_t>(ideal_ms) / cycle_ms;
  const std::int64_t last =
      std::min(first + search_cycles, from_here.time_limit_ms / cycle_ms);
  std::vector<GlobalOrd> bogie;
  for (std::int64_t j = first; j <= last; ++j) {
    bogie.push_back(flyArc(from_here.bogie.start, bogie_flight,
                           static_cast<double>(j) * cycle_s)
                        .position);
  }
  // Squared distances, compared with the squared range: the search only
  // compares them, and a square root would cost more than the rest of it.
  const auto apart2 = [&](GlobalOrd at, std::int64_t j) {
    const GlobalOrd b = bogie[static_cast<std::size_t>(j - first)];
    return (at.x - b.x) * (at.x - b.x) + (at.y - b.y) * (at.y - b.y);
  };
  // In range a hair inside it, so that the simulator's own rounding cannot
  // lose the intercept.
  const double range = scenario.intercept_range - 1e-6;
  const double range2 = range * range;
  const double dash = rules::cruising_speed * cycle_s;  // m per cycle
  const auto ahead = [dash](GlobalOrd at, GlobalOrd nose, std::int64_t cycles) {
    const double metres = dash * static_cast<double>(cycles);
    return GlobalOrd{at.x + metres * nose.x, at.y + metres * nose.y};
  };

  // The friendly after each whole cycle of either turn, up to a full turn,
  // stepped as the simulator flies it, and where its nose points then.
  struct Turned {
    GlobalOrd at;
    GlobalOrd nose;
    GlobalOrd one_more[2];   // the move of one more cycle of either turn
    GlobalOrd nose_then[2];  // and the nose after it
  };
  const auto most_cycles = static_cast<std::int64_t>(
      std::ceil(2.0 * Simulator::pi / (rules::turn_rate * cycle_s)));
  const std::array<Controls, 2> turns{rules::left, rules::right};
  std::array<std::vector<Turned>, 2> turned;
  for (std::size_t way = 0; way < turns.size(); ++way) {
    Pose pose = friendly;
    for (std::int64_t k = 0; k <= most_cycles; ++k) {
      Turned t{pose.position,
               {std::cos(pose.orientation), std::sin(pose.orientation)},
               {},
               {}};
      for (std::size_t then = 0; then < turns.size(); ++then) {
        const Pose next = flyArc(pose, turns[then], cycle_s);
        t.one_more[then] = {next.position.x - pose.position.x,
                            next.position.y - pose.position.y};
        t.nose_then[then] = {std::cos(next.orientation),
                             std::sin(next.orientation)};
      }
      turned[way].push_back(t);
      pose = flyArc(pose, turns[way], cycle_s);
    }
  }

  // A flight: `way` for k cycles, then straight on; or, with a correction,
  // straight on for i cycles after them, one cycle of `then`, straight on.
  struct Plan {
    std::int64_t j = -1;  // the first cycle in range; -1: none
    std::size_t way = 0;
    std::int64_t k = 0;
    std::int64_t i = -1;  // -1: no correction
    std::size_t then = 0;
  };
  // One turn, then the dash; and for each turn, how near each of its lengths
  // passes the bogie in the window (squared).
  Plan best;
  std::array<std::vector<double>, 2> nearest;
  for (auto& by_length : nearest) {
    by_length.assign(static_cast<std::size_t>(most_cycles) + 1, infinity);
  }
  for (std::int64_t j = first; j <= last; ++j) {
    for (std::int64_t k = 0; k <= std::min(j, most_cycles); ++k) {
      for (std::size_t way = 0; way < turns.size(); ++way) {
        const Turned& t = turned[way][static_cast<std::size_t>(k)];
        const double d2 = apart2(ahead(t.at, t.nose, j - k), j);
        double& least = nearest[way][static_cast<std::size_t>(k)];
        least = std::min(least, d2);
        if (d2 <= range2 && best.j < 0) {
          best = Plan{j, way, k, -1, 0};
        }
      }
    }
  }
  // Heading is a whole number of turn cycles, 0.022 rad at 20 ms: 220 m
  // sideways at 10 km, so that the dash may pass outside the range either
  // side. One cycle of turning later, when the bogie is nearer, moves the
  // pass less: tried for the nearest lengths of each turn.
  //
  // With k cycles of turning, i straight, one of `then` and the rest straight,
  // the friendly at cycle j lies off the bogie by c + i b: c where it turns
  // at once, and b = dash (nose - nose_then), the difference that each cycle
  // of waiting makes. The squared distance is a quadratic in i, within the
  // range between its two roots; the first whole i there is the one, checked
  // by the flight's own sum (the roots may round either way).
  const auto corrected2 = [&](const Turned& t, std::size_t then, std::int64_t k,
                              std::int64_t i, std::int64_t j) {
    const GlobalOrd at = ahead(t.at, t.nose, i);
    const GlobalOrd turned_at{at.x + t.one_more[then].x,
                              at.y + t.one_more[then].y};
    return apart2(ahead(turned_at, t.nose_then[then], j - k - i - 1), j);
  };
  const auto firstCorrection = [&](const Turned& t, std::size_t then,
                                   std::int64_t k, std::int64_t j) {
    const std::int64_t most = j - k - 1;  // the straight cycles there are
    const GlobalOrd b_j = bogie[static_cast<std::size_t>(j - first)];
    const GlobalOrd start = ahead(
        GlobalOrd{t.at.x + t.one_more[then].x, t.at.y + t.one_more[then].y},
        t.nose_then[then], most);
    const double cx = start.x - b_j.x;
    const double cy = start.y - b_j.y;
    const double bx = dash * (t.nose.x - t.nose_then[then].x);
    const double by = dash * (t.nose.y - t.nose_then[then].y);
    const double bb = bx * bx + by * by;
    const double cb = cx * bx + cy * by;
    const double discriminant = cb * cb - bb * (cx * cx + cy * cy - range2);
    if (most < 0 || bb == 0.0 || discriminant < 0.0) {
      return std::int64_t{-1};
    }
    const double root = std::sqrt(discriminant);
    const double lowest = std::ceil((-cb - root) / bb);
    const double highest = std::floor((-cb + root) / bb);
    if (highest < 0.0 || lowest > static_cast<double>(most)) {
      return std::int64_t{-1};
    }
    const auto from = static_cast<std::int64_t>(std::max(0.0, lowest - 1.0));
    const auto to = static_cast<std::int64_t>(
        std::min(static_cast<double>(most), highest + 1.0));
    for (std::int64_t i = from; i <= to; ++i) {
      if (corrected2(t, then, k, i, j) <= range2) {
        return i;
      }
    }
    return std::int64_t{-1};
  };
  for (std::size_t way = 0; way < turns.size(); ++way) {
    const auto& by_length = nearest[way];
    const auto nearest_k = static_cast<std::int64_t>(
        std::min_element(by_length.begin(), by_length.end()) -
        by_length.begin());
    for (std::int64_t k = std::max<std::int64_t>(0, nearest_k - 1);
         k <= std::min(most_cycles, nearest_k + 1); ++k) {
      const Turned& t = turned[way][static_cast<std::size_t>(k)];
      for (std::size_t then = 0; then < turns.size(); ++then) {
        const std::int64_t until = best.j < 0 ? last : best.j - 1;
        for (std::int64_t j = first; j <= until; ++j) {
          const std::int64_t i = firstCorrection(t, then, k, j);
          if (i >= 0) {
            best = Plan{j, way, k, i, then};
            break;
          }
        }
      }
    }
  }
  if (best.j < 0) {  // none in the window: the one turn that passes nearest
    double least = infinity;
    for (std::size_t way = 0; way < turns.size(); ++way) {
      for (std::size_t k = 0; k < nearest[way].size(); ++k) {
        if (nearest[way][k] < least) {
          least = nearest[way][k];
          best.way = way;
          best.k = static_cast<std::int64_t>(k);
        }
      }
    }
  }
  CycleFlight flight{
      std::vector<Controls>(static_cast<std::size_t>(best.k), turns[best.way]),
      best.j < 0 ? -1 : now_ms + best.j * cycle_ms};
  if (best.i >= 0) {
    flight.commands.resize(
        flight.commands.size() + static_cast<std::size_t>(best.i),
        rules::straight);
    flight.commands.push_back(turns[best.then]);
  }
  return flight;
}
