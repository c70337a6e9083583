// ScenarioBench: the real servo, a control plug-in and the simulated arm, run
// headless and faster than real time. Requests travel the same in-process
// queues the console uses; the arm's pacing clock advances one period per
// reading, so every tick is due at once and the loop never waits.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "matrix/PrTransform.h"
#include "servo/ControlPlugin.h"
#include "servo/ServoState.h"

class ScenarioBench {
 public:
  // Loads the plug-in at pluginPath; ready() tells whether the arm was built.
  explicit ScenarioBench(const char* pluginPath = "./control.dll");
  // With a plug-in loaded already.
  explicit ScenarioBench(ControlPlugin plugin);
  ~ScenarioBench();
  ScenarioBench(const ScenarioBench&) = delete;
  ScenarioBench& operator=(const ScenarioBench&) = delete;

  bool ready() const;
  bool pluginLoaded() const;
  const ServoState& state() const;

  // --- requests, as the console sends them ------------------------------------
  void setMode(int mode);                             // modes without a goal
  void setJointGoal(int mode, const float* degrees);  // modes 7 to 12: dof angles
  // Modes 13 to 23 on the six-joint quaternion model: the goal frame (and the
  // elbow choice for 13 and 14).
  void setFrameGoal(int mode, const PrTransform& goal, int elbow = 8);
  // Modes 13 to 23 on any model: c configuration values as the console sends
  // them (angles in degrees).
  void setConfigGoal(int mode, const float* config, int count, int elbow = 8);
  void setRobotType(int type);
  void setObstacle(int id, float x, float y, float z, float radius);
  void deleteObstacle(int id);
  void setLine(const float p1[3], const float p2[3]);
  void deleteLine();

  // --- the arm, set directly (not through the plug-in) ---------------------------
  // Puts the arm's six joints at `degrees`, at rest, and updates the record
  // from there; no tick runs, so the mode selected next starts from that pose.
  void placeArm(const float* degrees);
  // Gives the arm's six joints the velocities `degreesPerSecond` where it is,
  // as a blow would.
  void kick(const float* degreesPerSecond);
  // Hooks the mouse spring to the tool (the last link's origin) and pulls it
  // with `newtons` (base frame) as the console's spring does: the target sits
  // newtons / springk away (springk of the servo), so the pull eases as the tool gives way.
  void pullTool(const float newtons[3]);
  void releaseTool();
  // Ticks whose torques the servo refused as not finite, since the bench was made.
  long long refusedTorqueTicks() const;

  // Runs the loop for `seconds` of simulated time, calling observe after
  // every tick; returns the number of ticks.
  int run(double seconds, const std::function<void(const ServoState&)>& observe = {});
  // Ticks run since the bench was made.
  long long ticks() const { return m_ticks; }

  // Text the servo side printed (plug-in messages included) since the last call.
  std::string takeText();

 private:
  struct Parts;
  void request(class CMsg& msg);
  void drainReplies();
  std::unique_ptr<Parts> m_parts;
  std::string m_text;
  long long m_ticks = 0;
};
