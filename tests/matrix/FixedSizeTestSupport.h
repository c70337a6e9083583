// Helpers for the fixed-size, quaternion and transform tests: reference
// rotations built from textbook formulas (not through the code under test)
// and random unit quaternions from a fixed seed.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrQuaternion.h"
#include "utility/Angles.h"

namespace fixedtest {

// Elementary rotations R = Rx(h), Ry(h), Rz(h), evaluated in double.
inline PrMatrix3 rotX(double h) {
  const float c = static_cast<float>(std::cos(h)), s = static_cast<float>(std::sin(h));
  return PrMatrix3(1, 0, 0, 0, c, -s, 0, s, c);
}
inline PrMatrix3 rotY(double h) {
  const float c = static_cast<float>(std::cos(h)), s = static_cast<float>(std::sin(h));
  return PrMatrix3(c, 0, s, 0, 1, 0, -s, 0, c);
}
inline PrMatrix3 rotZ(double h) {
  const float c = static_cast<float>(std::cos(h)), s = static_cast<float>(std::sin(h));
  return PrMatrix3(c, -s, 0, s, c, 0, 0, 0, 1);
}

// a·b with plain loops in double.
inline PrMatrix3 product(const PrMatrix& a, const PrMatrix& b) {
  PrMatrix3 out;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 3; ++k) sum += static_cast<double>(a(i, k)) * b(k, j);
      out(i, j) = static_cast<float>(sum);
    }
  }
  return out;
}

inline PrMatrix3 rotationOf(const PrQuaternion& q) {
  PrMatrix3 r;
  q.toRotationMatrix(r);
  return r;
}

inline void expectMatrixNear(const PrMatrix& actual, const PrMatrix& expected, float tolerance) {
  ASSERT_EQ(actual.row(), expected.row());
  ASSERT_EQ(actual.column(), expected.column());
  for (int r = 0; r < actual.row(); ++r) {
    for (int c = 0; c < actual.column(); ++c) {
      EXPECT_NEAR(actual(r, c), expected(r, c), tolerance) << "at (" << r << ", " << c << ")";
    }
  }
}

inline void expectVectorNear(const PrVector& actual, const PrVector& expected, float tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (int i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "at " << i;
}

// Unit quaternions spread over the sphere, reproducible.
inline std::vector<PrQuaternion> randomRotations(int count, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> dist(0.0, 1.0);
  std::vector<PrQuaternion> out;
  for (int i = 0; i < count; ++i) {
    double q[4];
    double norm = 0.0;
    for (double& e : q) {
      e = dist(gen);
      norm += e * e;
    }
    norm = std::sqrt(norm);
    out.emplace_back(static_cast<float>(q[0] / norm), static_cast<float>(q[1] / norm),
                     static_cast<float>(q[2] / norm), static_cast<float>(q[3] / norm));
  }
  return out;
}

}  // namespace fixedtest
