#include "app/ServoThread.h"

#include <sys/prctl.h>

#include <memory>

#include "app/UiAgentLink.h"
#include "servo/ControlPlugin.h"
#include "servo/RealTimePacing.h"
#include "servo/Servo.h"
#include "servo/UnpacedPacing.h"

int servoLoop(UiAgent& agent, const std::function<void(Servo&)>& beforeLoop,
              const std::function<void(Servo&)>& afterLoop, ServoTiming timing) {
  // The loop sleeps until each tick is due; a tight timer slack keeps those
  // wake-ups within a few microseconds instead of the default 50.
  prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
  UiAgentLink link(agent);
  std::unique_ptr<ServoPacing> pacing;
  if (timing == ServoTiming::kUnpaced) {
    pacing = std::make_unique<UnpacedPacing>();
  } else {
    pacing = std::make_unique<RealTimePacing>();
  }
  // The servo is large (its reply record alone is 8 KiB); keep it off the stack.
  auto servo = std::make_unique<Servo>(link, loadControlPlugin(kControlPluginPath, true), std::move(pacing));
  if (beforeLoop) beforeLoop(*servo);
  const int result = servo->servoLoop();
  if (afterLoop) afterLoop(*servo);
  return result;
}
