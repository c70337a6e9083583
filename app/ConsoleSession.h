// What the main window needs from the session it runs over: the console it
// drives, and the two halves of the shutdown between which the window is
// deleted. The in-process Application and the RemoteSession (console here,
// servo in another process) both provide it.
#pragma once

#include "servo/ScopeSample.h"

class TextUI;

class ConsoleSession {
 public:
  virtual ~ConsoleSession() = default;

  virtual TextUI& console() = 0;
  // Every servo tick's values for the window's scope (from the servo in this
  // process or over the link); nullptr when there are none. Lives until
  // completeShutdown.
  virtual ScopeRing* scopeRing() { return nullptr; }
  // After the session has ended: the console's threads stopped. The window
  // may still be deleted afterwards but must no longer call the console.
  virtual void beginShutdown() = 0;
  // Everything else, in reverse order of creation; prints "Exiting.".
  virtual void completeShutdown() = 0;
};
