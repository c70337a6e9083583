#include "utility/consolePrint.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "utility/ThreadLines.h"

namespace {
std::atomic<ConsolePrintSink*> g_sink{nullptr};

// Without a sink the text goes to standard output, a whole line at a time
// per thread, so that two threads' prints never share a line.
struct StandardOutputLines {
  std::mutex lock;
  ThreadLines lines{[](void*, const char* text, int length) {
                      std::fwrite(text, 1, static_cast<size_t>(length), stdout);
                      std::fflush(stdout);
                    },
                    nullptr};
  ~StandardOutputLines() { lines.flushAll(); }
};

StandardOutputLines& standardOutputLines() {
  static StandardOutputLines instance;
  return instance;
}
}  // namespace

void setConsolePrintSink(ConsolePrintSink* sink) { g_sink.store(sink, std::memory_order_release); }

ConsolePrintSink* consolePrintSink() { return g_sink.load(std::memory_order_acquire); }

int consoleVPrint(const char* format, va_list args) {
  if (ConsolePrintSink* sink = consolePrintSink()) return sink->vprint(format, args);
  StandardOutputLines& out = standardOutputLines();
  std::lock_guard<std::mutex> lock(out.lock);
  return out.lines.vprint(format, args);
}

void flushConsolePrint() {
  StandardOutputLines& out = standardOutputLines();
  std::lock_guard<std::mutex> lock(out.lock);
  out.lines.flushAll();
}

int consolePrint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = consoleVPrint(format, args);
  va_end(args);
  return n;
}
