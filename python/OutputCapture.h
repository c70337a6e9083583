// OutputCapture: what the process prints on standard output and standard
// error while it exists, collected instead of shown.
//
// The console and the servo print through several routes (the servo's text
// messages, the dispatcher's error lines, the help text, the C library's
// streams); taking the two file descriptors over catches all of them exactly
// as a terminal would see them. Output of other threads in that time is
// caught too, so keep captures short. Captures do not nest.
#pragma once

#include <string>

class OutputCapture {
 public:
  OutputCapture();
  ~OutputCapture();  // restores the descriptors if finish() was not called
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  // Restores the descriptors and returns what was printed on each.
  void finish(std::string& out, std::string& err);

 private:
  struct Stream {
    int fd = -1;     // 1 or 2
    int saved = -1;  // the original descriptor, duplicated
    int file = -1;   // the in-memory file that takes its place
  };
  static void take(Stream& s, int fd, const char* name);
  static std::string giveBack(Stream& s);

  Stream m_out, m_err;
  bool m_finished = false;
};
