// Runs pieces of work each in a child process of its own, a few at a time,
// each within a wall-time limit, so that work which crashes, hangs or ends the
// process costs that piece only.
//
// The work runs in a fork of this process (no exec): it returns its result as
// bytes, which reach the parent through a pipe. What it prints on standard
// output and standard error is collected too (the last few kilobytes).
// Call from a single-threaded process.
#pragma once

#include <functional>
#include <string>

struct ChildOutcome {
  enum Kind {
    kFinished,  // the work returned; result holds what it returned
    kCrashed,   // ended by a signal (signal)
    kTimedOut,  // killed at the time limit
    kNoResult,  // exited (exitStatus) before the work returned
  };
  Kind kind = kNoResult;
  std::string result;
  std::string output;  // the end of what the child printed
  int signal = 0;
  int exitStatus = 0;
  double wallSeconds = 0;
};

// Runs work(i) for i in 0 .. count-1, at most `parallel` at once, each killed
// after timeLimit wall seconds; done(i, outcome) is called in the parent as
// each ends, in the order they end.
void runInChildren(int count, int parallel, double timeLimit, const std::function<std::string(int)>& work,
                   const std::function<void(int, ChildOutcome&&)>& done);
