// A small class: two private values set together through one member function,
// and two member functions that compute from them.
#ifndef BASICS_RECTANGLE_H_
#define BASICS_RECTANGLE_H_

// A rectangle given by its width and height. Any values are accepted as they
// are, negative ones included; a rectangle not yet set is 0 by 0.
class Rectangle {
 public:
  // Replaces both the width and the height.
  void setWidthHeight(double width, double height);
  // width times height.
  double area();
  // Twice the width plus twice the height.
  double perimeter();

 private:
  double width_ = 0.0;
  double height_ = 0.0;
};

#endif  // BASICS_RECTANGLE_H_
