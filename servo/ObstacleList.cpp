#include "servo/ObstacleList.h"

bool setObstacle(ServoState& state, int32_t id, const PrVector3& center, float radius) {
  for (int i = 0; i < state.numObstacles; ++i) {
    if (state.obstacles[i].id == id) {
      state.obstacles[i].center = center;
      state.obstacles[i].radius = radius;
      return true;
    }
  }
  if (state.numObstacles >= kMaxObstacles) return false;
  Obstacle& added = state.obstacles[state.numObstacles++];
  added.id = id;
  added.center = center;
  added.radius = radius;
  return true;
}

int deleteObstacle(ServoState& state, int32_t id) {
  int kept = 0;
  for (int i = 0; i < state.numObstacles; ++i) {
    if (state.obstacles[i].id == id) continue;
    if (kept != i) {
      state.obstacles[kept].id = state.obstacles[i].id;
      state.obstacles[kept].center = state.obstacles[i].center;
      state.obstacles[kept].radius = state.obstacles[i].radius;
    }
    ++kept;
  }
  const int removed = state.numObstacles - kept;
  state.numObstacles = kept;
  return removed;
}

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
