// Motorbike's constructor only passes its arguments to the base class; the
// other members read and change the state the base class keeps.
#include <iostream>
#include <limits>
#include <utility>

#include "motorbike.h"

Motorbike::Motorbike(std::string make, std::string model, std::string colour,
                     int speed)
    : Vehicle(std::move(make), std::move(model), std::move(colour), speed) {}

void Motorbike::accelerate() {
  // Raise the speed Vehicle keeps by 1, but never past the largest int.
}

void Motorbike::decelerate() {
  // Lower the speed by 1, below zero too, but never past the smallest int.
}

void Motorbike::details() {
  // Write the line motorbike.h describes, from the texts and the speed that
  // Motorbike inherits from Vehicle, and end it with std::endl.
}
