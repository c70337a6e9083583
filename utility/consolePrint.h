// The program-wide printf-style print routine.
//
// Every display() of the numeric types and all servo-side text goes through
// consolePrint. By default it writes to standard output; once the servo side's
// agent exists it installs itself as the sink and the text travels to the
// user interface as messages instead. Either way each thread's text is let
// out a whole line at a time (ThreadLines), so threads never share a line.
#pragma once

#include <cstdarg>

class ConsolePrintSink {
 public:
  virtual ~ConsolePrintSink() = default;
  // Formats and takes the text; returns what vsnprintf would return.
  virtual int vprint(const char* format, va_list args) = 0;
};

// Installs the sink that receives all further text (nullptr: standard output).
// Not synchronised with concurrent prints: install before the threads that
// print start, remove after they have ended.
void setConsolePrintSink(ConsolePrintSink* sink);
ConsolePrintSink* consolePrintSink();

int consolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
int consoleVPrint(const char* format, va_list args);
// Writes out the partial lines still held for standard output.
void flushConsolePrint();
