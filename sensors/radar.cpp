// The radar: a concrete sensor in an object module, linked together with
// libpeltra, which supplies the base class and its accessors.
#include "radar.h"

namespace {

constexpr unsigned int radar_resolution = 20;
constexpr unsigned int radar_field_of_view = 60;
constexpr int radar_offset = 0;
constexpr double radar_max = 16.0;
constexpr double radar_min = 0.2;

}  // namespace

Radar::Radar() {
  angularResolution_ = radar_resolution;
  fieldOfView_ = radar_field_of_view;
  offset_ = radar_offset;
  max_ = radar_max;
  min_ = radar_min;
  model_ = "RAD-00";
}

std::vector<double> Radar::generateData() {
  // One reading per whole step: the division truncates, so 60 / 20 gives 3,
  // with no extra reading for the end of the field of view.
  const unsigned int count = fieldOfView_ / angularResolution_;
  std::vector<double> data(count, 0.0);
  for (unsigned int i = 0; i < count; i++) {
    // One draw per reading, clamped into [min_, max_], the upper limit
    // tested first.
    const double reading = distribution_(generator_);
    if (reading >= max_) {
      data[i] = max_;
    } else if (reading <= min_) {
      data[i] = min_;
    } else {
      data[i] = reading;
    }
  }
  sample_++;
  return data;
}

bool Radar::setAngularResolution(unsigned int /*resolution*/) { return false; }

int Radar::getSample() { return sample_; }

std::string Radar::getModel() { return model_; }
