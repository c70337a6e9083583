#include "matrix/PrQuaternion.h"

#include <cmath>
#include <limits>

#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrVector.h"
#include "utility/Angles.h"
#include "utility/allFinite.h"
#include "utility/consolePrint.h"

namespace {

// Elementary functions are evaluated on the float widened to double and the
// result rounded back, so every platform gives the same float.
float sqrtD(float x) { return static_cast<float>(std::sqrt(static_cast<double>(x))); }
float sinD(double x) { return static_cast<float>(std::sin(x)); }
float cosD(double x) { return static_cast<float>(std::cos(x)); }
float acosD(float x) { return static_cast<float>(std::acos(static_cast<double>(x))); }
float atan2D(float y, float x) {
  return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

}  // namespace

void PrQuaternion::identity() {
  w = 1.0f;
  v.set(0.0f, 0.0f, 0.0f);
}

void PrQuaternion::normalize() {
  const float k = 1.0f / sqrtD(dot(*this));
  w *= k;
  v *= k;
}

bool PrQuaternion::isFinite() const {
  return std::isfinite(w) && std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

//---- products and rotation of vectors ------------------------------------------

void PrQuaternion::multiply(const PrQuaternion& q, PrQuaternion& dest) const {
  // (w1·w2 − v1·v2, w1·v2 + w2·v1 + v1 × v2); locals first, so dest may alias.
  const float w1 = w, x1 = v[0], y1 = v[1], z1 = v[2];
  const float w2 = q.w, x2 = q.v[0], y2 = q.v[1], z2 = q.v[2];
  dest.w = w1 * w2 - (x1 * x2 + y1 * y2 + z1 * z2);
  dest.v.set(w1 * x2 + w2 * x1 + (y1 * z2 - z1 * y2), w1 * y2 + w2 * y1 + (z1 * x2 - x1 * z2),
             w1 * z2 + w2 * z1 + (x1 * y2 - y1 * x2));
}

void PrQuaternion::multiply(const PrQuaternion& q) { multiply(q, *this); }

PrQuaternion PrQuaternion::operator*(const PrQuaternion& q) const {
  PrQuaternion product;
  multiply(q, product);
  return product;
}

PrQuaternion& PrQuaternion::operator*=(const PrQuaternion& q) {
  multiply(q, *this);
  return *this;
}

void PrQuaternion::rotate(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 3);
  // dest = p·(w² − v·v) + 2w·(v × p) + 2(v·p)·v
  const float* p = rhs.dataPtr();
  const float x = v[0], y = v[1], z = v[2];
  const float a = w * w - (x * x + y * y + z * z);
  const float b = 2.0f * w;
  const float c = 2.0f * (x * p[0] + y * p[1] + z * p[2]);
  const float r0 = p[0] * a + b * (y * p[2] - z * p[1]) + c * x;
  const float r1 = p[1] * a + b * (z * p[0] - x * p[2]) + c * y;
  const float r2 = p[2] * a + b * (x * p[1] - y * p[0]) + c * z;
  dest.resize(3);
  float* d = dest.dataPtr();
  d[0] = r0;
  d[1] = r1;
  d[2] = r2;
}

PrVector3 PrQuaternion::rotate(const PrVector& rhs) const {
  PrVector3 rotated;
  rotate(rhs, rotated);
  return rotated;
}

bool PrQuaternion::isEquivalent(const PrQuaternion& q) const { return std::fabs(dot(q)) > 0.99999f; }

//---- rotation matrices ---------------------------------------------------------

void PrQuaternion::toRotationMatrix(PrMatrix& dest) const {
  const float x = v[0], y = v[1], z = v[2];
  dest.resize(3, 3);
  float* R = dest.dataPtr();
  R[0] = 1.0f - 2.0f * (y * y + z * z);
  R[1] = 2.0f * (x * y - w * z);
  R[2] = 2.0f * (x * z + w * y);
  R[3] = 2.0f * (x * y + w * z);
  R[4] = 1.0f - 2.0f * (x * x + z * z);
  R[5] = 2.0f * (y * z - w * x);
  R[6] = 2.0f * (x * z - w * y);
  R[7] = 2.0f * (y * z + w * x);
  R[8] = 1.0f - 2.0f * (x * x + y * y);
}

void PrQuaternion::column(int col, PrVector& dest) const {
  PR_ASSERT(col >= 0 && col < 3);
  const float x = v[0], y = v[1], z = v[2];
  dest.resize(3);
  float* d = dest.dataPtr();
  switch (col) {
    case 0:
      d[0] = 1.0f - 2.0f * (y * y + z * z);
      d[1] = 2.0f * (x * y + w * z);
      d[2] = 2.0f * (x * z - w * y);
      break;
    case 1:
      d[0] = 2.0f * (x * y - w * z);
      d[1] = 1.0f - 2.0f * (x * x + z * z);
      d[2] = 2.0f * (y * z + w * x);
      break;
    default:
      d[0] = 2.0f * (x * z + w * y);
      d[1] = 2.0f * (y * z - w * x);
      d[2] = 1.0f - 2.0f * (x * x + y * y);
      break;
  }
}

void PrQuaternion::fromRotationMatrix(const PrMatrix& m) {
  PR_ASSERT(m.row() == 3 && m.column() == 3);
  const float* R = m.dataPtr();
  const float R00 = R[0], R01 = R[1], R02 = R[2];
  const float R10 = R[3], R11 = R[4], R12 = R[5];
  const float R20 = R[6], R21 = R[7], R22 = R[8];
  // Radicands 4w², 4x², 4y², 4z². They add up to 4 for any matrix, so with
  // finite elements at least one reaches 1 and its component is at least ½,
  // far from the cancellation that a small divisor would cause.
  const double t[4] = {((R00 + 1.0) + R11) + R22, ((1.0 + R00) - R11) - R22, (R11 + (1.0 - R00)) - R22,
                       R22 + ((1.0 - R00) - R11)};
  int k = 0;
  while (k < 4 && !(t[k] >= 1.0)) ++k;
  if (k == 4) {
    // Only reachable through rounding or non-finite elements.
    if (!allFinite(t, 4)) {
      const float nan = std::numeric_limits<float>::quiet_NaN();
      w = nan;
      v.set(nan, nan, nan);
      return;
    }
    k = 0;
    for (int i = 1; i < 4; ++i) {
      if (t[i] > t[k]) k = i;
    }
  }
  const float s = static_cast<float>(std::sqrt(t[k]));
  const float twoS = 2.0f * s;
  switch (k) {
    case 0:
      w = s / 2.0f;
      v.set((R21 - R12) / twoS, (R02 - R20) / twoS, (R10 - R01) / twoS);
      break;
    case 1:
      w = (R21 - R12) / twoS;
      v.set(s / 2.0f, (R10 + R01) / twoS, (R20 + R02) / twoS);
      break;
    case 2:
      w = (R02 - R20) / twoS;
      v.set((R01 + R10) / twoS, s / 2.0f, (R12 + R21) / twoS);
      break;
    default:
      w = (R10 - R01) / twoS;
      v.set((R20 + R02) / twoS, (R21 + R12) / twoS, s / 2.0f);
      break;
  }
}

//---- axis-angle and two vectors ------------------------------------------------

void PrQuaternion::fromAxisAngle(const PrVector& axis, float angle) {
  PR_ASSERT(axis.size() == 3);
  const double half = static_cast<double>(angle) / 2.0;
  const float s = sinD(half);
  w = cosD(half);
  v.set(axis[0] * s, axis[1] * s, axis[2] * s);
}

void PrQuaternion::toAxisAngle(PrVector& axis, float& angle) const {
  PR_ASSERT(axis.size() == 3);
  if (w > 0.99999f || w < -0.99999f) {
    angle = 0.0f;
    axis[0] = 1.0f;
    axis[1] = 0.0f;
    axis[2] = 0.0f;
    return;
  }
  angle = 2.0f * acosD(w);
  const float k = 1.0f / v.magnitude();
  axis[0] = v[0] * k;
  axis[1] = v[1] * k;
  axis[2] = v[2] * k;
}

void PrQuaternion::fromTwoVectors(const PrVector& vFrom, const PrVector& vTo) {
  PR_ASSERT(vFrom.size() == 3);
  PR_ASSERT(vTo.size() == 3);
  const float c = vFrom.dot(vTo);
  if (c > 0.99999f) {
    identity();
    return;
  }
  if (c < -0.99999f) {
    // Opposite vectors: every axis perpendicular to vFrom works; cross vFrom
    // with the coordinate axis it is least aligned with.
    const float ax = std::fabs(vFrom[0]), ay = std::fabs(vFrom[1]), az = std::fabs(vFrom[2]);
    PrVector3 other(0.0f, 0.0f, 1.0f);
    if (ax <= ay && ax <= az) {
      other.set(1.0f, 0.0f, 0.0f);
    } else if (ay <= az) {
      other.set(0.0f, 1.0f, 0.0f);
    }
    PrVector3 axis = vFrom.cross(other);
    axis.normalize();
    w = 0.0f;
    v = axis;
    return;
  }
  PrVector3 axis = vFrom.cross(vTo);
  axis.normalize();
  fromAxisAngle(axis, acosD(c));
}

//---- Euler angles --------------------------------------------------------------

void PrQuaternion::fromEulerZXZ(float a, float b, float c) {
  *this = PrQuaternion(cosD(a / 2.0), 0.0f, 0.0f, sinD(a / 2.0));
  multiply(PrQuaternion(cosD(b / 2.0), sinD(b / 2.0), 0.0f, 0.0f));
  multiply(PrQuaternion(cosD(c / 2.0), 0.0f, 0.0f, sinD(c / 2.0)));
}

void PrQuaternion::fromEulerZYZ(float a, float b, float c) {
  *this = PrQuaternion(cosD(a / 2.0), 0.0f, 0.0f, sinD(a / 2.0));
  multiply(PrQuaternion(cosD(b / 2.0), 0.0f, sinD(b / 2.0), 0.0f));
  multiply(PrQuaternion(cosD(c / 2.0), 0.0f, 0.0f, sinD(c / 2.0)));
}

void PrQuaternion::toEulerZXZ(float& a, float& b, float& c) const {
  PrMatrix3 R;
  toRotationMatrix(R);
  const float r22 = R(2, 2);
  float s = sqrtD(R(0, 2) * R(0, 2) + R(1, 2) * R(1, 2));
  // The sign of s picks the solution with cos a ≥ 0.
  if (R(1, 2) > 0.0f) s = -s;
  if (s > 0.00001f) {
    b = atan2D(s, r22);
    a = atan2D(R(0, 2), -R(1, 2));
    c = atan2D(R(2, 0), R(2, 1));
  } else if (s < -0.00001f) {
    b = atan2D(s, r22);
    a = atan2D(-R(0, 2), R(1, 2));
    c = atan2D(-R(2, 0), -R(2, 1));
  } else if (r22 > 0.0f) {
    // b = 0: only a + c is defined; split it equally.
    b = 0.0f;
    a = c = atan2D(R(1, 0), R(0, 0)) / 2.0f;
  } else {
    // b = π: only a − c is defined.
    b = kPiF;
    const float e = atan2D(R(1, 0), R(0, 0));
    a = e / 2.0f;
    c = -e / 2.0f;
  }
}

void PrQuaternion::toEulerZYZ(float& a, float& b, float& c) const {
  PrMatrix3 R;
  toRotationMatrix(R);
  float s = sqrtD(R(0, 2) * R(0, 2) + R(1, 2) * R(1, 2));
  if (R(0, 2) < 0.0f) s = -s;
  if (s > 0.00001f) {
    b = atan2D(s, R(2, 2));
    a = atan2D(R(1, 2), R(0, 2));
    c = atan2D(R(2, 1), -R(2, 0));
  } else if (s < -0.00001f) {
    b = atan2D(s, R(2, 2));
    a = atan2D(-R(1, 2), -R(0, 2));
    c = atan2D(-R(2, 1), R(2, 0));
  } else if (R(2, 2) > 0.0f) {
    b = 0.0f;
    a = c = atan2D(R(1, 0), R(0, 0)) / 2.0f;
  } else {
    b = kPiF;
    const float e = atan2D(-R(1, 0), -R(0, 0));
    a = e / 2.0f;
    c = -e / 2.0f;
  }
}

//---- errors and rates ----------------------------------------------------------

void PrQuaternion::angularError(const PrQuaternion& q, PrVector& dest) const {
  const float x = v[0], y = v[1], z = v[2];
  const float qx = q.v[0], qy = q.v[1], qz = q.v[2];
  const float e0 = w * qx - q.w * x + (y * qz - z * qy);
  const float e1 = w * qy - q.w * y + (z * qx - x * qz);
  const float e2 = w * qz - q.w * z + (x * qy - y * qx);
  dest.resize(3);
  float* d = dest.dataPtr();
  d[0] = -2.0f * e0;
  d[1] = -2.0f * e1;
  d[2] = -2.0f * e2;
}

void PrQuaternion::derivative(const PrVector& omega, PrQuaternion& dest) const {
  PR_ASSERT(omega.size() == 3);
  const float* o = omega.dataPtr();
  const float x = v[0], y = v[1], z = v[2];
  // ½·(−v·ω, w·ω − v × ω); locals first, so dest may be this.
  const float dw = -0.5f * (x * o[0] + y * o[1] + z * o[2]);
  const float dx = 0.5f * (w * o[0] - (y * o[2] - z * o[1]));
  const float dy = 0.5f * (w * o[1] - (z * o[0] - x * o[2]));
  const float dz = 0.5f * (w * o[2] - (x * o[1] - y * o[0]));
  dest.w = dw;
  dest.v.set(dx, dy, dz);
}

void PrQuaternion::display(const char* name) const {
  if (name != nullptr) consolePrint("%s =\n", name);
  consolePrint("[%.6f, (%.6f %.6f %.6f)]", w, v[0], v[1], v[2]);
  if (name != nullptr) consolePrint("\n");
}

//---- interpolation -------------------------------------------------------------

PrQuaternion slerp(const PrQuaternion& q1, const PrQuaternion& q2, double t) {
  float c = q1.dot(q2);
  PrQuaternion to = q2;
  if (c < 0.0f) {
    // q and −q are the same rotation; take the shorter arc.
    to = -q2;
    c = -c;
  }
  float k1;
  float k2;
  if (c > 0.99999f) {
    k1 = static_cast<float>(1.0 - t);
    k2 = static_cast<float>(t);
  } else {
    // Dividing by θ instead of sin θ scales both weights alike; the final
    // normalisation removes the difference.
    const float theta = acosD(c);
    k1 = static_cast<float>(std::sin((1.0 - t) * theta) / theta);
    k2 = static_cast<float>(std::sin(t * theta) / theta);
  }
  PrQuaternion result(k1 * q1.w + k2 * to.w, k1 * q1.v[0] + k2 * to.v[0], k1 * q1.v[1] + k2 * to.v[1],
                      k1 * q1.v[2] + k2 * to.v[2]);
  result.normalize();
  return result;
}
