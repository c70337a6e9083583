// ScriptedRobotDriver: a simulated-driver stand-in that only hands out the
// joint state, end-effector frame and gravity torques its owner stores in it.
// Lets a robot model be exercised or timed on its own, without the dynamics.
#pragma once

#include "libpuma/IRobotSimDriver.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector.h"

class ScriptedRobotDriver : public IRobotSimDriver {
 public:
  ScriptedRobotDriver() : IRobotSimDriver(500.0f), q(6), dq(6), gravity(6) {}

  void getJointPositions(PrVector& out) override { out = q; }
  void getJointVelocities(PrVector& out) override { out = dq; }
  void setTorques(const PrVector&) override {}
  void setState(const PrVector& pos, const PrVector& vel) override {
    q = pos;
    dq = vel;
  }
  void forwardDynamics(PrVector& acc, const PrVector&) override { acc.setSize(6, true); }
  void inverseDynamics(PrVector& tau, const PrVector&) override { tau.setSize(6, true); }
  void getEndEffectorFrame(PrTransform& frame) override { frame = endEffector; }
  void computeMassMatrix(PrMatrix& M) override { M.setSize(6, 6, true); }
  void computeGravity(PrVector& g) override { g = gravity; }

  PrVector q, dq, gravity;
  PrTransform endEffector;
};
