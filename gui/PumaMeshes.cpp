#include "gui/PumaMeshes.h"

#include "gui/PumaGeometry.h"

namespace {

using puma::kA2;
using puma::kA3;
using puma::kD4;
using puma::kShoulderOffset;
using pumagl::kShoulderHeight;
using pumagl::kToolLength;

// Cream enamel of the arm, slate grey of the pedestal plate and wrist, metal,
// the gripper's fingers and the orange mark of the tool point. Each reflects
// the ambient light as it does the lamps, and none is darker than mid grey,
// so a side turned away from both lamps still shows.
constexpr MeshMaterial kBody = {
    {0.86f, 0.83f, 0.72f, 1}, {0.86f, 0.83f, 0.72f, 1}, {0.35f, 0.35f, 0.35f, 1}, {0, 0, 0, 1}, 40};
constexpr MeshMaterial kDark = {
    {0.56f, 0.58f, 0.62f, 1}, {0.56f, 0.58f, 0.62f, 1}, {0.3f, 0.3f, 0.3f, 1}, {0, 0, 0, 1}, 20};
constexpr MeshMaterial kMetal = {
    {0.68f, 0.7f, 0.73f, 1}, {0.68f, 0.7f, 0.73f, 1}, {0.7f, 0.7f, 0.7f, 1}, {0, 0, 0, 1}, 80};
constexpr MeshMaterial kFinger = {
    {0.82f, 0.87f, 0.68f, 1}, {0.82f, 0.87f, 0.68f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 1}, 10};
constexpr MeshMaterial kToolMark = {
    {1.0f, 0.55f, 0.1f, 1}, {1.0f, 0.55f, 0.1f, 1}, {0.3f, 0.3f, 0.3f, 1}, {0.25f, 0.1f, 0, 1}, 30};

// In the floor frame: z up from the floor below axis 1.
void pedestal(LinkMesh& m) {
  m.useMaterial(kDark);
  const float plate[3] = {0, 0, 0};
  m.addCylinder(2, plate, 0.03f, 0.22f, 0.22f, 40);
  m.useMaterial(kBody);
  const float column[3] = {0, 0, 0.03f};
  m.addCylinder(2, column, kShoulderHeight - 0.18f, 0.1f, 0.1f, 32);
}

// Frame 1 sits on axis 1 at shoulder height; the shoulder axis runs along +y.
void trunk(LinkMesh& m) {
  m.useMaterial(kBody);
  const float collar[3] = {0, 0, -0.15f};
  m.addCylinder(2, collar, 0.24f, 0.115f, 0.115f, 32);
  const float shoulder[3] = {0, 0, 0};
  m.addCylinder(1, shoulder, kShoulderOffset - 0.055f, 0.1f, 0.1f, 32);
}

// Frame 2: x along the upper arm to the elbow, z along the shoulder axis.
void upperArm(LinkMesh& m) {
  m.useMaterial(kBody);
  const float hub[3] = {0, 0, -0.055f};
  m.addCylinder(2, hub, 0.11f, 0.115f, 0.115f, 32);
  const float lo[3] = {0, -0.065f, -0.045f}, hi[3] = {kA2, 0.065f, 0.045f};
  m.addBox(lo, hi);
  const float elbow[3] = {kA2, 0, -0.045f};
  m.addCylinder(2, elbow, 0.09f, 0.075f, 0.075f, 32);
  m.useMaterial(kDark);
  const float motor[3] = {0, 0, 0.055f};
  m.addCylinder(2, motor, 0.03f, 0.07f, 0.07f, 24);
}

// Frame 3: on the elbow axis; the forearm runs along −y to the wrist centre.
void forearm(LinkMesh& m) {
  m.useMaterial(kBody);
  const float hub[3] = {0, 0, -0.045f};
  m.addCylinder(2, hub, 0.09f, 0.07f, 0.07f, 32);
  const float tube[3] = {kA3, -kD4 + 0.075f, 0};
  m.addCylinder(1, tube, kD4 - 0.075f, 0.042f, 0.06f, 24);
}

// Frame 4: at the wrist centre, z out along the forearm.
void wristRoll(LinkMesh& m) {
  m.useMaterial(kDark);
  const float body[3] = {0, 0, -0.075f};
  m.addCylinder(2, body, 0.04f, 0.045f, 0.045f, 24);
}

// Frame 5: at the wrist centre, z along the bend axis; the tool points along −y.
void wristBend(LinkMesh& m) {
  m.useMaterial(kDark);
  const float knuckle[3] = {0, 0, -0.04f};
  m.addCylinder(2, knuckle, 0.08f, 0.038f, 0.038f, 24);
  m.useMaterial(kMetal);
  const float stub[3] = {0, -0.04f, 0};
  m.addCylinder(1, stub, 0.04f, 0.03f, 0.03f, 24);
}

// Frame 6: z along the tool; the fingers end just short of the tool point,
// whose mark shows between their tips.
void flange(LinkMesh& m) {
  m.useMaterial(kMetal);
  const float plate[3] = {0, 0, 0.035f};
  m.addCylinder(2, plate, 0.02f, 0.032f, 0.032f, 24);
  const float palm0[3] = {-0.035f, -0.015f, 0.055f}, palm1[3] = {0.035f, 0.015f, 0.07f};
  m.addBox(palm0, palm1);
  m.useMaterial(kFinger);
  const float tips = kToolLength - 0.006f;
  const float left0[3] = {-0.03f, -0.012f, 0.07f}, left1[3] = {-0.012f, 0.012f, tips};
  const float right0[3] = {0.012f, -0.012f, 0.07f}, right1[3] = {0.03f, 0.012f, tips};
  m.addBox(left0, left1);
  m.addBox(right0, right1);
  m.useMaterial(kToolMark);
  const float tool[3] = {0, 0, kToolLength};
  m.addSphere(tool, 0.012f, 12, 6);
}

}  // namespace

std::vector<LinkMesh> buildPumaMeshes() {
  std::vector<LinkMesh> meshes(kPumaLinkCount);
  pedestal(meshes[0]);
  trunk(meshes[1]);
  upperArm(meshes[2]);
  forearm(meshes[3]);
  wristRoll(meshes[4]);
  wristBend(meshes[5]);
  flange(meshes[6]);
  return meshes;
}
