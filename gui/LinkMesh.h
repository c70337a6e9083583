// LinkMesh: the triangles of one link of the arm, grouped by material, built
// from simple solids (cylinders, boxes, spheres) in the link's own frame.
#pragma once

#include <vector>

struct MeshMaterial {
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float emission[4];
  float shininess;
};

class LinkMesh {
 public:
  struct Group {
    MeshMaterial material;
    std::vector<float> vertices;  // x, y, z, nx, ny, nz per corner, three corners per triangle
  };

  // Subsequent solids use `material`.
  void useMaterial(const MeshMaterial& material);
  // Closed cylinder (or cone) along axis 0, 1 or 2 from `start` over `length`,
  // radius r0 at the start and r1 at the end.
  void addCylinder(int axis, const float start[3], float length, float r0, float r1, int slices = 24);
  void addBox(const float lo[3], const float hi[3]);
  void addSphere(const float centre[3], float radius, int slices = 20, int stacks = 10);

  // Every group takes `material` (a ghost of the link in one colour).
  void recolour(const MeshMaterial& material);

  int triangleCount() const;
  const std::vector<Group>& groups() const { return m_groups; }
  // Immediate-mode drawing: usable inside a display list or in selection mode.
  void draw() const;

 private:
  void corner(const float p[3], const float n[3]);
  static void faceAlongNormals(float* triangle);
  std::vector<Group> m_groups;
};
