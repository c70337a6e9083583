// Counts the heap allocations of the test program while switched on.
#pragma once

#include <atomic>

extern std::atomic<bool> g_countAllocations;
extern std::atomic<long> g_allocations;

// Counts the allocations made while it is alive.
class AllocationScope {
 public:
  AllocationScope() {
    g_allocations = 0;
    g_countAllocations = true;
  }
  ~AllocationScope() { g_countAllocations = false; }
  long count() const { return g_allocations.load(); }
};
