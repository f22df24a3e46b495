// A motorbike at work: it speeds up, slows down and describes itself, once
// directly and once through a reference to its base class, where the virtual
// call still reaches Motorbike's own details.
#include <iostream>

#include "motorbike.h"

int main() {
  // The four values go straight to the Vehicle part of the object.
  Motorbike bike("Harlan", "Streak 650", "red", 0);
  bike.details();

  // accelerate and decelerate change the speed that Vehicle keeps.
  bike.accelerate();
  bike.accelerate();
  bike.accelerate();
  bike.decelerate();
  bike.details();

  // Through a Vehicle reference: getModel and setModel are Vehicle's own,
  // details is looked up in the object's virtual table and is Motorbike's.
  Vehicle& vehicle = bike;
  vehicle.setModel("Streak 700");
  std::cout << "Model now: " << vehicle.getModel() << std::endl;
  vehicle.details();
  return 0;
}
