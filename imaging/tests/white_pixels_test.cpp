// Tests of the walk along row 400 on pictures made in memory: which pixels it
// visits, which it counts, and that it changes nothing but those.
#include "white_pixels.h"

#include <opencv2/core.hpp>

#include <gtest/gtest.h>

namespace {

const cv::Vec3b white(255, 255, 255);
const cv::Vec3b red(0, 0, 255);
const cv::Scalar background(40, 90, 30);

// A picture of `rows` x `columns` in the background colour with row 400 (if
// it has one) white over all its width.
cv::Mat pictureWithWhiteRow(int rows, int columns) {
  cv::Mat picture(rows, columns, CV_8UC3, background);
  if (rows > 400) {
    picture.row(400).setTo(cv::Scalar(255, 255, 255));
  }
  return picture;
}

// Returns the number of pixels in which `a` and `b` differ.
int differingPixels(const cv::Mat& a, const cv::Mat& b) {
  cv::Mat difference;
  cv::absdiff(a, b, difference);
  cv::Mat any;
  cv::transform(difference, any, cv::Matx13f(1, 1, 1));
  return cv::countNonZero(any);
}

// Tests a picture larger than the segment: exactly columns 0 to 400 of row
// 400 are visited and turned red, the white beyond them is left.
TEST(MarkWhitePixelsTest, SegmentInsidePicture) {
  for (cv::Size size : {cv::Size(401, 401), cv::Size(640, 480)}) {
    cv::Mat picture = pictureWithWhiteRow(size.height, size.width);
    cv::Mat before = picture.clone();
    EXPECT_EQ(401, markWhitePixels(picture));
    for (int column = 0; column < size.width; ++column) {
      EXPECT_EQ(column <= 400 ? red : white, picture.at<cv::Vec3b>(400, column)) << column;
    }
    EXPECT_EQ(401, differingPixels(before, picture));
  }
}

// Tests a picture narrower than the segment: 200 x 500 clips it to columns 0
// to 199.
TEST(MarkWhitePixelsTest, SegmentClippedToNarrowPicture) {
  cv::Mat picture = pictureWithWhiteRow(500, 200);
  EXPECT_EQ(200, markWhitePixels(picture));
  for (int column = 0; column < 200; ++column) {
    EXPECT_EQ(red, picture.at<cv::Vec3b>(400, column)) << column;
  }

  cv::Mat one_column = pictureWithWhiteRow(401, 1);
  EXPECT_EQ(1, markWhitePixels(one_column));
}

// Tests pictures with no row 400: nothing is visited or changed, even when
// they are white all over.
TEST(MarkWhitePixelsTest, PictureWithoutRow400) {
  for (cv::Size size : {cv::Size(640, 400), cv::Size(1, 1), cv::Size(401, 399)}) {
    cv::Mat picture(size, CV_8UC3, cv::Scalar(255, 255, 255));
    cv::Mat before = picture.clone();
    EXPECT_EQ(0, markWhitePixels(picture));
    EXPECT_EQ(0, differingPixels(before, picture));
  }
}

// Tests that only exact white counts: a pixel one step off in any channel is
// neither counted nor changed, and nothing off row 400 is touched.
TEST(MarkWhitePixelsTest, NearWhiteLeftAlone) {
  cv::Mat picture(480, 640, CV_8UC3, cv::Scalar(255, 255, 255));
  const cv::Vec3b near_white[] = {{254, 255, 255}, {255, 254, 255}, {255, 255, 254}};
  int column = 10;
  for (const cv::Vec3b& pixel : near_white) {
    picture.at<cv::Vec3b>(400, column) = pixel;
    column += 100;
  }
  cv::Mat before = picture.clone();

  EXPECT_EQ(398, markWhitePixels(picture));
  EXPECT_EQ(398, differingPixels(before, picture));
  column = 10;
  for (const cv::Vec3b& pixel : near_white) {
    EXPECT_EQ(pixel, picture.at<cv::Vec3b>(400, column));
    column += 100;
  }
  EXPECT_EQ(white, picture.at<cv::Vec3b>(399, 0));
  EXPECT_EQ(white, picture.at<cv::Vec3b>(401, 0));
}

// Tests that a picture of another type is refused rather than misread.
TEST(MarkWhitePixelsTest, RefusesOtherTypes) {
  cv::Mat gray(480, 640, CV_8UC1, cv::Scalar(255));
  EXPECT_THROW(markWhitePixels(gray), cv::Exception);
  cv::Mat with_alpha(480, 640, CV_8UC4, cv::Scalar(255, 255, 255, 255));
  EXPECT_THROW(markWhitePixels(with_alpha), cv::Exception);
  cv::Mat empty;
  EXPECT_THROW(markWhitePixels(empty), cv::Exception);
}

}  // namespace
