// Printed text held per thread until its line is complete.
//
// Several threads print through the one print routine (the servo, the
// console's script waits, the plot thread). Each thread's text collects in a
// slot of its own and is let out only when it ends with a line feed or grows
// beyond the flush size, so a line begun by one thread ("Waiting for 1.0
// seconds...") is never finished by another thread's reply.
//
// The slots are fixed at construction: holding text never allocates, so the
// servo thread may print. A slot belongs to a thread only while it holds text;
// when every slot is taken, the first is let out early and reused.
//
// Not synchronised: the owner serialises the calls.
#pragma once

#include <cstdarg>
#include <thread>

class ThreadLines {
 public:
  static constexpr int kBufferSize = 8160;  // characters one slot holds
  static constexpr int kFlushSize = 4080;   // pending text beyond this is let out
  static constexpr int kSlots = 8;          // threads that may hold a partial line at once

  // Receives each piece of text let out, NUL-terminated, length characters.
  using Emit = void (*)(void* context, const char* text, int length);

  ThreadLines(Emit emit, void* context) : m_emit(emit), m_context(context) {}
  ThreadLines(const ThreadLines&) = delete;
  ThreadLines& operator=(const ThreadLines&) = delete;

  // Formats the calling thread's text; returns what vsnprintf returns. A
  // print that does not fit behind the thread's pending text lets that out
  // first; a single print longer than a slot is cut at its end.
  int vprint(const char* format, va_list args);
  // Lets out every thread's pending text (at shutdown).
  void flushAll();

 private:
  struct Slot {
    std::thread::id owner;
    int length = 0;
    char text[kBufferSize + 1];  // + NUL
  };

  Slot& slotOfThisThread();
  void flush(Slot& slot);

  Emit m_emit;
  void* m_context;
  Slot m_slots[kSlots];
};
