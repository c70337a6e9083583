// Edits of the obstacle list and the virtual line held in ServoState.
#pragma once

#include "protocol/SceneRecords.h"  // setLine
#include "servo/ServoState.h"

// Replaces the obstacle with `id`, else appends it while fewer than
// kMaxObstacles exist. Returns false when the list was full and nothing changed.
bool setObstacle(ServoState& state, int32_t id, const PrVector3& center, float radius);
// Removes every obstacle with `id`; later entries move down, order is kept.
// Returns how many were removed.
int deleteObstacle(ServoState& state, int32_t id);
