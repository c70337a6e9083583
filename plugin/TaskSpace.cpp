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

PrQuaternion unitRotation(const PrQuaternion& q, const PrQuaternion& fallback) {
  const double length2 =
      double(q.w) * q.w + double(q.v[0]) * q.v[0] + double(q.v[1]) * q.v[1] + double(q.v[2]) * q.v[2];
  if (!(length2 > 1e-12) || !std::isfinite(length2)) return fallback;
  const double k = 1 / std::sqrt(length2);
  return PrQuaternion(float(q.w * k), float(q.v[0] * k), float(q.v[1] * k), float(q.v[2] * k));
}

PrQuaternion goalRotation(const ServoState& s) {
  const PrQuaternion& q = s.Td.rotation;
  if (s.xd.size() != 7 || (q.w == s.xd[3] && q.v[0] == s.xd[4] && q.v[1] == s.xd[5] && q.v[2] == s.xd[6]))
    return unitRotation(q, s.T.rotation);
  double axis[3] = {s.xd[4], s.xd[5], s.xd[6]};
  const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
  if (!(length >= 1e-5) || !std::isfinite(length)) {  // no axis: about x, as the model reads it
    axis[0] = 1, axis[1] = axis[2] = 0;
  } else {
    for (double& a : axis) a /= length;
  }
  const double half = 0.5 * double(s.xd[3]);
  const double sinHalf = std::sin(half);
  return unitRotation(PrQuaternion(float(std::cos(half)), float(sinHalf * axis[0]), float(sinHalf * axis[1]),
                                   float(sinHalf * axis[2])),
                      s.T.rotation);
}

TaskGoal goalFromRecord(const ServoState& s) {
  TaskGoal goal;
  goal.frame = s.Td;
  goal.frame.rotation = goalRotation(s);
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
