#include "gui/PumaMeshes.h"

namespace {

// Cream enamel of the arm, dark grey of the pedestal plate and wrist, metal.
constexpr MeshMaterial kBody = {
    {0.25f, 0.24f, 0.2f, 1}, {0.85f, 0.82f, 0.7f, 1}, {0.4f, 0.4f, 0.4f, 1}, {0, 0, 0, 1}, 40};
constexpr MeshMaterial kDark = {
    {0.1f, 0.1f, 0.1f, 1}, {0.3f, 0.3f, 0.33f, 1}, {0.3f, 0.3f, 0.3f, 1}, {0, 0, 0, 1}, 20};
constexpr MeshMaterial kMetal = {
    {0.2f, 0.2f, 0.2f, 1}, {0.6f, 0.62f, 0.65f, 1}, {0.8f, 0.8f, 0.8f, 1}, {0, 0, 0, 1}, 80};
constexpr MeshMaterial kFinger = {
    {0.2f, 0.2f, 0.17f, 1}, {0.82f, 0.87f, 0.68f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 1}, 10};

void pedestal(LinkMesh& m) {
  m.useMaterial(kDark);
  const float plate[3] = {0, 0, 0};
  m.addCylinder(2, plate, 0.03f, 0.2f, 0.2f, 32);
  m.useMaterial(kBody);
  const float column[3] = {0, 0, 0.03f};
  m.addCylinder(2, column, 0.46f, 0.1f, 0.1f, 32);
}

// Link 1's frame sits on top of the pedestal; the shoulder axis is offset
// along its −x.
void trunk(LinkMesh& m) {
  m.useMaterial(kBody);
  const float column[3] = {0, 0, -0.1f};
  m.addCylinder(2, column, 0.19f, 0.11f, 0.11f, 32);
  const float shoulder[3] = {0.0f, 0, 0.085f};
  m.addCylinder(0, shoulder, -0.2f, 0.11f, 0.11f, 32);
}

// Upper arm: the shoulder hub on joint 2's axis, the beam up to the elbow.
void upperArm(LinkMesh& m) {
  m.useMaterial(kBody);
  const float hub[3] = {0.06f, 0, 0};
  m.addCylinder(0, hub, -0.14f, 0.13f, 0.13f, 32);
  const float lo[3] = {-0.06f, -0.07f, 0.0f}, hi[3] = {0.02f, 0.07f, 0.43f};
  m.addBox(lo, hi);
  const float elbow[3] = {0.02f, 0, 0.4318f};
  m.addCylinder(0, elbow, -0.08f, 0.08f, 0.08f, 32);
  m.useMaterial(kDark);
  const float motor[3] = {0.06f, 0, 0};
  m.addCylinder(0, motor, 0.05f, 0.07f, 0.07f, 24);
}

// Forearm: the elbow hub and a tapering tube up to the wrist.
void forearm(LinkMesh& m) {
  m.useMaterial(kBody);
  const float hub[3] = {0.07f, 0.0f, 0.0f};
  m.addCylinder(0, hub, -0.11f, 0.07f, 0.07f, 32);
  const float tube[3] = {0.041f, -0.02f, 0.0f};
  m.addCylinder(2, tube, 0.30f, 0.06f, 0.04f, 24);
}

void wrist(LinkMesh& m) {
  m.useMaterial(kDark);
  const float body[3] = {0, 0, -0.03f};
  m.addCylinder(2, body, 0.09f, 0.04f, 0.04f, 24);
  const float centre[3] = {0, 0, 0.08f};
  m.addSphere(centre, 0.035f);
}

void flange(LinkMesh& m) {
  m.useMaterial(kMetal);
  const float plate[3] = {0, 0, 0.0f};
  m.addCylinder(2, plate, 0.03f, 0.03f, 0.03f, 24);
  const float palm0[3] = {-0.035f, -0.015f, 0.03f}, palm1[3] = {0.035f, 0.015f, 0.045f};
  m.addBox(palm0, palm1);
  m.useMaterial(kFinger);
  const float left0[3] = {-0.035f, -0.012f, 0.045f}, left1[3] = {-0.02f, 0.012f, 0.1f};
  const float right0[3] = {0.02f, -0.012f, 0.045f}, right1[3] = {0.035f, 0.012f, 0.1f};
  m.addBox(left0, left1);
  m.addBox(right0, right1);
}

}  // namespace

std::vector<LinkMesh> buildPumaMeshes() {
  std::vector<LinkMesh> meshes(kPumaLinkCount);
  pedestal(meshes[0]);
  trunk(meshes[1]);
  upperArm(meshes[2]);
  forearm(meshes[3]);
  wrist(meshes[4]);
  flange(meshes[6]);
  return meshes;
}
