#include "utility/unitMsg.h"

#include <climits>
#include <cstring>

#include "utility/PrAssert.h"

namespace {

void encodeBigEndian(unsigned char* out, const unsigned char* in, int elementSize) {
  // Elements are handled as unsigned integers of their size so the byte order
  // of the host does not matter.
  switch (elementSize) {
    case 1:
      out[0] = in[0];
      break;
    case 2: {
      uint16_t v;
      std::memcpy(&v, in, 2);
      out[0] = static_cast<unsigned char>(v >> 8);
      out[1] = static_cast<unsigned char>(v);
      break;
    }
    case 4: {
      uint32_t v;
      std::memcpy(&v, in, 4);
      for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
      break;
    }
    case 8: {
      uint64_t v;
      std::memcpy(&v, in, 8);
      const uint32_t low = static_cast<uint32_t>(v);
      const uint32_t high = static_cast<uint32_t>(v >> 32);
      for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(low >> (24 - 8 * i));
      for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<unsigned char>(high >> (24 - 8 * i));
      break;
    }
  }
}

void decodeBigEndian(unsigned char* out, const unsigned char* in, int elementSize) {
  switch (elementSize) {
    case 1:
      out[0] = in[0];
      break;
    case 2: {
      const uint16_t v = static_cast<uint16_t>((in[0] << 8) | in[1]);
      std::memcpy(out, &v, 2);
      break;
    }
    case 4: {
      uint32_t v = 0;
      for (int i = 0; i < 4; ++i) v = (v << 8) | in[i];
      std::memcpy(out, &v, 4);
      break;
    }
    case 8: {
      uint32_t low = 0, high = 0;
      for (int i = 0; i < 4; ++i) low = (low << 8) | in[i];
      for (int i = 0; i < 4; ++i) high = (high << 8) | in[4 + i];
      const uint64_t v = (static_cast<uint64_t>(high) << 32) | low;
      std::memcpy(out, &v, 8);
      break;
    }
  }
}

bool validElementSize(int elementSize) {
  return elementSize == 1 || elementSize == 2 || elementSize == 4 || elementSize == 8;
}

// Position after count elements, saturated so a huge count cannot wrap round.
int advancedPosition(int position, int count, int elementSize) {
  const long long end = position + static_cast<long long>(count) * elementSize;
  return end > INT_MAX ? INT_MAX : static_cast<int>(end);
}

}  // namespace

//---- AMsg: reading ---------------------------------------------------------

void AMsg::mapHeader(const char* data, int length) {
  m_buffer = data;
  m_bufferLength = length;
  m_type = readWireU16(data + 2);
  m_byteCounter = MSG_HEADER_SIZE;
  m_truncated = false;
}

void AMsg::readElements(void* destination, int count, int elementSize) {
  PR_ASSERT(count >= 0 && validElementSize(elementSize));
  const int start = m_byteCounter;
  m_byteCounter = advancedPosition(start, count, elementSize);
  PR_ASSERT(m_byteCounter <= MAX_MSG_SIZE);

  auto* out = static_cast<unsigned char*>(destination);
  const int available = m_bufferLength > start ? (m_bufferLength - start) / elementSize : 0;
  const int whole = count < available ? count : available;
  if (whole > 0) {
    const auto* in = reinterpret_cast<const unsigned char*>(m_buffer) + start;
    for (int i = 0; i < whole; ++i) decodeBigEndian(out + i * elementSize, in + i * elementSize, elementSize);
  }
  if (whole < count) {
    // Past the message's end: zeros, never the bytes that follow it.
    std::memset(out + whole * elementSize, 0, static_cast<size_t>(count - whole) * elementSize);
    m_truncated = true;
  }
}

int AMsg::readInt() {
  int32_t value;
  readElements(&value, 1, 4);
  return value;
}

float AMsg::readFloat() {
  float value;
  readElements(&value, 1, 4);
  return value;
}

bool AMsg::readBool() {
  unsigned char value;
  readElements(&value, 1, 1);
  return value != 0;
}

void AMsg::readInts(int* destination, int count) {
  static_assert(sizeof(int) == 4);
  readElements(destination, count, 4);
}

void AMsg::readFloats(float* destination, int count) { readElements(destination, count, 4); }

void AMsg::readBytes(char* destination, int count) { readElements(destination, count, 1); }

bool AMsg::readString(char* destination, int capacity) {
  PR_ASSERT(destination != nullptr && capacity > 0);
  int pos = m_byteCounter;
  int copied = 0;
  bool terminated = false;
  bool fits = true;
  while (pos < m_bufferLength) {
    const char c = m_buffer[pos++];
    if (c == '\0') {
      terminated = true;
      break;
    }
    if (copied < capacity - 1) {
      destination[copied++] = c;
    } else {
      fits = false;
    }
  }
  destination[copied] = '\0';
  if (!terminated) m_truncated = true;
  m_byteCounter = pos;
  return terminated && fits;
}

//---- CMsg: writing ---------------------------------------------------------

CMsg::CMsg() : AMsg(MAX_MSG_SIZE, nullptr, true) {
  m_buffer = m_storage;
  std::memset(m_storage, 0, sizeof m_storage);
}

void CMsg::setFromBytes(const char* data, int length) {
  PR_ASSERT(length >= MSG_HEADER_SIZE && length <= MAX_MSG_SIZE);
  std::memcpy(m_storage, data, static_cast<size_t>(length));
  touch(length);
  mapHeader(m_storage, length);
}

void CMsg::clear() {
  std::memset(m_storage, 0, static_cast<size_t>(m_dirtyEnd));
  m_dirtyEnd = 0;
  m_bufferLength = MAX_MSG_SIZE;
  m_byteCounter = MSG_HEADER_SIZE;
  m_truncated = false;
}

void CMsg::setType(int code) {
  PR_ASSERT(m_fBuffer);
  m_type = code;
  touch(MSG_HEADER_SIZE);
  writeWireU16(m_storage + 2, code);
}

void CMsg::writeElements(const void* data, int count, int elementSize) {
  PR_ASSERT(m_fBuffer);
  PR_ASSERT(count >= 0 && validElementSize(elementSize));
  const int start = m_byteCounter;
  m_byteCounter = advancedPosition(start, count, elementSize);
  PR_ASSERT(m_byteCounter <= MAX_MSG_SIZE);
  touch(m_byteCounter);
  auto* out = reinterpret_cast<unsigned char*>(m_storage) + start;
  const auto* in = static_cast<const unsigned char*>(data);
  for (int i = 0; i < count; ++i) encodeBigEndian(out + i * elementSize, in + i * elementSize, elementSize);
}

void CMsg::writeInt(int value) {
  const int32_t v = value;
  writeElements(&v, 1, 4);
}

void CMsg::writeFloat(float value) { writeElements(&value, 1, 4); }

void CMsg::writeFloats(const float* values, int count) { writeElements(values, count, 4); }

void CMsg::writeBool(bool value) {
  const unsigned char v = value ? 1 : 0;
  writeElements(&v, 1, 1);
}

void CMsg::writeString(const char* text) { writeElements(text, static_cast<int>(std::strlen(text)) + 1, 1); }

void CMsg::prepareForSending(const char** bytes, int* length) {
  touch(MSG_HEADER_SIZE);
  writeWireU16(m_storage, m_byteCounter);
  *bytes = m_storage;
  *length = m_byteCounter;
}

//---- CMappedMsg ------------------------------------------------------------

void CMappedMsg::setFromBytes(const char* data, int length) {
  PR_ASSERT(data != nullptr && length >= MSG_HEADER_SIZE && length <= MAX_MSG_SIZE);
  mapHeader(data, length);
}
