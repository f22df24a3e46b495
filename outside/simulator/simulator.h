// A small simulation of an intercept scene: a base station on the ground, a
// friendly aircraft that flies by the speed and turn rate its owner commands,
// and a target aircraft (the bogie) that flies a path of its own. Sensors
// report the ranges from the base station and from the friendly to the bogie.
//
// Time is simulated and advances only through step(), so every run with the
// same commands is the same. All members may be called from several threads
// at once: one mutex guards the whole scene.
#ifndef OUTSIDE_SIMULATOR_SIMULATOR_H_
#define OUTSIDE_SIMULATOR_SIMULATOR_H_

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
  // Half a turn, in radians.
  static constexpr double pi = 3.14159265358979323846;

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
  // The angle wrapped into [0, 2 pi), the range of every heading here.
  static double wrapAngle(double angle);

  // Commands the friendly's speed (m/s) and turn rate (rad/s, anticlockwise
  // positive); they hold until the next command. What no aircraft could fly
  // is clamped: the speed into [0, 1000] (about Mach 3), the turn rate to
  // what that speed allows at 90 m/s^2 sideways (about 9 g); a command that
  // is not a number is refused, and the last one holds. True when the
  // friendly flies the command as given.
  bool controlFriendly(double linear, double angular);
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
  RangeStamped measure(bool fromFriendly);

  std::mutex mutex_;  // guards every member below
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
