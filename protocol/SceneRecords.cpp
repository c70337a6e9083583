#include "protocol/SceneRecords.h"

void setLine(VirtualLine& line, const PrVector3& p1, const PrVector3& p2) {
  line.enabled = 1;
  line.p1 = p1;
  line.p2 = p2;
  if (p1[0] == p2[0] && p1[1] == p2[1] && p1[2] == p2[2]) {
    line.direction = PrVector3(1, 0, 0);
    line.closest = PrVector3(0, p1[1], p1[2]);
    return;
  }
  PrVector3 direction = p2 - p1;
  direction.normalize();
  line.direction = direction;
  line.closest = p1 - direction * p1.dot(direction);
}
