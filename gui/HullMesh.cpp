#include "gui/HullMesh.h"

#include <cmath>

#include "geometry/HullTriangles.h"

bool buildHullMesh(const PrVector& points, int count, double scale, HullMesh& mesh) {
  mesh.corners.clear();
  mesh.normals.clear();
  if (count < 0 || points.size() < 3 * count) return false;
  for (int i = 0; i < 3 * count; ++i)
    if (!std::isfinite(points[i])) return false;
  std::vector<double> triangles;
  if (!hullTriangles(points.dataPtr(), count, triangles, /*reportErrors=*/false)) return false;
  mesh.corners.reserve(triangles.size());
  mesh.normals.reserve(triangles.size() / 3);
  for (size_t i = 0; i + 9 <= triangles.size(); i += 9) {
    const double* t = &triangles[i];
    const double e1[3] = {t[3] - t[0], t[4] - t[1], t[5] - t[2]};
    const double e2[3] = {t[6] - t[0], t[7] - t[1], t[8] - t[2]};
    mesh.normals.insert(mesh.normals.end(), {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                             e1[0] * e2[1] - e1[1] * e2[0]});
    for (int k = 0; k < 9; ++k) mesh.corners.push_back(t[k] / scale);
  }
  return true;
}
