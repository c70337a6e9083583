// PrTransform: a rigid-body frame, the pose of a child frame in its parent:
// a point p given in the child frame is rotation·p + translation in the parent.
//
// Spatial 6-vectors are ordered linear half first, angular half second.
// With R the rotation and [t×] the cross-product matrix of the translation:
//   transform        maps a force (f, n) from child to parent:  [[R, 0], [[t×]R, R]]
//   inverseTransform maps a motion (v, ω) from parent to child: [[Rᵀ, −Rᵀ[t×]], [0, Rᵀ]]
// The second matrix is the transpose of the first, so the two are each
// other's dual (power v·f + ω·n is preserved), which is what a recursive
// dynamics pass needs in its outward and inward sweeps.
#pragma once

#include "matrix/PrQuaternion.h"
#include "matrix/PrVector3.h"

class PrVector;
class PrVector6;

class PrTransform {
 public:
  PrTransform() = default;
  PrTransform(const PrQuaternion& r, const PrVector3& t) : rotation(r), translation(t) {}

  void identity();

  // dest = this·rhs; dest may be this or rhs.
  void multiply(const PrTransform& rhs, PrTransform& dest) const;
  PrTransform operator*(const PrTransform& rhs) const;
  // dest = rotation·rhs + translation for a point rhs ("rhs.size() == 3");
  // dest may be rhs.
  void transform(const PrVector& rhs, PrVector& dest) const;
  PrVector3 operator*(const PrVector& p) const;
  // dest = the inverse frame; dest may be this.
  void inverse(PrTransform& dest) const;
  PrTransform inverse() const;
  // dest (6) = (translation − rhs.translation, rotation.angularError(rhs.rotation)).
  void error(const PrTransform& rhs, PrVector& dest) const;

  // Spatial 6-vectors (see above); out may be in.
  void transform(const PrVector6& in, PrVector6& out) const;
  void inverseTransform(const PrVector6& in, PrVector6& out) const;
  // The 6-vector transform for a generic PrVector of 6 elements
  // ("in.size() == 6"; out resized to 6).
  void transformSpatial(const PrVector& in, PrVector& out) const;

  // "[rot=[w, (x y z)],\n trans=(x y z)]\n", with a name "name =\n" first.
  void display(const char* name = nullptr) const;

  PrQuaternion rotation;  // identity by default
  PrVector3 translation;  // zero by default
};
