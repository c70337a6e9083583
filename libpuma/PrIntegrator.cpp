#include "libpuma/PrIntegrator.h"

#include <cmath>

#include "libpuma/PrRobot.h"

bool PrIntegrator::step(PrRobot& robot, float dt) {
  robot.forwardDynamics();
  const int n = robot.numJoints();
  const float* ddq = robot.accelerations();
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(ddq[i])) return false;
  float* q = robot.positions();
  float* dq = robot.velocities();
  const float halfDt2 = 0.5f * dt * dt;
  for (int i = 0; i < n; ++i) {
    q[i] += dt * dq[i] + halfDt2 * ddq[i];
    dq[i] += dt * ddq[i];
  }
  return true;
}
