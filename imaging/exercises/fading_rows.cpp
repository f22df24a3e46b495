// The camera's image: a random top row, each pixel drawn from a freshly
// seeded engine, then rows that halve the one above in integer arithmetic.
#include <chrono>
#include <random>

#include "monochromecamera.h"

namespace {

const int sampling_time = 1;
const int min_value = 0;
const int max_value = 255;
const int image_rows = 5;
const int image_columns = 4;
const int sample_no = 0;

}  // namespace

MonochromeCamera::MonochromeCamera()
    : sampling_time_(sampling_time),
      min_value_(min_value),
      max_value_(max_value),
      image_rows_(image_rows),
      image_columns_(image_columns),
      sample_number_(sample_no),
      seed_(0) {}

double MonochromeCamera::getSamplingTime() {
  return static_cast<double>(sampling_time_);
}

unsigned int MonochromeCamera::getMinValue() { return min_value_; }

unsigned int MonochromeCamera::getMaxValue() { return max_value_; }

int MonochromeCamera::getImageRows() { return image_rows_; }

int MonochromeCamera::getImageColumns() { return image_columns_; }

int MonochromeCamera::getSampleNumber() { return sample_number_; }

std::vector<std::vector<int>> MonochromeCamera::takeImage(char size) {
  image_.clear();
  row_.clear();

  // Only upper-case 'A' and 'B' choose a size; anything else keeps the last.
  if (size == 'A') {
    image_rows_ = image_rows;
    image_columns_ = image_columns;
  } else if (size == 'B') {
    image_rows_ = 25;
    image_columns_ = 16;
  }

  // The top row: each pixel is the first draw of an engine seeded from the
  // clock just then; no engine outlives its pixel.
  for (int column = 0; column < image_columns_; ++column) {
    auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
    seed_ = static_cast<unsigned int>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch)
            .count());
    std::linear_congruential_engine<unsigned long, 16807, 0, 2147483647> engine(
        seed_);
    std::uniform_real_distribution<double> distribution(min_value_,
                                                        max_value_ + 1);
    row_.push_back(static_cast<int>(distribution(engine)));
  }
  image_.insert(image_.begin(), row_);

  // Add the image's further rows below the top one, each the row above with
  // every value halved in integer arithmetic, until it has image_rows_ rows.

  ++sample_number_;
  return image_;
}
