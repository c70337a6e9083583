// A message as the servo and the console receive it: bytes from a peer. The
// input is read as one record item by item, as the receivers decode bodies,
// and is also streamed through PrDataInput over a socket pair in two parts,
// which must hand over only whole messages that lie inside what was sent.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "utility/PrDataInput.h"
#include "utility/PrSocket.h"
#include "utility/unitMsg.h"

namespace {
void check(bool ok) {
  if (!ok) __builtin_trap();
}

// Reads a body the way the receivers do: a string, ints, floats, bools and
// 8-byte items, steered by the bytes themselves.
void decode(AMsg& msg) {
  char text[128];
  float floats[64];
  int ints[4];
  char bytes[16];
  for (int step = 0; step < 64 && !msg.truncated(); ++step) {
    const int pick = msg.readInt() & 7;
    switch (pick) {
      case 0:
        msg.readString(text, sizeof text);
        check(std::memchr(text, 0, sizeof text) != nullptr);
        break;
      case 1:
        msg.readFloats(floats, 1 + step % 64);
        break;
      case 2:
        msg.readInts(ints, 4);
        break;
      case 3:
        msg.readBool();
        break;
      case 4:
        msg.readBytes(bytes, 1 + step % 16);
        break;
      case 5: {
        double d;
        msg.readElements(&d, 1, 8);
      } break;
      case 6: {
        short s[3];
        msg.readElements(s, 3, 2);
      } break;
      default:
        msg.readFloat();
        break;
    }
    check(msg.position() <= msg.length() || msg.truncated());
  }
}

void stream(const uint8_t* data, size_t size) {
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return;
  PrSocket reader(fds[0]);
  PrDataInput input(&reader, MAX_MSG_SIZE - MSG_HEADER_SIZE);  // as the agents
  const size_t half = size / 2;
  size_t handed = 0;
  for (int part = 0; part < 2; ++part) {
    const size_t from = part == 0 ? 0 : half;
    const size_t to = part == 0 ? half : size;
    if (to > from && write(fds[1], data + from, to - from) < 0) break;
    if (part == 1) close(fds[1]);
    for (int i = 0; i < 64; ++i) {
      const int ready = input.ready();
      if (ready < 0) break;
      CMappedMsg msg = input.read();
      check(msg.length() == ready && ready >= MSG_HEADER_SIZE && ready <= MAX_MSG_SIZE);
      handed += size_t(ready);
      check(handed <= size);
      decode(msg);
    }
  }
  if (size < half || handed > size) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= MSG_HEADER_SIZE && size <= MAX_MSG_SIZE) {
    CMappedMsg msg;
    msg.setFromBytes(reinterpret_cast<const char*>(data), int(size));
    decode(msg);
    CMsg copy;
    copy.setFromBytes(reinterpret_cast<const char*>(data), int(size));
    decode(copy);
  }
  stream(data, size);
  return 0;
}
