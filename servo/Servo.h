// Servo: the 500 Hz control loop and its handling of user-interface requests.
//
// One object owns everything the servo thread touches: the robot model, the
// simulated arm that is controlled (robotDriver), its kinematic mirror that
// the model computes from (mirrorDriver), the ServoState record handed to the
// control plug-in, and the per-mode gain tables (inside the record). Only the
// servo thread uses it; it meets the user interface through a UiLink only.
//
// Each tick: at most one request, clock + 0.002 s, updateState, tau zeroed,
// PreprocessControl, runControlMode, PostprocessControl, limitTorques,
// sendTorques, gripper, gather row and scope sample; then the arm's step() paces the loop.
// What happens between ticks is the pacing policy's (ServoPacing): in real
// time the loop sleeps until shortly before the next tick is due and then
// polls step() (0 not yet, 1 due, k >= 2 late), handling requests; unpaced,
// ticks run at once, as many as UI_ADVANCE requests grant.
//
// Nothing is allocated per tick once the robot type is set: every vector and
// matrix of the record and every scratch object is sized by setRobotType.
#pragma once

#include <cstdint>
#include <memory>

#include "libpuma/IRobotModel.h"
#include "libpuma/IRobotSimDriver.h"
#include "libpuma/RobotModelFactory.h"
#include "protocol/ControlModeRequest.h"
#include "protocol/ServoConfiguration.h"
#include "servo/ControlPlugin.h"
#include "servo/LateTickReport.h"
#include "servo/OverrunGuard.h"
#include "servo/ScopeSample.h"
#include "servo/ServoState.h"
#include "servo/ServoVisualisation.h"
#include "servo/UiLink.h"

class ControlLaw;
class PacingClock;
class ServoPacing;

class Servo {
 public:
  static constexpr float kRate = 500.0f;      // ticks per second
  static constexpr float kTickTime = 0.002f;  // s added to curTime per tick
  static constexpr int kInitialRobotType = kStartupRobotType;

  // clock: pacing clock handed to the simulated arms (nullptr: real time
  // against the monotonic wall clock, with sleeping between ticks; otherwise
  // the loop never sleeps: ClockPacing).
  Servo(UiLink& link, ControlPlugin plugin, const PacingClock* clock = nullptr);
  // Any pacing policy, for example UnpacedPacing for deterministic runs.
  Servo(UiLink& link, ControlPlugin plugin, std::unique_ptr<ServoPacing> pacing);
  ~Servo();
  Servo(const Servo&) = delete;
  Servo& operator=(const Servo&) = delete;

  // --- loop (servo thread) ----------------------------------------------------
  // Runs until sessionEnded is set, then releases model and drivers; returns 0.
  // Calls servoInit() first.
  int servoLoop();
  // One-shot initialisation; false when no arm could be built (a second call
  // returns the first result at once).
  bool servoInit();
  // Steps 3 to 12 of a pass: clock, state, control, torques, gripper, gather.
  void servoTick();
  // With a pacing that ticks on request: handles requests until one grants
  // the next tick (or the session ends). Otherwise returns at once.
  void awaitGrant();
  // Step 13: steps the arm and waits (handling requests) until a tick is due.
  // Returns false when the session must end (two late ticks in a row).
  bool waitForTick();
  // Runs count full passes (a request slot, the tick, the arm's step) at once,
  // on the caller's thread and without waiting for grants: for programs that
  // drive the servo themselves (tools, bindings). Needs UnpacedPacing: any
  // other pacing makes it wait for every step to fall due, spinning.
  void runTicks(int64_t count);
  void updateState();
  void runControlMode();
  void limitTorques();
  void sendTorques();

  // --- requests ---------------------------------------------------------------
  // Takes and handles at most one pending request; false when none was pending.
  bool handleUiMessage();
  // False (and nothing changes) when the model or an arm cannot be built.
  bool setRobotType(int type);
  void setControlMode(CMappedMsg& msg);
  // Loads control.dll afresh between two ticks and, when it is usable,
  // starts the current mode again with its goal; otherwise the running
  // plug-in stays, and one line says why (ServoReload.cpp).
  void reloadPlugin();
  void setConstant(CMappedMsg& msg);
  void sendConfiguration();
  void sendGains(int mode);

  // --- host-supplied laws and files ------------------------------------------
  // Runs law (not owned; nullptr: the plug-in again) every tick of `mode` in
  // place of the plug-in's tick function; the mode's init function still runs
  // when the mode is selected. Between ticks only.
  void setModeLaw(int mode, ControlLaw* law);
  ControlLaw* modeLaw(int mode) const;
  // Laws that have returned false and been dropped (see ControlLaw.h).
  int64_t stoppedLawCount() const { return m_stoppedLaws; }
  // The robot description the arms are built from (default puma560.prm in
  // the working directory); takes effect at the next robot-type change, so
  // set it before servoInit().
  void setDescriptionPath(std::string path) { m_descriptionPath = std::move(path); }

  // --- read access for the start-up code, tools and tests ---------------------
  const ServoState& state() const { return m_state; }
  int controlMode() const { return m_cmode; }
  int robotType() const { return m_robotType; }
  bool gatherOn() const { return m_gatherOn; }
  float simSpeed() const { return m_simSpeed; }
  bool torqueLimitOn() const { return m_torqueLimitOn; }
  bool frictionOn() const { return m_friction; }
  float springK() const { return m_springK; }
  int gripperValue() const { return m_gripperValue; }
  IRobotModel* robotModel() { return m_model.get(); }
  IRobotSimDriver* robotDriver() { return m_robot.get(); }
  IRobotSimDriver* mirrorDriver() { return m_mirror.get(); }
  const ControlPlugin& plugin() const { return m_plugin; }
  // Torques last handed to the arm (6 elements, N·m).
  const PrVector& sentTorques() const { return m_torqueOut; }
  // Ticks made up after the servo fell behind the wall clock (any thread).
  long long ticksMadeUp() const { return m_lateTicks.total(); }
  // Ticks whose plug-in torques were refused as non-finite or mis-sized.
  int64_t refusedTorqueTicks() const { return m_refusedTorqueTicks; }
  // Records the steady-clock time (ns) at the start of every tick into
  // buffer[0 .. capacity-1] (cyclically); count() tells how many were written.
  void recordTickTimes(int64_t* buffer, int capacity);
  // Publishes every tick's values into `ring` from now on (nullptr: stops);
  // set from the servo thread, before its loop or between ticks.
  void publishScopeSamples(ScopeRing* ring) { m_scope = ring; }
  int64_t recordedTickCount() const { return m_tickTimeCount; }
  // Ticks still to run for the UI_ADVANCE being served (0: none pending).
  int64_t advanceTicksLeft() const { return m_advanceTicksLeft; }

 private:
  // --- request handlers (ServoRequests.cpp) ------------------------------------
  void replyVector(int dest, int code, const PrVector& v, const char* name);
  bool rejectTruncated(const CMappedMsg& msg);
  bool rejectNonFinite(const float* values, int count);
  // The shapes (ServoVisualisation): computed and answered, or for the MSI
  // handed to its worker and answered on the first pass after it is built.
  void handleVisualisation(int code, int dest);
  void sendFinishedMsi();
  void handleContactPoint(CMappedMsg& msg);
  void handleStartGather(CMappedMsg& msg);
  // UI_ADVANCE: answers once its ticks have run (at once for none).
  void handleAdvance(CMappedMsg& msg);
  void replyAdvanced();
  // Stores the current mode's goal (m_modeGoal) in the record, copies its
  // gains and calls its init function.
  void startMode();

  // --- robot type (ServoRobotType.cpp) ----------------------------------------
  void sizeState();
  // Ends a running gather (and tells the console to close its file).
  void stopGatherForNewShape();

  // --- loop helpers -----------------------------------------------------------
  // The tick function of mode: the host's law when one is set, else the plug-in's.
  void tickMode(int mode);
  int stepArm();
  // Counts one tick against the UI_ADVANCE being served; answers it on its last.
  void countAdvancedTick();
  void releaseRobot();

  UiLink& m_link;
  ControlPlugin m_plugin;
  std::unique_ptr<ServoPacing> m_pacing;

  std::unique_ptr<IRobotModel> m_model;
  std::unique_ptr<IRobotSimDriver> m_robot;   // the arm that is controlled
  std::unique_ptr<IRobotSimDriver> m_mirror;  // kinematic copy the model reads
  ServoState m_state;

  int m_cmode = kFloat;
  ControlLaw* m_modeLaws[kNumControlModes] = {};
  int64_t m_stoppedLaws = 0;
  std::string m_descriptionPath = "puma560.prm";
  // The goal the current mode was selected with, as the request carried it
  // (degrees for joints), kept so a reload can start the mode again with it:
  // the plug-in may overwrite qd or xd with its moving reference.
  float m_modeGoal[kMaxGoalValues] = {};
  int m_modeGoalCount = 0;
  int m_modeElbow = 0;
  bool m_gatherOn = false;
  const PrVector* m_gatherList[7];
  ScopeRing* m_scope = nullptr;  // not owned
  ScopeSample m_scopeSample;
  int m_gripperValue = 0;
  float m_simSpeed = 1.0f;
  bool m_torqueLimitOn = true;
  bool m_friction = true;
  float m_springK = 200.0f;  // N/m
  PrVector m_lockTorque;     // 6: holds the joints a reduced model leaves out
  PrMatrix m_dJ;             // r x dof

  // Request handling.
  CMsg m_reply;
  int m_robotType = -1;
  ServoVisualisation m_visualisation;

  // Tick scratch, sized with the robot type.
  PrVector m_qSensed, m_dqSensed;  // 6
  PrVector m_zero6;
  PrMatrix m_Jinv, m_lu, m_JinvTA;
  PrVector m_dJdq, m_LambdaDJdq;
  PrVector m_torqueOut;  // 6
  // Request scratch.
  PrVector m_values, m_converted;
  ServoConfiguration m_configRecord;  // what sendConfiguration() tells, in degrees

  bool m_initialised = false;
  bool m_initResult = false;
  OverrunGuard m_overrun;
  LateTickReport m_lateTicks;
  bool m_torqueRefusalReported = false;
  int64_t m_refusedTorqueTicks = 0;
  int64_t* m_tickTimes = nullptr;
  int m_tickTimeCapacity = 0;
  int64_t m_tickTimeCount = 0;
  // The UI_ADVANCE being served: ticks still to run, then the answer.
  int64_t m_advanceTicksLeft = 0;
  int m_advanceSequence = 0;
  int m_advanceDest = 2;
};
