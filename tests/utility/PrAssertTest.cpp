#include "utility/PrAssert.h"

#include <gtest/gtest.h>

namespace {

int checkedIndex(int ii, int size) {
  PR_ASSERT(ii >= 0 && ii < size);
  return ii;
}

TEST(PrAssertDeathTest, PrintsTheConditionTextWithFileAndLineAndAborts) {
  EXPECT_EQ(checkedIndex(2, 3), 2);
  EXPECT_DEATH(checkedIndex(3, 3), "Assertion failed: \"ii >= 0 && ii < size\" at .*PrAssertTest.cpp:[0-9]+");
}

}  // namespace
