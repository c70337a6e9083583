// The grader's process pool: each piece of work in a child of its own, so a
// crash, a hang or an exit costs that piece alone and the rest carry on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

#include "grade/ChildPool.h"

namespace {

TEST(ChildPool, ContainsCrashesHangsAndExitsAndCollectsResultsAndOutput) {
  std::map<int, ChildOutcome> outcomes;
  std::vector<int> order;
  runInChildren(
      5, 2, 1.5,
      [](int job) -> std::string {
        switch (job) {
          case 1:
            std::fprintf(stderr, "giving up\n");
            std::abort();
          case 2:
            for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(50));
          case 3:
            std::printf("half done\n");
            std::fflush(stdout);
            _exit(3);
          default:
            std::printf("working on %d\n", job);
            return "result " + std::to_string(job);
        }
      },
      [&](int job, ChildOutcome&& outcome) {
        order.push_back(job);
        outcomes[job] = std::move(outcome);
      });
  ASSERT_EQ(outcomes.size(), 5u);
  for (int job : {0, 4}) {
    EXPECT_EQ(outcomes[job].kind, ChildOutcome::kFinished) << job;
    EXPECT_EQ(outcomes[job].result, "result " + std::to_string(job));
    EXPECT_EQ(outcomes[job].output, "working on " + std::to_string(job) + "\n");
  }
  EXPECT_EQ(outcomes[1].kind, ChildOutcome::kCrashed);
  EXPECT_EQ(outcomes[1].signal, SIGABRT);
  EXPECT_NE(outcomes[1].output.find("giving up\n"), std::string::npos);
  EXPECT_EQ(outcomes[2].kind, ChildOutcome::kTimedOut);
  EXPECT_GE(outcomes[2].wallSeconds, 1.5);
  EXPECT_EQ(outcomes[3].kind, ChildOutcome::kNoResult);
  EXPECT_EQ(outcomes[3].exitStatus, 3);
  EXPECT_EQ(outcomes[3].output, "half done\n");
  EXPECT_EQ(order.back(), 2) << "the others finish while the hung one waits for its limit";
}

}  // namespace
