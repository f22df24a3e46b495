// A concrete sensor with a fixed configuration: it derives from Ranger, adds
// no state of its own and overrides only the operations that make it a radar.
#ifndef SENSORS_RADAR_H_
#define SENSORS_RADAR_H_

#include <string>
#include <vector>

#include "ranger.h"

// A radar covering 60 degrees every 20 degrees, with readings limited to
// [0.2, 16.0] and model "RAD-00". Its resolution never changes; the field of
// view (through setFieldOfView) alone decides how many readings a data set has.
class Radar : public Ranger {
 public:
  // Resolution 20, field of view 60, offset 0, limits 0.2 and 16.0, "RAD-00".
  Radar();

  // Field of view / resolution readings, truncated (none below 20 degrees),
  // each a normal draw clamped into [min, max]; adds 1 to the sample number.
  std::vector<double> generateData() override;
  // Refuses every value: always false, the resolution stays 20.
  bool setAngularResolution(unsigned int resolution) override;
  // The number of data sets produced since construction.
  int getSample() override;
  // A copy of the model designation.
  std::string getModel() override;
};

#endif  // SENSORS_RADAR_H_
