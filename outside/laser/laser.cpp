// The laser stand-in: the same base class as the radar, a different
// configuration and a reading at both ends of its field of view.
#include "laser.h"

#include <algorithm>

namespace {

constexpr unsigned int fine_resolution = 10;
constexpr unsigned int coarse_resolution = 30;
constexpr unsigned int laser_field_of_view = 180;
constexpr int laser_offset = 0;
constexpr double laser_max = 8.0;
constexpr double laser_min = 0.2;

}  // namespace

Laser::Laser() {
  angularResolution_ = fine_resolution;
  fieldOfView_ = laser_field_of_view;
  offset_ = laser_offset;
  max_ = laser_max;
  min_ = laser_min;
  model_ = "LSR-00";
}

std::vector<double> Laser::generateData() {
  std::vector<double> data(fieldOfView_ / angularResolution_ + 1);
  for (double& reading : data) {
    reading = std::clamp(distribution_(generator_), min_, max_);
  }
  sample_++;
  return data;
}

bool Laser::setAngularResolution(unsigned int resolution) {
  if (resolution != fine_resolution && resolution != coarse_resolution) {
    return false;
  }
  angularResolution_ = resolution;
  return true;
}

int Laser::getSample() { return sample_; }

std::string Laser::getModel() { return model_; }
