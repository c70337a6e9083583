#include "libpuma/CSimPuma.h"

#include <cmath>

#include "matrix/PrTransform.h"
#include "utility/allFinite.h"
#include "utility/consolePrint.h"

namespace {

bool allFinite(const PrVector& v) { return ::allFinite(v.dataPtr(), v.size()); }

}  // namespace

std::unique_ptr<CSimPuma> CSimPuma::create(float rate, const char* path, const PacingClock* clock) {
  PR_ASSERT(rate > 0.0f);
  auto robot = std::make_unique<PrRobot>(DOF, path, 0, 0);
  if (!robot->valid()) return nullptr;  // the reader has said why
  return std::unique_ptr<CSimPuma>(new CSimPuma(rate, std::move(robot), clock));
}

CSimPuma::CSimPuma(float rate, std::unique_ptr<PrRobot> robot, const PacingClock* clock)
    : IRobotSimDriver(rate, clock),
      m_robot(std::move(robot)),
      m_integrator(std::make_unique<PrIntegrator>(DOF)),
      m_scratch(DOF),
      m_commanded(DOF),
      m_jacobian(3, DOF) {
  for (int i = 0; i < DOF; ++i) m_savedFriction[i] = m_robot->link(i)->friction();
  setState(m_scratch, m_scratch);
}

CSimPuma::~CSimPuma() = default;

void CSimPuma::reportNonFinite(const char* what) {
  if (!m_nonFiniteReported) consolePrint("Error: simulated arm: %s\n", what);
  m_nonFiniteReported = true;
}

// --- sensing and actuation -------------------------------------------------------

void CSimPuma::getJointPositions(PrVector& q) {
  q.resize(DOF);
  q.setValues(m_robot->positions(), DOF);
}

void CSimPuma::getJointVelocities(PrVector& dq) {
  dq.resize(DOF);
  dq.setValues(m_robot->velocities(), DOF);
}

void CSimPuma::setTorques(const PrVector& tau) {
  PR_ASSERT(tau.size() == DOF);
  m_commanded = tau;
  tau.getValues(m_robot->torques(), DOF);
}

int CSimPuma::step(float speed) {
  const int r = IRobotSimDriver::step(speed);
  if (r <= 0) return r;
  // The torque array is rebuilt from the command each step, so a step without
  // a fresh setTorques does not pile spring torques on top of each other.
  m_commanded.getValues(m_robot->torques(), DOF);
  addSpringTorques();
  if (m_integrator->step(*m_robot, m_period)) {
    m_nonFiniteReported = false;
  } else {
    // Rather than integrate NaN into the state for good, hold the arm still.
    float* dq = m_robot->velocities();
    for (int i = 0; i < DOF; ++i) dq[i] = 0.0f;
    reportNonFinite("non-finite joint accelerations (torques or state); the arm is held still");
  }
  // The frames follow when something asks for them (ensureKinematics): most
  // ticks nobody does, as the servo reads frames from its mirror.
  return r;
}

void CSimPuma::setFriction(bool on) {
  for (int i = 0; i < DOF; ++i) m_robot->link(i)->friction() = on ? m_savedFriction[i] : PrVector3();
}

// --- contact spring ------------------------------------------------------------------

void CSimPuma::setContactPoint(int link, const PrVector3& worldPoint, const PrVector& jointPos) {
  PR_ASSERT(jointPos.size() == DOF);
  if (link < 0 || link >= DOF) {
    consolePrint("Error: setContactPoint: no link %d (links are 0 to %d); contact point unchanged\n", link,
                 DOF - 1);
    return;
  }
  if (!allFinite(worldPoint) || !allFinite(jointPos)) {
    consolePrint("Error: setContactPoint: non-finite point or joint positions; contact point unchanged\n");
    return;
  }
  // The point was picked on the arm drawn at jointPos, which may differ from
  // the simulated arm's pose: map it with the frames at jointPos.
  float* q = m_robot->positions();
  float saved[DOF];
  for (int i = 0; i < DOF; ++i) {
    saved[i] = q[i];
    q[i] = jointPos.dataPtr()[i];
  }
  m_robot->updateKinematics();
  m_contactLink = link;
  m_robot->link(link)->globalFrame().inverse().transform(worldPoint, m_contactPoint);
  for (int i = 0; i < DOF; ++i) q[i] = saved[i];
  m_robot->updateKinematics();
}

void CSimPuma::applyContactForce(float k, const PrVector3& target) {
  if (!std::isfinite(k) || !allFinite(target)) {
    consolePrint("Error: applyContactForce: non-finite stiffness or target; spring unchanged\n");
    return;
  }
  m_springActive = true;
  m_springK = k;
  m_springTarget = target;
}

void CSimPuma::removeContactForce() { m_springActive = false; }

void CSimPuma::addSpringTorques() {
  if (!m_springActive) return;
  m_robot->ensureKinematics();
  PrVector3 p;
  m_robot->link(m_contactLink)->globalFrame().transform(m_contactPoint, p);
  const float F[3] = {m_springK * (m_springTarget[0] - p[0]), m_springK * (m_springTarget[1] - p[1]),
                      m_springK * (m_springTarget[2] - p[2])};
  m_jacobian.zero();
  m_robot->pointJacobian(m_contactLink, p, m_jacobian, 3);
  float* tau = m_robot->torques();
  for (int i = 0; i < DOF; ++i)
    tau[i] += m_jacobian[0][i] * F[0] + m_jacobian[1][i] * F[1] + m_jacobian[2][i] * F[2];
}

// --- frames and Jacobians --------------------------------------------------------------

void CSimPuma::getContactJacobian(PrMatrix& J) { getPointJacobian(m_contactLink, m_contactPoint, J); }

void CSimPuma::getPointJacobian(int link, const PrVector3& point, PrMatrix& J) {
  if (link < 0 || link >= DOF) {
    J.zero();
    return;
  }
  J.resize(3, DOF);
  J.zero();
  m_robot->ensureKinematics();
  PrVector3 world;
  m_robot->link(link)->globalFrame().transform(point, world);
  m_robot->pointJacobian(link, world, J, 3);
}

bool CSimPuma::getLinkFrame(int link, PrTransform& frame) {
  if (link < 0 || link >= DOF) return false;
  m_robot->ensureKinematics();
  frame = m_robot->link(link)->globalFrame();
  return true;
}

void CSimPuma::getEndEffectorFrame(PrTransform& frame) {
  m_robot->ensureKinematics();
  frame = m_robot->endEffector()->globalFrame();
}

// --- state and dynamics ----------------------------------------------------------------

void CSimPuma::setState(const PrVector& pos, const PrVector& vel) {
  PR_ASSERT(pos.size() == DOF);
  PR_ASSERT(vel.size() == DOF);
  if (!allFinite(pos) || !allFinite(vel)) {
    reportNonFinite("setState with non-finite joint positions or velocities ignored");
    return;
  }
  pos.getValues(m_robot->positions(), DOF);
  vel.getValues(m_robot->velocities(), DOF);
  m_robot->ensureKinematics();
}

void CSimPuma::forwardDynamics(PrVector& acc, const PrVector& torque) {
  PR_ASSERT(torque.size() == DOF);
  torque.getValues(m_robot->torques(), DOF);
  addSpringTorques();
  m_robot->forwardDynamics();
  acc.resize(DOF);
  acc.setValues(m_robot->accelerations(), DOF);
}

void CSimPuma::inverseDynamics(PrVector& tau, const PrVector& acc) {
  PR_ASSERT(acc.size() == DOF);
  acc.getValues(m_robot->accelerations(), DOF);
  m_robot->inverseDynamics();
  tau.resize(DOF);
  tau.setValues(m_robot->torques(), DOF);
}

void CSimPuma::computeMassMatrix(PrMatrix& M) {
  M.resize(DOF, DOF);
  m_robot->massMatrix(M.dataPtr());
}

void CSimPuma::computeGravity(PrVector& g) {
  g.resize(DOF);
  m_robot->gravityTorques(g.dataPtr());
}
