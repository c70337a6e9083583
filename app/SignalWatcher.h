// Ends the session in order on SIGINT or SIGTERM.
//
// blockTerminationSignals() must run in the main thread before any other
// thread exists, so every thread inherits the blocked mask and the signals
// are only ever taken by the watcher thread, which calls endSession() from
// ordinary thread context (never from a signal handler).
#pragma once

#include <thread>

void blockTerminationSignals();

class SignalWatcher {
 public:
  SignalWatcher();   // starts the watcher thread
  ~SignalWatcher();  // stops and joins it
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

 private:
  void watch();
  std::thread m_thread;
};
