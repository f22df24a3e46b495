// Tests of the walk along row 400 on pictures made in memory: which pixels it
// visits and counts, and that it changes nothing else. (pixel_access's
// end-to-end tests cover the clipped and missing segments on real files.)
#include "white_pixels.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

namespace {

// Returns the number of pixels in which `a` and `b` differ.
int differingPixels(const cv::Mat& a, const cv::Mat& b) {
  cv::Mat difference;
  cv::absdiff(a, b, difference);
  cv::Mat any;
  cv::transform(difference, any, cv::Matx13f(1, 1, 1));
  return cv::countNonZero(any);
}

// Tests a white picture: exactly columns 0 to 400 of row 400 turn red.
TEST(MarkWhitePixelsTest, WhiteRowInside) {
  cv::Mat picture(480, 640, CV_8UC3, cv::Scalar(255, 255, 255));
  cv::Mat before = picture.clone();
  EXPECT_EQ(401, markWhitePixels(picture))
      << "white pixels counted on row 400 of a white 640 x 480 picture";
  EXPECT_EQ(401, differingPixels(before, picture));
  for (int column = 0; column < 640; ++column) {
    cv::Vec3b expected =
        column <= 400 ? cv::Vec3b(0, 0, 255) : cv::Vec3b(255, 255, 255);
    EXPECT_EQ(expected, picture.at<cv::Vec3b>(400, column)) << column;
  }
}

// Tests white pictures the segment does not fit: narrower than 401 columns,
// where a walk past the right edge would go on in the next row, and with
// no row 400 at all, where it would read past the end of the picture.
TEST(MarkWhitePixelsTest, WhiteRowClipped) {
  cv::Mat narrow(500, 200, CV_8UC3, cv::Scalar(255, 255, 255));
  cv::Mat before = narrow.clone();
  EXPECT_EQ(200, markWhitePixels(narrow)) << "in a picture 200 pixels wide";
  EXPECT_EQ(200, differingPixels(before, narrow))
      << "in a picture 200 pixels wide";

  cv::Mat one_column(401, 1, CV_8UC3, cv::Scalar(255, 255, 255));
  EXPECT_EQ(1, markWhitePixels(one_column));
  cv::Mat no_row_400(400, 640, CV_8UC3, cv::Scalar(255, 255, 255));
  EXPECT_EQ(0, markWhitePixels(no_row_400));
}

// Tests that only exact white counts: a pixel one step off in any channel is
// neither counted nor changed.
TEST(MarkWhitePixelsTest, NearWhiteLeftAlone) {
  cv::Mat picture(480, 640, CV_8UC3, cv::Scalar(255, 255, 255));
  const cv::Vec3b near_white[] = {
      {254, 255, 255}, {255, 254, 255}, {255, 255, 254}};
  for (int k = 0; k < 3; ++k) {
    picture.at<cv::Vec3b>(400, 10 + 100 * k) = near_white[k];
  }
  cv::Mat before = picture.clone();
  EXPECT_EQ(398, markWhitePixels(picture));
  EXPECT_EQ(398, differingPixels(before, picture));
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(near_white[k], picture.at<cv::Vec3b>(400, 10 + 100 * k));
  }
}

// Tests that a picture of another type, or none, is refused, not misread.
TEST(MarkWhitePixelsTest, RefusesOtherTypes) {
  cv::Mat gray(480, 640, CV_8UC1, cv::Scalar(255));
  EXPECT_THROW(markWhitePixels(gray), cv::Exception);
  cv::Mat with_alpha(480, 640, CV_8UC4, cv::Scalar(255, 255, 255, 255));
  EXPECT_THROW(markWhitePixels(with_alpha), cv::Exception);
  cv::Mat empty;
  EXPECT_THROW(markWhitePixels(empty), cv::Exception);
}

}  // namespace
