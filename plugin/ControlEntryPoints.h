// The 51 entry points of control.dll, exported with C linkage. Each receives
// the servo's record; the servo relies only on tau holding the joint torques
// when PostprocessControl returns.
#pragma once

#include "servo/ServoState.h"

#define KORVEX_CONTROL_ENTRY extern "C" __attribute__((visibility("default"))) void

KORVEX_CONTROL_ENTRY InitControl(ServoState* s);
KORVEX_CONTROL_ENTRY PreprocessControl(ServoState* s);
KORVEX_CONTROL_ENTRY PostprocessControl(ServoState* s);
KORVEX_CONTROL_ENTRY PrintDebug(ServoState* s);

KORVEX_CONTROL_ENTRY noControl(ServoState* s);
KORVEX_CONTROL_ENTRY initFloatControl(ServoState* s);
KORVEX_CONTROL_ENTRY floatControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNjholdControl(ServoState* s);
KORVEX_CONTROL_ENTRY njholdControl(ServoState* s);
KORVEX_CONTROL_ENTRY initJholdControl(ServoState* s);
KORVEX_CONTROL_ENTRY jholdControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNholdControl(ServoState* s);
KORVEX_CONTROL_ENTRY nholdControl(ServoState* s);
KORVEX_CONTROL_ENTRY initHoldControl(ServoState* s);
KORVEX_CONTROL_ENTRY holdControl(ServoState* s);
KORVEX_CONTROL_ENTRY initOpenControl(ServoState* s);
KORVEX_CONTROL_ENTRY openControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNjmoveControl(ServoState* s);
KORVEX_CONTROL_ENTRY njmoveControl(ServoState* s);
KORVEX_CONTROL_ENTRY initJmoveControl(ServoState* s);
KORVEX_CONTROL_ENTRY jmoveControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNjgotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY njgotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY initJgotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY jgotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNjtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY njtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY initJtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY jtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNxtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY nxtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY initXtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY xtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNgotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY ngotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY initGotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY gotoControl(ServoState* s);
KORVEX_CONTROL_ENTRY initNtrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY ntrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY initTrackControl(ServoState* s);
KORVEX_CONTROL_ENTRY trackControl(ServoState* s);
KORVEX_CONTROL_ENTRY initPfmoveControl(ServoState* s);
KORVEX_CONTROL_ENTRY pfmoveControl(ServoState* s);
KORVEX_CONTROL_ENTRY initLineControl(ServoState* s);
KORVEX_CONTROL_ENTRY lineControl(ServoState* s);
KORVEX_CONTROL_ENTRY initProj1Control(ServoState* s);
KORVEX_CONTROL_ENTRY proj1Control(ServoState* s);
KORVEX_CONTROL_ENTRY initProj2Control(ServoState* s);
KORVEX_CONTROL_ENTRY proj2Control(ServoState* s);
KORVEX_CONTROL_ENTRY initProj3Control(ServoState* s);
KORVEX_CONTROL_ENTRY proj3Control(ServoState* s);
