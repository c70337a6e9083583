#include "protocol/ControlModeRequest.h"

#include "protocol/ControlModeTable.h"
#include "utility/PrAssert.h"
#include "utility/unitMsg.h"

void writeControlModeRequest(CMsg& msg, int mode, const float* goal, int goalCount, int elbow) {
  PR_ASSERT(goalCount >= 0 && goalCount <= kMaxGoalValues);
  msg.clear();
  msg.setType(UI_CONTROL_MODE);
  msg.writeInt(mode);
  if (goalCount > 0) msg.writeFloats(goal, goalCount);
  if (takesElbow(mode)) msg.writeInt(elbow);
}

bool readControlModeRequest(AMsg& msg, int dof, int configParms, ControlModeRequest& request) {
  request.mode = msg.readInt();
  request.goalCount = 0;
  if (takesJointGoal(request.mode)) request.goalCount = dof;
  if (takesConfigGoal(request.mode)) request.goalCount = configParms;
  PR_ASSERT(request.goalCount <= kMaxGoalValues);
  msg.readFloats(request.goal, request.goalCount);
  if (takesElbow(request.mode)) request.elbow = msg.readInt();
  return !msg.truncated();
}

int leadingMode(CMappedMsg msg) {
  const int mode = msg.readInt();
  return msg.truncated() ? -1 : mode;
}
