#include "utility/PrSocket.h"

#include <unistd.h>

PrSocket::~PrSocket() { close(); }

void PrSocket::close() {
  if (m_descriptor >= 0) ::close(m_descriptor);
  m_descriptor = -1;
}
