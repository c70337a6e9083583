// Something that runs console command lines one at a time.
//
// The console implements it; the script reader and the window hand it lines
// without knowing anything else about the console.
#pragma once

class CommandDispatcher {
 public:
  // Size of the reply buffer a caller may pass to processCommand.
  static constexpr int kReplySize = 256;

  virtual ~CommandDispatcher() = default;

  // Runs one command line (at most 255 characters are looked at). Returns true
  // on success; on failure writes the error text into reply when one is given
  // (kReplySize bytes) and prints it on standard error.
  virtual bool processCommand(const char* commandStr, char* reply = nullptr) = 0;

  // True once the session is ending: long-running callers (scripts) stop early.
  virtual bool sessionOver() const { return false; }

  // A script's "wait ms": by default ms of wall time, cut short when the
  // session ends; a console whose servo keeps no wall clock lets that much
  // simulated time pass instead. Either way at most kLongestPauseMs.
  virtual void pause(long ms);

  // A day: longer pauses are cut to it (a pause in nanoseconds must fit 64 bits).
  static constexpr long kLongestPauseMs = 24L * 3600 * 1000;

  // Waits, for a bounded time, until everything the lines run so far made the
  // servo print has been printed, so that what comes next follows it.
  virtual void awaitReplies() {}
};
