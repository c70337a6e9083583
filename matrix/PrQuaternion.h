// PrQuaternion: an orientation or rotation as w + (x, y, z), scalar first.
//
// Quaternions are not normalised behind the caller's back; only normalize()
// and slerp() do it. Rotation matrices are PrMatrix3 or any 3×3 PrMatrix,
// indexed R(row, column). Angles are in radians. Square roots and
// trigonometric functions are evaluated in double and rounded to float.
#pragma once

#include "matrix/PrVector3.h"

class PrMatrix;
class PrVector;

class PrQuaternion {
 public:
  PrQuaternion() : w(1.0f) {}
  PrQuaternion(float scalar, float x, float y, float z) : w(scalar), v(x, y, z) {}

  void identity();
  float dot(const PrQuaternion& q) const { return w * q.w + v.dot(q.v); }
  // Scales to unit length; the zero quaternion becomes non-finite.
  void normalize();
  PrQuaternion conjugate() const { return PrQuaternion(w, -v[0], -v[1], -v[2]); }
  PrQuaternion operator-() const { return PrQuaternion(-w, -v[0], -v[1], -v[2]); }
  bool isFinite() const;

  // Hamilton product: dest = this·q (dest may be this or q).
  void multiply(const PrQuaternion& q, PrQuaternion& dest) const;
  // this = this·q.
  void multiply(const PrQuaternion& q);
  PrQuaternion operator*(const PrQuaternion& q) const;
  PrQuaternion& operator*=(const PrQuaternion& q);

  // dest = this rotation applied to rhs ("rhs.size() == 3"); dest may be rhs.
  void rotate(const PrVector& rhs, PrVector& dest) const;
  PrVector3 rotate(const PrVector& rhs) const;

  // Same rotation: |dot(q)| > 0.99999, so q and −q count as equal.
  bool isEquivalent(const PrQuaternion& q) const;

  // --- conversions ------------------------------------------------------------
  void toRotationMatrix(PrMatrix& dest) const;  // dest resized to 3×3
  // The col-th column of the rotation matrix, without forming the matrix.
  void column(int col, PrVector& dest) const;  // "col >= 0 && col < 3"
  // "m.row() == 3 && m.column() == 3". Non-finite elements give a non-finite
  // quaternion (see isFinite) rather than a crash.
  void fromRotationMatrix(const PrMatrix& m);
  // w = cos(angle/2), v = axis·sin(angle/2); the axis is used as given.
  void fromAxisAngle(const PrVector& axis, float angle);  // "axis.size() == 3"
  // Angle 0 and axis (1, 0, 0) for (nearly) the identity.
  void toAxisAngle(PrVector& axis, float& angle) const;  // "axis.size() == 3"
  // The shortest rotation taking unit vector vFrom onto unit vector vTo;
  // for opposite vectors a half turn about an axis perpendicular to vFrom.
  void fromTwoVectors(const PrVector& vFrom, const PrVector& vTo);
  // qz(a)·qx(b)·qz(c) and qz(a)·qy(b)·qz(c).
  void fromEulerZXZ(float a, float b, float c);
  void fromEulerZYZ(float a, float b, float c);
  // Of the two solutions the one with the first angle in [−π/2, π/2]; when b
  // is 0 or π the turn about z is split equally between a and c.
  void toEulerZXZ(float& a, float& b, float& c) const;
  void toEulerZYZ(float& a, float& b, float& c) const;

  // dest (3) = −2·(w·q.v − q.w·v + v × q.v): the doubled, negated vector part
  // of q·conj(this); about −(rotation vector from q to this) for close q.
  void angularError(const PrQuaternion& q, PrVector& dest) const;
  // dest = ½·(0, omega)·this: the rate of this orientation under the angular
  // velocity omega (rad/s, "omega.size() == 3") expressed in the fixed frame.
  void derivative(const PrVector& omega, PrQuaternion& dest) const;

  // "[w, (x y z)]"; with a name "name =\n" first and "\n" last.
  void display(const char* name = nullptr) const;

  float w;      // scalar part
  PrVector3 v;  // vector part x, y, z
};

// Spherical interpolation along the shorter arc, t in [0, 1]; normalised.
PrQuaternion slerp(const PrQuaternion& q1, const PrQuaternion& q2, double t);
