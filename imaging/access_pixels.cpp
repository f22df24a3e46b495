// Reads a colour picture, marks the pure white pixels of one line of it red
// in a copy, and shows the picture and the marked copy in two windows until a
// key is pressed.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include <opencv2/highgui.hpp>
#include <opencv2/imgcodecs.hpp>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "white_pixels.h"

namespace {
// Whether windows can be shown; below main, which carries the lesson.
bool displayAnswers();
}  // namespace

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

namespace {

// True when a display seems able to show windows: a Wayland session, or an X
// server that accepts a connection on the local socket DISPLAY names. A
// remote X display (host:0, as ssh forwards it) is trusted as it is.
bool displayAnswers() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x_display = std::getenv("DISPLAY");
  if (x_display == nullptr || *x_display == '\0') {
    return wayland != nullptr && *wayland != '\0';
  }
  const std::string name = x_display;
  const std::string::size_type colon = name.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = name.substr(0, colon);
  if (!host.empty() && host != "unix") return true;

  // ":1.0" is display 1, screen 0; its server listens on /tmp/.X11-unix/X1,
  // and on Linux also under that name in the abstract namespace (a leading
  // NUL byte), which some servers offer alone.
  const std::string path =
      "/tmp/.X11-unix/X" + std::to_string(std::atoi(name.c_str() + colon + 1));
  for (bool abstract : {false, true}) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + (abstract ? 1 : 0), path.c_str(),
                path.size());
    const socklen_t length = static_cast<socklen_t>(
        offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
    const int socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket_fd < 0) return false;
    const bool connected =
        connect(socket_fd, reinterpret_cast<const sockaddr*>(&address),
                length) == 0;
    close(socket_fd);
    if (connected) return true;
  }
  return false;
}

}  // namespace
