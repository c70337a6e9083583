// The servo calls update and rateMatrices every tick: after the first call
// neither may touch the heap, for any robot type.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

#include "ModelTestSupport.h"
#include "libpuma/RobotModelFactory.h"

namespace {

std::atomic<long> g_modelAllocations{0};
std::atomic<bool> g_countModelAllocations{false};

void* countingAllocate(std::size_t n) {
  if (g_countModelAllocations.load(std::memory_order_relaxed)) g_modelAllocations.fetch_add(1);
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

// Weak, so that another test file of this program may bring its own counter;
// the test below then skips instead of passing unseen.
__attribute__((weak)) void* operator new(std::size_t n) { return countingAllocate(n); }
__attribute__((weak)) void* operator new[](std::size_t n) { return countingAllocate(n); }
__attribute__((weak)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((weak)) void operator delete[](void* p) noexcept { std::free(p); }
__attribute__((weak)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
__attribute__((weak)) void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

long allocationsDuring(const std::function<void()>& work) {
  g_modelAllocations = 0;
  g_countModelAllocations = true;
  work();
  g_countModelAllocations = false;
  return g_modelAllocations.load();
}

TEST(ModelAllocation, ServoTickAllocatesNothingAfterTheFirst) {
  // A volatile pointer keeps the compiler from eliding the pair.
  const long probe = allocationsDuring([] {
    int* volatile p = new int(1);
    delete p;
  });
  if (probe != 1) GTEST_SKIP() << "another allocation counter is linked";

  modeltest::ScriptedDriver driver;
  std::mt19937 rng(61);
  for (int type = 0; type < kRobotTypeCount; ++type) {
    auto model = createRobotModel(type);
    PrVector q, dq, b, g, lock, x;
    PrMatrix J, dJ, M, Einv, E;
    int flags = 0;
    auto tick = [&] {
      model->update(driver, 0.17f, q, dq, J, dJ, M, b, g, flags, lock);
      model->rateMatrices(driver, q, x, Einv, E);
      model->normalizeConfig(x);
    };
    tick();
    const long count = allocationsDuring([&] {
      for (int n = 0; n < 100; ++n) {
        double angles[6];
        modeltest::randomJoints(rng, angles);
        for (int i = 0; i < 6; ++i) {
          driver.q[i] = float(angles[i]);
          driver.dq[i] = float(angles[5 - i]);
        }
        driver.endEffector.rotation = modeltest::randomUnitQuaternion(rng);
        tick();
      }
    });
    EXPECT_EQ(count, 0) << "robot type " << type;
  }
}

}  // namespace
