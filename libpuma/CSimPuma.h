// CSimPuma: the simulated PUMA 560 arm, stepped by the servo every tick.
//
// The arm is the articulated-body engine (PrRobot) built from a description
// file. Only create() makes one, and it returns nullptr after printing a
// one-line error when the file is unusable, so an arm without links can never
// be stepped by mistake. Used by one thread only (the servo's).
#pragma once

#include <memory>

#include "libpuma/IRobotSimDriver.h"
#include "libpuma/PrIntegrator.h"
#include "libpuma/PrRobot.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"
#include "matrix/PrVector3.h"

class CSimPuma : public IRobotSimDriver {
 public:
  static constexpr int DOF = 6;
  static constexpr const char* kDefaultDescription = "puma560.prm";

  // rate: steps per simulated second. path: description file in format A.
  // clock: pacing clock (nullptr: the monotonic wall clock), not owned.
  static std::unique_ptr<CSimPuma> create(float rate, const char* path = kDefaultDescription,
                                          const PacingClock* clock = nullptr);
  ~CSimPuma() override;
  CSimPuma(const CSimPuma&) = delete;
  CSimPuma& operator=(const CSimPuma&) = delete;

  void getJointPositions(PrVector& q) override;
  void getJointVelocities(PrVector& dq) override;
  void setTorques(const PrVector& tau) override;
  // Pacing, then spring torques and one integrator step of one period; the
  // frames of the new positions are computed when first asked for.
  int step(float speed) override;

  // Friction of every joint: the file's values (on) or none (off).
  void setFriction(bool on) override;
  void setContactPoint(int link, const PrVector3& worldPoint, const PrVector& jointPos) override;
  void applyContactForce(float k, const PrVector3& target) override;
  void removeContactForce() override;
  void getContactJacobian(PrMatrix& J) override;
  void getPointJacobian(int link, const PrVector3& point, PrMatrix& J) override;
  bool getLinkFrame(int link, PrTransform& frame) override;

  void setState(const PrVector& q, const PrVector& dq) override;
  void forwardDynamics(PrVector& acc, const PrVector& tau) override;
  void inverseDynamics(PrVector& tau, const PrVector& acc) override;
  void getEndEffectorFrame(PrTransform& frame) override;
  void computeMassMatrix(PrMatrix& M) override;
  void computeGravity(PrVector& g) override;

  // The engine underneath, for tools and tests that need more than the driver.
  PrRobot& robot() { return *m_robot; }
  bool springActive() const { return m_springActive; }

 private:
  CSimPuma(float rate, std::unique_ptr<PrRobot> robot, const PacingClock* clock);
  // Adds Jᵀ·k·(target − p) of the contact spring to the robot's torque array.
  void addSpringTorques();
  // Prints `what` once per run of bad calls; a good call re-arms it.
  void reportNonFinite(const char* what);

  std::unique_ptr<PrRobot> m_robot;
  std::unique_ptr<PrIntegrator> m_integrator;
  PrVector m_scratch;              // DOF elements
  PrVector m_commanded;            // last setTorques (N·m); the spring is added on top each step
  PrVector3 m_savedFriction[DOF];  // viscous, Coulomb, static, as read from the file
  bool m_springActive = false;
  int m_contactLink = 0;
  float m_springK = 0.0f;    // N/m
  PrVector3 m_contactPoint;  // in the contact link's frame (m)
  PrVector3 m_springTarget;  // base frame (m)
  PrMatrix m_jacobian;       // 3 × DOF scratch for the spring
  bool m_nonFiniteReported = false;
};
