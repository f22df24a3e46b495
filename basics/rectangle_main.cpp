// Three rectangles made from one class: each object keeps its own width and
// height, and the same member functions compute each one's area and perimeter.
#include <iostream>

#include "rectangle.h"

int main() {
  // Three objects of the same class, each set to its own size.
  Rectangle first;
  Rectangle second;
  Rectangle third;
  first.setWidthHeight(5, 5);
  second.setWidthHeight(10, 5);
  third.setWidthHeight(6, 15);

  // The same member function, called on each object, uses that object's values.
  double area1 = first.area();
  double area2 = second.area();
  double area3 = third.area();
  std::cout << "area 1 is " << area1 << std::endl;
  std::cout << "area 2 is " << area2 << std::endl;
  std::cout << "area 3 is " << area3 << std::endl;

  double perimeter1 = first.perimeter();
  double perimeter2 = second.perimeter();
  double perimeter3 = third.perimeter();
  std::cout << "perimeter 1 is " << perimeter1 << std::endl;
  std::cout << "perimeter 2 is " << perimeter2 << std::endl;
  std::cout << "perimeter 3 os " << perimeter3 << std::endl;
  return 0;
}
