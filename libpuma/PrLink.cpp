#include "libpuma/PrLink.h"

#include <cmath>

#include "libpuma/SpatialKernels.h"
#include "utility/consolePrint.h"

namespace {

// dest = a·b (Hamilton product) on the public parts of PrQuaternion.
void quaternionProduct(const PrQuaternion& a, const PrQuaternion& b, PrQuaternion& dest) {
  const float* u = a.v.dataPtr();
  const float* v = b.v.dataPtr();
  float x[3];
  spatial::cross(u, v, x);
  const float w = a.w * b.w - (u[0] * v[0] + u[1] * v[1] + u[2] * v[2]);
  float* d = dest.v.dataPtr();
  for (int k = 0; k < 3; ++k) d[k] = a.w * v[k] + b.w * u[k] + x[k];
  dest.w = w;
}

}  // namespace

PrLink::PrLink(int jointType, int jointAxis) : type_(jointType), axis_(jointAxis) {
  if (type_ != kPrismatic && type_ != kRevolute) {
    consolePrint("Error: PrLink: Unknown joint type(%d)\n", jointType);
    type_ = kRevolute;
  }
  if (axis_ < 0 || axis_ > 2) axis_ = 2;
  homeR_.identity();
  R_.identity();
  globalR_.identity();
}

void PrLink::setDenavitHartenberg(float alpha, float a, float d, float theta) {
  const float ha = 0.5f * alpha;
  home_.rotation = PrQuaternion(std::cos(ha), std::sin(ha), 0.0f, 0.0f);
  home_.translation.set(a, 0.0f, 0.0f);
  // A revolute joint's θ and a prismatic joint's d are the joint variable.
  homeOffset_ = type_ == kRevolute ? d : theta;
  setHomeFrame(home_);
}

void PrLink::setHomeFrame(const PrTransform& home) {
  if (&home != &home_) home_ = home;
  home_.rotation.toRotationMatrix(homeR_);
  local_ = home_;
  if (type_ == kRevolute) {
    // The fixed offset along the joint axis: the home rotation's axis column.
    for (int r = 0; r < 3; ++r) local_.translation[r] += homeOffset_ * homeR_[r][axis_];
  } else {
    const float h = 0.5f * homeOffset_;
    PrQuaternion turn;
    turn.v[axis_] = std::sin(h);
    turn.w = std::cos(h);
    quaternionProduct(home_.rotation, turn, local_.rotation);
  }
  local_.rotation.toRotationMatrix(R_);
  setJoint(0.0f);
}

void PrLink::setInertial(float mass, const PrVector3& com, const PrVector3& principalInertia) {
  mass_ = mass;
  com_ = com;
  comHome_ = com[axis_];
  inertia_ = principalInertia;
}

void PrLink::setJoint(float q) {
  if (type_ == kRevolute) {
    // local = home ⊗ (cos ½q, sin ½q·e_k): the product with a turn about a
    // coordinate axis, written out.
    float sh, ch;
    sincosf(0.5f * q, &sh, &ch);
    const int k = axis_;
    const int i = (k + 1) % 3;
    const int j = (k + 2) % 3;
    const float hw = home_.rotation.w;
    const float* hv = home_.rotation.v.dataPtr();
    float* v = local_.rotation.v.dataPtr();
    local_.rotation.w = hw * ch - hv[k] * sh;
    v[k] = hw * sh + hv[k] * ch;
    v[i] = hv[i] * ch + hv[j] * sh;
    v[j] = hv[j] * ch - hv[i] * sh;
  } else {
    // The link slides along its joint axis; its centre of mass rides along
    // with the frame, so it stays put in link coordinates.
    const float* R = R_.dataPtr();
    for (int r = 0; r < 3; ++r) local_.translation[r] = home_.translation[r] + q * R[3 * r + axis_];
  }
  updateGlobalFrame();
}

namespace {

// R of the unit quaternion (w, v), row-major.
void rotationOf(float w, const float* v, float* R) {
  const float x = v[0], y = v[1], z = v[2];
  const float xx = 2.0f * x * x, yy = 2.0f * y * y, zz = 2.0f * z * z;
  const float xy = 2.0f * x * y, xz = 2.0f * x * z, yz = 2.0f * y * z;
  const float wx = 2.0f * w * x, wy = 2.0f * w * y, wz = 2.0f * w * z;
  R[0] = 1.0f - yy - zz;
  R[1] = xy - wz;
  R[2] = xz + wy;
  R[3] = xy + wz;
  R[4] = 1.0f - xx - zz;
  R[5] = yz - wx;
  R[6] = xz - wy;
  R[7] = yz + wx;
  R[8] = 1.0f - xx - yy;
}

}  // namespace

void PrLink::updateGlobalFrame() {
  const float* lt = local_.translation.dataPtr();
  float* gt = global_.translation.dataPtr();
  if (parent_ == nullptr) {
    global_.rotation = local_.rotation;
    for (int k = 0; k < 3; ++k) gt[k] = lt[k];
  } else {
    const PrTransform& pg = parent_->global_;
    quaternionProduct(pg.rotation, local_.rotation, global_.rotation);
    // The origin: the parent's origin plus the local translation in base axes.
    float moved[3];
    spatial::rotate(parent_->globalR_.dataPtr(), lt, moved);
    const float* pt = pg.translation.dataPtr();
    for (int k = 0; k < 3; ++k) gt[k] = pt[k] + moved[k];
  }
  // The axes from the quaternion: cheaper than the parent's times the local matrix.
  rotationOf(global_.rotation.w, global_.rotation.v.dataPtr(), globalR_.dataPtr());
}
