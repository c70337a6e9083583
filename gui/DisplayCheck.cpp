#include "gui/DisplayCheck.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {
bool set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

bool x11Reachable() {
  if (!set("DISPLAY")) return false;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool ok = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);  // also frees a connection in error
  return ok;
}

bool waylandReachable() {
  if (!set("WAYLAND_DISPLAY")) return false;
  std::string path = std::getenv("WAYLAND_DISPLAY");
  if (path[0] != '/') {
    if (!set("XDG_RUNTIME_DIR")) return false;
    path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + path;
  }
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) return false;
  const bool ok = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(s);
  return ok;
}

// One entry of a QT_QPA_PLATFORM list ("xcb", "wayland:options", "offscreen", ...).
bool platformUsable(const std::string& entry) {
  const std::string name = entry.substr(0, entry.find(':'));
  if (name == "xcb") return x11Reachable();
  if (name.rfind("wayland", 0) == 0) return waylandReachable();
  return true;
}
}  // namespace

bool displayReachable() {
  if (set("QT_QPA_PLATFORM")) {
    // Qt tries the entries in turn and gives up only when none works.
    std::istringstream list(std::getenv("QT_QPA_PLATFORM"));
    for (std::string entry; std::getline(list, entry, ';');)
      if (!entry.empty() && platformUsable(entry)) return true;
    return false;
  }
  // Qt's default is xcb; a Wayland session puts wayland before it.
  const char* session = std::getenv("XDG_SESSION_TYPE");
  const bool waylandSession = session != nullptr && std::strcmp(session, "wayland") == 0;
  return x11Reachable() || (waylandSession && waylandReachable());
}

std::string displayName() {
  if (set("DISPLAY")) return std::getenv("DISPLAY");
  if (set("WAYLAND_DISPLAY")) return std::getenv("WAYLAND_DISPLAY");
  return "(none)";
}
