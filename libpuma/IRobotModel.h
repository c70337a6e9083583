// IRobotModel: turns the sensed joint state into what a control law needs each
// servo tick (Jacobian and its rate, mass matrix, Coriolis and gravity vectors,
// singularity flags) and converts between the user's operational coordinates
// (the config parameters) and a rigid frame.
//
// A model holds no robot state: it reads positions, velocities, the end-effector
// frame and the gravity torques from a simulated driver that mirrors the arm.
// Each model object belongs to one thread; distinct objects may be used on
// different threads at the same time (every model keeps its own scratch).
//
// Angles are radians everywhere except the *Deg copies and the degree-valued
// defaults written in the constructors.
#pragma once

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

class IRobotSimDriver;
class PrTransform;

// Bits of the singular flags returned by update().
enum RobotSingularity {
  kSingularShoulder = 1,  // wrist centre near the line of axis 1
  kSingularElbow = 2,     // arm stretched
  kSingularWrist = 4,     // axes 4 and 6 aligned
};

class IRobotModel {
 public:
  static constexpr int kMaxConfigParms = 7;

  IRobotModel() = default;
  IRobotModel(const IRobotModel&) = delete;
  IRobotModel& operator=(const IRobotModel&) = delete;
  virtual ~IRobotModel();

  // Reads q (rad, size dof()) and dq (rad/s) from `driver` and computes, at that
  // state: J, dJ (m_taskDof × dof(); rows 0..npos-1 linear velocity of the
  // operational point in m/s, the rest angular velocity in rad/s, base frame),
  // M (dof() × dof(), kg·m²), b (Coriolis/centrifugal torques, N·m), g (the
  // driver's gravity torques, N·m), singularFlags (RobotSingularity bits, tested
  // with `singularThreshold` in rad) and lockTorque (size m_fullDof, N·m: what
  // holds the joints a reduced model leaves out).
  virtual void update(IRobotSimDriver& driver, float singularThreshold, PrVector& q, PrVector& dq,
                      PrMatrix& J, PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g, int& singularFlags,
                      PrVector& lockTorque) = 0;
  // x (size m_numConfigParms) = config of the driver's current end-effector
  // frame; E (m_taskDof × m_numConfigParms) maps config rates to the operational
  // velocity, Einv (m_numConfigParms × m_taskDof) maps it back. q (rad, size
  // dof()) is the model's joint vector; only the reduced models read it.
  virtual void rateMatrices(IRobotSimDriver& driver, const PrVector& q, PrVector& x, PrMatrix& Einv,
                            PrMatrix& E) = 0;
  // Config vector (size m_numConfigParms, angles in rad) to a frame in the base frame.
  virtual void configToFrame(const PrVector& x, PrTransform& frame) const = 0;
  virtual void frameToConfig(const PrTransform& frame, PrVector& x) const = 0;
  // Brings a config vector back onto its valid set (e.g. a unit quaternion).
  virtual void normalizeConfig(PrVector& x) const;

  int dof() const { return m_dof; }
  // Angle entries (m_configIsAngle) scaled rad -> degrees / degrees -> rad, the
  // others copied; src and dst may be the same vector.
  void configToDegrees(const PrVector& src, PrVector& dst) const;
  void configToRadians(const PrVector& src, PrVector& dst) const;

  // --- fields (read by the servo and the user interface) --------------------
  int m_dof = 6;
  int m_fullDof = 6;
  int m_taskDof = 6;
  PrVector m_jointMin;     // rad
  PrVector m_jointMax;     // rad
  PrVector m_jointVelMax;  // rad/s
  PrVector m_jointAccMax;  // rad/s²
  PrVector m_torqueMax;    // N·m
  float m_vmax = 0.3f;     // m/s
  float m_amax = 10.0f;    // m/s²
  float m_wmax = 0.0f;     // rad/s
  PrVector m_jointKp;
  PrVector m_jointKv;
  PrVector m_taskKp;
  PrVector m_taskKv;
  PrMatrix m_selection;      // m_dof × m_fullDof: full joint vector -> this model's joints
  PrMatrix m_posSelect;      // npos × m_taskDof
  PrMatrix m_oriSelect;      // (m_taskDof - npos) × m_taskDof
  PrVector m_lockConfig;     // rad, size m_fullDof
  PrVector m_lockConfigDeg;  // degrees, size m_fullDof
  int m_numConfigParms = 7;
  const char* m_configNames[kMaxConfigParms] = {};
  PrVector m_configMin;
  PrVector m_configMax;
  bool m_configIsAngle[kMaxConfigParms] = {};

 protected:
  // Fills every field with the defaults of the six-joint PUMA (joint tables in
  // degrees converted in place; config bounds left for the subclass).
  void setPumaDefaults();
  // Sets the config names, bounds (angles in degrees, converted here) and angle flags.
  void setConfigTable(int numConfigParms, const char* const* names, const float* minimum,
                      const float* maximum, const bool* isAngle);

  // --- reduced models ----------------------------------------------------------
  // Derives this model's fields from `fullModel`: `selection` (dof × full dof),
  // `posSelect` (npos × taskDof), `oriSelect` ((taskDof - npos) × taskDof) are
  // row-major; lockConfig (rad) has the full model's dof entries; taskSelection
  // (taskDof × the full model's taskDof) picks the task rows; configIndex lists,
  // for each config parameter, the full model's parameter it copies.
  void initReduced(const IRobotModel& fullModel, int dof, int taskDof, int numConfigParms, int npos,
                   const float* selection, const float* posSelect, const float* oriSelect,
                   const float* lockConfig, const PrMatrix& taskSelection, const int* configIndex);
  // Runs `fullModel`'s update and keeps this model's joints; the joints left out
  // get in lockTorque what drives them back to m_lockConfig. J and dJ keep all of
  // the full model's task rows (the caller selects its own).
  void updateReduced(IRobotModel& fullModel, IRobotSimDriver& driver, float singularThreshold, PrVector& q,
                     PrVector& dq, PrMatrix& J, PrMatrix& dJ, PrMatrix& M, PrVector& b, PrVector& g,
                     int& singularFlags, PrVector& lockTorque);

 private:
  // The full model's results and the holding accelerations, sized by
  // initReduced so that updateReduced allocates nothing.
  struct ReducedScratch {
    PrVector q, dq, b, g, lockTorque;
    PrMatrix J, dJ, M;
    int singularFlags = 0;
    PrVector locked;   // 1 for a joint this model leaves out, 0 for an active one
    PrVector holdAcc;  // rad/s², acceleration that drives each joint to its lock position
  };
  ReducedScratch m_reduced;
};
