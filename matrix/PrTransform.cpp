#include "matrix/PrTransform.h"

#include "matrix/PrVector.h"
#include "matrix/PrVector6.h"
#include "utility/consolePrint.h"

void PrTransform::identity() {
  rotation.identity();
  translation.zero();
}

void PrTransform::multiply(const PrTransform& rhs, PrTransform& dest) const {
  // Rotate first into a local: dest may be this or rhs.
  PrVector3 t = rotation.rotate(rhs.translation);
  t += translation;
  rotation.multiply(rhs.rotation, dest.rotation);
  dest.translation = t;
}

PrTransform PrTransform::operator*(const PrTransform& rhs) const {
  PrTransform product;
  multiply(rhs, product);
  return product;
}

void PrTransform::transform(const PrVector& rhs, PrVector& dest) const {
  PR_ASSERT(rhs.size() == 3);
  rotation.rotate(rhs, dest);
  dest += translation;
}

PrVector3 PrTransform::operator*(const PrVector& p) const {
  PrVector3 result;
  transform(p, result);
  return result;
}

void PrTransform::inverse(PrTransform& dest) const {
  const PrVector3 negated = -translation;
  dest.rotation = rotation.conjugate();
  dest.rotation.rotate(negated, dest.translation);
}

PrTransform PrTransform::inverse() const {
  PrTransform result;
  inverse(result);
  return result;
}

void PrTransform::error(const PrTransform& rhs, PrVector& dest) const {
  PrVector3 angular;
  rotation.angularError(rhs.rotation, angular);
  dest.resize(6);
  float* d = dest.dataPtr();
  d[0] = translation[0] - rhs.translation[0];
  d[1] = translation[1] - rhs.translation[1];
  d[2] = translation[2] - rhs.translation[2];
  d[3] = angular[0];
  d[4] = angular[1];
  d[5] = angular[2];
}

//---- spatial 6-vectors ---------------------------------------------------------

void PrTransform::transform(const PrVector6& in, PrVector6& out) const {
  // first' = R·first; second' = t × first' + R·second
  const PrVector3 first = rotation.rotate(in.first());
  PrVector3 second = rotation.rotate(in.second());
  second += translation.cross(first);
  out.first() = first;
  out.second() = second;
}

void PrTransform::inverseTransform(const PrVector6& in, PrVector6& out) const {
  // first' = Rᵀ·(first − t × second); second' = Rᵀ·second
  const PrQuaternion inverseRotation = rotation.conjugate();
  PrVector3 shifted(in.first());
  shifted -= translation.cross(in.second());
  const PrVector3 second = inverseRotation.rotate(in.second());
  out.first() = inverseRotation.rotate(shifted);
  out.second() = second;
}

void PrTransform::transformSpatial(const PrVector& in, PrVector& out) const {
  PR_ASSERT(in.size() == 6);
  const PrVector6 source(in);
  PrVector6 result;
  transform(source, result);
  out.resize(6);
  result.getValues(out.dataPtr(), 6);
}

void PrTransform::display(const char* name) const {
  if (name != nullptr) consolePrint("%s =\n", name);
  consolePrint("[rot=");
  rotation.display();
  consolePrint(",\n trans=");
  translation.display();
  consolePrint("]\n");
}
