#include "gui/LinkMesh.h"

#include <GL/gl.h>

#include <cmath>
#include <utility>

#include "utility/Angles.h"

namespace {

constexpr float kTwoPi = 2 * kPiF;

// Maps (u, v, w) in a frame whose w runs along `axis` to x, y, z.
void place(int axis, float u, float v, float w, float out[3]) {
  out[axis] = w;
  out[(axis + 1) % 3] = u;
  out[(axis + 2) % 3] = v;
}

}  // namespace

void LinkMesh::useMaterial(const MeshMaterial& material) { m_groups.push_back(Group{material, {}}); }

void LinkMesh::corner(const float p[3], const float n[3]) {
  if (m_groups.empty()) m_groups.push_back(Group{});
  auto& v = m_groups.back().vertices;
  v.insert(v.end(), {p[0], p[1], p[2], n[0], n[1], n[2]});
  if (v.size() % 18 == 0) faceAlongNormals(&v[v.size() - 18]);
}

// Two-sided lighting takes a triangle wound clockwise, as seen from where
// its normals point, for its back and lights the other side: such a face
// would show dark from outside. Its winding is turned to match the normals.
void LinkMesh::faceAlongNormals(float* t) {
  const float e1[3] = {t[6] - t[0], t[7] - t[1], t[8] - t[2]};
  const float e2[3] = {t[12] - t[0], t[13] - t[1], t[14] - t[2]};
  const float face[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                         e1[0] * e2[1] - e1[1] * e2[0]};
  float along = 0;
  for (int k = 0; k < 3; ++k) along += face[k] * (t[3 + k] + t[9 + k] + t[15 + k]);
  if (along >= 0) return;
  for (int k = 0; k < 6; ++k) std::swap(t[6 + k], t[12 + k]);
}

void LinkMesh::addCylinder(int axis, const float start[3], float length, float r0, float r1, int slices) {
  // The side normal leans by the cone's slope so cones shade correctly.
  const float slope = (r0 - r1) / length;
  const float scale = 1.0f / std::sqrt(1.0f + slope * slope);
  for (int s = 0; s < slices; ++s) {
    const float a0 = kTwoPi * float(s) / float(slices), a1 = kTwoPi * float(s + 1) / float(slices);
    const float c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
    float p[4][3], n[2][3];
    place(axis, r0 * c0, r0 * s0, 0, p[0]);
    place(axis, r0 * c1, r0 * s1, 0, p[1]);
    place(axis, r1 * c1, r1 * s1, length, p[2]);
    place(axis, r1 * c0, r1 * s0, length, p[3]);
    place(axis, c0 * scale, s0 * scale, slope * scale, n[0]);
    place(axis, c1 * scale, s1 * scale, slope * scale, n[1]);
    for (auto& q : p)
      for (int k = 0; k < 3; ++k) q[k] += start[k];
    corner(p[0], n[0]);
    corner(p[1], n[1]);
    corner(p[2], n[1]);
    corner(p[0], n[0]);
    corner(p[2], n[1]);
    corner(p[3], n[0]);
    // End caps.
    float centre0[3], centre1[3], down[3], up[3];
    place(axis, 0, 0, 0, centre0);
    place(axis, 0, 0, length, centre1);
    place(axis, 0, 0, -1, down);
    place(axis, 0, 0, 1, up);
    for (int k = 0; k < 3; ++k) {
      centre0[k] += start[k];
      centre1[k] += start[k];
    }
    corner(centre0, down);
    corner(p[1], down);
    corner(p[0], down);
    corner(centre1, up);
    corner(p[3], up);
    corner(p[2], up);
  }
}

void LinkMesh::addBox(const float lo[3], const float hi[3]) {
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      const float w = side ? hi[axis] : lo[axis];
      const int a = (axis + 1) % 3, b = (axis + 2) % 3;
      float n[3] = {0, 0, 0};
      n[axis] = side ? 1.0f : -1.0f;
      float p[4][3];
      const float us[4] = {lo[a], hi[a], hi[a], lo[a]}, vs[4] = {lo[b], lo[b], hi[b], hi[b]};
      for (int i = 0; i < 4; ++i) {
        p[i][axis] = w;
        p[i][a] = us[i];
        p[i][b] = vs[i];
      }
      corner(p[0], n);
      corner(p[1], n);
      corner(p[2], n);
      corner(p[0], n);
      corner(p[2], n);
      corner(p[3], n);
    }
  }
}

void LinkMesh::addSphere(const float centre[3], float radius, int slices, int stacks) {
  auto point = [&](int i, int j, float p[3], float n[3]) {
    const float theta = kTwoPi * float(i) / float(slices), phi = 0.5f * kTwoPi * float(j) / float(stacks);
    n[0] = std::sin(phi) * std::cos(theta);
    n[1] = std::sin(phi) * std::sin(theta);
    n[2] = std::cos(phi);
    for (int k = 0; k < 3; ++k) p[k] = centre[k] + radius * n[k];
  };
  for (int i = 0; i < slices; ++i) {
    for (int j = 0; j < stacks; ++j) {
      float p[4][3], n[4][3];
      point(i, j, p[0], n[0]);
      point(i + 1, j, p[1], n[1]);
      point(i + 1, j + 1, p[2], n[2]);
      point(i, j + 1, p[3], n[3]);
      corner(p[0], n[0]);
      corner(p[2], n[2]);
      corner(p[1], n[1]);
      corner(p[0], n[0]);
      corner(p[3], n[3]);
      corner(p[2], n[2]);
    }
  }
}

int LinkMesh::triangleCount() const {
  size_t floats = 0;
  for (const auto& g : m_groups) floats += g.vertices.size();
  return int(floats / 18);
}

void LinkMesh::draw() const {
  for (const auto& g : m_groups) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, g.material.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, g.material.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, g.material.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, g.material.emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, g.material.shininess);
    glBegin(GL_TRIANGLES);
    for (size_t i = 0; i + 6 <= g.vertices.size(); i += 6) {
      glNormal3fv(&g.vertices[i + 3]);
      glVertex3fv(&g.vertices[i]);
    }
    glEnd();
  }
}

void LinkMesh::recolour(const MeshMaterial& material) {
  for (Group& group : m_groups) group.material = material;
}
