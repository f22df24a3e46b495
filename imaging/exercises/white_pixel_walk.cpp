// The walk along the segment: the line iterator visits the pixels between two
// points; each is read as three channels and compared with white exactly.
#include <opencv2/imgproc.hpp>

#include "white_pixels.h"

int markWhitePixels(cv::Mat& image) {
  CV_Assert(image.type() == CV_8UC3);
  // Channels in OpenCV's order: blue, green, red.
  const cv::Vec<unsigned char, 3> white(255, 255, 255);
  const cv::Vec<unsigned char, 3> red(0, 0, 255);

  // Walk row 400 from column 0 to column 400 with a cv::LineIterator, which
  // clips the segment to the picture: turn each pixel that is exactly white
  // red, and return how many were.
  return 0;
}
