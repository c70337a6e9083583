// Whether the window system that Qt would use accepts a connection.
//
// Qt ends the process when its platform plugin cannot open the display, so
// the program asks first and falls back to the console when the answer is
// no. Checks the X server named by DISPLAY (through xcb, as Qt's own xcb
// plugin connects) and the Wayland socket named by WAYLAND_DISPLAY; a
// platform chosen in QT_QPA_PLATFORM that needs neither (offscreen, vnc,
// ...) is taken as usable.
#pragma once

#include <string>

bool displayReachable();

// The display's name for messages: DISPLAY, else WAYLAND_DISPLAY, else "(none)".
std::string displayName();
