// Tests of the sample picture after a round trip through its JPEG file: the
// pixels that must be exactly white, and the near-white ones beside them,
// come back from the compressed file as drawn.
#include "sample_picture.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "white_pixels.h"

namespace {

// Tests the picture read back from its file: its size, pure white exactly
// over columns 0 to white_end - 1 of row 400, near-white (not white) after
// them to the end of the segment, and so the count the pixel walk finds.
TEST(SamplePictureTest, SurvivesJpeg) {
  // In the test's own build folder, so that build trees tested at once on one
  // machine never share the file.
  const std::string path = "sample_picture_test.jpg";
  ASSERT_TRUE(writeSamplePicture(path));
  cv::Mat picture = cv::imread(path, 1);
  std::filesystem::remove(path);
  ASSERT_FALSE(picture.empty());
  EXPECT_EQ(sample_width, picture.cols);
  EXPECT_EQ(sample_height, picture.rows);
  EXPECT_GE(picture.cols, 640);
  EXPECT_GE(picture.rows, 480);

  for (int column = 0; column < white_end; ++column) {
    EXPECT_EQ(cv::Vec3b(255, 255, 255), picture.at<cv::Vec3b>(400, column))
        << column;
  }
  for (int column = white_end; column <= 400; ++column) {
    cv::Vec3b pixel = picture.at<cv::Vec3b>(400, column);
    EXPECT_NE(cv::Vec3b(255, 255, 255), pixel) << column;
    for (int channel = 0; channel < 3; ++channel) {
      EXPECT_GE(pixel[channel], 240) << column;
    }
  }
  EXPECT_EQ(white_end, markWhitePixels(picture));
}

// Tests that the drawing in memory has nothing white on row 400 beyond the
// stretch, so that the count above comes from the stretch alone.
TEST(SamplePictureTest, DrawnAsDescribed) {
  cv::Mat picture = drawSamplePicture();
  ASSERT_EQ(CV_8UC3, picture.type());
  for (int column = white_end; column < picture.cols; ++column) {
    EXPECT_NE(cv::Vec3b(255, 255, 255), picture.at<cv::Vec3b>(400, column))
        << column;
  }
  EXPECT_FALSE(writeSamplePicture("/nonexistent-folder/megumin.jpg"));
}

}  // namespace
