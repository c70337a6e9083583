#include "utility/PsPlotter.h"

#include <array>
#include <chrono>
#include <cmath>

#include "utility/Angles.h"
#include "utility/JointPositionSource.h"
#include "utility/PsArmDrawing.h"
#include "utility/consolePrint.h"

namespace {
// The angles (rad) of the last frame drawn by any plot in this process; a
// new plot draws its first frame only once the arm has moved away from them.
struct LastDrawnAngles {
  std::mutex mutex;
  std::array<float, 3> q{0.0f, 0.0f, 0.0f};
};

LastDrawnAngles& lastDrawnAngles() {
  static LastDrawnAngles angles;
  return angles;
}

constexpr float kMinimumMotion = 0.001f;  // rad
constexpr float kDegreesToRadians = kPiF / 180.0f;
}  // namespace

PsPlotter::PsPlotter(JointPositionSource* console) : m_console(console) {}

PsPlotter::~PsPlotter() { stop(); }

bool PsPlotter::open(const char* fileName) {
  stop();
  std::lock_guard<std::mutex> control(m_controlMutex);
  m_file = std::fopen(fileName, "w");
  if (m_file == nullptr) {
    std::fprintf(stderr, "Unable to open plot file\n");
    return false;
  }
  return true;
}

void PsPlotter::setPlotRate(int ms) {
  if (ms <= 0) {
    std::fprintf(stderr, "Time between frames must be positive.\n");
    return;
  }
  std::lock_guard<std::mutex> lock(m_stopMutex);
  m_interval = ms;
}

int PsPlotter::plotRate() const {
  std::lock_guard<std::mutex> lock(m_stopMutex);
  return m_interval;
}

bool PsPlotter::isOpen() const {
  std::lock_guard<std::mutex> control(m_controlMutex);
  return m_file != nullptr;
}

void PsPlotter::start() {
  std::lock_guard<std::mutex> control(m_controlMutex);
  if (m_file == nullptr || m_thread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(m_stopMutex);
    m_stop = false;
  }
  m_thread = std::thread(&PsPlotter::plotLoop, this);
}

void PsPlotter::stop() {
  std::lock_guard<std::mutex> control(m_controlMutex);
  if (m_file == nullptr) return;
  if (m_thread.joinable()) {
    {
      std::lock_guard<std::mutex> lock(m_stopMutex);
      m_stop = true;
    }
    m_stopSignal.notify_all();
    m_thread.join();  // the thread has written the trailer and closed the file
  } else {
    std::fclose(m_file);  // opened but never started
  }
  m_file = nullptr;
  m_frameCount = 0;
}

void PsPlotter::plotLoop() {
  writePsPrologue(m_file);
  do {
    sample();
  } while (waitInterval());
  writePsTrailer(m_file);
  std::fclose(m_file);
  consolePrint("Plot file saved.\n");
  std::fflush(stdout);
}

void PsPlotter::sample() {
  m_console->getQ(m_q);
  std::array<float, 3> q{0.0f, 0.0f, 0.0f};
  for (int i = 0; i < 3 && i < m_q.size(); ++i) q[i] = m_q[i] * kDegreesToRadians;

  LastDrawnAngles& last = lastDrawnAngles();
  {
    std::lock_guard<std::mutex> lock(last.mutex);
    bool moved = false;
    for (int i = 0; i < 3; ++i) moved = moved || std::fabs(q[i] - last.q[i]) > kMinimumMotion;
    if (!moved) return;
    last.q = q;
  }
  writeArmFrame(m_file, ++m_frameCount, q[0], q[1], q[2]);
}

bool PsPlotter::waitInterval() {
  std::unique_lock<std::mutex> lock(m_stopMutex);
  m_stopSignal.wait_for(lock, std::chrono::milliseconds(m_interval), [this] { return m_stop; });
  return !m_stop;
}
