// A stand-in for the vehicle base class that Motorbike builds on: four pieces
// of state a derived class reads and changes directly, and the virtual
// operations a vehicle offers, in a fixed order in the virtual table.
#ifndef OUTSIDE_VEHICLE_VEHICLE_H_
#define OUTSIDE_VEHICLE_VEHICLE_H_

#include <string>

// A road vehicle: maker, model and colour as text and a speed in km/h, all
// protected so that a derived class keeps its state here. Abstract: a derived
// class says how it describes itself. The virtual table holds getModel,
// setModel and details in that order and no destructor; the destructor is
// therefore protected, so a vehicle can never be deleted through a Vehicle
// pointer (which would skip the derived class's destructor).
class Vehicle {
 public:
  // Stores the four values as they are given.
  Vehicle(std::string make, std::string model, std::string colour, int speed);

  // The model name.
  virtual std::string getModel();
  // Replaces the model name.
  virtual void setModel(std::string model);
  // Writes a one-line description of the vehicle to standard output.
  virtual void details() = 0;

 protected:
  ~Vehicle() = default;

  std::string make_;
  std::string model_;
  std::string colour_;
  int speed_;  // km/h
};

#endif  // OUTSIDE_VEHICLE_VEHICLE_H_
