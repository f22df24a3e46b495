// Direct pixel access with OpenCV: a line iterator walks a fixed segment of a
// colour image and turns every pure white pixel on it red.
#ifndef IMAGING_WHITE_PIXELS_H_
#define IMAGING_WHITE_PIXELS_H_

#include <opencv2/core.hpp>

// Walks row 400 from column 0 to column 400 of `image` (clipped to the image:
// nothing is visited in an image of 400 rows or fewer), turns every pixel
// that is exactly white (255, 255, 255) red (0, 0, 255) and returns how many
// it turned. Near-white pixels are neither counted nor changed. The image
// must be 8-bit with three channels in blue, green, red order, as
// cv::imread gives with the flag 1; any other type throws cv::Exception.
int markWhitePixels(cv::Mat& image);

#endif  // IMAGING_WHITE_PIXELS_H_
