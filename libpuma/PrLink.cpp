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

// dest = R·(rotation by angle about coordinate axis k), from the half-angle sine and cosine.
void rotateAboutAxis(const float* R, int k, float sh, float ch, float* dest) {
  const float c = ch * ch - sh * sh;
  const float s = 2.0f * sh * ch;
  const int i = (k + 1) % 3;
  const int j = (k + 2) % 3;
  for (int r = 0; r < 3; ++r) {
    const float ri = R[3 * r + i];
    const float rj = R[3 * r + j];
    dest[3 * r + i] = c * ri + s * rj;
    dest[3 * r + j] = -s * ri + c * rj;
    dest[3 * r + k] = R[3 * r + k];
  }
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
    const float h = 0.5f * q;
    const float sh = std::sin(h);
    const float ch = std::cos(h);
    PrQuaternion turn;
    turn.w = ch;
    turn.v[axis_] = sh;
    quaternionProduct(home_.rotation, turn, local_.rotation);
    rotateAboutAxis(homeR_.dataPtr(), axis_, sh, ch, R_.dataPtr());
  } else {
    // The link slides along its joint axis; its centre of mass rides along
    // with the frame, so it stays put in link coordinates.
    const float* R = R_.dataPtr();
    for (int r = 0; r < 3; ++r) local_.translation[r] = home_.translation[r] + q * R[3 * r + axis_];
  }
  updateGlobalFrame();
}

void PrLink::updateGlobalFrame() {
  if (parent_ == nullptr) {
    global_ = local_;
    globalR_ = R_;
    return;
  }
  const PrTransform& pg = parent_->global_;
  const float* parentR = parent_->globalR_.dataPtr();
  quaternionProduct(pg.rotation, local_.rotation, global_.rotation);
  float moved[3];
  spatial::rotate(parentR, local_.translation.dataPtr(), moved);
  for (int k = 0; k < 3; ++k) global_.translation.dataPtr()[k] = pg.translation.dataPtr()[k] + moved[k];
  spatial::multiply3(parentR, R_.dataPtr(), globalR_.dataPtr());
}
