// The potentials and the friction compensation: repulsion fields, the joint
// limit potential, the integral trim and the disturbance observer, the last
// against a simulated joint with Coulomb friction.
#include <gtest/gtest.h>

#include <cmath>

#include "StateFixture.h"
#include "plugin/DisturbanceObserver.h"
#include "plugin/IntegralTrim.h"
#include "plugin/RepulsivePotentials.h"

namespace {

TEST(Repulsion, VanishesBeyondTheRangeAndGrowsTowardsTheSurface) {
  EXPECT_EQ(repulsion(0.05, 0.05, 0.01), 0);
  EXPECT_EQ(repulsion(0.2, 0.05, 0.01), 0);
  double previous = 0;
  for (double rho = 0.049; rho > 0.003; rho *= 0.8) {  // above the clamp at 5% of the range
    const double push = repulsion(rho, 0.05, 0.01);
    EXPECT_GT(push, previous);
    EXPECT_NEAR(push, 0.01 * (1 / std::fmax(rho, 0.0025) - 20) / std::pow(std::fmax(rho, 0.0025), 2),
                1e-6 * push);
    previous = push;
  }
  EXPECT_TRUE(std::isfinite(repulsion(-0.01, 0.05, 0.01)));  // inside: large but finite
}

TEST(Repulsion, ObstaclesPushTheToolAwayFromTheirCentres) {
  StateFixture f;
  f.s.numObstacles = 2;
  f.s.obstacles[0].center = PrVector3(0.5f, 0, 0);
  f.s.obstacles[0].radius = 0.1f;
  f.s.obstacles[1].center = PrVector3(0, 3, 0);  // far away
  f.s.obstacles[1].radius = 0.1f;
  const double p[3] = {0.5, 0.13, 0.0};
  double push[3];
  obstacleRepulsion(f.s, p, push);
  EXPECT_NEAR(push[0], 0.0, 1e-9);
  EXPECT_NEAR(push[1], repulsion(0.03, 0.05, 0.01), 1e-4);
  EXPECT_NEAR(push[2], 0.0, 1e-9);
  EXPECT_NEAR(nearestObstacleDistance(f.s, p), 0.03, 1e-6);
}

TEST(JointLimitPotential, AcceleratesOnlyTheJointsNearALimitAndOnlyWhenSwitchedOn) {
  StateFixture f;
  f.s.q[0] = f.s.qmin[0] + 0.03f;  // inside the 5 degree range of the lower limit
  f.s.q[1] = f.s.qmax[1] - 0.03f;  // and of the upper one
  f.s.jlimit = false;
  addJointLimitTorques(f.s);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(f.s.tau[i], 0);
  f.s.jlimit = true;
  addJointLimitTorques(f.s);
  // The joint accelerations the torques cause, A^-1 tau: away from the two
  // limits, and nothing for the joints that are far from theirs.
  Eigen::VectorXd tau(6);
  for (int i = 0; i < 6; ++i) tau[i] = f.s.tau[i];
  const Eigen::VectorXd a = f.A.ldlt().solve(tau);
  const double push = repulsion(0.03, 0.0873, 0.1);
  EXPECT_NEAR(a[0], push, 1e-3 * push);
  EXPECT_NEAR(a[1], -push, 1e-3 * push);
  for (int i = 2; i < 6; ++i) EXPECT_NEAR(a[i], 0, 1e-4 * push) << "joint " << i + 1;
}

TEST(IntegralTrim, IntegratesOnlyInsideItsZoneAndStaysBounded) {
  IntegralTrim trim;
  const float kp[2] = {400, 400};
  const double zone[2] = {0.01, 0.01};
  double command[2] = {0, 0};
  const double error[2] = {0.005, 0.5};  // inside, outside
  for (int k = 0; k < 100; ++k) trim.apply(2, error, kp, zone, 0.002, command);
  // Sum over k of kp * 2 * (k+1) * e * dt pushes against the error.
  EXPECT_LT(command[0], 0);
  EXPECT_EQ(command[1], 0);
  for (int k = 0; k < 100000; ++k) {
    command[0] = 0;
    trim.apply(2, error, kp, zone, 0.002, command);
  }
  EXPECT_NEAR(command[0], -400 * 0.01, 1e-9);  // clamped at kp * zone
}

// One joint of inertia m with Coulomb friction c, driven by the observer's
// compensated torque: the estimate converges to the friction and the joint
// accelerates as the friction-free model says.
TEST(DisturbanceObserver, LearnsCoulombFrictionAndCancelsIt) {
  StateFixture f(1);
  const double m = 0.5, c = 2.0, dt = 0.002, wanted = 3.0;  // rad/s^2
  f.s.A(0, 0) = float(m);
  f.s.B[0] = f.s.G[0] = 0;
  f.s.tauMax[0] = 100;
  DisturbanceObserver observer;
  double dq = 0, acceleration = 0;
  for (int k = 0; k < 1000; ++k) {
    f.s.dq[0] = float(dq);
    f.s.tau[0] = float(m * wanted);  // the law's torque
    observer.compensate(f.s, dt);
    acceleration = (f.s.tau[0] - c) / m;  // moving forwards: friction opposes
    dq += acceleration * dt;
  }
  EXPECT_NEAR(observer.estimate()[0], c, 0.01);
  EXPECT_NEAR(acceleration, wanted, 0.05);
}

}  // namespace
