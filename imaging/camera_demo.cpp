// Shows the simulated camera at work: one small image with its random top row
// fading downwards, then how the size character chooses the image size.
#include <iostream>
#include <vector>

#include "monochromecamera.h"

namespace {

// Prints an image one row a line, each value followed by a blank.
void printImage(const std::vector<std::vector<int>>& image) {
  for (const std::vector<int>& row : image) {
    for (int value : row) {
      std::cout << value << " ";
    }
    std::cout << std::endl;
  }
}

// Takes one image of the given size character and prints its size.
void showSize(MonochromeCamera& camera, char size) {
  std::vector<std::vector<int>> image = camera.takeImage(size);
  std::cout << "takeImage('" << size << "'): " << image.size() << " rows of "
            << image.front().size() << " values; the camera now reports "
            << camera.getImageRows() << " x " << camera.getImageColumns()
            << std::endl;
}

}  // namespace

int main() {
  MonochromeCamera camera;
  std::cout << "Sampling time " << camera.getSamplingTime() << ", intensities "
            << camera.getMinValue() << " to " << camera.getMaxValue()
            << std::endl;

  // Size 'A': a random top row, each further row the one above halved.
  std::cout << "An image of size 'A':" << std::endl;
  printImage(camera.takeImage('A'));

  // 'B' selects the large size; any other character keeps the last size.
  showSize(camera, 'A');
  showSize(camera, 'B');
  showSize(camera, 'x');
  std::cout << "Images taken: " << camera.getSampleNumber() << std::endl;
  return 0;
}
