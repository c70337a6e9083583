// IRobotSimDriver: a simulated arm, which can also be set to any state, asked
// for its dynamics, and paced against a monotonic wall clock.
//
// Pacing keeps a running balance between simulated and wall-clock time instead
// of sleeping: step() returns 0 while the simulation is ahead of the clock.
#pragma once

#include <cstdint>

#include "libpuma/IRobotDriver.h"
#include "libpuma/PacingClock.h"

class IRobotSimDriver : public IRobotDriver {
 public:
  // rate: steps per simulated second (500 for the servo). clock: where wall time
  // comes from; nullptr selects the process-wide monotonic clock. Not owned.
  explicit IRobotSimDriver(float rate, const PacingClock* clock = nullptr);

  // Real-time pacing only; derived drivers call it first, then simulate.
  int step(float speed) override;
  // The pacing clock's reading (in its ticks) from which step(speed) will
  // find the next period due, exactly as step() will compute it; a caller
  // that sleeps until then never wakes too early.
  std::int64_t dueClockReading(float speed) const;
  // Paces from now on as if just built: the time since the last step is
  // neither owed nor made up (after building an arm, say).
  void restartPacing();

  // Sets joint positions (rad) and velocities (rad/s), size DOF each, and
  // recomputes all frames.
  virtual void setState(const PrVector& q, const PrVector& dq) = 0;
  // Joint accelerations (rad/s², resized to DOF) caused by `tau` (N·m, size DOF)
  // at the current state, including friction, gravity and the contact spring.
  virtual void forwardDynamics(PrVector& acc, const PrVector& tau) = 0;
  // Joint torques (N·m, resized to DOF) that produce `acc` (rad/s², size DOF) at
  // the current state, including friction and gravity.
  virtual void inverseDynamics(PrVector& tau, const PrVector& acc) = 0;
  // The end-effector (tool point) frame in the base frame.
  virtual void getEndEffectorFrame(PrTransform& frame) = 0;
  // Joint-space mass matrix (kg·m², resized to DOF × DOF) at the current positions.
  virtual void computeMassMatrix(PrMatrix& M) = 0;
  // Joint torques (N·m, resized to DOF) that hold the arm still against gravity.
  virtual void computeGravity(PrVector& g) = 0;

  float period() const { return m_period; }
  int skippedSteps() const { return m_skippedSteps; }
  // Steps that fell due while the simulation was still more than a period
  // behind the wall clock: ticks run back to back to make up lost time (a
  // slow machine, the process stopped for a while). Returns the count since
  // the last call and starts it again.
  int takeMadeUpSteps() {
    const int n = m_madeUpSteps;
    m_madeUpSteps = 0;
    return n;
  }
  float timeBalance() const { return m_balance; }

 protected:
  float m_period;                   // s, 1 / rate
  float m_secondsPerTick = 0.001f;  // resolution of the pacing clock
  std::int64_t m_lastClock;         // last clock reading, in ticks
  int m_skippedSteps = 0;           // calls that returned 0
  int m_madeUpSteps = 0;            // late steps since takeMadeUpSteps()
  float m_balance = 0.0f;           // s of wall time the simulation may still take
  const PacingClock* m_clock;
};
