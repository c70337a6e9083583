#include "libpuma/PrIntegrator.h"

#include <cmath>

#include "libpuma/PrRobot.h"

namespace {

bool finite(const float* values, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(values[i])) return false;
  return true;
}

}  // namespace

PrIntegrator::PrIntegrator(int numJoints) : start_(numJoints), stopped_(new bool[numJoints]()) {}

bool PrIntegrator::step(PrRobot& robot, float dt) {
  const int n = robot.numJoints();
  PR_ASSERT(n == start_.numJoints());
  float* q = robot.positions();
  float* dq = robot.velocities();
  float* ddq = robot.accelerations();
  float* q0 = start_.positions();
  float* v0 = start_.velocities();
  float* a0 = start_.accelerations();

  robot.forwardDynamics();
  if (!finite(ddq, n)) return false;
  for (int i = 0; i < n; ++i) {
    q0[i] = q[i];
    v0[i] = dq[i];
    a0[i] = ddq[i];
    stopped_[i] = robot.link(i)->frictionStopped();
    // Midpoint state.
    q[i] = q0[i] + 0.5f * dt * v0[i];
    dq[i] = v0[i] + 0.5f * dt * a0[i];
  }

  robot.forwardDynamics();
  if (!finite(ddq, n)) {
    for (int i = 0; i < n; ++i) {
      q[i] = q0[i];
      dq[i] = v0[i];
    }
    return false;
  }
  for (int i = 0; i < n; ++i) {
    if (stopped_[i]) {
      // Friction stopped (or held) the joint at the start of the step: it comes
      // to rest within the step instead of creeping on at ever smaller speeds.
      q[i] = q0[i] + 0.5f * dt * v0[i];
      dq[i] = 0.0f;
      ddq[i] = -v0[i] / dt;
      continue;
    }
    q[i] = q0[i] + dt * dq[i];
    dq[i] = v0[i] + dt * ddq[i];
  }
  return true;
}
