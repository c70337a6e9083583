// The servo side's proxy of the user interface.
//
// The servo loop polls it for requests and sends replies and gather rows
// through it; while it exists it is also the sink of consolePrint, so all
// servo-side text reaches the user interface as SERVO_TEXT messages.
//
// Requests are taken from queue 1 and, in remote mode, from the socket too
// (the queue is always looked at first). Replies, gather rows and text go to
// queue 0, except replies with destination 1 in remote mode, which go to the
// socket. poll/read/reply/sendGatherRow belong to the servo thread; text may
// come from any thread. One lock on the sending side is held across each
// text append and flush and each reply and gather-row write, which keeps
// queue 0 single-writer.
//
// Text: each thread's prints accumulate in an 8160-character buffer of that
// thread's own (ThreadLines) and go out as one message when the text ends
// with a newline or exceeds 4080 characters, so a reply never lands inside
// another thread's unfinished line. A print that does not fit behind the
// pending text sends the pending text first; a single print longer than the
// whole buffer is cut at its end.
//
// docs/architecture.md shows every thread, queue and lock of the process.
#pragma once

#include <memory>
#include <mutex>

#include "utility/ThreadLines.h"
#include "utility/consolePrint.h"
#include "utility/unitMsg.h"

class MesgQueue;
class PrDataInput;
class PrDataOutput;
class PrSocket;
class PrVector;

class UiAgent : public ConsolePrintSink {
 public:
  enum InputSource { IS_NONE = 0, IS_QUEUE = 1, IS_SOCKET = 2 };

  static constexpr int TEXT_BUFFER_SIZE = ThreadLines::kBufferSize;  // characters
  static constexpr int TEXT_FLUSH_SIZE = ThreadLines::kFlushSize;    // pending text beyond this is sent

  UiAgent();                                       // in-process: the registered queues
  explicit UiAgent(const PrSocket* remoteSocket);  // also streams on the socket
  ~UiAgent() override;
  UiAgent(const UiAgent&) = delete;
  UiAgent& operator=(const UiAgent&) = delete;

  // Whether a request is pending; records where it was found.
  bool poll();
  InputSource inputSource() const { return m_inputSource; }
  // The pending request; valid until the next poll(). Requires a successful poll().
  CMappedMsg read();

  // dest 2: queue 0; dest 1: the socket when there is one, else queue 0; any
  // other dest sends nothing. False when nothing was sent.
  bool reply(CMsg& msg, int dest);
  // Sends a SERVO_GATHER_DATA row to queue 0: the time (s) and the elements
  // of the null-terminated vector list. False when the queue refused it.
  bool sendGatherRow(float time, const PrVector* const* vectors);

  int vprint(const char* format, va_list args) override;

 private:
  // Sends one piece of text as a SERVO_TEXT message; caller holds m_sendLock.
  static void sendText(void* agent, const char* text, int length);

  MesgQueue* m_outgoing;  // queue 0
  MesgQueue* m_incoming;  // queue 1
  std::unique_ptr<PrDataOutput> m_output;
  std::unique_ptr<PrDataInput> m_input;
  InputSource m_inputSource = IS_NONE;

  std::mutex m_sendLock;
  ThreadLines m_text{&UiAgent::sendText, this};  // guarded by m_sendLock
  bool m_outgoingClosed = false;                 // being destroyed: text goes to standard output
  CMsg m_textMsg;
  CMsg m_gatherMsg;
};
