#include "servo/LimitShapes.h"

#include <Eigen/Eigenvalues>
#include <cmath>

namespace {
constexpr float kMinInverseMass = 1e-6f;  // 1/kg
}  // namespace

void signPatternPoints(const PrMatrix& map, const PrVector& limits, float scale, PrVector& points) {
  PR_ASSERT(map.column() == limits.size());
  const int dof = limits.size();
  const int corners = 1 << dof;
  points.setSize(3 * corners);
  for (int k = 0; k < corners; ++k) {
    for (int r = 0; r < 3; ++r) {
      float sum = 0;
      for (int j = 0; j < dof; ++j) {
        const float value = (k & (1 << j)) ? -limits[j] : limits[j];
        sum += map(r, j) * value;
      }
      points[3 * k + r] = sum * scale;
    }
  }
}

void accelerationLimitPoints(const PrMatrix& Jp, const PrMatrix& Ainv, const PrVector& tauMax,
                             PrVector& points, ShapeScratch& scratch) {
  Jp.multiply(Ainv, scratch.map);
  signPatternPoints(scratch.map, tauMax, 1.0f, points);
}

void velocityLimitPoints(const PrMatrix& Jp, const PrVector& dqmax, PrVector& points) {
  signPatternPoints(Jp, dqmax, 1000.0f, points);
}

void effectiveMassEllipsoid(const PrMatrix& J, const PrMatrix& Ainv, PrVector& ellipsoid) {
  ShapeScratch scratch;
  effectiveMassEllipsoid(J, Ainv, ellipsoid, scratch);
}

void effectiveMassEllipsoid(const PrMatrix& J, const PrMatrix& Ainv, PrVector& ellipsoid,
                            ShapeScratch& scratch) {
  ellipsoid.setSize(12, true);
  if (J.isZero()) return;
  J.multiply(Ainv, scratch.JAinv);
  scratch.JAinv.multiply(J, scratch.Minv, true);
  // The 3 x 3 inverse effective mass, decomposed with fixed-size storage (no
  // heap); only the lower triangle is read, in ascending eigenvalue order.
  Eigen::Matrix3d Minv;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) Minv(r, c) = scratch.Minv(r, c);
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> decomposition(Minv, Eigen::ComputeEigenvectors);
  for (int k = 0; k < 3; ++k) {
    for (int r = 0; r < 3; ++r) ellipsoid[3 * k + r] = static_cast<float>(decomposition.eigenvectors()(r, k));
    // A direction the joints cannot move in (reduced models) has no finite
    // effective mass; it is reported as 0 rather than as inf or a huge number.
    const float lambda = static_cast<float>(decomposition.eigenvalues()[k]);
    ellipsoid[9 + k] = lambda > kMinInverseMass ? 1.0f / lambda : 0.0f;
  }
}
