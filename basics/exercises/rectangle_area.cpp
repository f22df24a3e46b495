// The member functions of Rectangle, defined apart from the class so that the
// header shows only what a caller needs.
#include "rectangle.h"

void Rectangle::setWidthHeight(double width, double height) {
  width_ = width;
  height_ = height;
}

double Rectangle::area() {
  // Return this rectangle's area, from the width and height it keeps.
  return 0.0;
}

double Rectangle::perimeter() {
  // Return this rectangle's perimeter: twice its width plus twice its height.
  return 0.0;
}
