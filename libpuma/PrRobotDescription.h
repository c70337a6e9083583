// The robot description file: gravity, one record per joint link (base to
// tip) and the bodies rigidly attached after the last joint.
//
// Format A (format ≠ 1): E; gravity (3); then n joint records and E
// end-effector records, each: id, joint type, α a d θ (modified
// Denavit–Hartenberg, rad and m), mass (kg), centre of mass (3, m), principal
// inertias (3, kg·m²), and for a joint record Ir bv fc fs qmin qmax (rotor
// inertia, viscous, Coulomb and static friction, joint limits), for an
// end-effector record a point (3, m). E must be 2, with ids 999 (tool point)
// and 888 (gripper).
// Format B (format = 1): gravity (3); root rotation as axis (3) and angle;
// root translation (3); then n records: id, joint type, joint axis, home
// rotation axis (3) and angle, home translation (3), centre of mass (3),
// mass, principal inertias (3), qmin, qmax.
// Numbers are separated by any white space; lengths m, masses kg, angles rad.
#pragma once

#include <vector>

#include "matrix/PrTransform.h"
#include "matrix/PrVector3.h"

struct PrLinkRecord {
  int id = 0;
  int jointType = 1;
  int jointAxis = 2;
  float alpha = 0.0f, a = 0.0f, d = 0.0f, theta = 0.0f;  // format A
  PrTransform home;                                      // format B
  float mass = 0.0f;
  PrVector3 com;
  PrVector3 inertia;
  float rotorInertia = 0.0f;
  PrVector3 friction;  // viscous, Coulomb, static
  float qMin = 0.0f, qMax = 0.0f;
  PrVector3 point;  // end-effector records only
};

struct PrRobotDescription {
  static constexpr int kToolRecordId = 999;
  static constexpr int kGripperRecordId = 888;

  int format = 0;
  PrVector3 gravity;  // the base's upward acceleration, e.g. (0, 0, 9.81)
  PrTransform rootFrame;
  std::vector<PrLinkRecord> joints;
  std::vector<PrLinkRecord> endEffectors;  // format A: the 999 and 888 records
};

// Reads `path` for a chain of n joints. On failure prints one line naming the
// file and the problem (through consolePrint) and returns false.
bool readRobotDescription(const char* path, int n, int format, PrRobotDescription& out);
