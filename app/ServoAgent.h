// The user-interface side's proxy of the servo.
//
// The console sends requests (UiMsgType) and its listener thread reads the
// replies (ServoMsgType) through it. In-process it uses the two message
// queues (requests on queue 1, replies on queue 0); given a connected socket
// it uses the socket streams instead. One sending thread and one reading
// thread at a time: the console serialises its senders under its own lock.
#pragma once

#include <memory>

#include "utility/unitMsg.h"

class MesgQueue;
class PrDataInput;
class PrDataOutput;
class PrSocket;

class ServoAgent {
 public:
  ServoAgent();                                       // in-process: the registered queues
  explicit ServoAgent(const PrSocket* remoteSocket);  // remote: streams on the socket
  ~ServoAgent();
  ServoAgent(const ServoAgent&) = delete;
  ServoAgent& operator=(const ServoAgent&) = delete;

  bool hasMessage();
  // False when the message was refused (full queue) or not sent whole. A
  // servo that has hung up its end of the socket is sent nothing (no report:
  // whoever owns the link notices the close and says so).
  bool send(CMsg& msg);
  // The next reply; valid until the next hasMessage(). Requires hasMessage().
  CMappedMsg read();

 private:
  MesgQueue* m_outgoing = nullptr;  // queue 1, local mode only
  MesgQueue* m_incoming = nullptr;  // queue 0, local mode only
  int m_socket = -1;                // remote mode only
  std::unique_ptr<PrDataOutput> m_output;
  std::unique_ptr<PrDataInput> m_input;
};
