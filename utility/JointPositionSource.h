// Something that reports the arm's latest joint positions (degrees).
//
// The console implements it with its locked getter; the plotter samples it.
#pragma once

class PrVector;

class JointPositionSource {
 public:
  virtual ~JointPositionSource() = default;
  // Copies the latest known joint positions (degrees, one per joint) into q.
  virtual void getQ(PrVector& q) = 0;
};
