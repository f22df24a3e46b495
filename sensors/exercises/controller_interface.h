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

  // Declare the three operations of a controller, all pure virtual:
  // setSetpoint, which takes the value to reach (a double); computeCommand,
  // which takes the latest measurement (a double) and returns the command (a
  // double); and reset, which takes and returns nothing. Then a destructor
  // that no one can call through the interface.
};

#endif  // SENSORS_CONTROLLERINTERFACE_H_
