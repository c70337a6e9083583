// UiAgentLink: hands the servo its requests and replies through UiAgent.
#pragma once

#include "app/UiAgent.h"
#include "servo/UiLink.h"

class UiAgentLink final : public UiLink {
 public:
  explicit UiAgentLink(UiAgent& agent) : m_agent(agent) {}
  bool poll() override { return m_agent.poll(); }
  CMappedMsg read() override { return m_agent.read(); }
  void reply(CMsg& msg, int dest) override { m_agent.reply(msg, dest); }
  void sendGatherRow(float time, const PrVector* const* vectors) override {
    m_agent.sendGatherRow(time, vectors);
  }

 private:
  UiAgent& m_agent;
};
