#include "libpuma/PumaDynamics.h"

#include <cmath>

#include "libpuma/DualNumber.h"
#include "libpuma/PumaConstants.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

namespace puma {
namespace {

// Sines and cosines that the mass matrix depends on (θ2..θ5 only).
template <typename T>
struct BodyTrig {
  T s2, c2, s3, c3, s23, c23, s4, c4, s5, c5;
  T cos2q2, sin2q23, cos2q4, cos2q5;  // cos 2θ2, sin 2(θ2+θ3), cos 2θ4, cos 2θ5
};

// Upper triangle of the mass matrix. The numeric factors are products of the
// link constants: 0.022530 = 0.1501², 24.6 = 17.4 + 6.04 + 1.16, 0.169332 = a2²,
// 7.2 = 6.04 + 1.16, 0.187576 = d4², 0.123512 = 6.04·0.143², 0.86372 = 6.04·0.143,
// 0.0402288 = 17.4·0.068²/2, 0.0804576 = 17.4·0.068², 0.0617661 = a2·0.1501,
// 0.177598 = 17.4·0.068·0.1501, 0.8662 = 2 d4, 0.3002 = 2·0.1501, 0.823 = 2 a2,
// 1.646 = 4 a2, 3.292 = 8 a2, 3.4648 = 8 d4, 0.750302 = 4 d4², 0.494048 =
// 4·0.123512, 0.3988 = 2·0.1994, 0.4026 = 2·0.2013, 1.42577 = 8 a2 d4, 1.16913 =
// 0.82·8 a2 d4, 0.48476 = 0.34·8 a2 d4, 2.84337 = 8 a2·0.86372; 25.5628 and 4.5668
// are the remaining constant inertia terms of rows 1 and 2 (times 4).
template <typename T>
void evalMassMatrix(const BodyTrig<T>& t, T M[6][6]) {
  const double a2 = kA2, d4 = kD4;
  const double m = kLastBodyMass, zc = kLastBodyCom, I6 = kLastBodyInertia;
  const double mzc = m * zc;
  const double P = m * zc * zc;
  const double Q = m * zc * zc - I6;
  const T &s2 = t.s2, &c2 = t.c2, &s3 = t.s3, &c3 = t.c3, &s23 = t.s23, &c23 = t.c23;
  const T &s4 = t.s4, &c4 = t.c4, &s5 = t.s5, &c5 = t.c5;

  const T s4s5 = s4 * s5;
  const T s23sq = s23 * s23;
  const T c23sq = c23 * c23;
  const T s5sq = s5 * s5;
  const T c4sq = c4 * c4;
  const T s4sq = s4 * s4;
  const T a2s3d4 = a2 * s3 + d4;
  // Terms shared by the products of row 0 with joints 2 and 3.
  const T offsetTerm = 0.1501 * ((m + 1.16) * d4 + 0.86372 + mzc * c5) + s4s5 * (mzc * d4 + c5 * Q);
  const T crossTerm = c4 * s23 * (0.1501 * mzc * s5 + s4 * (s5sq * Q + 0.1994));
  // Terms shared by the diagonal entries of joints 2 and 3.
  const T wristTerm = 3.0 * P + (0.3988 - I6 + P) * t.cos2q4 - 2.0 * s4sq * t.cos2q5 * (I6 - P);

  M[0][0] = 0.022530 * (m + 24.6) + 2.69 + 0.0402288 + 0.169332 * (m + 7.2) * (c2 * c2) +
            0.0402288 * t.cos2q2 +
            s23sq * (0.187576 * (m + 1.16) + 0.123512 + mzc * c5 * (zc * c5 + 0.8662) + 0.1994 * s4sq) +
            s5 * (((0.4331 * mzc) - I6 * c5 + P * c5) * c4 * t.sin2q23 + 0.3002 * mzc * s4) +
            s5sq * (I6 * c4sq * s23sq + P * s4sq) +
            0.823 * c2 * (s23 * (0.4331 * (m + 1.16) + 0.86372 + mzc * c5) + mzc * c4 * c23 * s5) +
            c23sq * (I6 * (c5 * c5) + 0.2013 + P * c4sq * s5sq);
  M[0][1] = (0.0617661 * (m + 7.2) + 0.177598 + a2 * mzc * s4s5) * s2 - offsetTerm * c23 + crossTerm;
  M[0][2] = -(offsetTerm * c23) + crossTerm;
  M[0][3] = (a2 * mzc * c2 + (mzc * d4 - I6 * c5 + P * c5) * s23) * c4 * s5 +
            0.5 * c23 * (I6 + 0.4026 + P + (I6 - P) * t.cos2q5 + 0.3002 * mzc * s4s5);
  M[0][4] = 0.1994 * s23 * s4 +
            mzc * (-0.1501 * c23 * c4 * c5 + a2 * c2 * c5 * s4 + s23 * (s4 * (zc + d4 * c5) + 0.1501 * s5));
  M[0][5] = I6 * (c23 * c5 - c4 * s23 * s5);

  M[1][1] =
      0.25 * (I6 + 25.5628 + 4.0 * (0.187576 * (m + 1.16) + 0.169332 * (m + 7.2) + 0.0804576 + 0.123512) +
              wristTerm + s3 * (1.16913 + 0.48476 + 1.42577 * m + 2.84337) + 8.0 * mzc * c5 * a2s3d4 +
              3.292 * mzc * c3 * c4 * s5);
  M[1][2] = 0.25 * (I6 + 4.5668 + 0.750302 * (m + 1.16) + 0.494048 + wristTerm +
                    s3 * (0.584564 + 0.242380 + 0.712883 * m + 1.421683) +
                    4.0 * mzc * c5 * (a2 * s3 + 0.8662) + 1.646 * mzc * c3 * c4 * s5);
  M[1][3] = -((Q * c5 + mzc * a2s3d4) * s4s5);
  M[1][4] = 0.1994 * c4 + mzc * (c4 * (zc + a2s3d4 * c5) + a2 * c3 * s5);
  M[1][5] = I6 * s4s5;

  M[2][2] = 0.25 * (I6 + 4.5668 + 0.750302 * (m + 1.16) + 0.494048 + wristTerm + 3.4648 * mzc * c5);
  M[2][3] = -((m * d4 * zc + Q * c5) * s4s5);
  M[2][4] = (mzc * (zc + d4 * c5) + 0.1994) * c4;
  M[2][5] = I6 * s4s5;

  M[3][3] = 0.5 * (P + I6 + (I6 - P) * t.cos2q5) + 0.2013;
  M[3][4] = T(0.0);
  M[3][5] = I6 * c5;

  M[4][4] = T(P + 0.1994);
  M[4][5] = T(0.0);

  M[5][5] = T(I6);
}

}  // namespace

void massMatrixAndCoriolis(const PrVector& q, const PrVector& dq, PrMatrix& M, PrVector& b) {
  PR_ASSERT(q.size() == 6 && dq.size() == 6);
  // Partial derivatives with respect to θ2..θ5 (dual slots 0..3); M does not
  // depend on θ1 or θ6.
  using Grad = DualNumber<4>;
  auto seed = [](Grad& s, Grad& c, double angle, int slot) {
    const double sa = std::sin(angle), ca = std::cos(angle);
    s = Grad(sa);
    s.d[slot] = ca;
    c = Grad(ca);
    c.d[slot] = -sa;
  };
  const double q2 = q[1], q3 = q[2], q4 = q[3], q5 = q[4];
  BodyTrig<Grad> t;
  seed(t.s2, t.c2, q2, 0);
  seed(t.s3, t.c3, q3, 1);
  seed(t.s4, t.c4, q4, 2);
  seed(t.s5, t.c5, q5, 3);
  // The other angles' sines and cosines from these four, by the sum and
  // double-angle formulas (dual arithmetic carries the derivatives along).
  t.s23 = t.s2 * t.c3 + t.c2 * t.s3;
  t.c23 = t.c2 * t.c3 - t.s2 * t.s3;
  t.cos2q2 = t.c2 * t.c2 - t.s2 * t.s2;
  t.sin2q23 = 2.0 * (t.s23 * t.c23);
  t.cos2q4 = t.c4 * t.c4 - t.s4 * t.s4;
  t.cos2q5 = t.c5 * t.c5 - t.s5 * t.s5;

  Grad Md[6][6];
  evalMassMatrix(t, Md);
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < i; ++j) Md[i][j] = Md[j][i];
  }

  // With D_k = ∂M/∂θ(k+2) and u_k = D_k dq: Ṁ dq = Σk dq[k+1] u_k, and the
  // quadratic term's ∂(dqᵀ M dq)/∂θ(k+2) = dq · u_k. Each u_k is six short
  // independent sums, so nothing waits on one long chain of additions.
  double v[6];
  for (int i = 0; i < 6; ++i) v[i] = dq[i];
  double u[4][6];
  for (int k = 0; k < 4; ++k) {
    for (int i = 0; i < 6; ++i) {
      double s = 0.0;
      for (int j = 0; j < 6; ++j) s += Md[i][j].d[k] * v[j];
      u[k][i] = s;
    }
  }
  // b = Ṁ dq - ½ ∂(dqᵀ M dq)/∂θ.
  M.resize(6, 6);
  b.resize(6);
  for (int i = 0; i < 6; ++i) {
    double bi = 0.0;
    for (int k = 0; k < 4; ++k) bi += v[k + 1] * u[k][i];
    if (i >= 1 && i <= 4) {
      double quadratic = 0.0;
      for (int j = 0; j < 6; ++j) quadratic += v[j] * u[i - 1][j];
      bi -= 0.5 * quadratic;
    }
    b[i] = static_cast<float>(bi);
    for (int j = 0; j < 6; ++j) M(i, j) = static_cast<float>(Md[i][j].v);
  }
}

}  // namespace puma
