#include <gtest/gtest.h>

#include "app/JointLimitCheck.h"
#include "matrix/PrVector.h"

namespace {

TEST(JointLimitCheck, BoundsAreInclusiveAndTheFirstOffenderIsPrinted) {
  const float lo[] = {-10, -20, -30};
  const float hi[] = {10, 20, 30};
  const PrVector qmin(lo, 3), qmax(hi, 3);
  const float edge[] = {-10, 20, 0};
  EXPECT_TRUE(withinJointLimits(PrVector(edge, 3), qmin, qmax));

  const float outside[] = {0, 25, 40};
  testing::internal::CaptureStdout();  // no agent: console text goes to standard output
  EXPECT_FALSE(withinJointLimits(PrVector(outside, 3), qmin, qmax));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "joint 1 pos = 25.000000\n");
}

TEST(JointLimitCheckDeathTest, SizesMustAgree) {
  const PrVector three(3), two(2);
  EXPECT_DEATH(withinJointLimits(three, three, two),
               "pos.size\\(\\) == qmin.size\\(\\) && pos.size\\(\\) == qmax.size\\(\\)");
}

}  // namespace
