#include "servo/Session.h"

#include <cstdio>

std::atomic<bool> sessionEnded{false};

namespace {
void (*g_endHandler)(bool firstCall) = nullptr;
}

int endSession() {
  // exchange() makes the message one-shot even when two threads end the session at once.
  const bool first = !sessionEnded.exchange(true);
  if (first) std::fprintf(stderr, "Session ended.\n");
  if (g_endHandler) g_endHandler(first);
  return 0;
}

void setSessionEndHandler(void (*handler)(bool firstCall)) { g_endHandler = handler; }

void beginSession() { sessionEnded.store(false); }
