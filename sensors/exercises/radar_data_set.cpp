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
  // Make a data set of fieldOfView_ / angularResolution_ readings, each one
  // draw of distribution_ with generator_ clamped into [min_, max_], the
  // upper limit tested first; count the data set in sample_ and return it.
  return {};
}

bool Radar::setAngularResolution(unsigned int /*resolution*/) { return false; }

int Radar::getSample() { return sample_; }

std::string Radar::getModel() { return model_; }
