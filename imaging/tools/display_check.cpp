// Whether a program can open windows here: pixel_access asks before it shows
// any, because without a display OpenCV's window toolkit aborts the process.
#include "display_check.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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
