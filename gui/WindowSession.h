// Runs the main window over a started session (the in-process Application,
// or a RemoteSession whose servo runs in another process) until it ends.
#pragma once

class ConsoleSession;

// Install before the session starts: every endSession() hands hiding the
// window, writing "config" and quitting the event loop to the GUI thread.
void installWindowSessionEndHandler();

// Creates the Qt application and the window (its dock layout restored from
// "config"), runs the event loop, and shuts the session down with the
// window deleted in its place in the order. Returns the exit status.
int runWindowSession(ConsoleSession& session, int argc, char** argv);
