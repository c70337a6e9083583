#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "utility/MesgQueue.h"

namespace {

// A message of exactly `size` bytes whose body is a sequence number followed
// by a fill pattern derived from it.
class SizedMessage {
 public:
  SizedMessage(int size, int seq) {
    msg.setType(SERVO_X);
    msg.writeInt(seq);
    const int fill = size - 8;
    std::vector<char> pattern(fill > 0 ? fill : 0);
    for (int i = 0; i < fill; ++i) pattern[i] = static_cast<char>(seq * 7 + i);
    msg.writeElements(pattern.data(), fill, 1);
  }
  CMsg msg;
};

bool writeSized(MesgQueue& q, int size, int seq) {
  SizedMessage m(size, seq);
  return q.write(m.msg);
}

// Reads one message and checks it is the expected one, intact.
void expectSized(MesgQueue& q, int size, int seq) {
  ASSERT_TRUE(q.hasData());
  CMappedMsg m = q.read();
  ASSERT_EQ(m.length(), size);
  ASSERT_EQ(m.readInt(), seq);
  for (int i = 0; i < size - 8; ++i) {
    char c;
    m.readBytes(&c, 1);
    ASSERT_EQ(c, static_cast<char>(seq * 7 + i)) << "message " << seq << " byte " << i;
  }
}

class MesgQueueTest : public ::testing::Test {
 protected:
  std::unique_ptr<MesgQueue> q = std::make_unique<MesgQueue>(7);
  // Offset of a mapped message inside the ring.
  long offsetOf(const CMappedMsg& m, const CMappedMsg& first) { return m.data() - first.data(); }
};

TEST_F(MesgQueueTest, EmptyThenOneBodilessMessageThenEmpty) {
  EXPECT_FALSE(q->hasData());
  CMsg msg;
  msg.setType(UI_RESET);
  ASSERT_TRUE(q->write(msg));
  ASSERT_TRUE(q->hasData());
  CMappedMsg m = q->read();
  EXPECT_EQ(m.getType(), UI_RESET);
  EXPECT_EQ(m.length(), 4);
  EXPECT_FALSE(q->hasData());
}

TEST_F(MesgQueueTest, ExactFitNeedsNoMarkerAndNextMessageStartsAtZero) {
  // 99 messages of 5000 bytes leave exactly 5000 before the end.
  CMappedMsg first;
  for (int i = 0; i < 99; ++i) {
    ASSERT_TRUE(writeSized(*q, 5000, i));
    if (i == 0)
      first = q->read();
    else
      expectSized(*q, 5000, i);
  }
  ASSERT_TRUE(writeSized(*q, 5000, 99));
  CMappedMsg last = q->read();
  EXPECT_EQ(offsetOf(last, first), QUEUE_SIZE - 5000);
  ASSERT_TRUE(writeSized(*q, 100, 100));
  CMappedMsg wrapped = q->read();
  EXPECT_EQ(offsetOf(wrapped, first), 0);
  EXPECT_EQ(wrapped.length(), 100);
}

TEST_F(MesgQueueTest, MessageThatDoesNotFitIsStoredAtZeroBehindAMarker) {
  CMappedMsg first;
  for (int i = 0; i < 99; ++i) {
    ASSERT_TRUE(writeSized(*q, 5000, i));
    if (i == 0)
      first = q->read();
    else
      expectSized(*q, 5000, i);
  }
  ASSERT_TRUE(writeSized(*q, 3000, 99));  // 2000 bytes left at the end
  ASSERT_TRUE(writeSized(*q, 2500, 100));
  expectSized(*q, 3000, 99);
  ASSERT_TRUE(q->hasData());
  CMappedMsg m = q->read();
  EXPECT_EQ(offsetOf(m, first), 0);
  EXPECT_EQ(m.length(), 2500);
  EXPECT_EQ(m.readInt(), 100);
  EXPECT_FALSE(q->hasData());
}

TEST_F(MesgQueueTest, OverflowIsRefusedAndCountedAndEverythingAcceptedArrives) {
  testing::internal::CaptureStderr();
  int accepted = 0;
  while (writeSized(*q, 1000, accepted)) ++accepted;
  EXPECT_FALSE(writeSized(*q, 1000, -1));
  const std::string report = testing::internal::GetCapturedStderr();
  // A 1000-byte message may not end exactly on the read position.
  EXPECT_EQ(accepted, QUEUE_SIZE / 1000 - 1);
  EXPECT_EQ(q->refusedWrites(), 2);
  // One report for the burst, not one per refused message.
  EXPECT_NE(report.find("queue 7 full"), std::string::npos);
  EXPECT_EQ(report.find("full", report.find("full") + 1), std::string::npos);

  for (int i = 0; i < accepted; ++i) expectSized(*q, 1000, i);
  EXPECT_FALSE(q->hasData());
  testing::internal::CaptureStderr();
  EXPECT_TRUE(writeSized(*q, 1000, accepted));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("after refusing 2"), std::string::npos);
  expectSized(*q, 1000, accepted);
}

TEST_F(MesgQueueTest, WriteLandingExactlyOnTheReadPositionIsRefused) {
  // The reader holds the message at 0; a ring filled up to exactly 500000
  // would look empty.
  testing::internal::CaptureStderr();
  for (int i = 0; i < 99; ++i) ASSERT_TRUE(writeSized(*q, 5000, i));
  EXPECT_FALSE(writeSized(*q, 5000, 99));
  testing::internal::GetCapturedStderr();
  // A read message stays protected until the next read, so the space at 0
  // only comes free once the second message is read.
  expectSized(*q, 5000, 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(writeSized(*q, 5000, 99));
  testing::internal::GetCapturedStderr();
  expectSized(*q, 5000, 1);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(writeSized(*q, 5000, 99));
  testing::internal::GetCapturedStderr();
  for (int i = 2; i < 100; ++i) expectSized(*q, 5000, i);
  EXPECT_FALSE(q->hasData());
}

TEST_F(MesgQueueTest, WrappingWriterNeverCoversUnreadDataAtTheStart) {
  // Reader in the last 1000 bytes of the ring, writer wrapped and nearly
  // round again: a message too big for the space before the reader must be
  // refused, not written at 0 over unread messages.
  for (int i = 0; i < 99; ++i) ASSERT_TRUE(writeSized(*q, 5000, i));
  for (int i = 0; i < 99; ++i) expectSized(*q, 5000, i);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(writeSized(*q, 1000, 99 + i));
  for (int i = 0; i < 4; ++i) expectSized(*q, 1000, 99 + i);
  expectSized(*q, 1000, 103);  // held: the reader is at 499000
  int seq = 104;
  for (int i = 0; i < 99; ++i) ASSERT_TRUE(writeSized(*q, 5000, seq++));
  ASSERT_TRUE(writeSized(*q, 1000, seq++));  // writer at 496000
  testing::internal::CaptureStderr();
  EXPECT_FALSE(writeSized(*q, 8000, -1));
  testing::internal::GetCapturedStderr();
  for (int s = 104; s < 203; ++s) expectSized(*q, 5000, s);
  expectSized(*q, 1000, 203);
  EXPECT_FALSE(q->hasData());
}

TEST(MesgQueueRegistry, SameIdentifierSameQueueAndAThirdEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  MesgQueue* a = MesgQueue::getCollection(0);
  EXPECT_EQ(MesgQueue::getCollection(0), a);
  MesgQueue* b = MesgQueue::getCollection(1);
  EXPECT_NE(a, b);
  EXPECT_EQ(b->id(), 1);
  EXPECT_EXIT(MesgQueue::getCollection(2), testing::ExitedWithCode(255),
              "No more MsgQueue collections available");
  MesgQueue::releaseAllCollections();
}

TEST(MesgQueueDeathTest, ReadingAnEmptyQueueIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  MesgQueue q(3);
  EXPECT_DEATH(q.read(), "effecReadIndex != writeIndex%QUEUE_SIZE");
}

}  // namespace
