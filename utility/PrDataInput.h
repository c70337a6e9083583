// Receives whole messages from a connected stream socket without blocking.
//
// The 16-bit length at the head of the next message is only peeked, and the
// message is taken off the socket in one piece once all of it has arrived, so
// a message that comes in several parts simply reports "not yet" until then.
//
// The receive buffer holds maxSize + 4 bytes (the agents use MAX_MSG_SIZE).
// Bytes from a socket are untrusted: a length field below 4 or above the
// buffer is a protocol error, and a peer that hangs up with a message half
// sent leaves the stream unusable. Either is reported once on standard
// error; the stream then drops whatever arrives and ready() answers -2.
#pragma once

#include "utility/unitMsg.h"

class PrSocket;

class PrDataInput {
 public:
  // maxSize: the largest message body accepted (bytes).
  PrDataInput(const PrSocket* remoteSocket, int maxSize);
  ~PrDataInput();
  PrDataInput(const PrDataInput&) = delete;
  PrDataInput& operator=(const PrDataInput&) = delete;

  // Size of a complete message now held (> 0), -1 while none is complete,
  // -2 after a failed receive or once the stream has failed. A held message
  // that has not been read yet is reported again rather than replaced.
  int ready();
  // Maps the message found by the last successful ready(); valid until the
  // next ready() after this read.
  CMappedMsg read();
  bool failed() const { return m_failed; }

 private:
  bool readableBytes(int* count);
  bool peekHeader();
  bool peerHungUp() const;
  int fail(const char* reason);
  void dropPending();

  const int m_socket;
  const int m_bufferSize;
  char* const m_buffer;
  const int m_headerSize = 4;
  int m_pendingSize = 0;
  bool m_needHeader = true;
  int m_messageSize = 0;  // size of the held message, 0 when none
  bool m_unread = false;  // the held message has not been read yet
  bool m_failed = false;
};
