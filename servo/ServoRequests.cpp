// Requests from the user interface: reports, visualisations, gathering,
// contact spring, gripper, control modes, constants, reset and quit.
//
// Requests arrive as bytes (from the local queue, later from a socket). Every
// handler reads its whole body first and acts only when the body was complete
// and its numbers usable; otherwise it prints one line and changes nothing.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "libpuma/IRobotSimDriver.h"
#include "matrix/PrVector3.h"
#include "servo/ObstacleList.h"
#include "servo/Servo.h"
#include "servo/Session.h"
#include "servo/UnitConversion.h"
#include "utility/allFinite.h"
#include "utility/consolePrint.h"
#include "utility/msgPayload.h"

namespace {

constexpr int kFileNameBytes = 128;  // file names are read as 128 bytes: at most 127 characters
constexpr int kMaxJoints = 6;

}  // namespace

// --- helpers -------------------------------------------------------------------

bool Servo::rejectTruncated(const CMappedMsg& msg) {
  if (!msg.truncated()) return false;
  consolePrint("Request %d from UI is shorter than its type requires; ignored.\n", msg.getType());
  return true;
}

bool Servo::rejectNonFinite(const float* values, int count) {
  if (allFinite(values, count)) return false;
  consolePrint("Request from UI holds a value that is not a finite number; ignored.\n");
  return true;
}

void Servo::replyVector(int dest, int code, const PrVector& v, const char* name) {
  if (dest == 0) {
    v.display(name);
    return;
  }
  if (dest != 1 && dest != 2) return;
  m_reply.clear();
  m_reply.setType(code);
  writeVector(m_reply, v);
  m_link.reply(m_reply, dest);
}

// --- dispatch ------------------------------------------------------------------

bool Servo::handleUiMessage() {
  sendFinishedMsi();
  if (!m_link.poll()) return false;
  CMappedMsg msg = m_link.read();
  const int code = msg.getType();
  m_reply.clear();
  if (code < 0 || code >= UI_MSG_TYPE_COUNT) {
    consolePrint("Unknown message type from UI: %u\n", unsigned(code));
    return true;
  }
  ServoState& s = m_state;
  switch (code) {
    case UI_MSI:
    case UI_EMASS:
    case UI_ACC_LIMIT:
    case UI_SFORCE_LIMIT: {
      const int dest = msg.readInt();
      if (rejectTruncated(msg) || m_visualisation.cached(code, m_state.q)) break;
      handleVisualisation(code, dest);
      break;
    }
    case UI_START_GATHER:
      handleStartGather(msg);
      break;
    case UI_STOP_GATHER:
      m_gatherOn = false;
      m_reply.setType(SERVO_STOP_GATHER);
      m_link.reply(m_reply, 2);
      break;
    case UI_SET_CONTACT_POINT:
      handleContactPoint(msg);
      break;
    case UI_APPLY_CONTACT_FORCE: {
      float target[3];
      msg.readFloats(target, 3);
      if (rejectTruncated(msg) || rejectNonFinite(target, 3)) break;
      m_robot->applyContactForce(m_springK, PrVector3(target[0], target[1], target[2]));
      break;
    }
    case UI_REMOVE_CONTACT_FORCE:
      m_robot->removeContactForce();
      break;
    case UI_GRIPPER: {
      const int value = msg.readInt();
      if (!rejectTruncated(msg)) m_gripperValue = value;
      break;
    }
    case UI_CONTROL_MODE:
      setControlMode(msg);
      break;
    case UI_CONSTANT:
      setConstant(msg);
      break;
    case UI_RESET:
      m_robot->reset();
      break;
    case UI_RELOAD:
      reloadPlugin();
      break;
    case UI_ADVANCE:
      handleAdvance(msg);
      break;
    case UI_QUIT:
      endSession();
      break;
    default: {
      // The reports: every one carries just its reply destination.
      const int dest = msg.readInt();
      if (rejectTruncated(msg)) break;
      switch (code) {
        case UI_Q:
        case UI_DQ:
          m_values = code == UI_Q ? s.q : s.dq;
          m_values *= kDegPerRad;
          replyVector(dest, code == UI_Q ? SERVO_Q : SERVO_DQ, m_values, code == UI_Q ? "q" : "dq");
          break;
        case UI_TAU:
          replyVector(dest, SERVO_TAU, s.tau, "tau");
          break;
        case UI_X:
          m_values.setSize(s.x.size());
          m_model->configToDegrees(s.x, m_values);
          replyVector(dest, SERVO_X, m_values, "x");
          break;
        case UI_FORCES:
          replyVector(dest, SERVO_FORCES, s.forces, "forces");
          break;
        case UI_CURTIME:
          if (dest == 0) {
            consolePrint("%f\n", s.curTime);
          } else if (dest == 1 || dest == 2) {
            m_reply.setType(SERVO_CURTIME);
            m_reply.writeFloat(s.curTime);
            m_link.reply(m_reply, dest);
          }
          break;
        case UI_KJ:
          if (dest == 0) s.kj.display("kj");
          break;
        case UI_KP:
          if (dest == 0) s.kp.display("kp");
          break;
        case UI_KV:
          if (dest == 0) s.kv.display("kv");
          break;
        case UI_CMODE:
          if (dest == 0) consolePrint("cmode=%d\n", m_cmode);
          break;
        case UI_DEBUG:
          if (dest == 0) {
            m_plugin.printDebug(&s);
            consolePrint("ticks made up=%lld\n", m_lateTicks.total());
          }
          break;
      }
    }
  }
  return true;
}

// --- gathering and the contact spring ------------------------------------------

void Servo::handleStartGather(CMappedMsg& msg) {
  char fileName[kFileNameBytes];
  const bool whole = msg.readString(fileName, kFileNameBytes);
  if (!whole || fileName[0] == '\0') {
    consolePrint("Gather file name from UI is empty, longer than %d characters or unterminated; ignored.\n",
                 kFileNameBytes - 1);
    return;
  }
  m_reply.setType(SERVO_START_GATHER);
  m_reply.writeString(fileName);
  m_link.reply(m_reply, 2);
  m_gatherOn = true;
}

void Servo::handleAdvance(CMappedMsg& msg) {
  const int dest = msg.readInt();
  const int ticks = msg.readInt();
  const int sequence = msg.readInt();
  if (rejectTruncated(msg)) return;
  // A second grant before the first has run extends it; the one answer then
  // carries the later sequence, which satisfies whoever waits for either.
  m_advanceDest = dest;
  m_advanceSequence = sequence;
  if (ticks > 0) m_advanceTicksLeft += ticks;
  if (m_advanceTicksLeft == 0) replyAdvanced();
}

void Servo::replyAdvanced() {
  m_reply.clear();
  m_reply.setType(SERVO_ADVANCED);
  m_reply.writeInt(m_advanceSequence);
  m_reply.writeFloat(m_state.curTime);
  m_link.reply(m_reply, m_advanceDest);
}

void Servo::handleContactPoint(CMappedMsg& msg) {
  const int dof = m_state.dof;
  const int link = msg.readInt();
  float values[3 + kMaxJoints];
  msg.readFloats(values, 3 + dof);
  if (rejectTruncated(msg) || rejectNonFinite(values, 3 + dof)) return;
  if (link < 0 || link > 5) {
    consolePrint("Contact link %d from UI is not a link of the arm (0 to 5); ignored.\n", link);
    return;
  }
  // The model's joints (degrees) expanded to the six joints of the arm (rad).
  m_values.setSize(dof);
  for (int i = 0; i < dof; ++i) m_values[i] = values[3 + i] * kRadPerDeg;
  m_model->m_selection.transposedMultiply(m_values, m_converted);
  m_converted += m_model->m_lockConfig;
  m_robot->setContactPoint(link, PrVector3(values[0], values[1], values[2]), m_converted);
  m_visualisation.contactPointMoved();
}

// --- visualisations -------------------------------------------------------------

void Servo::handleVisualisation(int code, int dest) {
  ServoVisualisation::Shape shape;
  const ServoVisualisation::Arm arm{m_state, *m_robot, m_model->m_selection};
  if (m_visualisation.compute(code, dest, arm, shape))
    replyVector(shape.dest, shape.replyCode, *shape.values, shape.name);
}

void Servo::sendFinishedMsi() {
  ServoVisualisation::Shape shape;
  if (m_visualisation.takeFinishedMsi(shape))
    replyVector(shape.dest, shape.replyCode, *shape.values, shape.name);
}

// --- control mode ----------------------------------------------------------------

void Servo::setControlMode(CMappedMsg& msg) {
  ServoState& s = m_state;
  // Read the goal in full before anything changes.
  ControlModeRequest request;
  request.elbow = s.elbow;
  readControlModeRequest(msg, s.dof, m_model->m_numConfigParms, request);
  if (rejectTruncated(msg)) return;
  const int mode = request.mode;
  if (!isControlMode(mode)) {
    m_cmode = mode;
    consolePrint("Unknown control mode. Shutting down.\n");
    m_plugin.initMode(kFloat, &s);
    endSession();
    return;
  }
  if (rejectNonFinite(request.goal, request.goalCount)) return;

  m_cmode = mode;
  std::copy(request.goal, request.goal + request.goalCount, m_modeGoal);
  m_modeGoalCount = request.goalCount;
  m_modeElbow = request.elbow;
  startMode();
}

void Servo::startMode() {
  ServoState& s = m_state;
  const int mode = m_cmode;
  s.kp = s.kpTable[mode];
  s.kv = s.kvTable[mode];
  if (takesJointGoal(mode)) {
    for (int i = 0; i < s.dof; ++i) s.qd[i] = m_modeGoal[i] * kRadPerDeg;
    s.dqd.zero();
  } else if (takesConfigGoal(mode)) {
    m_values.setSize(m_modeGoalCount);
    m_values.setValues(m_modeGoal, m_modeGoalCount);
    m_model->configToRadians(m_values, s.xd);
    m_model->configToFrame(s.xd, s.Td);
    s.dxd.zero();
    if (takesElbow(mode)) s.elbow = m_modeElbow;
  }
  m_plugin.initMode(mode, &s);
  if (!m_plugin.hasTick(mode))
    consolePrint("control.dll has no %s; mode %s runs without control.\n", controlModeTickName(mode),
                 controlModeWord(mode));
}
