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
