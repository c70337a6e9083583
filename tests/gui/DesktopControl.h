// Driving the real program's window from outside, as a person would: the
// X server's pointer and keyboard through xdotool, and the window manager's
// close request. For tests on their private Xvfb display.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Standard output of a shell command.
std::string shell(const std::string& command);
bool haveTool(const char* name);

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

// The main window's id and place once it is mapped, or id 0.
unsigned findWindow(Geometry* geometry);
// What a window manager sends when the user closes a window.
void askToClose(unsigned window);

// A left-button drag through points given as fractions of the window.
void drag(const Geometry& g, const std::vector<std::pair<double, double>>& points);
// The left button pressed at, the pointer moved to, the button released.
void pressAt(int x, int y);
void moveTo(int x, int y);
void release();
// A click of the button (1 left, 3 right) at a screen pixel.
void clickAt(int x, int y, int button);
// Key presses by their X names, such as "Down" or "Return".
void pressKeys(const std::vector<std::string>& keys);
// Asks for a new size of the window and waits until the server has it.
void resizeWindow(unsigned window, int width, int height);
