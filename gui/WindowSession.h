// Runs the main window over a started Application until the session ends.
#pragma once

class Application;

// Install before Application::start: every endSession() hands hiding the
// window, writing "config" and quitting the event loop to the GUI thread.
void installWindowSessionEndHandler();

// Creates the Qt application and the window (its dock layout restored from
// "config"), runs the event loop, and shuts the application down with the
// window deleted in its place in the order. Returns the exit status.
int runWindowSession(Application& application, int argc, char** argv);
