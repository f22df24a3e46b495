// A program outside the project, built against the installed radar module and
// libpeltra: it drives a radar through the interface and asks for its type,
// which needs the library's exported virtual tables and type information.
// The radar is held by its own type; the interface pointer only refers to it.
#include <iostream>
#include <vector>

#include <peltra/radar.h>

int main() {
  Radar radar;
  RangerInterface* sensor = &radar;
  const std::vector<double> data = sensor->generateData();
  bool within = true;
  for (double reading : data) {
    within =
        within && reading >= sensor->getMin() && reading <= sensor->getMax();
  }
  const bool isRanger = dynamic_cast<Ranger*>(sensor) != nullptr;
  std::cout << sensor->getModel() << ": " << data.size() << " readings "
            << (within ? "within" : "outside") << " [" << sensor->getMin()
            << ", " << sensor->getMax() << "], resolution "
            << sensor->getAngularResolution() << ", field of view "
            << sensor->getFieldOfView()
            << ", a Ranger: " << (isRanger ? "yes" : "no") << std::endl;
  return 0;
}
