// UiLink: the servo's view of its agent towards the user interface.
//
// The servo library sits below the application layer that owns UiAgent, so it
// talks to the agent through this interface (app/UiAgentLink adapts UiAgent;
// tests may plug in their own). All calls come from the servo thread.
#pragma once

#include "utility/unitMsg.h"

class PrVector;

class UiLink {
 public:
  virtual ~UiLink() = default;
  // Whether a request is pending.
  virtual bool poll() = 0;
  // The pending request; valid until the next poll(). Only after a true poll().
  virtual CMappedMsg read() = 0;
  // Sends a data reply: dest 1 to the user interface (remote link when there
  // is one), dest 2 through the local queue; any other dest sends nothing.
  virtual void reply(CMsg& msg, int dest) = 0;
  // Sends one SERVO_GATHER_DATA row (time in s, null-terminated vector list).
  virtual void sendGatherRow(float time, const PrVector* const* vectors) = 0;
};
