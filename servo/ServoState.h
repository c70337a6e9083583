// ServoState: the one record the servo shares with the control plug-in.
//
// The plug-in (control.dll) is built separately and receives a pointer to this
// record in every entry point, so the field order and types below are a binary
// contract: never reorder, insert or retype a field. Both sides must be built
// from the same matrix/ headers, because the record embeds PrVector, PrMatrix,
// PrVector3, PrVector6 and PrTransform by value.
//
// Shapes (dof = joints of the current model, r = operational dimension,
// c = number of configuration parameters); angles in radians, SI units.
// Vectors and matrices are sized only when the robot type changes, between
// ticks; a tick never resizes them.
#pragma once

#include <cstdint>

#include "matrix/PrMatrix.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector.h"
#include "matrix/PrVector3.h"
#include "matrix/PrVector6.h"
#include "protocol/ControlModeTable.h"
#include "protocol/SceneRecords.h"

struct ServoState {
  int32_t dof = 0;       // joints of the current model
  float curTime = 0;     // servo time, s; +0.002 per tick
  PrVector tau;          // dof: joint torques, N·m; zeroed before PreprocessControl, written by the plug-in
  PrVector q;            // dof: joint positions, rad
  PrVector dq;           // dof: joint velocities, rad/s
  PrVector kp;           // gains of the current mode, refreshed from kpTable every tick
  PrVector kv;           // likewise from kvTable
  PrVector x;            // c: operational configuration
  PrVector dx;           // r: operational velocity, J·dq
  PrVector qd;           // dof: goal joint positions (modes 7 to 12)
  PrVector dqd;          // dof: goal joint velocities, zeroed on switching to modes 7 to 12
  PrVector ddqd;         // dof: the plug-in's
  PrVector xd;           // c: goal configuration (modes 13 to 23)
  PrVector dxd;          // r: goal operational velocity, zeroed on switching to modes 13 to 23
  PrVector ddxd;         // r: the plug-in's
  int32_t elbow = 0;     // elbow choice given with modes 13 and 14
  PrTransform T;         // end-effector frame, base frame
  PrTransform Td;        // goal frame computed from xd
  PrMatrix J;            // r x dof: Jacobian
  PrMatrix Jt;           // dof x r: its transpose
  PrMatrix A;            // dof x dof: joint-space mass matrix
  PrVector B;            // dof: centrifugal and Coriolis torques
  PrVector mu;           // r: operational centrifugal and Coriolis forces (zero when singular)
  PrMatrix Lambda;       // r x r: operational-space inertia (zero when singular)
  PrVector G;            // dof: gravity torques
  PrVector p;            // r: operational gravity forces (zero when singular)
  int32_t singular = 0;  // bit 0 shoulder, bit 1 elbow, bit 2 wrist
  PrMatrix E;            // c x r: configuration-rate matrix
  PrMatrix Einv;         // r x c: its counterpart
  PrVector qmin, qmax;   // dof: joint position limits, rad
  PrVector dqmax, ddqmax;  // dof: joint velocity (rad/s) and acceleration (rad/s²) limits
  PrVector tauMax;         // dof: torque limits, N·m
  PrVector xmin, xmax;     // c: configuration parameter bounds
  float vmax = 0;          // operational linear speed limit, m/s
  float amax = 0;          // operational acceleration limit
  float wmax = 0;          // operational angular speed limit, rad/s
  bool jlimit = false;     // joint-limit switch
  PrVector q0;             // dof: per-joint value, rad (5 degrees initially)
  PrVector kj;             // dof: per-joint gain (0.1 initially)
  float rho0 = 0;          // potential-field distance, m
  float eta = 0;           // potential-field gain
  float sbound = 0;        // singularity threshold, rad
  VirtualLine line;
  int32_t numObstacles = 0;  // obstacles in use, 0 to kMaxObstacles
  Obstacle obstacles[kMaxObstacles];
  PrMatrix posSelect, oriSelect;       // the model's positional and orientational task selectors
  PrMatrix posSelectT, oriSelectT;     // their transposes
  PrVector6 forces;                    // force read-out of the driver
  PrVector kpTable[kNumControlModes];  // per-mode proportional gains
  PrVector kvTable[kNumControlModes];  // per-mode derivative gains
};

// The record crosses a library boundary: pin the layouts both sides rely on.
// PrVector is {vptr, m_size, m_capacity, m_data}; PrMatrix is {vptr, m_row,
// m_col, m_size, m_capacity, m_data}. A change here breaks every built plug-in.
static_assert(sizeof(float) == 4 && sizeof(bool) == 1, "single-precision floats, one-byte bools");
static_assert(sizeof(void*) != 8 || sizeof(PrVector) == 24, "PrVector layout changed");
static_assert(sizeof(void*) != 8 || sizeof(PrMatrix) == 32, "PrMatrix layout changed");
static_assert(alignof(ServoState) == alignof(void*), "no over-aligned members");

// The layout tag: a plug-in exports it (write EXPORT_SERVO_STATE_LAYOUT; once
// in one of its files) so that the servo can refuse a library built against
// another version of this record, whose fields it would misread. Raise
// kServoStateLayoutVersion with every change to the record or to the layout
// of a type it embeds, even one that keeps its size.
struct ServoStateLayoutTag {
  uint32_t recordSize;  // sizeof(ServoState) when the plug-in was built
  uint32_t version;     // kServoStateLayoutVersion then
};
inline constexpr uint32_t kServoStateLayoutVersion = 1;
inline constexpr const char* kServoStateLayoutSymbol = "ServoStateLayout";

#define EXPORT_SERVO_STATE_LAYOUT                   \
  extern "C" __attribute__((visibility("default"))) \
  const ServoStateLayoutTag ServoStateLayout = {sizeof(ServoState), kServoStateLayoutVersion}
