// The shared part of every sensor, built into the shared library libpeltra:
// only what is marked for export is visible to the programs that link it.
#include "ranger.h"

namespace {

// Every sensor starts from the same seed, so runs can be repeated exactly.
constexpr unsigned int default_seed = 1;
// Raw readings before a sensor clamps them into its limits.
constexpr double reading_mean = 4.0;
constexpr double reading_deviation = 2.0;
// The widest field of view a sensor can cover: one whole turn. A wider one
// means nothing, and the widest an unsigned int holds would make each of a
// radar's data sets 214,748,364 readings (1.7 GB) long.
constexpr unsigned int full_turn = 360;

}  // namespace

Ranger::Ranger()
    : sample_(0),
      generator_(default_seed),
      distribution_(reading_mean, reading_deviation) {}

unsigned int Ranger::getAngularResolution() { return angularResolution_; }

int Ranger::getOffset() { return offset_; }

unsigned int Ranger::getFieldOfView() { return fieldOfView_; }

double Ranger::getMax() { return max_; }

double Ranger::getMin() { return min_; }

void Ranger::setOffset(int offset) { offset_ = offset; }

bool Ranger::setFieldOfView(unsigned int fieldOfView) {
  // Take a field of view of up to full_turn degrees: keep it and return
  // true. Refuse a wider one: change nothing and return false.
  return false;
}
