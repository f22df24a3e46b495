// Inheritance and a virtual operation: a motorbike is a vehicle that adds
// behaviour of its own and keeps all its state in what Vehicle gives it.
#ifndef BASICS_MOTORBIKE_H_
#define BASICS_MOTORBIKE_H_

#include <string>

#include "vehicle.h"

// A vehicle that can speed up, slow down and describe itself. It adds no data
// members: the texts and the speed are Vehicle's. Its virtual operations are
// Vehicle's getModel and setModel, then its own details, in that order. The
// speed changes by exactly 1 per call and stops at the limits of int instead
// of overflowing.
class Motorbike : public Vehicle {
 public:
  // Hands the four values on to Vehicle unchanged, in the same order.
  Motorbike(std::string make, std::string model, std::string colour, int speed);

  // Raises the speed by 1 km/h (not above the largest int).
  void accelerate();
  // Lowers the speed by 1 km/h, below zero too (not below the smallest int).
  void decelerate();
  // Writes "This motorbike is a <colour> <make> <model>. It's current speed
  // is <speed> km/h." and a line break to std::cout; an empty text keeps the
  // blanks around it.
  void details() override;
};

#endif  // BASICS_MOTORBIKE_H_
