// A control plug-in for the KORVEX Simulator: start your own laws from here.
//
// The simulator's servo loads control.dll from its working directory and calls
// these 51 functions with its state record (servo/ServoState.h). Every mode
// below is stubbed as "float": tau = G, the torque that holds the arm against
// gravity, so the arm stays where it is left. Replace the bodies with your
// laws; the servo relies only on tau holding the joint torques (N·m) when
// PostprocessControl returns. Angles are radians, lengths metres.
//
// Every call comes from the servo thread, one at a time, 500 times a second:
// keep them short and do not allocate memory in the tick functions.
#include "servo/ServoState.h"
#include "utility/consolePrint.h"

#define CONTROL_ENTRY extern "C" __attribute__((visibility("default"))) void

namespace {

// tau = G: gravity compensation only.
void floatArm(ServoState* s) {
  for (int i = 0; i < s->dof; ++i) s->tau[i] = s->G[i];
}

}  // namespace

// Tells the servo which layout of its state record this plug-in was built
// for; it refuses a plug-in built against the headers of another version.
EXPORT_SERVO_STATE_LAYOUT;

// Called once at start-up, after the first robot model is set up.
CONTROL_ENTRY InitControl(ServoState*) {}
// Called every tick before the mode's function (tau is zero here) ...
CONTROL_ENTRY PreprocessControl(ServoState*) {}
// ... and after it: the last chance to change tau.
CONTROL_ENTRY PostprocessControl(ServoState*) {}
// The console command pdebug.
CONTROL_ENTRY PrintDebug(ServoState* s) {
  consolePrint("template plug-in: %d joints, t = %.3f s\n", s->dof, s->curTime);
}

// Mode 0: no init function.
CONTROL_ENTRY noControl(ServoState*) {}

// Each init function runs once when its mode is selected, after the servo has
// stored the goal (qd for modes 7-12; xd and Td for 13-23; elbow for 13-14).
CONTROL_ENTRY initFloatControl(ServoState*) {}
CONTROL_ENTRY floatControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNjholdControl(ServoState*) {}
CONTROL_ENTRY njholdControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initJholdControl(ServoState*) {}
CONTROL_ENTRY jholdControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNholdControl(ServoState*) {}
CONTROL_ENTRY nholdControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initHoldControl(ServoState*) {}
CONTROL_ENTRY holdControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initOpenControl(ServoState*) {}
CONTROL_ENTRY openControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNjmoveControl(ServoState*) {}
CONTROL_ENTRY njmoveControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initJmoveControl(ServoState*) {}
CONTROL_ENTRY jmoveControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNjgotoControl(ServoState*) {}
CONTROL_ENTRY njgotoControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initJgotoControl(ServoState*) {}
CONTROL_ENTRY jgotoControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNjtrackControl(ServoState*) {}
CONTROL_ENTRY njtrackControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initJtrackControl(ServoState*) {}
CONTROL_ENTRY jtrackControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNxtrackControl(ServoState*) {}
CONTROL_ENTRY nxtrackControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initXtrackControl(ServoState*) {}
CONTROL_ENTRY xtrackControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNgotoControl(ServoState*) {}
CONTROL_ENTRY ngotoControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initGotoControl(ServoState*) {}
CONTROL_ENTRY gotoControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initNtrackControl(ServoState*) {}
CONTROL_ENTRY ntrackControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initTrackControl(ServoState*) {}
CONTROL_ENTRY trackControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initPfmoveControl(ServoState*) {}
CONTROL_ENTRY pfmoveControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initLineControl(ServoState*) {}
CONTROL_ENTRY lineControl(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initProj1Control(ServoState*) {}
CONTROL_ENTRY proj1Control(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initProj2Control(ServoState*) {}
CONTROL_ENTRY proj2Control(ServoState* s) { floatArm(s); }
CONTROL_ENTRY initProj3Control(ServoState*) {}
CONTROL_ENTRY proj3Control(ServoState* s) { floatArm(s); }
