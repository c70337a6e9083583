#include "servo/MsiWorker.h"

#include <algorithm>

#include "servo/MsiSphere.h"

MsiWorker::MsiWorker()
    : m_dqmax(MsiRequest::kMaxDof),
      m_points(kSphereFloats),
      m_Jp(3, MsiRequest::kMaxDof),
      m_Ainv(MsiRequest::kMaxDof, MsiRequest::kMaxDof),
      m_rotation(3, 3) {
  unitSphere(m_sphere);
  m_thread = std::thread([this] { run(); });
}

MsiWorker::~MsiWorker() {
  m_state.store(kStop, std::memory_order_release);
  m_state.notify_one();
  m_thread.join();
}

void MsiWorker::post(const MsiRequest& request) {
  if (m_state.load(std::memory_order_acquire) != kIdle) {
    m_held = request;
    m_holding = true;
    return;
  }
  m_in = request;
  m_state.store(kQueued, std::memory_order_release);
  m_state.notify_one();
}

bool MsiWorker::take(MsiResult* result) {
  if (m_state.load(std::memory_order_acquire) != kDone) return false;
  *result = m_out;
  if (m_holding) {
    m_holding = false;
    m_in = m_held;
    m_state.store(kQueued, std::memory_order_release);
    m_state.notify_one();
  } else {
    m_state.store(kIdle, std::memory_order_release);
  }
  return true;
}

void MsiWorker::run() {
  for (;;) {
    int state = m_state.load(std::memory_order_acquire);
    if (state == kStop) return;
    if (state != kQueued) {
      m_state.wait(state, std::memory_order_acquire);
      continue;
    }
    // Only a stop can come in between; the top of the loop then sees it.
    if (!m_state.compare_exchange_strong(state, kWorking, std::memory_order_acq_rel)) continue;
    const MsiRequest& in = m_in;
    const int dof = std::clamp(in.dof, 1, MsiRequest::kMaxDof);
    m_Jp.setSize(3, dof);
    m_Ainv.setSize(dof, dof);
    m_dqmax.setSize(dof);
    for (int c = 0; c < dof; ++c) {
      for (int r = 0; r < 3; ++r) m_Jp(r, c) = in.Jp[r][c];
      for (int r = 0; r < dof; ++r) m_Ainv(r, c) = in.Ainv[r][c];
      m_dqmax[c] = in.dqmax[c];
    }
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m_rotation(r, c) = in.rotation[r][c];
    const MsiInputs inputs{&m_Jp, &m_Ainv, &m_dqmax, &m_rotation, &m_sphere, in.maxVelDisplay};
    msiSphere(inputs, m_points);
    std::copy(m_points.dataPtr(), m_points.dataPtr() + kSphereFloats, m_out.points);
    m_out.dest = in.dest;
    int working = kWorking;
    if (!m_state.compare_exchange_strong(working, kDone, std::memory_order_acq_rel)) return;  // stopped
  }
}
