// Robot-type changes and the messages that tell the user interface about them.
#include <cstdio>

#include "libpuma/CSimPuma.h"
#include "libpuma/RobotModelFactory.h"
#include "protocol/GainsRecord.h"
#include "servo/Servo.h"
#include "servo/ServoPacing.h"
#include "servo/UnitConversion.h"
#include "utility/consolePrint.h"
#include "utility/msgPayload.h"

namespace {

void toDegrees(const PrVector& radians, PrVector& degrees) {
  degrees.setSize(radians.size());
  for (int i = 0; i < radians.size(); ++i) degrees[i] = radians[i] * kDegPerRad;
}

}  // namespace

// The one request that may allocate: a new type builds a model and two arms
// and resizes the state record. It runs between two ticks, and the pacing
// starts afresh afterwards, so no tick is rushed to make up for it.
bool Servo::setRobotType(int type) {
  std::unique_ptr<IRobotModel> model = createRobotModel(type);
  if (!model) return false;
  std::unique_ptr<IRobotSimDriver> robot =
      CSimPuma::create(kRate, m_descriptionPath.c_str(), m_pacing->clock());
  std::unique_ptr<IRobotSimDriver> mirror =
      CSimPuma::create(kRate, m_descriptionPath.c_str(), m_pacing->clock());
  if (!robot || !mirror) {
    consolePrint("Robot type %d: the simulated arm cannot be built; robot type unchanged.\n", type);
    return false;
  }
  m_model = std::move(model);
  m_mirror = std::move(mirror);
  m_robot = std::move(robot);
  m_robotType = type;
  stopGatherForNewShape();

  sizeState();
  m_robot->setFriction(m_friction);
  m_zero6.setSize(6, true);
  m_robot->setState(m_model->m_lockConfig, m_zero6);
  m_cmode = kFloat;
  m_modeGoalCount = 0;
  updateState();
  sendConfiguration();
  for (int mode = 0; mode < kNumControlModes; ++mode) sendGains(mode);
  // Building the arm took its time between two ticks: a fresh arm owes none.
  m_robot->restartPacing();
  return true;
}

void Servo::stopGatherForNewShape() {
  // A gather row's width follows the robot type: rows of the new type would
  // make the file ragged, no longer one table. Close it complete instead.
  if (!m_gatherOn) return;
  m_gatherOn = false;
  consolePrint("Robot type changed: gathering stopped.\n");
  m_reply.clear();
  m_reply.setType(SERVO_STOP_GATHER);
  m_link.reply(m_reply, 2);
}

void Servo::sizeState() {
  ServoState& s = m_state;
  const IRobotModel& model = *m_model;
  const int dof = model.m_dof;
  const int r = model.m_taskDof;
  const int c = model.m_numConfigParms;
  s.dof = dof;
  for (PrVector* v : {&s.tau, &s.q, &s.dq, &s.qd, &s.dqd, &s.ddqd, &s.B, &s.G}) v->setSize(dof, true);
  for (PrVector* v : {&s.x, &s.xd}) v->setSize(c, true);
  for (PrVector* v : {&s.dx, &s.dxd, &s.ddxd, &s.mu, &s.p}) v->setSize(r, true);
  s.elbow = 0;
  for (int mode = 0; mode < kNumControlModes; ++mode) {
    const bool joint = isJointSpaceMode(mode);
    s.kpTable[mode] = joint ? model.m_jointKp : model.m_taskKp;
    s.kvTable[mode] = joint ? model.m_jointKv : model.m_taskKv;
  }
  // kp and kv take either size every tick; give them room for both up front.
  const int gainRoom = dof > r ? dof : r;
  s.kp.setSize(gainRoom);
  s.kv.setSize(gainRoom);
  s.kp = s.kpTable[kFloat];
  s.kv = s.kvTable[kFloat];
  s.J.setSize(r, dof, true);
  s.Jt.setSize(dof, r, true);
  s.E.setSize(c, r, true);
  s.Einv.setSize(r, c, true);
  s.A.setSize(dof, dof, true);
  s.Lambda.setSize(r, r, true);
  s.singular = 0;
  s.forces.zero();

  s.qmin = model.m_jointMin;
  s.qmax = model.m_jointMax;
  s.dqmax = model.m_jointVelMax;
  s.ddqmax = model.m_jointAccMax;
  s.tauMax = model.m_torqueMax;
  s.xmin = model.m_configMin;
  s.xmax = model.m_configMax;
  s.vmax = model.m_vmax;
  s.amax = model.m_amax;
  s.wmax = model.m_wmax;
  s.q0.setSize(dof);
  s.kj.setSize(dof);
  for (int i = 0; i < dof; ++i) {
    s.q0[i] = 5 * kRadPerDeg;
    s.kj[i] = 0.1f;
  }
  s.posSelect = model.m_posSelect;
  s.oriSelect = model.m_oriSelect;
  model.m_posSelect.transpose(s.posSelectT);
  model.m_oriSelect.transpose(s.oriSelectT);

  // Tick scratch: sized here so that a tick never allocates.
  m_qSensed.setSize(6, true);
  m_dqSensed.setSize(6, true);
  m_lockTorque.setSize(6, true);
  m_torqueOut.setSize(6, true);
  m_dJ.setSize(r, dof, true);
  m_Jinv.setSize(dof, r, true);
  m_lu.setSize(r, r, true);
  m_JinvTA.setSize(r, dof, true);
  m_dJdq.setSize(r, true);
  m_LambdaDJdq.setSize(r, true);
}

void Servo::sendConfiguration() {
  const ServoState& s = m_state;
  const IRobotModel& model = *m_model;
  ServoConfiguration& c = m_configRecord;
  c.robotType = m_robotType;
  c.dof = s.dof;
  c.numConfigParms = model.m_numConfigParms;
  // Only the angular limit is an angle; the linear ones travel as they are.
  c.vmax = s.vmax;
  c.amax = s.amax;
  c.wmax = s.wmax * kDegPerRad;
  c.rho0 = s.rho0;
  c.eta = s.eta;
  c.sbound = s.sbound * kDegPerRad;
  c.springK = m_springK;
  c.simSpeed = m_simSpeed;
  c.jlimit = s.jlimit;
  c.friction = m_friction;
  c.torqlim = m_torqueLimitOn;
  toDegrees(s.qmin, c.qmin);
  toDegrees(s.qmax, c.qmax);
  toDegrees(s.dqmax, c.dqmax);
  toDegrees(s.ddqmax, c.ddqmax);
  toDegrees(s.q0, c.q0);
  c.kj = s.kj;
  c.xmin.setSize(c.numConfigParms);
  c.xmax.setSize(c.numConfigParms);
  model.configToDegrees(s.xmin, c.xmin);
  model.configToDegrees(s.xmax, c.xmax);
  c.obstacles.assign(s.obstacles, s.obstacles + s.numObstacles);
  c.line = s.line;
  writeServoConfiguration(m_reply, c);
  m_link.reply(m_reply, 1);
}

void Servo::sendGains(int mode) {
  writeGains(m_reply, mode, m_state.kpTable[mode], m_state.kvTable[mode]);
  m_link.reply(m_reply, 1);
}
