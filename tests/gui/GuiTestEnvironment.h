// The display the GUI tests draw on: a private Xvfb server started for this
// test program, with Mesa's software renderer, and one QApplication.
#pragma once

#include <functional>

class QApplication;

// Starts Xvfb and the application on first call; both end with the program.
QApplication& guiApplication();

// Runs the event loop until done() holds; false after a generous deadline.
bool processUntil(const std::function<bool()>& done, int timeoutMs = 20000);
