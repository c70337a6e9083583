#include "plugin/ControllerMemory.h"

#include "protocol/ControlModeTable.h"

ControllerMemory& controllerMemory() {
  static ControllerMemory memory;
  return memory;
}

void beginMode(ServoState& s, int mode) {
  ControllerMemory& m = controllerMemory();
  m.mode = mode;
  m.startTime = s.curTime;
  for (int i = 0; i < s.dof && i < 6; ++i) m.qStart[i] = s.q[i];
  m.poseStart = currentPose(s);
  m.layout = taskLayout(s);
  m.trim.reset();
  m.pathTime = 0;
  m.refused = false;
  m.jointLeg = false;
  m.lineMissing = false;
  m.lineGoalKnown = false;
  for (double& e : m.error) e = 0;
}

double modeTime(const ServoState& s) { return double(s.curTime) - controllerMemory().startTime; }

bool usesDisturbanceObserver(int mode) {
  switch (mode) {
    case kJhold:
    case kHold:
    case kJmove:
    case kJgoto:
    case kJtrack:
    case kXtrack:
    case kGoto:
    case kTrack:
    case kPfmove:
    case kLine:
    case kProj1:
    case kProj3:
      return true;
    default:
      return false;
  }
}
