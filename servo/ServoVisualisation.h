// ServoVisualisation: the shapes the servo computes for the view on request,
// namely the effective-mass ellipsoid, the acceleration and velocity limit
// points and the MSI sphere.
//
// It owns their working storage, sized by the first request of each kind (and
// again after a robot-type change) and reused after that, so that a request
// allocates nothing on the servo thread; the cache that skips a shape while the
// arm stands still; and the MSI worker, which builds the sphere's hull off the
// servo thread. Only the servo thread calls it, between ticks.
#pragma once

#include "libpuma/IRobotSimDriver.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"
#include "servo/LimitShapes.h"
#include "servo/MsiWorker.h"
#include "servo/ServoState.h"

class ServoVisualisation {
 public:
  // What a shape is computed from.
  struct Arm {
    const ServoState& state;    // q, A (dof x dof), tauMax, dqmax
    IRobotSimDriver& driver;    // the controlled arm: point and contact Jacobians (3 x 6), link frames
    const PrMatrix& selection;  // the model's dof x 6 joint selection
  };
  // A shape ready to go out: its reply code and display name, its values
  // (owned by this object, valid until the next call) and where it goes.
  struct Shape {
    int replyCode = 0;
    const char* name = "";
    const PrVector* values = nullptr;
    int dest = 0;
  };

  ServoVisualisation();

  // Servo initialisation: settings back to their defaults, and the cache
  // emptied so that the first request of every kind computes.
  void reset(int dof);
  // Constants 24 to 26: the ellipsoid at link 4's origin (else at the contact
  // point), the MSI at link 4's origin (else zeros), the MSI showing the
  // effective mass per direction instead of the index.
  void setEmassOnEndEffector(bool on) { m_emassOnEE = on; }
  void setMsiOnEndEffector(bool on) { m_msiOnEE = on; }
  void setMaxVelDisplay(bool on) { m_maxVelDisplay = on; }
  // A contact point was set: the ellipsoid there is another one.
  void contactPointMoved() { ++m_contactPoints; }

  // True when `code` (UI_MSI, UI_EMASS, UI_ACC_LIMIT, UI_SFORCE_LIMIT) was
  // the last shape computed, the joints q (rad) have not moved since and
  // neither has anything else the shape depends on (the switches above, the
  // contact point): the request then gets no answer. Otherwise records q and
  // code and returns false.
  bool cached(int code, const PrVector& q);
  // Computes the shape of `code` for `dest` into `shape` and returns true; or,
  // for the MSI, hands its inputs to the worker and returns false: the sphere
  // comes out of takeFinishedMsi on a later pass.
  bool compute(int code, int dest, const Arm& arm, Shape& shape);
  // A finished MSI sphere, once; false when none is waiting.
  bool takeFinishedMsi(Shape& shape);

 private:
  // The driver's 3 x 6 Jacobian of link 4's origin (or of the contact point)
  // mapped onto the model's joints.
  void pointJacobian(bool contact, const Arm& arm);
  void postMsi(int dest, const Arm& arm);

  bool m_emassOnEE = true;
  bool m_msiOnEE = true;
  bool m_maxVelDisplay = false;

  // What besides the joints decides the shape of `code`.
  int shapeKey(int code) const;

  int m_contactPoints = 0;  // contact points set so far
  PrVector m_lastLimitQ;
  int m_lastLimitRequest = -1;
  int m_lastShapeKey = -1;

  PrMatrix m_point36, m_Jp, m_Ainv, m_Alu, m_rotation;
  ShapeScratch m_scratch;
  PrVector m_shape;

  MsiWorker m_msiWorker;
  MsiRequest m_msiRequest;
  MsiResult m_msiResult;
  PrVector m_msiShape{kSphereFloats};
};
