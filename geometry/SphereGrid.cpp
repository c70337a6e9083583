#include "geometry/SphereGrid.h"

#include <cmath>

#include "utility/Angles.h"

void unitSphere(PrVector& sphere) {
  sphere.setSize(kSphereFloats, true);
  float* out = sphere.dataPtr();
  // The angles accumulate in single precision, step by step, as the grid is walked.
  float azimuth = -kPiF;
  for (int i = 0; i < kSphereAzimuths; ++i, azimuth += 0.34906584f) {
    float elevation = -kPiF / 2;
    for (int j = 0; j < kSphereElevations; ++j, elevation += 0.17453292f) {
      float* point = out + spherePointIndex(i, j);
      if (i > 0 && (j == 0 || j == kSphereElevations - 1)) {
        const float* pole = out + spherePointIndex(0, j);
        point[0] = pole[0];
        point[1] = pole[1];
        point[2] = pole[2];
        continue;
      }
      const double cd = std::cos(double(elevation));
      point[0] = float(cd * std::cos(double(azimuth)));
      point[1] = float(cd * std::sin(double(azimuth)));
      point[2] = float(std::sin(double(elevation)));
    }
  }
}
