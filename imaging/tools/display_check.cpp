// Whether a program can open windows here: pixel_access asks before it shows
// any, because without a display OpenCV's window toolkit aborts the process.
#include "display_check.h"

// On macOS and Windows OpenCV draws its windows through the system's own
// window server, which no variable names. DISPLAY and WAYLAND_DISPLAY say
// something only where X11 or Wayland draws them, so only there does their
// absence mean that no window can open; elsewhere the program just opens its
// windows.
#if defined(__APPLE__) || defined(_WIN32)

bool displayAnswers() { return true; }

#else

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

#endif  // __APPLE__ || _WIN32
