// The servo loop: initialisation, the tick and the pacing between ticks.
#include "servo/Servo.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <utility>

#include "servo/ControlLaw.h"
#include "servo/ObstacleList.h"
#include "servo/RealTimePacing.h"
#include "servo/Session.h"
#include "servo/UnitConversion.h"
#include "utility/consolePrint.h"

Servo::Servo(UiLink& link, ControlPlugin plugin, const PacingClock* clock)
    : Servo(link, std::move(plugin),
            clock != nullptr ? std::unique_ptr<ServoPacing>(new ClockPacing(clock))
                             : std::unique_ptr<ServoPacing>(new RealTimePacing)) {}

Servo::Servo(UiLink& link, ControlPlugin plugin, std::unique_ptr<ServoPacing> pacing)
    : m_link(link), m_plugin(std::move(plugin)), m_pacing(std::move(pacing)) {
  m_gatherList[0] = &m_state.q;
  m_gatherList[1] = &m_state.dq;
  m_gatherList[2] = &m_state.qd;
  m_gatherList[3] = &m_state.x;
  m_gatherList[4] = &m_state.dx;
  m_gatherList[5] = &m_state.xd;
  m_gatherList[6] = nullptr;
  m_configRecord.obstacles.reserve(kMaxObstacles);  // sendConfiguration() then allocates nothing
}

Servo::~Servo() = default;

void Servo::recordTickTimes(int64_t* buffer, int capacity) {
  m_tickTimes = buffer;
  m_tickTimeCapacity = capacity;
  m_tickTimeCount = 0;
}

void Servo::releaseRobot() {
  m_model.reset();
  m_robot.reset();
  m_mirror.reset();
}

bool Servo::servoInit() {
  if (m_initialised) return m_initResult;
  m_initialised = true;
  m_gatherOn = false;
  m_state.curTime = 0;
  m_state.jlimit = true;
  m_state.rho0 = 0.05f;
  m_state.eta = 0.01f;
  m_state.sbound = 10 * kRadPerDeg;
  setLine(m_state.line, PrVector3(-0.5f, 0, 0), PrVector3(0.5f, 0, 0));
  m_state.line.enabled = 0;
  m_state.numObstacles = 0;
  m_cmode = kFloat;
  m_springK = 200;
  m_simSpeed = 1;
  m_friction = true;
  m_torqueLimitOn = true;
  m_gripperValue = 0;
  releaseRobot();
  m_initResult = setRobotType(kInitialRobotType);
  if (!m_initResult) return false;
  m_plugin.initControl(&m_state);
  m_visualisation.reset(m_state.dof);
  return true;
}

int Servo::servoLoop() {
  if (!servoInit()) {
    std::fprintf(stderr, "The servo cannot run without a simulated arm.\n");
    endSession();
  }
  consolePrint("Entering servoLoop...\n");
  m_overrun.reset();
  // Initialisation (the plug-in's among it) is no lateness of the first tick.
  if (m_robot) m_robot->restartPacing();
  for (;;) {
    if (sessionEnded.load(std::memory_order_relaxed)) {
      releaseRobot();
      return 0;
    }
    awaitGrant();
    handleUiMessage();
    servoTick();
    if (!waitForTick()) endSession();
  }
}

void Servo::servoTick() {
  if (m_tickTimes) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    m_tickTimes[m_tickTimeCount % m_tickTimeCapacity] =
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    ++m_tickTimeCount;
  }
  m_state.curTime += kTickTime;
  updateState();
  m_state.tau.zero();
  m_plugin.preprocessControl(&m_state);
  runControlMode();
  m_plugin.postprocessControl(&m_state);
  limitTorques();
  sendTorques();
  m_robot->setGripper(m_gripperValue);
  if (m_gatherOn) m_link.sendGatherRow(m_state.curTime, m_gatherList);
  if (m_scope) {
    takeScopeSample(m_state, m_cmode, m_scopeSample);
    m_scope->push(m_scopeSample);
  }
}

int Servo::stepArm() {
  const int n = m_robot->step(m_pacing->stepSpeed(m_simSpeed));
  m_lateTicks.onStep(m_robot->takeMadeUpSteps(), monotonicPacingClock().ticks());
  return n;
}

bool Servo::waitForTick() {
  int n = stepArm();
  const bool mustEnd = m_overrun.onStep(n);
  if (n >= 2 && mustEnd) {
    std::fprintf(stderr, "Servo rate too fast!: +%d ticks\n", n - 1);
    return false;
  }
  while (n == 0 && !sessionEnded.load(std::memory_order_relaxed)) {
    handleUiMessage();
    m_pacing->idleUntilDue(*m_robot, m_pacing->stepSpeed(m_simSpeed));
    n = stepArm();
  }
  countAdvancedTick();
  return true;
}

void Servo::awaitGrant() {
  while (m_pacing->ticksOnRequest() && m_advanceTicksLeft == 0 &&
         !sessionEnded.load(std::memory_order_relaxed)) {
    m_pacing->awaitRequest(handleUiMessage());
  }
}

void Servo::runTicks(int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    handleUiMessage();
    servoTick();
    while (stepArm() == 0) handleUiMessage();
    countAdvancedTick();
  }
}

void Servo::countAdvancedTick() {
  if (m_advanceTicksLeft == 0) return;
  if (--m_advanceTicksLeft == 0) replyAdvanced();
}

void Servo::updateState() {
  ServoState& s = m_state;
  m_robot->getJointPositions(m_qSensed);
  m_robot->getJointVelocities(m_dqSensed);
  m_robot->getForces(s.forces);
  m_mirror->setState(m_qSensed, m_dqSensed);
  m_mirror->getEndEffectorFrame(s.T);
  if (!m_qSensed.isFinite() || !m_dqSensed.isFinite()) {
    m_qSensed.zero();
    m_dqSensed.zero();
    m_robot->setState(m_qSensed, m_dqSensed);
    m_mirror->setState(m_qSensed, m_dqSensed);
    s.T.identity();
  }
  m_model->update(*m_mirror, s.sbound, s.q, s.dq, s.J, m_dJ, s.A, s.B, s.G, s.singular, m_lockTorque);
  // The model's c x r rate matrix (its "Einv") maps operational velocity to
  // configuration rates: that is the record's E, and the model's r x c one is Einv.
  m_model->rateMatrices(*m_mirror, s.q, s.x, s.E, s.Einv);
  s.J.transpose(s.Jt);
  s.J.multiply(s.dq, s.dx);
  if (s.singular != 0) {
    s.Lambda.zero();
    s.mu.zero();
    s.p.zero();
    return;
  }
  // Lambda = J⁻ᵀ A J⁻¹; mu = J⁻ᵀ B − Lambda (dJ dq); p = J⁻ᵀ G.
  s.J.inverse(m_Jinv, m_lu);
  m_Jinv.transposedMultiply(s.A, m_JinvTA);
  m_JinvTA.multiply(m_Jinv, s.Lambda);
  m_Jinv.transposedMultiply(s.B, s.mu);
  m_dJ.multiply(s.dq, m_dJdq);
  s.Lambda.multiply(m_dJdq, m_LambdaDJdq);
  s.mu -= m_LambdaDJdq;
  m_Jinv.transposedMultiply(s.G, s.p);
}

void Servo::setModeLaw(int mode, ControlLaw* law) {
  if (isControlMode(mode)) m_modeLaws[mode] = law;
}

ControlLaw* Servo::modeLaw(int mode) const { return isControlMode(mode) ? m_modeLaws[mode] : nullptr; }

void Servo::tickMode(int mode) {
  ControlLaw* law = m_modeLaws[mode];
  if (law == nullptr) {
    m_plugin.tickMode(mode, &m_state);
    return;
  }
  if (law->tick(m_state)) return;
  // Whatever the law left in tau is not to be trusted.
  m_modeLaws[mode] = nullptr;
  ++m_stoppedLaws;
  m_state.tau.zero();
  m_plugin.tickMode(kFloat, &m_state);
}

void Servo::runControlMode() {
  if (!isControlMode(m_cmode)) {
    tickMode(kFloat);
    consolePrint("No control mode. Defaulting to Float.\n");
    return;
  }
  m_state.kp = m_state.kpTable[m_cmode];
  m_state.kv = m_state.kvTable[m_cmode];
  // A mode the plug-in lacks runs as nocontrol: tau stays zero. It was
  // reported once when the mode was selected.
  tickMode(m_cmode);
}

void Servo::limitTorques() {
  if (!m_torqueLimitOn) return;
  PrVector& tau = m_state.tau;
  const PrVector& tauMax = m_state.tauMax;
  const int n = tau.size() < tauMax.size() ? tau.size() : tauMax.size();
  for (int i = 0; i < n; ++i) {
    if (tau[i] > tauMax[i]) tau[i] = tauMax[i];
    if (tau[i] < -tauMax[i]) tau[i] = -tauMax[i];
  }
}

void Servo::sendTorques() {
  const PrVector& tau = m_state.tau;
  // The plug-in's torques reach the arm only when they are usable; otherwise
  // the arm gets just the lock torque this tick (reported once per run of bad ticks).
  if (tau.size() != m_state.dof || !tau.isFinite()) {
    ++m_refusedTorqueTicks;
    if (!m_torqueRefusalReported) {
      consolePrint("Torques from control.dll are not finite; the arm gets none until they are.\n");
      m_torqueRefusalReported = true;
    }
    m_torqueOut = m_lockTorque;
  } else {
    m_torqueRefusalReported = false;
    m_model->m_selection.transposedMultiply(tau, m_torqueOut);
    m_torqueOut += m_lockTorque;
  }
  m_robot->setTorques(m_torqueOut);
}
