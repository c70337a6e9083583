// Builds MSI spheres on a thread of its own: the hull comes from qhull, which
// allocates for every hull, so the servo thread only copies fixed-size inputs
// into a single slot and the finished points out of it, never waiting.
//
// The slot's state is one atomic: the servo thread writes the slot only while
// it is kIdle or kDone, the worker only while it is kWorking. A request made
// while the worker is busy is held on the servo side (the latest one wins)
// and handed over when the slot is free again.
#pragma once

#include <atomic>
#include <thread>

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"
#include "servo/LimitShapes.h"

struct MsiRequest {
  static constexpr int kMaxDof = 6;
  int dof = 0;
  float Jp[3][kMaxDof] = {};          // linear Jacobian of the end effector
  float Ainv[kMaxDof][kMaxDof] = {};  // inverse mass matrix
  float dqmax[kMaxDof] = {};          // joint speed limits, rad/s
  float rotation[3][3] = {};          // frame the sphere directions are turned by
  bool maxVelDisplay = false;
  int dest = 0;  // where the answer goes
};

struct MsiResult {
  float points[kSphereFloats] = {};
  int dest = 0;
};

class MsiWorker {
 public:
  MsiWorker();
  ~MsiWorker();
  MsiWorker(const MsiWorker&) = delete;
  MsiWorker& operator=(const MsiWorker&) = delete;

  // Servo thread. Hands `request` over, or holds it until the worker is free.
  void post(const MsiRequest& request);
  // Servo thread. Copies a finished sphere into *result; false when none is.
  bool take(MsiResult* result);

 private:
  enum State : int { kIdle, kQueued, kWorking, kDone, kStop };
  void run();

  std::atomic<int> m_state{kIdle};
  MsiRequest m_in;    // written by the servo while kIdle/kDone, read by the worker while kWorking
  MsiResult m_out;    // written by the worker while kWorking, read by the servo while kDone
  MsiRequest m_held;  // servo thread only
  bool m_holding = false;
  // The worker's own storage, made before it starts.
  PrVector m_sphere, m_dqmax, m_points;
  PrMatrix m_Jp, m_Ainv, m_rotation;
  std::thread m_thread;
};
