// UI_CONSTANT: the tunable constants, limits, obstacles, line, gains and
// display switches, one type code each.
#include "libpuma/RobotModelFactory.h"
#include "matrix/PrVector3.h"
#include "protocol/ConstantType.h"
#include "servo/ObstacleList.h"
#include "servo/Servo.h"
#include "servo/UnitConversion.h"
#include "utility/consolePrint.h"

namespace {

using C = ConstantType;

constexpr int kMaxGains = 16;

}  // namespace

void Servo::setConstant(CMappedMsg& msg) {
  ServoState& s = m_state;
  const int number = msg.readInt();
  if (rejectTruncated(msg)) return;
  if (!isConstantType(number)) {
    consolePrint("Unknown constant type from UI: %u\n", unsigned(number));
    return;
  }
  const ConstantType type = ConstantType(number);
  float values[kMaxGains];
  switch (type) {
    case C::kRobotType: {
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
    case C::kVmax:
    case C::kAmax:
    case C::kWmax:
    case C::kRho0:
    case C::kEta:
    case C::kSbound:
    case C::kSpringK:
    case C::kSimSpeed: {
      const float value = msg.readFloat();
      if (rejectTruncated(msg) || rejectNonFinite(&value, 1)) return;
      switch (type) {
        case C::kVmax:
          s.vmax = value;
          break;
        case C::kAmax:
          s.amax = value;
          break;
        case C::kWmax:
          s.wmax = value * kRadPerDeg;
          break;
        case C::kRho0:
          s.rho0 = value;
          break;
        case C::kEta:
          s.eta = value;
          break;
        case C::kSbound:
          s.sbound = value * kRadPerDeg;
          break;
        case C::kSpringK:
          m_springK = value;
          break;
        case C::kSimSpeed:
          m_simSpeed = value;
          break;
        default:
          break;
      }
      break;
    }
    case C::kJlimit:
      s.jlimit = !s.jlimit;
      break;
    case C::kFriction:
      m_friction = !m_friction;
      m_robot->setFriction(m_friction);
      break;
    case C::kTorqueLimit:
      m_torqueLimitOn = !m_torqueLimitOn;
      break;
    case C::kQmin:
    case C::kQmax:
    case C::kDqmax:
    case C::kDdqmax:
    case C::kQ0:
    case C::kKj: {
      msg.readFloats(values, s.dof);
      if (rejectTruncated(msg) || rejectNonFinite(values, s.dof)) return;
      PrVector* const targets[] = {&s.qmin, &s.qmax, &s.dqmax, &s.ddqmax, &s.q0, &s.kj};
      PrVector& target = *targets[constantNumber(type) - constantNumber(C::kQmin)];
      const float scale = type == C::kKj ? 1.0f : kRadPerDeg;
      for (int i = 0; i < s.dof; ++i) target[i] = values[i] * scale;
      break;
    }
    case C::kSetObstacle: {
      const int id = msg.readInt();
      msg.readFloats(values, 4);
      if (rejectTruncated(msg) || rejectNonFinite(values, 4)) return;
      setObstacle(s, id, PrVector3(values[0], values[1], values[2]), values[3]);
      break;
    }
    case C::kDelObstacle: {
      const int id = msg.readInt();
      if (rejectTruncated(msg)) return;
      deleteObstacle(s, id);
      break;
    }
    case C::kSetLine:
      msg.readFloats(values, 6);
      if (rejectTruncated(msg) || rejectNonFinite(values, 6)) return;
      setLine(s.line, PrVector3(values[0], values[1], values[2]), PrVector3(values[3], values[4], values[5]));
      break;
    case C::kDelLine:
      s.line.enabled = 0;
      break;
    case C::kKp:
    case C::kKv: {
      const int mode = msg.readInt();
      if (rejectTruncated(msg)) return;
      if (!isControlMode(mode)) {
        consolePrint("Gains for control mode %d from UI: no such mode (0 to %d); ignored.\n", mode,
                     kNumControlModes - 1);
        return;
      }
      PrVector& gains = type == C::kKp ? s.kpTable[mode] : s.kvTable[mode];
      const int n = gains.size();
      PR_ASSERT(n <= kMaxGains);
      msg.readFloats(values, n);
      if (rejectTruncated(msg) || rejectNonFinite(values, n)) return;
      gains.setValues(values, n);
      sendGains(mode);
      break;
    }
    case C::kEmassPos:
    case C::kMsiPos:
    case C::kMaxVelDisplay: {
      const int value = msg.readInt();
      if (rejectTruncated(msg)) return;
      if (type == C::kEmassPos) m_visualisation.setEmassOnEndEffector(value > 0);
      if (type == C::kMsiPos) m_visualisation.setMsiOnEndEffector(value > 0);
      if (type == C::kMaxVelDisplay) m_visualisation.setMaxVelDisplay(value > 0);
      break;
    }
  }
  if (constantInfo(type).answer == ConstantAnswer::kConfiguration) sendConfiguration();
}
