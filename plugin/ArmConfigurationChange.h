// Operational goals that lie in another arm configuration.
//
// An operational law acts locally: it never carries the shoulder or the elbow
// through its singularity, so from a pose on the other side it brings the tool
// to the goal position in the arm's present configuration, where the goal
// orientation may need a wrist angle beyond its limit. From q = 0 (elbow
// below the stretched line) the ready pose's tool-down frame would need
// q5 = 133 degrees: the wrist runs into its limit potential and stalls there.
//
// goto and track (and their "n" variants) on the six-joint models therefore
// look, when they start, for the goal's joint angles inside the limits. When
// those lie in another shoulder or elbow configuration than the arm's, the
// move first follows a straight joint path there, slowed so that the tool
// stays within vmax and wmax; the mode's own operational law then takes over
// from where the path ends.
#pragma once

#include "servo/ServoState.h"

// At mode start, after the goal has been stored: plans the joint path when the
// goal needs another configuration (with one message); true when it does.
bool planArmConfigurationChange(ServoState& s);

// While the joint path runs, follows it and returns true; when it has ended,
// re-plans the operational path from the pose reached and returns false.
bool followArmConfigurationChange(ServoState& s, bool decoupled);
