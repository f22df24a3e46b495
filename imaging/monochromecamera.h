// A simulated grey-level camera: every image is a grid of integer intensities
// whose top row is random and whose every further row is the row above it
// halved, so the picture fades from top to bottom.
#ifndef IMAGING_MONOCHROMECAMERA_H_
#define IMAGING_MONOCHROMECAMERA_H_

#include <vector>

// A camera of fixed sampling time and intensity range [0, 255] that takes
// images of 5 x 4 ('A') or 25 x 16 ('B') pixels. Requires nothing but the
// system clock, which seeds each random pixel of the top row. Guarantees that
// every image has exactly getImageRows() rows of getImageColumns() values in
// [getMinValue(), getMaxValue()], and that it counts every image taken.
class MonochromeCamera {
 public:
  // A camera that has taken no image yet, set to the 5 x 4 size.
  MonochromeCamera();

  // The sampling time: always 1.0.
  double getSamplingTime();
  // The lowest intensity: always 0.
  unsigned int getMinValue();
  // The highest intensity: always 255.
  unsigned int getMaxValue();
  // Rows of the last image taken ('A' 5, 'B' 25); 5 before the first.
  int getImageRows();
  // Columns of the last image taken ('A' 4, 'B' 16); 4 before the first.
  int getImageColumns();
  // The number of images taken so far.
  int getSampleNumber();
  // Takes a new image of size 'A' (5 x 4) or 'B' (25 x 16), one inner vector
  // per row, top row first; any other character (lower case too) keeps the
  // size of the last image. Keeps the image and returns a copy of it.
  std::vector<std::vector<int>> takeImage(char size);

 private:
  int sampling_time_;
  unsigned int min_value_;
  unsigned int max_value_;
  int image_rows_;
  int image_columns_;
  std::vector<std::vector<int>> image_;
  std::vector<int> row_;
  int sample_number_;
  unsigned int seed_;
};

#endif  // IMAGING_MONOCHROMECAMERA_H_
