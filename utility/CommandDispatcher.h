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

  // Waits, for a bounded time, until everything the lines run so far made the
  // servo print has been printed, so that what comes next follows it.
  virtual void awaitReplies() {}
};
