#include "app/JointLimitCheck.h"

#include "matrix/PrVector.h"
#include "utility/PrAssert.h"
#include "utility/consolePrint.h"

bool withinJointLimits(const PrVector& pos, const PrVector& qmin, const PrVector& qmax) {
  PR_ASSERT(pos.size() == qmin.size() && pos.size() == qmax.size());
  for (int i = 0; i < pos.size(); ++i) {
    if (pos[i] < qmin[i] || pos[i] > qmax[i]) {
      consolePrint("joint %d pos = %f\n", i, pos[i]);
      return false;
    }
  }
  return true;
}
