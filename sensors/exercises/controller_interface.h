// An abstract controller: the three operations any controller offers, and
// nothing else. It shows an interface that fixes a contract before any
// implementation exists.
#ifndef SENSORS_CONTROLLERINTERFACE_H_
#define SENSORS_CONTROLLERINTERFACE_H_

// The operations of a feedback controller, all pure virtual. Holds no state.
class ControllerInterface {
 public:
  // Makes the object a controller interface; does nothing else.
  ControllerInterface();

  // The three operations of a controller, each with a body that does
  // nothing. Make each pure virtual, so that every controller must supply
  // its own; then add a destructor that no one can call through the
  // interface.
  virtual void setSetpoint(double setpoint) {}
  virtual double computeCommand(double measurement) { return 0.0; }
  virtual void reset() {}
};

#endif  // SENSORS_CONTROLLERINTERFACE_H_
