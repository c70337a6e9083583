#include "plugin/ControllerMemory.h"

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
  m.refused = false;
  m.lineMissing = false;
  for (double& e : m.error) e = 0;
}

double modeTime(const ServoState& s) { return double(s.curTime) - controllerMemory().startTime; }
