// A laser that breaks every promise the sensor checks test, for checking the
// checks: data sets one reading short, a reading above the upper limit in
// every 25th data set (the 25th, 50th, ...: a check of only the first few
// misses it), and any angular resolution accepted.
#include "laser.h"

namespace {

constexpr unsigned int resolution = 10;
constexpr unsigned int field_of_view = 180;
constexpr double too_far = 8.5;

}  // namespace

Laser::Laser() {
  angularResolution_ = resolution;
  fieldOfView_ = field_of_view;
  offset_ = 0;
  max_ = 8.0;
  min_ = 0.2;
  model_ = "LSR-BAD";
}

std::vector<double> Laser::generateData() {
  std::vector<double> data(fieldOfView_ / angularResolution_, 1.0);
  if (sample_ % 25 == 24) {
    data.back() = too_far;
  }
  sample_++;
  return data;
}

bool Laser::setAngularResolution(unsigned int resolution) {
  angularResolution_ = resolution;
  return true;
}

int Laser::getSample() { return sample_; }

std::string Laser::getModel() { return model_; }
