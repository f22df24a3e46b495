// The member functions of Rectangle, defined apart from the class so that the
// header shows only what a caller needs.
#include "rectangle.h"

void Rectangle::setWidthHeight(double width, double height) {
  width_ = width;
  height_ = height;
}

double Rectangle::area() { return width_ * height_; }

double Rectangle::perimeter() {
  return (width_ + width_) + (height_ + height_);
}
