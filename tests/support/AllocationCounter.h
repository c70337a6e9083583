// Counts heap allocations made through operator new while a scope is open.
//
// AllocationCounter.cpp replaces the global operator new/delete family with
// forwarding versions that count. They are weak definitions, so a test file
// that brings its own replacement still links; counterIsHooked() tells a test
// whether these counters are the ones in use.
#pragma once

#include <functional>

namespace alloccount {

// Allocations seen since the last reset; only counted while enabled.
void reset();
void enable(bool on);
// While on, only the calling thread's allocations are counted (a test that
// stands in for the servo thread while a worker of its own allocates).
void countOnlyThisThread(bool on);
long count();

// True when allocations made now are seen by count().
bool counterIsHooked();

// Counts the allocations made during its lifetime.
class Scope {
 public:
  Scope() {
    reset();
    enable(true);
  }
  ~Scope() { enable(false); }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
  long allocations() const { return count(); }
};

}  // namespace alloccount

// Heap allocations made by work(), counted with the counter above.
long heapAllocationsDuring(const std::function<void()>& work);
