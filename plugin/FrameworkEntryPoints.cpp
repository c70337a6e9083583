// The framework entry points: start-up, the per-tick pre- and postprocessing
// that every mode shares, and the debug print.
#include <cmath>

#include "plugin/ControlEntryPoints.h"
#include "plugin/ControllerMemory.h"
#include "plugin/RepulsivePotentials.h"
#include "protocol/ControlModeTable.h"
#include "utility/Angles.h"
#include "utility/allFinite.h"
#include "utility/consolePrint.h"

namespace {

constexpr double kDegrees = 180 / kPi;

void printVector(const char* name, const float* v, int n, double scale) {
  consolePrint("%s =", name);
  for (int i = 0; i < n; ++i) consolePrint(" %.3f", v[i] * scale);
  consolePrint("\n");
}

}  // namespace

// The servo refuses a plug-in built against another layout of its record.
EXPORT_SERVO_STATE_LAYOUT;

KORVEX_CONTROL_ENTRY InitControl(ServoState* s) {
  controllerMemory() = ControllerMemory();
  beginMode(*s, kFloat);
}

KORVEX_CONTROL_ENTRY PreprocessControl(ServoState*) {}

KORVEX_CONTROL_ENTRY PostprocessControl(ServoState* s) {
  ControllerMemory& m = controllerMemory();
  if (m.mode != kNoControl) addJointLimitTorques(*s);
  if (usesDisturbanceObserver(m.mode))
    m.observer.compensate(*s, kServoPeriod);
  else
    m.observer.idle();
  // A law fed a broken record must not hand non-finite torques to the arm:
  // fall back to floating and say so once.
  if (allFinite(s->tau.dataPtr(), s->dof)) return;
  if (!m.badTorqueReported) consolePrint("control: non-finite torque; floating instead\n");
  m.badTorqueReported = true;
  for (int i = 0; i < s->dof; ++i) s->tau[i] = std::isfinite(s->G[i]) ? s->G[i] : 0.0f;
}

KORVEX_CONTROL_ENTRY PrintDebug(ServoState* s) {
  const ControllerMemory& m = controllerMemory();
  const int mode = m.mode;
  consolePrint("mode %s, %.3f s in mode, singular flags %d\n",
               isControlMode(mode) ? controlModeWord(mode) : "?", modeTime(*s), s->singular);
  printVector("q (deg)", s->q.dataPtr(), s->dof, kDegrees);
  printVector("dq (deg/s)", s->dq.dataPtr(), s->dof, kDegrees);
  printVector("tau (N m)", s->tau.dataPtr(), s->dof, 1.0);
  if (mode == kNoControl || mode == kFloat) return;
  // Joint-gain modes, x-track included, steer by a joint error.
  if (isJointSpaceMode(mode)) {
    float error[6];
    for (int i = 0; i < s->dof; ++i) error[i] = float(m.error[i]);
    printVector("joint error (deg)", error, s->dof, kDegrees);
    if (mode == kNjtrack || mode == kJtrack || takesElbow(mode))
      consolePrint("path %.3f s of %.3f s%s\n", modeTime(*s), m.jointPath.duration(),
                   m.refused ? " (goal refused, holding)" : "");
    return;
  }
  const TaskLayout& layout = m.layout;
  double position = 0, orientation = 0;
  for (int k = 0; k < layout.nPos; ++k) position += m.error[layout.pos[k]] * m.error[layout.pos[k]];
  for (int k = 0; k < layout.nOri; ++k) orientation += m.error[layout.ori[k]] * m.error[layout.ori[k]];
  consolePrint("position error %.2f mm, orientation error %.3f deg\n", 1000 * std::sqrt(position),
               kDegrees * std::sqrt(orientation));
  if (m.jointLeg)
    consolePrint("joint path to the goal's arm configuration: %.3f s of %.3f s\n", m.legTime,
                 m.jointPath.duration());
  else if (mode == kNtrack || mode == kTrack)
    consolePrint("path %.3f s of %.3f s\n", m.pathTime, m.taskPath.duration());
  if (mode == kPfmove) consolePrint("nearest obstacle surface %.1f mm\n", 1000 * m.nearestObstacle);
  if (mode == kLine)
    consolePrint(m.lineMissing      ? "no virtual line: moving as goto\n"
                 : m.lineOutOfReach ? "the line is out of reach: moving as goto\n"
                                    : "following the line\n");
}
