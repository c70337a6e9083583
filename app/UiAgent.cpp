#include "app/UiAgent.h"

#include <cstdio>

#include "utility/MesgQueue.h"
#include "utility/PrAssert.h"
#include "utility/PrDataInput.h"
#include "utility/PrDataOutput.h"
#include "utility/msgPayload.h"

UiAgent::UiAgent() : m_outgoing(MesgQueue::getCollection(0)), m_incoming(MesgQueue::getCollection(1)) {
  setConsolePrintSink(this);
}

UiAgent::UiAgent(const PrSocket* remoteSocket) : UiAgent() {
  PR_ASSERT(remoteSocket != NULL);
  m_output = std::make_unique<PrDataOutput>(remoteSocket, MAX_MSG_SIZE - MSG_HEADER_SIZE);
  m_input = std::make_unique<PrDataInput>(remoteSocket, MAX_MSG_SIZE - MSG_HEADER_SIZE);
}

UiAgent::~UiAgent() {
  if (consolePrintSink() == this) setConsolePrintSink(nullptr);
  // Text still waiting for its newline is not lost with the agent.
  std::lock_guard<std::mutex> lock(m_sendLock);
  m_outgoingClosed = true;
  m_text.flushAll();
}

bool UiAgent::poll() {
  if (m_incoming->hasData()) {
    m_inputSource = IS_QUEUE;
  } else if (m_input && m_input->ready() > 0) {
    m_inputSource = IS_SOCKET;
  } else {
    m_inputSource = IS_NONE;
  }
  return m_inputSource != IS_NONE;
}

CMappedMsg UiAgent::read() {
  PR_ASSERT(m_inputSource != IS_NONE);
  const InputSource source = m_inputSource;
  m_inputSource = IS_NONE;
  return source == IS_QUEUE ? m_incoming->read() : m_input->read();
}

bool UiAgent::reply(CMsg& msg, int dest) {
  std::lock_guard<std::mutex> lock(m_sendLock);
  if (dest == 1 && m_output) return m_output->write(msg) > 0;
  if (dest == 1 || dest == 2) return m_outgoing->write(msg);
  return false;
}

bool UiAgent::sendGatherRow(float time, const PrVector* const* vectors) {
  std::lock_guard<std::mutex> lock(m_sendLock);
  writeGatherRow(m_gatherMsg, time, vectors);
  return m_outgoing->write(m_gatherMsg);
}

int UiAgent::vprint(const char* format, va_list args) {
  std::lock_guard<std::mutex> lock(m_sendLock);
  return m_text.vprint(format, args);
}

void UiAgent::sendText(void* context, const char* text, int length) {
  auto* agent = static_cast<UiAgent*>(context);
  if (agent->m_outgoingClosed) {
    std::fwrite(text, 1, static_cast<size_t>(length), stdout);
    return;
  }
  agent->m_textMsg.clear();
  agent->m_textMsg.setType(SERVO_TEXT);
  agent->m_textMsg.writeString(text);
  agent->m_outgoing->write(agent->m_textMsg);
}
