#include "libpuma/PumaKinematics.h"

#include <cmath>

#include "libpuma/DualNumber.h"
#include "libpuma/IRobotModel.h"
#include "libpuma/PumaConstants.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"
#include "utility/Angles.h"

namespace puma {
namespace {

// Sines and cosines of the joints that move the operational point.
template <typename T>
struct ArmTrig {
  T s1, c1, s2, c2, s23, c23, s4, c4, s5, c5;
};

// Terms shared by the point and its Jacobian. A = reach along the forearm,
// B = offset across it, R = horizontal reach in the arm plane, D = lateral
// offset from that plane, Z = height of the point above the shoulder.
template <typename T>
struct ArmReach {
  T A, B, R, D, Z;
  explicit ArmReach(const ArmTrig<T>& t) {
    const double L = kToolLength;
    A = kD4 + L * t.c5;
    B = kA3 + L * (t.c4 * t.s5);
    R = kA2 * t.c2 + A * t.s23 + B * t.c23;
    D = kLateralOffset + L * (t.s4 * t.s5);
    Z = -kA2 * t.s2 + A * t.c23 - B * t.s23;
  }
};

template <typename T>
void evalJacobian(const ArmTrig<T>& t, T J[6][6]) {
  const double L = kToolLength;
  const ArmReach<T> r(t);
  const T& s1 = t.s1;
  const T& c1 = t.c1;

  // Rows 0-2: ∂p/∂θk, with p = (c1 R - s1 D, s1 R + c1 D, Z).
  J[0][0] = -(s1 * r.R) - c1 * r.D;
  J[1][0] = c1 * r.R - s1 * r.D;
  J[2][0] = T(0.0);

  J[0][1] = c1 * r.Z;  // ∂R/∂θ2 = Z
  J[1][1] = s1 * r.Z;
  J[2][1] = -r.R;

  const T R3 = r.A * t.c23 - r.B * t.s23;  // ∂R/∂θ3
  J[0][2] = c1 * R3;
  J[1][2] = s1 * R3;
  J[2][2] = -(r.A * t.s23 + r.B * t.c23);

  const T R4 = -L * (t.s4 * t.s5 * t.c23);  // ∂R/∂θ4
  const T D4 = L * (t.c4 * t.s5);           // ∂D/∂θ4
  J[0][3] = c1 * R4 - s1 * D4;
  J[1][3] = s1 * R4 + c1 * D4;
  J[2][3] = L * (t.s23 * t.s4 * t.s5);

  const T R5 = L * (t.c4 * t.c5 * t.c23 - t.s5 * t.s23);  // ∂R/∂θ5
  const T D5 = L * (t.s4 * t.c5);                         // ∂D/∂θ5
  J[0][4] = c1 * R5 - s1 * D5;
  J[1][4] = s1 * R5 + c1 * D5;
  J[2][4] = -L * (t.c4 * t.c5 * t.s23 + t.c23 * t.s5);

  J[0][5] = J[1][5] = J[2][5] = T(0.0);

  // Rows 3-5: the joint axes z1..z6 in the base frame.
  J[3][0] = T(0.0);
  J[4][0] = T(0.0);
  J[5][0] = T(1.0);
  J[3][1] = J[3][2] = -s1;
  J[4][1] = J[4][2] = c1;
  J[5][1] = J[5][2] = T(0.0);
  J[3][3] = c1 * t.s23;
  J[4][3] = s1 * t.s23;
  J[5][3] = t.c23;
  J[3][4] = -(t.c4 * s1) - c1 * t.c23 * t.s4;
  J[4][4] = c1 * t.c4 - t.c23 * s1 * t.s4;
  J[5][4] = t.s23 * t.s4;
  const T inPlane = t.c5 * t.s23 + t.c23 * t.c4 * t.s5;
  J[3][5] = c1 * inPlane - s1 * t.s4 * t.s5;
  J[4][5] = s1 * inPlane + c1 * t.s4 * t.s5;
  J[5][5] = t.c23 * t.c5 - t.c4 * t.s23 * t.s5;
}

}  // namespace

void operationalPoint(const PrVector& q, PrVector& p) {
  PR_ASSERT(q.size() == 6);
  ArmTrig<double> t;
  t.s1 = std::sin(double(q[0]));
  t.c1 = std::cos(double(q[0]));
  t.s2 = std::sin(double(q[1]));
  t.c2 = std::cos(double(q[1]));
  t.s23 = std::sin(double(q[1]) + q[2]);
  t.c23 = std::cos(double(q[1]) + q[2]);
  t.s4 = std::sin(double(q[3]));
  t.c4 = std::cos(double(q[3]));
  t.s5 = std::sin(double(q[4]));
  t.c5 = std::cos(double(q[4]));
  const ArmReach<double> r(t);
  p.resize(3);
  p[0] = static_cast<float>(t.c1 * r.R - t.s1 * r.D);
  p[1] = static_cast<float>(t.s1 * r.R + t.c1 * r.D);
  p[2] = static_cast<float>(r.Z);
}

void jacobianAndRate(const PrVector& q, const PrVector& dq, PrMatrix& J, PrMatrix& dJ) {
  PR_ASSERT(q.size() == 6 && dq.size() == 6);
  // Each sine and cosine carries its time derivative along dq, so the
  // derivative part of the Jacobian below is Σk ∂J/∂θk dq[k].
  using Rate = DualNumber<1>;
  auto seed = [](Rate& s, Rate& c, double angle, double rate) {
    const double sa = std::sin(angle), ca = std::cos(angle);
    s.v = sa;
    s.d[0] = ca * rate;
    c.v = ca;
    c.d[0] = -sa * rate;
  };
  ArmTrig<Rate> t;
  seed(t.s1, t.c1, q[0], dq[0]);
  seed(t.s2, t.c2, q[1], dq[1]);
  seed(t.s23, t.c23, double(q[1]) + q[2], double(dq[1]) + dq[2]);
  seed(t.s4, t.c4, q[3], dq[3]);
  seed(t.s5, t.c5, q[4], dq[4]);

  Rate Jd[6][6];
  evalJacobian(t, Jd);
  J.resize(6, 6);
  dJ.resize(6, 6);
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 6; ++c) {
      J(r, c) = static_cast<float>(Jd[r][c].v);
      dJ(r, c) = static_cast<float>(Jd[r][c].d[0]);
    }
  }
}

int singularFlags(const PrVector& q, float eps) {
  PR_ASSERT(q.size() == 6);
  int flags = 0;
  const double wristReach = kA2 * std::cos(double(q[1])) + kD4 * std::sin(double(q[1]) + q[2]);
  if (std::fabs(wristReach) < eps) flags |= kSingularShoulder;
  // In single precision, so that θ3 = π/2 as a float counts as exactly stretched.
  if (std::fabs(q[2] - kPiF / 2) < eps) flags |= kSingularElbow;
  if (std::fabs(q[4]) < eps) flags |= kSingularWrist;
  return flags;
}

}  // namespace puma
