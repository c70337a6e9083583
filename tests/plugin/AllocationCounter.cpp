// Counts the heap allocations of the plug-in test program while switched on,
// for the "the servo tick allocates nothing" checks.
#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<bool> g_countAllocations{false};
std::atomic<long> g_allocations{0};

void* operator new(std::size_t size) {
  if (g_countAllocations.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
