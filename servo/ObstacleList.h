// Edits of the obstacle list and the virtual line held in ServoState.
#pragma once

#include "servo/ServoState.h"

// Replaces the obstacle with `id`, else appends it while fewer than
// kMaxObstacles exist. Returns false when the list was full and nothing changed.
bool setObstacle(ServoState& state, int32_t id, const PrVector3& center, float radius);
// Removes every obstacle with `id`; later entries move down, order is kept.
// Returns how many were removed.
int deleteObstacle(ServoState& state, int32_t id);

// Sets the line's end points, enables it and derives the closest point to the
// origin and the unit direction. Equal end points give direction (1, 0, 0).
void setLine(VirtualLine& line, const PrVector3& p1, const PrVector3& p2);
