// The servo thread's body.
#pragma once

#include <functional>

class Servo;
class UiAgent;

// How the program's servo is paced: at 500 Hz against the wall clock, or
// unpaced, ticking only as far as the console's UI_ADVANCE requests grant
// (korvex --fast).
enum class ServoTiming { kRealTime, kUnpaced };

// Loads control.dll from the working directory and runs the servo against
// `agent` until sessionEnded is set; returns 0. Start-up runs it on its own
// thread and joins it at shutdown. The optional hooks see the servo (on the
// servo thread) before its loop starts and after it has ended, for tools that
// measure it.
int servoLoop(UiAgent& agent, const std::function<void(Servo&)>& beforeLoop = {},
              const std::function<void(Servo&)>& afterLoop = {}, ServoTiming timing = ServoTiming::kRealTime);
