// Shared fixtures of the robot-model tests: a scripted simulated driver, an
// independent forward kinematics of the PUMA written as a product of
// exponentials (Eigen, double precision), and small comparison helpers.
#pragma once

#include <gtest/gtest.h>

#include <Eigen/Geometry>
#include <random>

#include "libpuma/ScriptedRobotDriver.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector.h"

namespace modeltest {

// A driver whose state, end-effector frame and gravity torques the test sets.
using ScriptedDriver = ScriptedRobotDriver;

// Zero-pose axes of the PUMA as the closed form places them: joint 1 about z,
// joints 2, 3 and 5 about y, joints 4 and 6 about z (forearm pointing up).
inline Eigen::Matrix3d pumaRotation(const double q[6]) {
  using Eigen::AngleAxisd;
  using Eigen::Vector3d;
  return (AngleAxisd(q[0], Vector3d::UnitZ()) * AngleAxisd(q[1], Vector3d::UnitY()) *
          AngleAxisd(q[2], Vector3d::UnitY()) * AngleAxisd(q[3], Vector3d::UnitZ()) *
          AngleAxisd(q[4], Vector3d::UnitY()) * AngleAxisd(q[5], Vector3d::UnitZ()))
      .toRotationMatrix();
}

// Operational point: shoulder at the origin, lateral offset 0.1501 - 0.0934,
// upper arm a2 along x, forearm (a3, 0, d4), tool 0.16 along the last axis.
inline Eigen::Vector3d pumaPoint(const double q[6]) {
  using Eigen::AngleAxisd;
  using Eigen::Vector3d;
  const AngleAxisd base(q[0], Vector3d::UnitZ());
  const AngleAxisd upper(q[1], Vector3d::UnitY());
  const AngleAxisd fore(q[1] + q[2], Vector3d::UnitY());
  const Eigen::Matrix3d wrist =
      (fore * AngleAxisd(q[3], Vector3d::UnitZ()) * AngleAxisd(q[4], Vector3d::UnitY())).toRotationMatrix();
  const Vector3d inPlane = Vector3d(0, 0.1501 - 0.0934, 0) + upper * Vector3d(0.4115, 0, 0) +
                           fore * Vector3d(-0.0203, 0, 0.4331) + wrist * Vector3d(0, 0, 0.16);
  return base * inPlane;
}

// Angular velocity (base frame) that turns R0 into R1 in time dt.
inline Eigen::Vector3d angularVelocity(const Eigen::Matrix3d& R0, const Eigen::Matrix3d& R1, double dt) {
  const Eigen::AngleAxisd delta(R1 * R0.transpose());
  return delta.axis() * (delta.angle() / dt);
}

inline Eigen::Matrix3d toEigen(const PrQuaternion& q) {
  return Eigen::Quaterniond(q.w, q.v[0], q.v[1], q.v[2]).normalized().toRotationMatrix();
}

inline PrVector toPr(const double* v, int n) {
  PrVector out(n);
  for (int i = 0; i < n; ++i) out[i] = static_cast<float>(v[i]);
  return out;
}

// Uniform joint angles inside a comfortable range of every joint.
inline void randomJoints(std::mt19937& rng, double q[6], double range = 2.5) {
  std::uniform_real_distribution<double> u(-range, range);
  for (int i = 0; i < 6; ++i) q[i] = u(rng);
}

inline PrQuaternion randomUnitQuaternion(std::mt19937& rng) {
  std::normal_distribution<double> n(0.0, 1.0);
  Eigen::Quaterniond q(n(rng), n(rng), n(rng), n(rng));
  q.normalize();
  return PrQuaternion(float(q.w()), float(q.x()), float(q.y()), float(q.z()));
}

// Frames equal: translations within tol (m) and the same rotation within tol (rad).
inline ::testing::AssertionResult sameFrame(const PrTransform& a, const PrTransform& b, double tol) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(a.translation[i] - b.translation[i]) > tol) {
      return ::testing::AssertionFailure()
             << "translation " << i << ": " << a.translation[i] << " vs " << b.translation[i];
    }
  }
  const double angle = Eigen::AngleAxisd(toEigen(a.rotation) * toEigen(b.rotation).transpose()).angle();
  if (angle > tol) return ::testing::AssertionFailure() << "rotations differ by " << angle << " rad";
  return ::testing::AssertionSuccess();
}

inline double maxAbsDiff(const PrMatrix& a, const PrMatrix& b) {
  double m = 0.0;
  for (int r = 0; r < a.row(); ++r) {
    for (int c = 0; c < a.column(); ++c) m = std::max(m, double(std::abs(a(r, c) - b(r, c))));
  }
  return m;
}

}  // namespace modeltest
