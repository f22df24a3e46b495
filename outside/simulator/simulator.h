// A small simulation of an intercept scene: a base station on the ground, a
// friendly aircraft that flies by the speed and turn rate its owner commands,
// and a target aircraft (the bogie) that flies a path of its own. Sensors
// report the ranges from the base station and from the friendly to the bogie.
//
// Time is simulated and advances only through step(), so every run with the
// same commands is the same. All members may be called from several threads
// at once: one mutex guards the whole scene, and the ranges read a copy of the
// positions through a sequence lock, so that threads asking for ranges at the
// same time never write to memory they share and do not slow each other down.
#ifndef OUTSIDE_SIMULATOR_SIMULATOR_H_
#define OUTSIDE_SIMULATOR_SIMULATOR_H_

#include <atomic>
#include <cstdint>
#include <mutex>
#include <random>

// A point of the global plane, in metres.
struct GlobalOrd {
  double x;
  double y;
};

// A position with a heading in radians, anticlockwise from the positive x
// axis, kept in [0, 2 pi).
struct Pose {
  GlobalOrd position;
  double orientation;
};

// One range reading with the simulated time it was taken, in milliseconds.
struct RangeStamped {
  double range;
  std::int64_t timestamp;
};

// How the bogie flies: from its start pose at a constant speed (m/s) and turn
// rate (rad/s, anticlockwise positive): a straight line when the rate is 0,
// a circle otherwise.
struct BogiePath {
  Pose start;
  double speed;
  double turnRate;
};

class Simulator {
 public:
  // The fixed position of the base station.
  static constexpr GlobalOrd BSTATION_LOC{0.0, 0.0};

  // A default scene: the friendly 2 km east of the base heading north, the
  // bogie about 10 km from it flying west on a wide curve.
  Simulator();
  // A scene of the caller's: where the friendly starts and how the bogie flies.
  Simulator(Pose friendlyStart, BogiePath bogie);

  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // The range from the base station to the bogie now, stamped with the time.
  RangeStamped rangeToBogieFromBase();
  // The range from the friendly to the bogie now, stamped with the time.
  RangeStamped rangeToBogieFromFriendly();
  // The friendly's position and heading now.
  Pose getFriendlyPose();
  // The straight-line distance between two points.
  static double distance(GlobalOrd a, GlobalOrd b);

  // Commands the friendly's speed (m/s) and turn rate (rad/s, anticlockwise
  // positive); they hold until the next command.
  void controlFriendly(double linear, double angular);
  // Advances simulated time by the given milliseconds (negative counts as 0),
  // moving both aircraft along their arcs exactly.
  void step(std::int64_t milliseconds);
  // Simulated milliseconds since the start.
  std::int64_t elapsedMs();
  // The bogie's true pose now: what the sensors know only through ranges.
  Pose getBogieTruth();
  // Adds normally distributed noise of the given standard deviation (m) to
  // every range from now on, drawn from an engine with the given seed; 0
  // turns noise off. A range never goes below 0.
  void setRangeNoise(double standardDeviation, unsigned seed);
  // Puts the friendly at a pose, and the bogie at a pose (keeping its speed
  // and turn rate): for tests that need an exact geometry.
  void placeFriendly(Pose pose);
  void placeBogie(Pose pose);

 private:
  // The positions and the time the ranges are taken from.
  struct Sighting {
    GlobalOrd friendly;
    GlobalOrd bogie;
    std::int64_t time_ms;
  };
  RangeStamped measure(bool fromFriendly);
  Sighting sight();  // without the mutex, through the sequence lock
  void publish();    // needs mutex_ held; after every move of an aircraft

  // The sequence lock: odd while publish() writes the copy below, one step
  // further when it is done. A reader retries until it read the same even
  // count before and after the copy.
  std::atomic<std::uint64_t> sequence_{0};
  std::atomic<double> seen_friendly_x_{0.0};
  std::atomic<double> seen_friendly_y_{0.0};
  std::atomic<double> seen_bogie_x_{0.0};
  std::atomic<double> seen_bogie_y_{0.0};
  std::atomic<std::int64_t> seen_time_ms_{0};
  std::atomic<bool> noisy_{false};  // ranges with noise take the mutex

  // On a cache line apart from the copy above, which readers only read.
  alignas(64) std::mutex mutex_;  // guards every member below
  std::int64_t time_ms_ = 0;
  Pose friendly_;
  double linear_ = 0.0;
  double angular_ = 0.0;
  Pose bogie_;
  double bogie_speed_;
  double bogie_turn_rate_;
  double noise_sd_ = 0.0;
  std::minstd_rand0 noise_engine_;
  std::normal_distribution<double> noise_;
};

#endif  // OUTSIDE_SIMULATOR_SIMULATOR_H_
