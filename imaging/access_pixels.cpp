// Reads a colour picture, marks the pure white pixels of one line of it red
// in a copy, and shows the picture and the marked copy in two windows until a
// key is pressed.
#include <iostream>

#include <opencv2/highgui.hpp>
#include <opencv2/imgcodecs.hpp>

#include "display_check.h"
#include "white_pixels.h"

int main(int argc, char** argv) {
  // Two separate reads of the same file (flag 1: three 8-bit channels, blue
  // first), so that marking the copy can never touch the picture as read.
  cv::Mat image = cv::imread("megumin.jpg", 1);
  cv::Mat modified = cv::imread("megumin.jpg", 1);

  // An empty matrix means the file is missing or could not be decoded. The
  // copy is checked too: the file may have changed between the two reads.
  if (image.empty() || modified.empty()) {
    std::cout << "No image data " << std::endl;
    return -1;
  }

  // Walk row 400, columns 0 to 400, turning pure white red in the copy.
  int count = markWhitePixels(modified);
  std::cout << "There are " << count << " white-ish pixels" << std::endl;

  // Without a display the window toolkit would abort the program: say so, and
  // how to see the windows on a virtual one, before any window is asked for.
  // The build names the runner that does that (tools/run_in_windows.sh).
  if (!displayAnswers()) {
    std::cerr << "pixel_access: no display is available for its windows; to "
                 "run it headless: "
              << PELTRA_WINDOW_RUNNER << " "
              << (argc > 0 ? argv[0] : "pixel_access") << std::endl;
    return 1;
  }

  // Flag 1: the window takes the size of the picture. imshow creates the
  // second window itself.
  cv::namedWindow("Image", 1);
  cv::imshow("Image", image);
  cv::imshow("modified", modified);

  // Keep both windows up until any key is pressed.
  std::cerr << "Press any key in a window to close both." << std::endl;
  cv::waitKey(0);
  return 0;
}
