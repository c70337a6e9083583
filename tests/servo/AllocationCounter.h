// Counts the heap allocations of the test program while switched on.
#pragma once

#include <atomic>

extern std::atomic<bool> g_countAllocations;
extern std::atomic<long> g_allocations;
