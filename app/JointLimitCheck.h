// The console's check of joint goals against the joint limits it last heard.
#pragma once

class PrVector;

// True when every element of pos lies between the matching elements of qmin
// and qmax (both included). At the first joint outside, prints
// "joint <i> pos = <value>" through consolePrint and returns false.
bool withinJointLimits(const PrVector& pos, const PrVector& qmin, const PrVector& qmax);
