#include "geometry/HullTriangles.h"

#include <cstdio>

extern "C" {
#include "libqhull_r/qhull_ra.h"
}

bool hullTriangles(std::vector<double>& points, std::vector<double>& triangles, bool reportErrors) {
  triangles.clear();
  if (!reportErrors && points.size() < 12) return false;
  qhT qhData;
  qhT* qh = &qhData;
  QHULL_LIB_CHECK
  qh_zero(qh, stderr);
  char flags[] = "qhull Qt";
  FILE* quiet = reportErrors ? nullptr : std::fopen("/dev/null", "w");
  const int exitCode = qh_new_qhull(qh, 3, int(points.size() / 3), points.data(), False, flags, nullptr,
                                    quiet ? quiet : stderr);
  if (exitCode == 0) {
    facetT* facet;
    FORALLfacets {
      vertexT *vertex, **vertexp;
      int corner = 0;
      double triangle[9];
      FOREACHvertex_(facet->vertices) {
        if (corner < 3)
          for (int k = 0; k < 3; ++k) triangle[3 * corner + k] = vertex->point[k];
        ++corner;
      }
      if (corner == 3) triangles.insert(triangles.end(), triangle, triangle + 9);
    }
  }
  qh_freeqhull(qh, !qh_ALL);
  int curLong = 0, totLong = 0;
  qh_memfreeshort(qh, &curLong, &totLong);
  if (quiet) std::fclose(quiet);
  return exitCode == 0;
}

bool hullTriangles(const float* points, int count, std::vector<double>& triangles, bool reportErrors) {
  std::vector<double> corners(points, points + 3 * count);
  return hullTriangles(corners, triangles, reportErrors);
}
