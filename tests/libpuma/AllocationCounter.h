// Counts heap allocations (operator new) made while a piece of work runs.
// The test program's global operator new is replaced by AllocationCounter.cpp;
// any test of this program can use it.
#pragma once

#include <functional>

long heapAllocationsDuring(const std::function<void()>& work);
