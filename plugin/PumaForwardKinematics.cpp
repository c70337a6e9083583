#include "plugin/PumaForwardKinematics.h"

#include <cmath>

namespace ik {

namespace {

void multiply(const double a[3][3], const double b[3][3], double out[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

void rotZ(double a, double R[3][3]) {
  const double c = std::cos(a), s = std::sin(a);
  const double m[3][3] = {{c, -s, 0}, {s, c, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) R[i][j] = m[i][j];
}

void rotY(double a, double R[3][3]) {
  const double c = std::cos(a), s = std::sin(a);
  const double m[3][3] = {{c, 0, s}, {0, 1, 0}, {-s, 0, c}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) R[i][j] = m[i][j];
}

}  // namespace

void armRotation(double q1, double q23, double R[3][3]) {
  double z[3][3], y[3][3];
  rotZ(q1, z);
  rotY(q23, y);
  multiply(z, y, R);
}

void wristCentre(const double q[3], double out[3]) {
  const double c1 = std::cos(q[0]), s1 = std::sin(q[0]);
  const double c2 = std::cos(q[1]), s2 = std::sin(q[1]);
  const double c23 = std::cos(q[1] + q[2]), s23 = std::sin(q[1] + q[2]);
  // Radial reach in the arm's vertical plane and height of the wrist centre.
  const double reach = kA2 * c2 + kD4 * s23 + kA3 * c23;
  out[0] = c1 * reach - s1 * kLateral;
  out[1] = s1 * reach + c1 * kLateral;
  out[2] = -kA2 * s2 + kD4 * c23 - kA3 * s23;
}

Pose forward(const double q[6]) {
  Pose pose;
  double arm[3][3], wrist[3][3], t[3][3], r[3][3];
  armRotation(q[0], q[1] + q[2], arm);
  rotZ(q[3], t);
  rotY(q[4], r);
  multiply(t, r, wrist);
  rotZ(q[5], t);
  multiply(wrist, t, r);
  multiply(arm, r, pose.R);
  wristCentre(q, pose.p);
  for (int i = 0; i < 3; ++i) pose.p[i] += kToolLength * pose.R[i][2];
  return pose;
}

}  // namespace ik
