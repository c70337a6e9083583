#include "plugin/JointGoalFromPose.h"

#include "plugin/TaskSpace.h"

namespace {

void toMatrix(const PrQuaternion& q, double R[3][3]) {
  const double w = q.w, x = q.v[0], y = q.v[1], z = q.v[2];
  R[0][0] = 1 - 2 * (y * y + z * z), R[0][1] = 2 * (x * y - w * z), R[0][2] = 2 * (x * z + w * y);
  R[1][0] = 2 * (x * y + w * z), R[1][1] = 1 - 2 * (x * x + z * z), R[1][2] = 2 * (y * z - w * x);
  R[2][0] = 2 * (x * z - w * y), R[2][1] = 2 * (y * z + w * x), R[2][2] = 1 - 2 * (x * x + y * y);
}

ik::IkResult sixJointGoal(const ServoState& s, const PrTransform& target, int elbow, const double* qNow,
                          const ik::IkContext& ctx, double* q) {
  const ik::Pose model = ik::forward(qNow);
  double Rt[3][3], Rd[3][3], tool[3][3];
  toMatrix(s.T.rotation, Rt);
  toMatrix(target.rotation, Rd);
  // Constant tool rotation: R_T = R_model * tool.
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      tool[i][j] = model.R[0][i] * Rt[0][j] + model.R[1][i] * Rt[1][j] + model.R[2][i] * Rt[2][j];
  ik::Pose goal;
  for (int i = 0; i < 3; ++i) {
    goal.p[i] = double(target.translation[i]) - (double(s.T.translation[i]) - model.p[i]);
    for (int j = 0; j < 3; ++j)
      goal.R[i][j] = Rd[i][0] * tool[j][0] + Rd[i][1] * tool[j][1] + Rd[i][2] * tool[j][2];
  }
  return ik::inverse(goal, elbow, ctx, q);
}

}  // namespace

ik::IkResult jointGoalFromFrame(const ServoState& s, const PrTransform& goal, int elbow, float* qOut) {
  if (s.dof != 6) return ik::IkResult::kUnreachable;
  double qNow[6], qmin[6], qmax[6], q[6];
  for (int i = 0; i < 6; ++i) qNow[i] = s.q[i], qmin[i] = s.qmin[i], qmax[i] = s.qmax[i];
  const ik::IkResult result = sixJointGoal(s, goal, elbow, qNow, ik::IkContext{qNow, qmin, qmax}, q);
  if (result == ik::IkResult::kSolved)
    for (int i = 0; i < 6; ++i) qOut[i] = float(q[i]);
  return result;
}

ik::IkResult jointGoalFromPose(const ServoState& s, int elbow, float* qOut) {
  const int n = s.dof;
  double qNow[6], qmin[6], qmax[6], q[6];
  for (int i = 0; i < n; ++i) qNow[i] = s.q[i], qmin[i] = s.qmin[i], qmax[i] = s.qmax[i];
  const ik::IkContext ctx{qNow, qmin, qmax};
  ik::IkResult result;
  if (n == 6) {
    PrTransform goal = s.Td;
    goal.rotation = goalRotation(s);
    result = sixJointGoal(s, goal, elbow, qNow, ctx, q);
  } else if (n == 1 || n == 3 || n == 4) {
    double model[4], goal[4];
    ik::forwardReduced(n, qNow, model);
    for (int i = 0; i < n; ++i) goal[i] = double(s.xd[i]) - (double(s.x[i]) - model[i]);
    result = ik::inverseReduced(n, goal, elbow, ctx, q);
  } else {
    return ik::IkResult::kUnreachable;
  }
  if (result == ik::IkResult::kSolved)
    for (int i = 0; i < n; ++i) qOut[i] = float(q[i]);
  return result;
}
