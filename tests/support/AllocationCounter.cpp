#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_allocations{0};
std::atomic<bool> g_enabled{false};
std::atomic<bool> g_oneThread{false};  // count only the thread marked below
thread_local bool t_marked = false;

bool counted() {
  return g_enabled.load(std::memory_order_relaxed) &&
         (!g_oneThread.load(std::memory_order_relaxed) || t_marked);
}

void* countedAllocate(std::size_t n) {
  if (counted()) g_allocations.fetch_add(1, std::memory_order_relaxed);
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void* countedAllocateAligned(std::size_t n, std::align_val_t alignment) {
  if (counted()) g_allocations.fetch_add(1, std::memory_order_relaxed);
  const auto a = static_cast<std::size_t>(alignment);
  // aligned_alloc wants a size that is a multiple of the alignment.
  void* p = std::aligned_alloc(a, ((n == 0 ? 1 : n) + a - 1) / a * a);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

template <typename Allocate>
void* withoutThrowing(Allocate allocate) noexcept {
  try {
    return allocate();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

// The whole family is replaced, so that sanitizer runtimes never see memory
// from one allocator released through another.
__attribute__((weak)) void* operator new(std::size_t n) { return countedAllocate(n); }
__attribute__((weak)) void* operator new[](std::size_t n) { return countedAllocate(n); }
__attribute__((weak)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((weak)) void operator delete[](void* p) noexcept { std::free(p); }
__attribute__((weak)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
__attribute__((weak)) void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The nothrow and over-aligned forms too: libraries loaded at run time (the
// OpenGL driver's compiler among them) use them and free through the plain ones.
__attribute__((weak)) void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return withoutThrowing([n] { return countedAllocate(n); });
}
__attribute__((weak)) void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return withoutThrowing([n] { return countedAllocate(n); });
}
__attribute__((weak)) void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
__attribute__((weak)) void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
__attribute__((weak)) void* operator new(std::size_t n, std::align_val_t a) {
  return countedAllocateAligned(n, a);
}
__attribute__((weak)) void* operator new[](std::size_t n, std::align_val_t a) {
  return countedAllocateAligned(n, a);
}
__attribute__((weak)) void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return withoutThrowing([n, a] { return countedAllocateAligned(n, a); });
}
__attribute__((weak)) void* operator new[](std::size_t n, std::align_val_t a,
                                           const std::nothrow_t&) noexcept {
  return withoutThrowing([n, a] { return countedAllocateAligned(n, a); });
}
__attribute__((weak)) void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
__attribute__((weak)) void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
__attribute__((weak)) void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
__attribute__((weak)) void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
__attribute__((weak)) void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(p);
}
__attribute__((weak)) void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(p);
}

namespace alloccount {

void reset() { g_allocations.store(0); }
void enable(bool on) { g_enabled.store(on); }
void countOnlyThisThread(bool on) {
  t_marked = on;
  g_oneThread.store(on);
}
long count() { return g_allocations.load(); }

bool counterIsHooked() {
  Scope scope;
  // A volatile pointer keeps the compiler from eliding the pair.
  int* volatile probe = new int(1);
  delete probe;
  return scope.allocations() == 1;
}

}  // namespace alloccount

long heapAllocationsDuring(const std::function<void()>& work) {
  alloccount::Scope scope;
  work();
  return scope.allocations();
}
