// Drawing with OpenCV's primitives, then JPEG at the highest quality with the
// areas that must stay exact laid on whole compression blocks.
#include "sample_picture.h"

#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

cv::Mat drawSamplePicture() {
  cv::Mat picture(sample_height, sample_width, CV_8UC3);

  // Sky from deep to pale blue down to the horizon, green ground below it.
  const int horizon = 288;
  for (int row = 0; row < horizon; ++row) {
    double t = static_cast<double>(row) / horizon;
    picture.row(row).setTo(
        cv::Scalar(200 + 40 * t, 110 + 100 * t, 40 + 140 * t));
  }
  picture.rowRange(horizon, sample_height).setTo(cv::Scalar(60, 140, 70));
  cv::ellipse(picture, cv::Point(470, horizon), cv::Size(260, 70), 0, 180, 360,
              cv::Scalar(40, 110, 50), cv::FILLED, cv::LINE_AA);
  cv::circle(picture, cv::Point(120, 90), 42, cv::Scalar(60, 210, 250),
             cv::FILLED, cv::LINE_AA);

  // The road: rows 384 to 415 (two rows of 16 x 16 blocks, row 400 in the
  // middle), pure white on the left, a grey that looks white on the right.
  picture(cv::Rect(0, 384, white_end, 32)).setTo(cv::Scalar(255, 255, 255));
  picture(cv::Rect(white_end, 384, near_white_end - white_end, 32))
      .setTo(cv::Scalar(250, 250, 250));

  cv::putText(picture, "megumin.jpg: drawn by make_sample_picture",
              cv::Point(150, 460), cv::FONT_HERSHEY_SIMPLEX, 0.6,
              cv::Scalar(20, 40, 20), 1, cv::LINE_AA);
  return picture;
}

bool writeSamplePicture(const std::string& path) {
  const std::vector<int> quality{cv::IMWRITE_JPEG_QUALITY, 100};
  return cv::imwrite(path, drawSamplePicture(), quality);
}
