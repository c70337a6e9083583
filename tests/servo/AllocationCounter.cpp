// Replaces the global operator new/delete of the servo test program with
// counting versions (counting is off unless a test switches it on).
#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<bool> g_countAllocations{false};
std::atomic<long> g_allocations{0};

namespace {
[[gnu::noinline]] void* allocate(std::size_t size) {
  if (g_countAllocations.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void release(void* p) noexcept { std::free(p); }
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
