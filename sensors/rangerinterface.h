// The abstract interface of every ranging sensor: a caller that holds a
// RangerInterface pointer can drive a radar, a laser or any other sensor
// without knowing which one it has. The virtual table is the whole contract.
#ifndef SENSORS_RANGERINTERFACE_H_
#define SENSORS_RANGERINTERFACE_H_

#include <string>
#include <vector>

#include "peltra_export.h"

// The eleven operations of a ranging sensor, in the order of their entries in
// the virtual table. Requires nothing; holds no state. A pointer to it never
// owns the sensor: the destructor is not virtual, so it is protected, and a
// sensor is destroyed as its concrete type only.
class PELTRA_EXPORT RangerInterface {
 public:
  // Makes the object a sensor interface; does nothing else.
  RangerInterface();

  // Produces one new data set of distance readings, owned by the caller.
  virtual std::vector<double> generateData() = 0;
  // The angle between two neighbouring readings, in whole degrees.
  virtual unsigned int getAngularResolution() = 0;
  // The sensor's offset.
  virtual int getOffset() = 0;
  // The angle one data set covers, in whole degrees.
  virtual unsigned int getFieldOfView() = 0;
  // The upper range limit of the readings.
  virtual double getMax() = 0;
  // The lower range limit of the readings.
  virtual double getMin() = 0;
  // Asks for a new angular resolution: true if it is now in force, false if
  // the sensor refused it and nothing changed.
  virtual bool setAngularResolution(unsigned int resolution) = 0;
  // Sets the sensor's offset.
  virtual void setOffset(int offset) = 0;
  // Asks for a new angle for one data set to cover, in whole degrees: true
  // if it is now in force, false if the sensor refused it and nothing
  // changed.
  virtual bool setFieldOfView(unsigned int fieldOfView) = 0;
  // The sample number: how many data sets the sensor has produced.
  virtual int getSample() = 0;
  // A copy of the sensor's model designation.
  virtual std::string getModel() = 0;

 protected:
  // Not virtual: no sensor is ever deleted through this interface.
  ~RangerInterface() = default;
};

#endif  // SENSORS_RANGERINTERFACE_H_
