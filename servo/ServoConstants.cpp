// UI_CONSTANT: the tunable constants, limits, obstacles, line, gains and
// display switches, one type code each.
#include "libpuma/RobotModelFactory.h"
#include "matrix/PrVector3.h"
#include "servo/ObstacleList.h"
#include "servo/Servo.h"
#include "servo/UnitConversion.h"
#include "utility/consolePrint.h"

namespace {

enum ConstantType {
  kRobotType = 0,
  kVmax = 1,
  kAmax = 2,
  kWmax = 3,
  kRho0 = 4,
  kEta = 5,
  kSbound = 6,
  kSpringK = 7,
  kSimSpeed = 8,
  kJlimit = 9,
  kFriction = 10,
  kTorqueLimit = 11,
  kQmin = 12,
  kQmax = 13,
  kDqmax = 14,
  kDdqmax = 15,
  kQ0 = 16,
  kKj = 17,
  kSetObstacle = 18,
  kDelObstacle = 19,
  kSetLine = 20,
  kDelLine = 21,
  kKp = 22,
  kKv = 23,
  kEmassPos = 24,
  kMsiPos = 25,
  kMaxVelDisplay = 26,
};

constexpr int kMaxGains = 16;

}  // namespace

void Servo::setConstant(CMappedMsg& msg) {
  ServoState& s = m_state;
  const unsigned type = unsigned(msg.readInt());
  if (rejectTruncated(msg)) return;
  if (type > kMaxVelDisplay) {
    consolePrint("Unknown constant type from UI: %u\n", type);
    return;
  }
  float values[kMaxGains];
  switch (type) {
    case kRobotType: {
      const int robotType = msg.readInt();
      if (rejectTruncated(msg)) return;
      if (robotType < 0 || robotType >= kRobotTypeCount) {
        consolePrint("Robot type %d from UI is not one of 0 to %d; ignored.\n", robotType,
                     kRobotTypeCount - 1);
        return;
      }
      setRobotType(robotType);
      break;
    }
    case kVmax:
    case kAmax:
    case kWmax:
    case kRho0:
    case kEta:
    case kSbound:
    case kSpringK:
    case kSimSpeed: {
      const float value = msg.readFloat();
      if (rejectTruncated(msg) || rejectNonFinite(&value, 1)) return;
      switch (type) {
        case kVmax:
          s.vmax = value;
          break;
        case kAmax:
          s.amax = value;
          break;
        case kWmax:
          s.wmax = value * kRadPerDeg;
          break;
        case kRho0:
          s.rho0 = value;
          break;
        case kEta:
          s.eta = value;
          break;
        case kSbound:
          s.sbound = value * kRadPerDeg;
          break;
        case kSpringK:
          m_springK = value;
          break;
        case kSimSpeed:
          m_simSpeed = value;
          break;
      }
      break;
    }
    case kJlimit:
      s.jlimit = !s.jlimit;
      break;
    case kFriction:
      m_friction = !m_friction;
      m_robot->setFriction(m_friction);
      break;
    case kTorqueLimit:
      m_torqueLimitOn = !m_torqueLimitOn;
      break;
    case kQmin:
    case kQmax:
    case kDqmax:
    case kDdqmax:
    case kQ0:
    case kKj: {
      msg.readFloats(values, s.dof);
      if (rejectTruncated(msg) || rejectNonFinite(values, s.dof)) return;
      PrVector* const targets[] = {&s.qmin, &s.qmax, &s.dqmax, &s.ddqmax, &s.q0, &s.kj};
      PrVector& target = *targets[type - kQmin];
      const float scale = type == kKj ? 1.0f : kRadPerDeg;
      for (int i = 0; i < s.dof; ++i) target[i] = values[i] * scale;
      break;
    }
    case kSetObstacle: {
      const int id = msg.readInt();
      msg.readFloats(values, 4);
      if (rejectTruncated(msg) || rejectNonFinite(values, 4)) return;
      setObstacle(s, id, PrVector3(values[0], values[1], values[2]), values[3]);
      break;
    }
    case kDelObstacle: {
      const int id = msg.readInt();
      if (rejectTruncated(msg)) return;
      deleteObstacle(s, id);
      break;
    }
    case kSetLine:
      msg.readFloats(values, 6);
      if (rejectTruncated(msg) || rejectNonFinite(values, 6)) return;
      setLine(s.line, PrVector3(values[0], values[1], values[2]), PrVector3(values[3], values[4], values[5]));
      break;
    case kDelLine:
      s.line.enabled = 0;
      break;
    case kKp:
    case kKv: {
      const int mode = msg.readInt();
      if (rejectTruncated(msg)) return;
      if (!isControlMode(mode)) {
        consolePrint("Gains for control mode %d from UI: no such mode (0 to %d); ignored.\n", mode,
                     kNumControlModes - 1);
        return;
      }
      PrVector& gains = type == kKp ? s.kpTable[mode] : s.kvTable[mode];
      const int n = gains.size();
      PR_ASSERT(n <= kMaxGains);
      msg.readFloats(values, n);
      if (rejectTruncated(msg) || rejectNonFinite(values, n)) return;
      gains.setValues(values, n);
      sendGains(mode);
      return;
    }
    case kEmassPos:
    case kMsiPos:
    case kMaxVelDisplay: {
      const int value = msg.readInt();
      if (rejectTruncated(msg)) return;
      if (type == kEmassPos) m_visualisation.setEmassOnEndEffector(value > 0);
      if (type == kMsiPos) m_visualisation.setMsiOnEndEffector(value > 0);
      if (type == kMaxVelDisplay) m_visualisation.setMaxVelDisplay(value > 0);
      return;
    }
  }
  sendConfiguration();
}
