// The project's own sample picture for the pixel access program, drawn in
// code: a small landscape with a road whose left part is pure white on row
// 400 and whose right part only looks white.
#ifndef IMAGING_SAMPLE_PICTURE_H_
#define IMAGING_SAMPLE_PICTURE_H_

#include <string>

#include <opencv2/core.hpp>

// Width and height of the sample picture.
constexpr int sample_width = 640;
constexpr int sample_height = 480;
// Row 400 is pure white over columns 0 to white_end - 1 and near-white (250,
// 250, 250) over columns white_end to near_white_end - 1.
constexpr int white_end = 240;
constexpr int near_white_end = 448;

// Draws the sample picture: 8-bit, three channels, blue first.
cv::Mat drawSamplePicture();
// Writes the sample picture as a JPEG of quality 100 to `path`, which must end
// in ".jpg"; returns false when it could not be written. The white and
// near-white areas are flat and aligned to JPEG's 16 x 16 blocks, so their
// pixels come back from the file exactly as drawn.
bool writeSamplePicture(const std::string& path);

#endif  // IMAGING_SAMPLE_PICTURE_H_
