// Goals beyond the arm's reach. Driven towards such a goal the arm stretches
// into the elbow singularity and chatters there; instead the goal position is
// pulled back, along the straight way from the tool, to the last point the
// arm reaches with its elbow still bent (kReachMargin short of the stretched
// arm). Where no point of that way is reachable with the goal's rotation, the
// way runs from the goal in towards the base axis instead. The orientation
// goal stays.
#pragma once

#include "plugin/TaskSpace.h"

inline constexpr double kReachMargin = 0.02;  // m

// Six-joint models, and the 3- and 4-joint arms (their position entries pulled
// back from the current x, the angle kept); false (goal unchanged) when the
// goal is reachable, or on the one-joint arm.
bool clampGoalToReach(const ServoState& s, TaskGoal& goal);

// The line mode's goal: the farthest point c + t u of the line, from t = from
// (or else from c, the point nearest the origin) towards t = to, that the arm
// reaches with the goal's rotation, into `along`: `to` itself when it is
// reachable or the model a reduced one. False when no such point is found.
bool reachableAlongLine(const ServoState& s, const PrTransform& goal, const double c[3], const double u[3],
                        double from, double to, double& along);
