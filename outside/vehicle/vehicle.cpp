// The vehicle's state is set once by its constructor; the model name alone
// can be read and replaced through the virtual accessors.
#include "vehicle.h"

#include <utility>

Vehicle::Vehicle(std::string make, std::string model, std::string colour,
                 int speed)
    : make_(std::move(make)),
      model_(std::move(model)),
      colour_(std::move(colour)),
      speed_(speed) {}

std::string Vehicle::getModel() { return model_; }

void Vehicle::setModel(std::string model) { model_ = std::move(model); }
