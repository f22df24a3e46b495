// The walk along the segment: the line iterator visits the pixels between two
// points; each is read as three channels and compared with white exactly.
#include "white_pixels.h"

#include <opencv2/imgproc.hpp>

int markWhitePixels(cv::Mat& image) {
  CV_Assert(image.type() == CV_8UC3);
  // Channels in OpenCV's order: blue, green, red.
  const cv::Vec<unsigned char, 3> white(255, 255, 255);
  const cv::Vec<unsigned char, 3> red(0, 0, 255);

  // From (0, 400) towards (400, 400), clipped to the picture: it.count is the
  // number of pixels it visits (0 when the picture has no row 400).
  cv::LineIterator it(image, cv::Point(0, 400), cv::Point(400, 400), 8, false);
  int count = 0;
  for (int i = 0; i < it.count; ++i, ++it) {
    // A reference into the picture, so that assigning to it marks the pixel.
    cv::Vec<unsigned char, 3>& pixel =
        image.at<cv::Vec<unsigned char, 3>>(it.pos());
    // All three channels must match exactly: near-white is not white.
    if (pixel == white) {
      pixel = red;
      ++count;
    }
  }
  return count;
}
