// A written message as a receiver sees it: its bytes, optionally cut short,
// under a CMappedMsg.
#pragma once

#include <vector>

#include "utility/unitMsg.h"

// Copies the bytes of msg into bytes and lays a CMappedMsg over the first
// length of them (all when length is negative); bytes must outlive the result.
inline CMappedMsg mapped(CMsg& msg, std::vector<char>& bytes, int length = -1) {
  const char* data = nullptr;
  int full = 0;
  msg.prepareForSending(&data, &full);
  bytes.assign(data, data + full);
  CMappedMsg out;
  out.setFromBytes(bytes.data(), length < 0 ? full : length);
  return out;
}
