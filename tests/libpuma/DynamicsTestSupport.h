// Shared helpers for the tests of the articulated-body engine and CSimPuma.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "libpuma/CSimPuma.h"
#include "libpuma/PacingClock.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

namespace dyntest {

// A clock the test advances by hand (ms).
class ManualClock : public PacingClock {
 public:
  std::int64_t ticks() const override { return now; }
  std::int64_t now = 1000;
};

inline PrVector vec6(float a, float b, float c, float d, float e, float f) {
  PrVector v(6);
  const float values[6] = {a, b, c, d, e, f};
  v.setValues(values, 6);
  return v;
}

// The shipped arm (run directory), with friction on or off.
inline std::unique_ptr<CSimPuma> shippedPuma(bool friction, const PacingClock* clock = nullptr) {
  auto arm = CSimPuma::create(500.0f, CSimPuma::kDefaultDescription, clock);
  if (arm) arm->setFriction(friction);
  return arm;
}

// Writes `text` into a fresh file under the test's temporary directory.
inline std::string writeTempFile(const std::string& name, const std::string& text) {
  // Named after the running test: ctest runs tests in parallel processes.
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string owner =
      test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() + "-" : "";
  const std::string path = ::testing::TempDir() + "dyn_" + owner + name;
  std::FILE* f = std::fopen(path.c_str(), "w");
  std::fputs(text.c_str(), f);
  std::fclose(f);
  return path;
}

// Total energy T + V (J) of the arm: ½·q̇ᵀMq̇ plus Σ m·(g_up·c) over the links.
inline double totalEnergy(CSimPuma& arm) {
  PrMatrix M;
  arm.computeMassMatrix(M);
  PrRobot& robot = arm.robot();
  const float* dq = robot.velocities();
  double kinetic = 0.0;
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c) kinetic += 0.5 * dq[r] * M[r][c] * dq[c];
  const PrVector3& up = robot.gravity();
  double potential = 0.0;
  for (int i = 0; i < 6; ++i) {
    const PrLink& L = *robot.link(i);
    const PrVector3 c = L.globalFrame() * L.centerOfMass();
    potential += L.mass() * (up[0] * c[0] + up[1] * c[1] + up[2] * c[2]);
  }
  return kinetic + potential;
}

}  // namespace dyntest
