// An abstract controller: the three operations any controller offers, and
// nothing else. It shows an interface that fixes a contract before any
// implementation exists.
#ifndef SENSORS_CONTROLLERINTERFACE_H_
#define SENSORS_CONTROLLERINTERFACE_H_

// The operations of a feedback controller, all pure virtual. Holds no state.
// The destructor is not virtual, so it is protected: a controller is never
// deleted through this interface, only as its concrete type.
class ControllerInterface {
 public:
  // Makes the object a controller interface; does nothing else.
  ControllerInterface();

  // Sets the value the controlled quantity should reach.
  virtual void setSetpoint(double setpoint) = 0;
  // The command for the latest measurement of the controlled quantity.
  virtual double computeCommand(double measurement) = 0;
  // Forgets everything learnt from earlier measurements.
  virtual void reset() = 0;

 protected:
  // Not virtual: no controller is ever deleted through this interface.
  ~ControllerInterface() = default;
};

#endif  // SENSORS_CONTROLLERINTERFACE_H_
