#include "libpuma/PrRobot.h"
#include "libpuma/SpatialKernels.h"
#include "utility/consolePrint.h"

void PrRobot::pointJacobian(int k, const PrVector3& p, PrMatrix& J, int rows) const {
  PR_ASSERT(k >= 0 && k < noj_);
  if (!(0 < rows && rows <= 6)) {
    consolePrint("Error: PrRobot::pointJacobian: 0 < rows && rows <= 6 fails for rows = %d; using 6\n", rows);
    rows = 6;
  }
  J.resize(rows, noj_);
  const float* point = p.dataPtr();
  for (int i = 0; i <= k; ++i) {
    const PrLink& L = *links_[i];
    const float* G = L.globalR_.dataPtr();
    const float z[3] = {G[L.axis_], G[3 + L.axis_], G[6 + L.axis_]};
    float column[6] = {z[0], z[1], z[2], 0.0f, 0.0f, 0.0f};
    if (L.type_ == PrLink::kRevolute) {
      const float* o = L.global_.translation.dataPtr();
      const float r[3] = {point[0] - o[0], point[1] - o[1], point[2] - o[2]};
      spatial::cross(z, r, column);
      column[3] = z[0];
      column[4] = z[1];
      column[5] = z[2];
    }
    for (int r = 0; r < rows; ++r) J[r][i] = column[r];
  }
}
