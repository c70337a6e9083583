#include "DesktopControl.h"

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

std::string shell(const std::string& command) {
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  return out;
}

bool haveTool(const char* name) { return !shell(std::string("command -v ") + name).empty(); }

unsigned findWindow(Geometry* geometry) {
  const std::string id = shell("timeout 60 xdotool search --sync --onlyvisible --name '^KORVEX Simulator$'");
  const unsigned window = static_cast<unsigned>(std::strtoul(id.c_str(), nullptr, 10));
  if (window == 0) return 0;
  std::istringstream shellVars(shell("xdotool getwindowgeometry --shell " + std::to_string(window)));
  for (std::string line; std::getline(shellVars, line);) {
    const int value = std::atoi(line.c_str() + line.find('=') + 1);
    if (line.rfind("X=", 0) == 0) geometry->x = value;
    if (line.rfind("Y=", 0) == 0) geometry->y = value;
    if (line.rfind("WIDTH=", 0) == 0) geometry->width = value;
    if (line.rfind("HEIGHT=", 0) == 0) geometry->height = value;
  }
  return window;
}

void askToClose(unsigned window) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  auto atom = [c](const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_NONE);
    std::free(reply);
    return value;
  };
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = atom("WM_PROTOCOLS");
  event.data.data32[0] = atom("WM_DELETE_WINDOW");
  event.data.data32[1] = XCB_CURRENT_TIME;
  // Waiting for the server's answer before hanging up: a request sent just
  // before the connection closes may be dropped.
  std::free(xcb_request_check(c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                        reinterpret_cast<const char*>(&event))));
  xcb_disconnect(c);
}

void drag(const Geometry& g, const std::vector<std::pair<double, double>>& points) {
  std::string command = "xdotool";
  for (size_t i = 0; i < points.size(); ++i) {
    const int x = g.x + int(points[i].first * g.width), y = g.y + int(points[i].second * g.height);
    command += " mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1";
    if (i == 0) command += " mousedown 1";
  }
  shell(command + " mouseup 1");
}

void pressAt(int x, int y) {
  shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 mousedown 1");
}

void moveTo(int x, int y) { shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)); }

void release() { shell("xdotool mouseup 1"); }

void clickAt(int x, int y, int button) {
  shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 click " +
        std::to_string(button));
}

void pressKeys(const std::vector<std::string>& keys) {
  std::string command = "xdotool";
  for (const std::string& key : keys) command += " key " + key + " sleep 0.05";
  shell(command);
}

void resizeWindow(unsigned window, int width, int height) {
  shell("xdotool windowsize --sync " + std::to_string(window) + " " + std::to_string(width) + " " +
        std::to_string(height));
}
