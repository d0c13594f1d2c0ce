// The single-instance channel within one process: a listener that answers,
// and one that never gets to answer (its event loop is busy).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/instance.h"

namespace {

TEST(SingleInstance, NoRunningInstanceMeansNoHandOff) {
  plat::StopListeningForHandOffs();
  EXPECT_FALSE(plat::HandOffToRunningInstance("a.kv2", 500));
}

TEST(SingleInstance, AnInstanceThatDoesNotAnswerIsGivenUpOnInTime) {
  std::vector<std::string> received;
  ASSERT_TRUE(plat::ListenForHandOffs([&](const std::string& s) { received.push_back(s); }));
  // This thread never returns to the event loop while it waits, so the
  // listener cannot acknowledge: the hand-off must give up, not hang.
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(plat::HandOffToRunningInstance("b.kv2", 700));
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 3000);
  plat::StopListeningForHandOffs();
}

}  // namespace
