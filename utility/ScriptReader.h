// Runs a file of console command lines as if they had been typed.
//
// One extra command exists only in scripts: "wait <ms>" pauses between lines.
// Lines are read in chunks of at most 255 characters; a longer line is run as
// several consecutive lines. Every other line goes to the dispatcher
// unchanged, which reports failures as at the prompt; the script goes on.
#pragma once

class CommandDispatcher;

class ScriptReader {
 public:
  explicit ScriptReader(CommandDispatcher* console);

  // filename may end with a line feed (the rest of a typed "load" line); the
  // name is cut there, in the caller's buffer. Returns when the file has been
  // run to its end, or early when the session ends.
  void run(char* filename);

 private:
  // Handles one "wait" chunk: pauses for its argument in milliseconds.
  void wait(const char* chunk);

  CommandDispatcher* m_console;
};
