// The console's servo listener: receives the servo's messages and keeps the
// latest-state copy, the gain tables and the gather file.
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "protocol/GainsRecord.h"
#include "servo/ScopeMessage.h"
#include "servo/Session.h"
#include "utility/PrMatlab.h"
#include "utility/PsPlotter.h"

namespace {
constexpr auto kIdlePause = std::chrono::milliseconds(20);
// Unpaced, a console line waits for the listener; it naps briefly at first,
// backing off to this while the servo stays quiet.
constexpr auto kFirstUnpacedPause = std::chrono::microseconds(20);
constexpr auto kLongestUnpacedPause = std::chrono::microseconds(1000);
constexpr int kFileNameSize = 128;  // file names are at most 127 characters
constexpr int kMaxRowValues = (MAX_MSG_SIZE - MSG_HEADER_SIZE) / 4;

int bodyFloats(const CMappedMsg& msg) { return (msg.length() - MSG_HEADER_SIZE) / 4; }

void reportMalformed(const CMappedMsg& msg) {
  std::fprintf(stderr, "Malformed servo message (type %d, %d bytes) ignored.\n", msg.getType(), msg.length());
}
}  // namespace

void TextUI::listenerLoop() {
  m_row.reserve(kMaxRowValues);
  std::chrono::microseconds unpacedPause = kFirstUnpacedPause;
  while (!m_stop && !sessionEnded) {
    if (m_servo->hasMessage()) {
      CMappedMsg msg = m_servo->read();
      handleServoMessage(msg);
      unpacedPause = kFirstUnpacedPause;
    } else if (m_unpacedServo) {
      std::this_thread::sleep_for(unpacedPause);
      if (unpacedPause < kLongestUnpacedPause) unpacedPause *= 2;
    } else {
      std::this_thread::sleep_for(kIdlePause);
    }
  }
}

int TextUI::pollServoMessages() {
  m_row.reserve(kMaxRowValues);
  int handled = 0;
  for (; m_servo->hasMessage(); ++handled) {
    CMappedMsg msg = m_servo->read();
    handleServoMessage(msg);
  }
  return handled;
}

void TextUI::finishSession() {
  m_plot->stop();
  pollServoMessages();
  stopGatherFile();
}

void TextUI::handleServoMessage(CMappedMsg& msg) {
  switch (msg.getType()) {
    case SERVO_Q:
      storeFloats(msg, m_q, m_config.dof);
      break;
    case SERVO_DQ:
      storeFloats(msg, m_dq, m_config.dof);
      break;
    case SERVO_TAU:
      storeFloats(msg, m_tau, m_config.dof);
      break;
    case SERVO_MSI:
      storeFloats(msg, m_msi, 1026);
      break;
    case SERVO_EMASS:
      storeFloats(msg, m_eM, 12);
      break;
    case SERVO_ACC_LIMIT:
      storeFloats(msg, m_accLimit, 3 << m_config.dof);
      break;
    case SERVO_SFORCE_LIMIT:
      storeFloats(msg, m_sForceLimit, 3 << m_config.dof);
      break;
    case SERVO_X:
      storeFloats(msg, m_x, m_config.numConfigParms);
      break;
    case SERVO_FORCES:
      storeFloats(msg, m_wForce, 6);
      break;
    case SERVO_CURTIME: {
      const float time = msg.readFloat();
      if (msg.truncated()) return reportMalformed(msg);
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_curTime = time;
      }
      m_timeReplies.fetch_add(1, std::memory_order_acq_rel);
      break;
    }
    case SERVO_START_GATHER:
      startGatherFile(msg);
      break;
    case SERVO_STOP_GATHER:
      stopGatherFile();
      break;
    case SERVO_GATHER_DATA:
      writeGatherRow(msg);
      break;
    case SERVO_TEXT: {
      char text[MAX_MSG_SIZE];
      msg.readString(text, sizeof text);
      std::fprintf(stderr, "%s", text);
      break;
    }
    case SERVO_GAINS:
      storeGains(msg);
      break;
    case SERVO_CONFIG:
      storeConfiguration(msg);
      break;
    case SERVO_ADVANCED:
      noteAdvanced(msg);
      break;
    case SERVO_SCOPE:
      storeScopeSamples(msg);
      break;
    default:
      std::fprintf(stderr, "Unknown Servo To UI Message Type received.\n");
      break;
  }
}

void TextUI::noteAdvanced(CMappedMsg& msg) {
  const int sequence = msg.readInt();
  if (msg.truncated()) return reportMalformed(msg);
  {
    std::lock_guard<std::mutex> lock(m_advanceMutex);
    m_advancedSequence = sequence;
  }
  m_advanceAnswered.notify_all();
}

void TextUI::storeFloats(CMappedMsg& msg, PrVector& field, int count) {
  // The sender's idea of the sizes must match ours: a reply of another size
  // (a corrupt or foreign message) is refused rather than read out of bounds.
  if (bodyFloats(msg) != count) return reportMalformed(msg);
  std::lock_guard<std::mutex> lock(m_mutex);
  field.resize(count);
  msg.readFloats(field.dataPtr(), count);
}

void TextUI::storeGains(CMappedMsg& msg) {
  int mode = -1;
  if (!readGains(msg, mode, m_incomingKp, m_incomingKv)) return reportMalformed(msg);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::swap(m_kp[mode], m_incomingKp);
    std::swap(m_kv[mode], m_incomingKv);
  }
  m_updateCount.fetch_add(1, std::memory_order_acq_rel);
}

void TextUI::storeConfiguration(CMappedMsg& msg) {
  if (!readServoConfiguration(msg, m_incomingConfig)) return reportMalformed(msg);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int dof = m_incomingConfig.dof;
    const int parms = m_incomingConfig.numConfigParms;
    if (dof != m_config.dof || parms != m_config.numConfigParms) {
      for (PrVector* v : {&m_q, &m_dq, &m_tau}) v->setSize(dof, true);
      m_x.setSize(parms, true);
    }
    std::swap(m_config, m_incomingConfig);
  }
  m_updateCount.fetch_add(1, std::memory_order_acq_rel);
}

// ---- gathering: the file belongs to the listener ------------------------------

void TextUI::startGatherFile(CMappedMsg& msg) {
  char fileName[kFileNameSize];
  msg.readString(fileName, sizeof fileName);
  // A gather still running is closed complete before the next one starts.
  stopGatherFile();
  m_gather = std::make_unique<PrMatlab>();
  if (m_gather->start(fileName, "Data", 10)) return;

  std::fprintf(stderr, "Call to PrMatlab::start() failed in startGather().\n");
  m_gather.reset();
  std::lock_guard<std::mutex> lock(m_mutex);  // queue 1 has one writer at a time
  m_msg.clear();
  m_msg.setType(UI_STOP_GATHER);
  m_servo->send(m_msg);
}

void TextUI::stopGatherFile() {
  if (m_gather == nullptr) return;
  m_gather->close();
  m_gather.reset();
}

void TextUI::writeGatherRow(CMappedMsg& msg) {
  if (m_gather == nullptr) return;  // rows with no file open are dropped
  const int n = msg.readInt();
  if (n < 1 || bodyFloats(msg) != 1 + n) return reportMalformed(msg);
  m_row.resize(n);  // within the reserved capacity: no allocation per row
  msg.readFloats(m_row.data(), n);
  m_gather->writeRow(m_row.data(), n);
}

void TextUI::storeScopeSamples(CMappedMsg& msg) {
  if (m_scopeRing == nullptr) return;
  const int n = scopeSamplesIn(msg);
  if (n < 0) return reportMalformed(msg);
  ScopeSample sample;
  for (int i = 0; i < n; ++i) {
    if (!readScopeSample(msg, sample)) return reportMalformed(msg);
    m_scopeRing->push(sample);
  }
}
