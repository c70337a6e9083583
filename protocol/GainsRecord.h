// The gains record (SERVO_GAINS): one control mode's stored gains, sent by
// the servo after a robot-type change and after a kp or kv constant.
//
// Body: mode (int), n (int), n kp floats, n kv floats.
#pragma once

class AMsg;
class CMsg;
class PrVector;

// Clears msg and writes the gains of mode as a SERVO_GAINS message; kp and
// kv have the same size.
void writeGains(CMsg& msg, int mode, const PrVector& kp, const PrVector& kv);

// Reads a SERVO_GAINS body: the mode, then the gains into kp and kv (resized
// to n). False when the mode is not a control mode, or n disagrees with the
// message's length; kp and kv are then unspecified.
bool readGains(AMsg& msg, int& mode, PrVector& kp, PrVector& kv);
