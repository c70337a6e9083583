#include "libpuma/PrRobot.h"

#include <cstring>

namespace {

PrRobotDescription readOrEmpty(int n, const char* path, int format) {
  PrRobotDescription description;
  if (!readRobotDescription(path, n, format, description)) description = PrRobotDescription();
  return description;
}

std::unique_ptr<PrLink> makeLink(const PrLinkRecord& r, int format) {
  auto link = std::make_unique<PrLink>(r.jointType, format == 1 ? r.jointAxis : 2);
  link->setId(r.id);
  if (format == 1)
    link->setHomeFrame(r.home);
  else
    link->setDenavitHartenberg(r.alpha, r.a, r.d, r.theta);
  PrVector3 inertia = r.inertia;
  inertia[link->jointAxis()] += r.rotorInertia;  // the rotor spins about the joint axis
  link->setInertial(r.mass, r.com, inertia);
  link->friction() = r.friction;
  link->setLimits(r.qMin, r.qMax);
  link->setPoint(r.point);
  return link;
}

}  // namespace

PrRobot::PrRobot(int n, const char* path, int flag, int format)
    : PrRobot(readOrEmpty(n, path, format), flag) {}

PrRobot::PrRobot(const PrRobotDescription& description, int flag)
    : flag_(flag), state_(static_cast<int>(description.joints.size())) {
  if (!description.joints.empty()) build(description);
}

PrRobot::~PrRobot() = default;

void PrRobot::build(const PrRobotDescription& d) {
  noj_ = static_cast<int>(d.joints.size());
  for (const PrLinkRecord& r : d.joints) owned_.push_back(makeLink(r, d.format));
  for (const PrLinkRecord& r : d.endEffectors) owned_.push_back(makeLink(r, d.format));
  for (auto& link : owned_) links_.push_back(link.get());

  root_ = std::make_unique<PrLink>(PrLink::kRevolute, 2);
  root_->setHomeFrame(d.rootFrame);
  // The file's gravity is in world coordinates; the root's acceleration is
  // expressed in the root's own (possibly rotated) frame.
  gravity_ = d.gravity;
  root_->setAcceleration(PrVector6(d.rootFrame.rotation.conjugate().rotate(d.gravity), PrVector3()));

  PrLink* last = links_[noj_ - 1];
  links_[0]->setParent(root_.get());
  root_->setChild(links_[0]);
  for (int j = 1; j < noj_; ++j) {
    links_[j]->setParent(links_[j - 1]);
    links_[j - 1]->setChild(links_[j]);
  }
  for (std::size_t k = noj_; k < links_.size(); ++k) {
    links_[k]->setParent(last);
    if (links_[k]->id() == PrRobotDescription::kToolRecordId) tool_ = links_[k];
    if (links_[k]->id() == PrRobotDescription::kGripperRecordId) gripper_ = links_[k];
  }

  // The end-effector frame: the tool record's point seen from the last link.
  owned_.push_back(std::make_unique<PrLink>(PrLink::kRevolute, 2));
  endEffector_ = owned_.back().get();
  endEffector_->setParent(last);
  PrTransform eeHome;
  if (tool_ != nullptr) tool_->localFrame().transform(tool_->point(), eeHome.translation);
  endEffector_->setHomeFrame(eeHome);

  // The tool and gripper are rigidly attached: lump their masses into the last link.
  float mass = last->mass();
  PrVector3 moment = last->centerOfMass() * last->mass();
  for (PrLink* body : {tool_, gripper_}) {
    if (body == nullptr) continue;
    mass += body->mass();
    moment += body->localFrame() * body->centerOfMass() * body->mass();
  }
  if (mass > 0.0f) last->setInertial(mass, moment * (1.0f / mass), last->principalInertia());

  torques_.reset(new float[noj_]());
  terms_.resize(noj_);
  kinematicsAt_.reset(new float[noj_]());
  for (int k = 0; k < 3; ++k) baseAcceleration_[k] = gravity_[k];
  updateKinematics();
}

void PrRobot::updateEndEffectorFrames() {
  // Records 999 and 888 only shaped the end-effector link and the last link's
  // mass when the robot was built: their global frames are not followed.
  endEffector_->updateGlobalFrame();
}

void PrRobot::updateKinematics() {
  PR_ASSERT(valid());
  const float* q = state_.positions();
  for (int i = 0; i < noj_; ++i) links_[i]->setJoint(q[i]);
  updateEndEffectorFrames();
  updateBaseTerms();
  std::memcpy(kinematicsAt_.get(), q, sizeof(float) * noj_);
  kinematicsValid_ = true;
}

void PrRobot::ensureKinematics() {
  PR_ASSERT(valid());
  // Bitwise, so that a NaN position is never taken for the one before.
  if (!kinematicsValid_ || std::memcmp(kinematicsAt_.get(), state_.positions(), sizeof(float) * noj_) != 0)
    updateKinematics();
}
