// Motorbike's constructor only passes its arguments to the base class; the
// other members read and change the state the base class keeps.
#include "motorbike.h"

#include <iostream>
#include <limits>
#include <utility>

Motorbike::Motorbike(std::string make, std::string model, std::string colour,
                     int speed)
    : Vehicle(std::move(make), std::move(model), std::move(colour), speed) {}

void Motorbike::accelerate() {
  if (speed_ < std::numeric_limits<int>::max()) {
    ++speed_;
  }
}

void Motorbike::decelerate() {
  if (speed_ > std::numeric_limits<int>::min()) {
    --speed_;
  }
}

void Motorbike::details() {
  std::cout << "This motorbike is a " << colour_ << " " << make_ << " "
            << model_ << ". It's current speed is " << speed_ << " km/h."
            << std::endl;
}
