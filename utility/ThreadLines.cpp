#include "utility/ThreadLines.h"

#include <cstdio>

ThreadLines::Slot& ThreadLines::slotOfThisThread() {
  const std::thread::id self = std::this_thread::get_id();
  Slot* free = nullptr;
  for (Slot& slot : m_slots) {
    if (slot.length > 0 && slot.owner == self) return slot;
    if (slot.length == 0 && free == nullptr) free = &slot;
  }
  if (free == nullptr) {
    // More threads mid-line than slots: cut the first one's line short
    // rather than mix two threads' text.
    free = &m_slots[0];
    flush(*free);
  }
  free->owner = self;
  return *free;
}

int ThreadLines::vprint(const char* format, va_list args) {
  Slot& slot = slotOfThisThread();
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(slot.text + slot.length, sizeof slot.text - slot.length, format, args);
  if (n >= 0 && slot.length + n > kBufferSize && slot.length > 0) {
    // Does not fit behind the pending text: let that out first, then format again.
    slot.text[slot.length] = '\0';
    flush(slot);
    n = std::vsnprintf(slot.text, sizeof slot.text, format, again);
  }
  va_end(again);
  if (n < 0) {
    slot.text[slot.length] = '\0';
    return n;
  }
  slot.length = slot.length + n < kBufferSize ? slot.length + n : kBufferSize;
  if (slot.length > kFlushSize || (slot.length > 0 && slot.text[slot.length - 1] == '\n')) flush(slot);
  return n;
}

void ThreadLines::flushAll() {
  for (Slot& slot : m_slots) flush(slot);
}

void ThreadLines::flush(Slot& slot) {
  if (slot.length == 0) return;
  slot.text[slot.length] = '\0';
  const int length = slot.length;
  slot.length = 0;
  m_emit(m_context, slot.text, length);
  slot.text[0] = '\0';
}
