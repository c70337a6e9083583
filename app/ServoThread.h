// The servo thread's body.
#pragma once

class UiAgent;

// Loads control.dll from the working directory and runs the 500 Hz servo
// against `agent` until sessionEnded is set; returns 0. Start-up runs it on
// its own thread and joins it at shutdown.
int servoLoop(UiAgent& agent);
