#include "app/ServoAgent.h"

#include <cstdio>

#include "utility/MesgQueue.h"
#include "utility/PrAssert.h"
#include "utility/PrDataInput.h"
#include "utility/PrDataOutput.h"
#include "utility/PrSocket.h"
#include "utility/TcpEndpoint.h"

ServoAgent::ServoAgent() : m_outgoing(MesgQueue::getCollection(1)), m_incoming(MesgQueue::getCollection(0)) {}

ServoAgent::ServoAgent(const PrSocket* remoteSocket) {
  PR_ASSERT(remoteSocket != NULL);
  m_socket = remoteSocket->descriptor();
  m_output = std::make_unique<PrDataOutput>(remoteSocket, MAX_MSG_SIZE - MSG_HEADER_SIZE);
  m_input = std::make_unique<PrDataInput>(remoteSocket, MAX_MSG_SIZE - MSG_HEADER_SIZE);
  std::fprintf(stderr, "Set up the servo object\n");
}

ServoAgent::~ServoAgent() = default;

bool ServoAgent::hasMessage() { return m_input ? m_input->ready() > 0 : m_incoming->hasData(); }

bool ServoAgent::send(CMsg& msg) {
  if (!m_output) return m_outgoing->write(msg);
  return !peerHungUp(m_socket) && m_output->write(msg) > 0;
}

CMappedMsg ServoAgent::read() { return m_input ? m_input->read() : m_incoming->read(); }
