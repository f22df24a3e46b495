// The base class every concrete sensor derives from: it holds the state all
// sensors share and implements the plain accessors over it, and leaves data,
// accepted resolutions, model and sample number to the concrete sensor.
#ifndef SENSORS_RANGER_H_
#define SENSORS_RANGER_H_

#include <random>
#include <string>

#include "peltra_export.h"
#include "rangerinterface.h"

// Shared state and the seven accessors of a ranging sensor. A concrete sensor
// must assign resolution, offset, field of view, both limits and the model in
// its constructor, and implement generateData, setAngularResolution,
// getSample and getModel. Readings are drawn from distribution_ with
// generator_, whose seed is a constant, so every run gives the same data.
class PELTRA_EXPORT Ranger : public RangerInterface {
 public:
  // Starts with sample number 0, a fixed seed and normally distributed draws.
  Ranger();

  // The seven plain accessors of RangerInterface, over the members below:
  // getters return the value in force.
  unsigned int getAngularResolution() override;
  int getOffset() override;
  unsigned int getFieldOfView() override;
  double getMax() override;
  double getMin() override;
  // Stores any offset; nothing reads it.
  void setOffset(int offset) override;
  // Takes a field of view of up to a full turn, 360 degrees, in force from
  // the next data set, and returns true; refuses a wider one, which no
  // sensor can cover, returns false and keeps the one in force.
  bool setFieldOfView(unsigned int fieldOfView) override;

 protected:
  // Not virtual, and inline: releases the model string and nothing else.
  // Protected, so that no one deletes a sensor through a base pointer (which
  // would skip the concrete sensor's destructor): hold a sensor by its own
  // type, e.g. Radar radar; a RangerInterface* only refers to it, and
  // std::unique_ptr<RangerInterface> does not compile on purpose.
  ~Ranger() = default;

  unsigned int angularResolution_ = 0;  // degrees between two readings
  int offset_ = 0;                      // stored only; nothing reads it
  unsigned int fieldOfView_ = 0;        // degrees one data set covers
  double max_ = 0.0;                    // upper range limit of the readings
  double min_ = 0.0;                    // lower range limit of the readings
  std::string model_;                   // model designation
  int sample_;                          // data sets produced so far
  std::minstd_rand0 generator_;         // the engine every draw uses
  std::normal_distribution<double> distribution_;  // raw readings
};

#endif  // SENSORS_RANGER_H_
