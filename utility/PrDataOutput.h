// Sends whole messages on a connected stream socket.
//
// A message is written with its length field stamped, looping over partial
// sends. SIGPIPE is suppressed, so a peer that went away costs a report, not
// the process. A failure is reported once per stream on standard error; after
// a message went out only in part the peer's framing is lost, so the stream
// refuses every later message instead of sending bytes the peer would misread.
#pragma once

#include "utility/unitMsg.h"

class PrSocket;

class PrDataOutput {
 public:
  // maxSize: the largest message body this stream carries (bytes).
  PrDataOutput(const PrSocket* remoteSocket, int maxSize);
  PrDataOutput(const PrDataOutput&) = delete;
  PrDataOutput& operator=(const PrDataOutput&) = delete;

  // Returns the number of bytes sent, or -1 when the message was not sent whole.
  int write(CMsg& msg);
  bool broken() const { return m_broken; }

 private:
  void reportFailure();

  const int m_socket;
  const int m_bufferSize;  // maxSize + header
  bool m_broken = false;
  bool m_reported = false;
};
