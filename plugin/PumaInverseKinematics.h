// Closed-form inverse kinematics of the PUMA 560 and of its planar reduced arms.
//
// Branch bits of `elbow` (the xtrack/nxtrack argument), 0 to 7:
//   bit 0  arm:   0 = right arm, wrist centre in front of the shoulder (positive reach);
//                 1 = left arm, reached back over the shoulder (q1 turned by about 180 degrees)
//   bit 1  elbow: 0 = elbow up (above the shoulder-wrist line), 1 = elbow down
//   bit 2  wrist: 0 = q5 >= 0, 1 = flipped wrist (q5 <= 0, q4 and q6 turned by 180 degrees)
// kNearestBranch (8) picks, of the branches inside the joint limits, the one
// nearest the current joint angles. The reduced arms use the bits they have.
#pragma once

#include "plugin/PumaForwardKinematics.h"

namespace ik {

inline constexpr int kNearestBranch = 8;

enum class IkResult { kSolved, kUnreachable, kOutsideLimits };

// Joint angles (rad) of the current pose and the limits the answer must respect.
struct IkContext {
  const double* qNow;
  const double* qmin;
  const double* qmax;
};

// Shoulder and elbow angles that put the wrist centre at (reach, height) in the
// arm's vertical plane; false when out of reach.
bool solveArmPlane(double reach, double height, bool elbowDown, double& q2, double& q3);

// One branch (0-7) of the six-joint arm, angles in (-pi, pi]; q4Hint is used for
// q4 when the wrist is stretched (q5 = 0), where only q4 + q6 is defined.
bool solveBranch(const Pose& goal, int branch, double q4Hint, double q[6]);

// Arm and elbow bits (0 to 3) of the branch the joint angles q (rad) lie on:
// the branch whose solution of q's own pose has the nearest q1 to q3. At the
// shoulder and elbow singularities two branches meet and either may be named.
int armBranchOf(const double q[6]);

// Six-joint arm: a branch or kNearestBranch, each angle moved by whole turns to
// the value nearest the current one inside the limits.
IkResult inverse(const Pose& goal, int branch, const IkContext& ctx, double q[6]);

// Reduced arms, joint order as in their models:
//   1 joint  (q2):             x = (alpha = q2)
//   3 joints (q2, q3, q5):     x = (px, pz, alpha), alpha = q2 + q3 + q5
//   4 joints (q1, q2, q3, q5): x = (px, py, pz, alpha), alpha = q2 + q3 + q5
// Positions in the model's frame (see PumaForwardKinematics.h).
IkResult inverseReduced(int dof, const double* x, int branch, const IkContext& ctx, double* q);

// Forward counterpart of inverseReduced: fills x (dof entries).
void forwardReduced(int dof, const double* q, double* x);

}  // namespace ik
