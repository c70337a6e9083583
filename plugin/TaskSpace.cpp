#include "plugin/TaskSpace.h"

#include <cmath>

TaskLayout taskLayout(const ServoState& s) {
  TaskLayout layout;
  layout.r = s.dx.size();
  layout.frames = layout.r == 6;
  // The selectors hold one 1 per row: the task entry that row picks.
  auto pick = [](const PrMatrix& select, int* indices, int max) {
    int n = 0;
    for (int row = 0; row < select.row() && n < max; ++row)
      for (int col = 0; col < select.column(); ++col)
        if (select(row, col) > 0.5f) {
          indices[n++] = col;
          break;
        }
    return n;
  };
  layout.nPos = pick(s.posSelect, layout.pos, 3);
  layout.nOri = pick(s.oriSelect, layout.ori, 3);
  if (layout.nPos == 2) {  // the planar arm measures world x and z
    layout.worldAxis[0] = 0;
    layout.worldAxis[1] = 2;
  }
  return layout;
}

void frameError(const PrTransform& current, const PrTransform& goal, double out[6]) {
  const PrVector3& p = current.translation;
  const PrVector3& pd = goal.translation;
  for (int i = 0; i < 3; ++i) out[i] = double(p[i]) - pd[i];
  // Rotation taking the current orientation to the goal, qe = qd * conj(q),
  // on the short way round; the error is minus its rotation vector.
  const PrQuaternion& q = current.rotation;
  const PrQuaternion& qd = goal.rotation;
  double w =
      double(qd.w) * q.w + double(qd.v[0]) * q.v[0] + double(qd.v[1]) * q.v[1] + double(qd.v[2]) * q.v[2];
  double v[3];
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    v[i] =
        double(q.w) * qd.v[i] - double(qd.w) * q.v[i] - (double(qd.v[j]) * q.v[k] - double(qd.v[k]) * q.v[j]);
  }
  if (w < 0) {
    w = -w;
    for (double& e : v) e = -e;
  }
  const double sinHalf = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  const double angle = 2 * std::atan2(sinHalf, w);
  const double scale = sinHalf > 1e-12 ? angle / sinHalf : 2.0;
  for (int i = 0; i < 3; ++i) out[3 + i] = -scale * v[i];
}

TaskGoal goalFromRecord(const ServoState& s) {
  TaskGoal goal;
  goal.frame = s.Td;
  for (int i = 0; i < s.xd.size() && i < 7; ++i) goal.config[i] = s.xd[i];
  return goal;
}

TaskGoal currentPose(const ServoState& s) {
  TaskGoal goal;
  goal.frame = s.T;
  for (int i = 0; i < s.x.size() && i < 7; ++i) goal.config[i] = s.x[i];
  return goal;
}

void taskError(const ServoState& s, const TaskLayout& layout, const TaskGoal& goal, double out[6]) {
  if (layout.frames) {
    frameError(s.T, goal.frame, out);
    return;
  }
  for (int i = 0; i < layout.r; ++i) out[i] = double(s.x[i]) - goal.config[i];
}

void toolPosition(const ServoState& s, double out[3]) {
  for (int i = 0; i < 3; ++i) out[i] = s.T.translation[i];
}
