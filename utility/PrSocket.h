// A connected stream socket, handed to the remote constructors of the agents.
//
// How the connection is made is up to the caller; this only carries the
// descriptor and closes it when destroyed. The streams built on it never
// close it themselves.
#pragma once

class PrSocket {
 public:
  explicit PrSocket(int descriptor) : m_descriptor(descriptor) {}
  ~PrSocket();
  PrSocket(const PrSocket&) = delete;
  PrSocket& operator=(const PrSocket&) = delete;

  int descriptor() const { return m_descriptor; }
  // Closes the descriptor now (a peer then sees the end of the stream).
  void close();

 private:
  int m_descriptor;
};
