#include "libpuma/PrIntegrator.h"

#include <cmath>
#include <cstring>

#include "libpuma/PrRobot.h"
#include "utility/allFinite.h"

PrIntegrator::PrIntegrator(int numJoints) : start_(numJoints), end_(numJoints) {}

bool PrIntegrator::step(PrRobot& robot, float dt) {
  const int n = robot.numJoints();
  PR_ASSERT(n == start_.numJoints());
  float* q = robot.positions();
  float* dq = robot.velocities();
  float* ddq = robot.accelerations();
  float* q0 = start_.positions();
  float* v0 = start_.velocities();
  // The previous accelerations predict the midpoint velocity only while the
  // robot is where the last step left it; after a setState they do not apply.
  const bool continues = endValid_ && std::memcmp(end_.positions(), q, sizeof(float) * n) == 0 &&
                         std::memcmp(end_.velocities(), dq, sizeof(float) * n) == 0;
  const float* previous = end_.accelerations();

  for (int i = 0; i < n; ++i) {
    q0[i] = q[i];
    v0[i] = dq[i];
    // Drift half a step; the velocity there as the last accelerations predict it.
    q[i] = q0[i] + 0.5f * dt * v0[i];
    dq[i] = continues ? v0[i] + 0.5f * dt * previous[i] : v0[i];
  }
  robot.forwardDynamics();
  if (!allFinite(ddq, n)) {
    for (int i = 0; i < n; ++i) {
      q[i] = q0[i];
      dq[i] = v0[i];
    }
    endValid_ = false;
    return false;
  }

  float* used = end_.accelerations();
  for (int i = 0; i < n; ++i) {
    if (robot.link(i)->frictionStopped()) {
      // Friction stops (or holds) the joint within the step: it comes to rest
      // at the midpoint position instead of creeping on at ever smaller speeds.
      dq[i] = 0.0f;
      ddq[i] = -v0[i] / dt;
      used[i] = 0.0f;
      continue;
    }
    // Kick, then drift the second half with the new velocity.
    dq[i] = v0[i] + dt * ddq[i];
    q[i] += 0.5f * dt * dq[i];
    used[i] = ddq[i];
  }
  std::memcpy(end_.positions(), q, sizeof(float) * n);
  std::memcpy(end_.velocities(), dq, sizeof(float) * n);
  endValid_ = true;
  return true;
}
