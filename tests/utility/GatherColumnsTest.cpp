// Naming and choosing the columns of gather rows.
#include "utility/GatherColumns.h"

#include <gtest/gtest.h>

namespace {

const GatherShape kQuaternionArm{6, 7, 6, {"x", "y", "z", "w", "vx", "vy", "vz"}};
const GatherShape kOneJoint{1, 3, 3, {"x", "y", "alpha"}};

TEST(GatherColumns, NamesFollowTheServosGatherList) {
  const auto names = gatherColumnNames(kOneJoint);
  EXPECT_EQ(names, (std::vector<std::string>{"time", "q1", "dq1", "qd1", "x1", "x2", "x3", "dx1", "dx2",
                                             "dx3", "xd1", "xd2", "xd3"}));
  EXPECT_EQ(static_cast<int>(names.size()), kOneJoint.width());
  const auto labels = gatherColumnLabels(kOneJoint);
  EXPECT_EQ(labels[6], "x3 (alpha)");
  EXPECT_EQ(labels[7], "dx1");
  EXPECT_EQ(labels[12], "xd3 (alpha)");
  EXPECT_EQ(gatherColumnNames(kQuaternionArm).size(), 39u);
}

TEST(GatherColumns, SelectionGroupsByQuantityInTheOrderNamed) {
  GatherSelection s;
  std::string error;
  ASSERT_TRUE(selectGatherColumns(kQuaternionArm, "xd2,q3,q,xd2", s, error));
  ASSERT_EQ(s.groups.size(), 2u);
  EXPECT_EQ(s.groups[0].quantity, "xd");
  EXPECT_EQ(s.groups[0].columns, (std::vector<int>{33}));  // 1 + 18 + 7 + 6, then the second
  EXPECT_EQ(s.groups[1].quantity, "q");
  EXPECT_EQ(s.groups[1].columns, (std::vector<int>{3, 1, 2, 4, 5, 6}));  // q3 first, no repeat

  ASSERT_TRUE(selectGatherColumns(kQuaternionArm, "", s, error));
  ASSERT_EQ(s.groups.size(), 6u);
  EXPECT_EQ(s.groups[3].quantity, "x");
  EXPECT_EQ(s.groups[3].columns.front(), 19);
  EXPECT_EQ(s.groups[4].columns.size(), 6u);  // dx has the rate's size
}

TEST(GatherColumns, UnknownEntriesAreNamed) {
  GatherSelection s;
  for (const char* bad : {"q7", "q0", "q01", "tau", "x8", "dq-1", "time"}) {
    std::string error;
    const std::string list = std::string("q,") + bad;
    EXPECT_FALSE(selectGatherColumns(kQuaternionArm, list, s, error)) << bad;
    EXPECT_EQ(error, bad);
  }
  std::string error;
  EXPECT_FALSE(selectGatherColumns(kOneJoint, "q2", s, error));
  EXPECT_EQ(error, "q2");
}

}  // namespace
