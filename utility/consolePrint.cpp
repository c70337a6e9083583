#include "utility/consolePrint.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<ConsolePrintSink*> g_sink{nullptr};
}

void setConsolePrintSink(ConsolePrintSink* sink) { g_sink.store(sink, std::memory_order_release); }

ConsolePrintSink* consolePrintSink() { return g_sink.load(std::memory_order_acquire); }

int consoleVPrint(const char* format, va_list args) {
  if (ConsolePrintSink* sink = consolePrintSink()) return sink->vprint(format, args);
  return std::vprintf(format, args);
}

int consolePrint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = consoleVPrint(format, args);
  va_end(args);
  return n;
}
