// Checks a screenshot of pixel_access's two windows, pixel for pixel:
//   check_windows SCREENSHOT.png WINDOWS.txt PICTURE COUNT
// The window "Image" must show PICTURE exactly as read, the window "modified"
// the same picture with the pure white pixels of row 400, columns 0 to 400,
// in red, and COUNT (what the program printed) must be the number of those.
// WINDOWS.txt holds "NAME X Y WIDTH HEIGHT" for both windows.
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// The picture with the pure white pixels of the segment turned red, worked
// out here on its own rather than with the program's code, and their count.
cv::Mat expectedCopy(const cv::Mat& picture, int& count) {
  cv::Mat copy = picture.clone();
  count = 0;
  if (copy.rows > 400) {
    for (int column = 0; column <= 400 && column < copy.cols; ++column) {
      cv::Vec3b& pixel = copy.at<cv::Vec3b>(400, column);
      if (pixel == cv::Vec3b(255, 255, 255)) {
        pixel = cv::Vec3b(0, 0, 255);
        ++count;
      }
    }
  }
  return copy;
}

// True when `area` shows `picture` somewhere, every pixel exact.
bool showsExactly(const cv::Mat& area, const cv::Mat& picture) {
  if (area.rows < picture.rows || area.cols < picture.cols) {
    return false;
  }
  cv::Mat score;
  cv::matchTemplate(area, picture, score, cv::TM_SQDIFF);
  cv::Point best;
  cv::minMaxLoc(score, nullptr, nullptr, &best);
  cv::Mat shown = area(cv::Rect(best, picture.size()));
  return cv::norm(shown, picture, cv::NORM_INF) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: check_windows SCREENSHOT.png WINDOWS.txt PICTURE COUNT"
              << std::endl;
    return 2;
  }
  cv::Mat screen = cv::imread(argv[1], 1);
  cv::Mat picture = cv::imread(argv[3], 1);
  if (screen.empty() || picture.empty()) {
    std::cerr << "check_windows: cannot read "
              << (screen.empty() ? argv[1] : argv[3]) << std::endl;
    return 1;
  }

  std::map<std::string, cv::Rect> windows;
  std::ifstream geometry(argv[2]);
  std::string name;
  cv::Rect place;
  while (geometry >> name >> place.x >> place.y >> place.width >>
         place.height) {
    windows[name] = place & cv::Rect(0, 0, screen.cols, screen.rows);
  }
  if (windows.count("Image") == 0 || windows.count("modified") == 0) {
    std::cerr << "check_windows: " << argv[2] << " does not place both windows"
              << std::endl;
    return 1;
  }
  if ((windows["Image"] & windows["modified"]).area() > 0) {
    std::cerr << "check_windows: the windows overlap" << std::endl;
    return 1;
  }

  int count = 0;
  cv::Mat copy = expectedCopy(picture, count);
  bool good = true;
  if (std::to_string(count) != argv[4]) {
    std::cerr << "check_windows: the program counted " << argv[4]
              << ", the picture has " << count
              << " pure white pixels on the segment" << std::endl;
    good = false;
  }
  if (!showsExactly(screen(windows["Image"]), picture)) {
    std::cerr << "check_windows: the window \"Image\" does not show the "
                 "picture as read"
              << std::endl;
    good = false;
  }
  if (!showsExactly(screen(windows["modified"]), copy)) {
    std::cerr << "check_windows: the window \"modified\" does not show the "
                 "marked copy"
              << std::endl;
    good = false;
  }
  return good ? 0 : 1;
}
