// Makes one test picture as "megumin.jpg" in the working directory, for the
// end-to-end tests of pixel_access:
//   make_test_picture KIND
// Pictures that need exact pixels are written as PNG, which is lossless,
// under the fixed name: OpenCV tells the format by the content, not the name.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

namespace {

const char* file_name = "megumin.jpg";
const cv::Scalar background(40, 90, 30);
const cv::Scalar white(255, 255, 255);

// Writes raw bytes as the picture file.
bool writeBytes(const std::vector<unsigned char>& bytes) {
  std::ofstream file(file_name, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// Writes `picture` losslessly as PNG under the name "megumin.jpg".
bool writePng(const cv::Mat& picture) {
  std::vector<unsigned char> bytes;
  return cv::imencode(".png", picture, bytes) && writeBytes(bytes);
}

// A picture of the background colour with row 400 (if any) white all along.
cv::Mat withWhiteRow(int rows, int columns) {
  cv::Mat picture(rows, columns, CV_8UC3, background);
  if (rows > 400) {
    picture.row(400).setTo(white);
  }
  return picture;
}

// A 640 x 480 JPEG with row 400 white, full of noise so that its compressed
// data spreads evenly over the rows.
std::vector<unsigned char> noisyJpeg() {
  cv::Mat picture(480, 640, CV_8UC3);
  cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(200));
  picture.row(400).setTo(white);
  std::vector<unsigned char> bytes;
  cv::imencode(".jpg", picture, bytes, {cv::IMWRITE_JPEG_QUALITY, 90});
  return bytes;
}

// The offset of the start-of-scan marker, where the JPEG's header ends.
std::size_t startOfScan(const std::vector<unsigned char>& jpeg) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) {
      return i;
    }
  }
  return jpeg.size();
}

bool make(const std::string& kind) {
  if (kind == "none") {
    std::remove(file_name);
    return true;
  }
  if (kind == "empty") {
    return writeBytes({});
  }
  if (kind == "text") {
    std::string text = "This is a text file, not a picture.\n";
    return writeBytes(std::vector<unsigned char>(text.begin(), text.end()));
  }
  if (kind == "jpeg_header_cut") {
    std::vector<unsigned char> jpeg = noisyJpeg();
    jpeg.resize(startOfScan(jpeg) / 2);
    return writeBytes(jpeg);
  }
  if (kind == "jpeg_half") {
    std::vector<unsigned char> jpeg = noisyJpeg();
    jpeg.resize(jpeg.size() / 2);
    return writeBytes(jpeg);
  }
  if (kind == "gray") {
    cv::Mat picture(401, 401, CV_8UC1, cv::Scalar(100));
    picture.row(400).setTo(cv::Scalar(255));
    return writePng(picture);
  }
  if (kind == "alpha") {
    // Row 400 white but fully transparent: reading with flag 1 drops alpha.
    cv::Mat picture(401, 401, CV_8UC4, cv::Scalar(40, 90, 30, 255));
    picture.row(400).setTo(cv::Scalar(255, 255, 255, 0));
    return writePng(picture);
  }
  if (kind == "tiny") {
    // An unusual colour: the windows show the pixel enlarged among white
    // labels, where a white pixel would be found anywhere.
    return writePng(cv::Mat(1, 1, CV_8UC3, cv::Scalar(12, 34, 56)));
  }
  if (kind == "short") {
    // 400 rows, the last one white: the segment lies below the picture.
    cv::Mat picture = withWhiteRow(400, 640);
    picture.row(399).setTo(white);
    return writePng(picture);
  }
  if (kind == "narrow") {
    return writePng(withWhiteRow(500, 200));
  }
  if (kind == "white_row") {
    return writePng(withWhiteRow(401, 401));
  }
  if (kind == "near_white") {
    // Row 400 white all along but for two pixels one step off white.
    cv::Mat picture = withWhiteRow(480, 640);
    picture.at<cv::Vec3b>(400, 100) = cv::Vec3b(254, 255, 255);
    picture.at<cv::Vec3b>(400, 200) = cv::Vec3b(255, 255, 254);
    return writePng(picture);
  }
  std::cerr << "make_test_picture: unknown kind " << kind << std::endl;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_test_picture KIND" << std::endl;
    return 2;
  }
  return make(argv[1]) ? 0 : 1;
}
