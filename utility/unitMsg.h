// Message records exchanged between the user-interface side and the servo side.
//
// One message is a self-describing byte record, identical in a queue and on a
// socket, so it is never re-encoded:
//
//   offset 0  u16  total length in bytes, header included (4 .. MAX_MSG_SIZE)
//   offset 2  u16  type code (UiMsgType or ServoMsgType, by direction)
//   offset 4  ...  body: untagged items in the order they were written
//
// Items are big-endian: 1-, 2- and 4-byte elements as such (floats as their
// IEEE single bit pattern), 8-byte elements as two big-endian 32-bit words,
// low word first; a bool is one byte (any non-zero byte reads as true); a
// string is its characters and one NUL.
//
// CMsg owns its buffer and is written by senders; CMappedMsg is laid over
// bytes held by a queue or a socket stream and is only read.
//
// Reading is bounded by the message's own length, because mapped bytes may
// come from a socket: items (or the parts of an item) beyond the end read as
// zeros and set the sticky truncated() flag, so a receiver can reject a short
// body with a message instead of using bytes that belong to someone else.
// Strings are read with readString(), which stops at the message's end and
// always NUL-terminates. Writing past MAX_MSG_SIZE is a programming error and
// a fatal assertion, checked before any byte beyond the buffer is touched.
#pragma once

#include <cstdint>

constexpr int MAX_MSG_SIZE = 8192;
constexpr int MSG_HEADER_SIZE = 4;

// Requests, user interface to servo. "dest" in the bodies is the reply
// destination: 0 print on the servo side, 1 data message (remote link when
// there is one, else the local queue), 2 data message through the local queue.
enum UiMsgType {
  UI_Q = 0,                      // int dest
  UI_DQ = 1,                     // int dest
  UI_TAU = 2,                    // int dest
  UI_MSI = 3,                    // int dest
  UI_EMASS = 4,                  // int dest
  UI_ACC_LIMIT = 5,              // int dest
  UI_SFORCE_LIMIT = 6,           // int dest
  UI_X = 7,                      // int dest
  UI_FORCES = 8,                 // int dest
  UI_CURTIME = 9,                // int dest
  UI_KJ = 10,                    // int dest
  UI_KP = 11,                    // int dest
  UI_KV = 12,                    // int dest
  UI_CMODE = 13,                 // int dest
  UI_DEBUG = 14,                 // int dest
  UI_START_GATHER = 15,          // string file name (at most 127 characters)
  UI_STOP_GATHER = 16,           // none
  UI_SET_CONTACT_POINT = 17,     // int link, float[3] point, float[dof] joint positions
  UI_APPLY_CONTACT_FORCE = 18,   // float[3] spring target point (world frame, m)
  UI_REMOVE_CONTACT_FORCE = 19,  // none
  UI_GRIPPER = 20,               // int value
  UI_CONTROL_MODE = 21,          // int mode, then the mode's goal values
  UI_CONSTANT = 22,              // int constant type, then its values
  UI_RESET = 23,                 // none
  UI_QUIT = 24,                  // none
  UI_RELOAD = 25,                // none: load control.dll afresh
  UI_ADVANCE = 26,               // int dest, int ticks, int sequence: answer after that many more ticks
  UI_SCOPE = 27,                 // int on: SERVO_SCOPE to this peer (the link's relay answers it itself)
};
constexpr int UI_MSG_TYPE_COUNT = 28;

// Replies and notices, servo to user interface. Codes 0 to 9 answer the
// request with the same code.
enum ServoMsgType {
  SERVO_Q = 0,              // float[dof] joint positions
  SERVO_DQ = 1,             // float[dof] joint velocities
  SERVO_TAU = 2,            // float[dof] torques
  SERVO_MSI = 3,            // float[1026]
  SERVO_EMASS = 4,          // float[12]
  SERVO_ACC_LIMIT = 5,      // float[3 * 2^dof]
  SERVO_SFORCE_LIMIT = 6,   // float[3 * 2^dof]
  SERVO_X = 7,              // float[number of configuration parameters]
  SERVO_FORCES = 8,         // float[6]
  SERVO_CURTIME = 9,        // float time
  SERVO_START_GATHER = 10,  // string file name
  SERVO_STOP_GATHER = 11,   // none
  SERVO_GATHER_DATA = 12,   // int n, float time, then n - 1 floats
  SERVO_TEXT = 13,          // string
  SERVO_GAINS = 14,         // int mode, int n, float[n] kp, float[n] kv
  SERVO_CONFIG = 15,        // the configuration record
  SERVO_ADVANCED = 16,      // int sequence, float time: the UI_ADVANCE of that sequence has run
  SERVO_SCOPE = 17,         // scope samples of consecutive ticks (servo/ScopeMessage.h), over the link only
};
constexpr int SERVO_MSG_TYPE_COUNT = 18;

class AMsg {
 public:
  // Points the record at length bytes of one encoded message.
  virtual void setFromBytes(const char* data, int length) = 0;

  int getType() const { return m_type; }
  int length() const { return m_bufferLength; }
  int position() const { return m_byteCounter; }
  // The record's first byte (for a mapped record: inside the queue or stream).
  const char* data() const { return m_buffer; }
  // True once any read ran past the end of the message; stays set until the
  // record is cleared or mapped again.
  bool truncated() const { return m_truncated; }

  // Generic reader for element sizes 1, 2, 4 and 8: decodes count elements
  // into destination and advances the position.
  void readElements(void* destination, int count, int elementSize);
  int readInt();
  float readFloat();
  bool readBool();
  void readInts(int* destination, int count);
  void readFloats(float* destination, int count);
  void readBytes(char* destination, int count);
  // Reads one string item into destination (capacity bytes, NUL included).
  // Stops at the item's NUL or the message's end and always NUL-terminates;
  // the position moves past the whole item. Returns false when the item was
  // cut (too long for destination, or no NUL before the message's end).
  bool readString(char* destination, int capacity);

 protected:
  AMsg(int bufferLength, const char* buffer, bool writable)
      : m_bufferLength(bufferLength), m_buffer(buffer), m_fBuffer(writable) {}
  AMsg(const AMsg&) = default;
  AMsg& operator=(const AMsg&) = default;
  ~AMsg() = default;  // never deleted through the base

  // Takes the type from bytes 2-3 of length bytes at data and rewinds.
  void mapHeader(const char* data, int length);

  int m_bufferLength;                   // MAX_MSG_SIZE when owned, else the mapped length
  int m_byteCounter = MSG_HEADER_SIZE;  // read or write position from the record's start
  int m_wordOrder = 1;                  // 8-byte elements: low word first
  int m_type = -1;
  const char* m_buffer;
  bool m_fBuffer;  // writable (owned buffer)
  bool m_truncated = false;
};

class CMsg : public AMsg {
 public:
  CMsg();
  // The record points into itself: copying would have to re-point it, and
  // senders keep one record per kind of message anyway.
  CMsg(const CMsg&) = delete;
  CMsg& operator=(const CMsg&) = delete;

  // Copies the bytes into the own buffer.
  void setFromBytes(const char* data, int length) override;

  // Zeroes the buffer and rewinds to just after the header.
  void clear();
  void setType(int code);

  // Generic writer for element sizes 1, 2, 4 and 8.
  void writeElements(const void* data, int count, int elementSize);
  void writeInt(int value);
  void writeFloat(float value);
  void writeFloats(const float* values, int count);
  void writeBool(bool value);
  void writeString(const char* text);

  // Stamps the current position as the length field and yields the bytes.
  void prepareForSending(const char** bytes, int* length);

 private:
  void touch(int end) { m_dirtyEnd = end > m_dirtyEnd ? end : m_dirtyEnd; }

  // Bytes at and beyond m_dirtyEnd are zero, so clear() only zeroes what was
  // used: senders clear before every message, also on the servo's hot path.
  int m_dirtyEnd = 0;
  char m_storage[MAX_MSG_SIZE];
};

class CMappedMsg : public AMsg {
 public:
  CMappedMsg() : AMsg(0, nullptr, false) {}
  // Does not copy: the record is valid only while the holder of the bytes
  // (a queue or a socket stream) has not reused them.
  void setFromBytes(const char* data, int length) override;
};

// Big-endian 16-bit field at bytes[0..1].
inline int readWireU16(const char* bytes) {
  return (static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]);
}
inline void writeWireU16(char* bytes, int value) {
  bytes[0] = static_cast<char>((value >> 8) & 0xFF);
  bytes[1] = static_cast<char>(value & 0xFF);
}
