// A stand-in for the laser scanner: a second concrete sensor beside the
// radar, just enough for the sensor checks to construct and drive it.
#ifndef OUTSIDE_LASER_LASER_H_
#define OUTSIDE_LASER_LASER_H_

#include <string>
#include <vector>

#include "ranger.h"

// A laser covering 180 degrees, every 10 or every 30 degrees, with readings
// limited to [0.2, 8.0] and model "LSR-00". A data set has one reading at
// each step including both ends of the field of view.
class Laser : public Ranger {
 public:
  // Resolution 10, field of view 180, offset 0, limits 0.2 and 8.0, "LSR-00".
  Laser();

  // Field of view / resolution + 1 readings (19 at 10, 7 at 30), each a
  // normal draw clamped into [min, max]; adds 1 to the sample number.
  std::vector<double> generateData() override;
  // Accepts 10 and 30; refuses every other value and keeps the current one.
  bool setAngularResolution(unsigned int resolution) override;
  // The number of data sets produced since construction.
  int getSample() override;
  // A copy of the model designation.
  std::string getModel() override;
};

#endif  // OUTSIDE_LASER_LASER_H_
