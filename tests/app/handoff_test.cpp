// Two real processes: a second start hands its file name to the running
// instance and exits.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/program_process.h"
#include "support/test_env.h"

namespace {

pid_t Start(const std::string& home, const std::string& log, const std::vector<std::string>& args) {
  return kvtest::StartProgram(home, log, args);
}

using kvtest::ReadAll;
using kvtest::WaitExit;
using kvtest::WaitFor;

TEST(HandOff, SecondStartHandsItsFileToTheFirstAndExits) {
  std::string home = kvtest::MakeTempDir("handoff-home");
  std::string firstLog = home + "first.log";
  std::string secondLog = home + "second.log";
  pid_t first = Start(home, firstLog, {});
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << "first instance did not start";

  // A path with blanks given as two arguments is joined with one blank.
  pid_t second = Start(home, secondLog, {home + "my", "curve.kv3"});
  EXPECT_EQ(WaitExit(second, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv3|" + home + "my curve.kv3", 5000)) << ReadAll(firstLog);
  EXPECT_EQ(ReadAll(secondLog), "") << "the second start made no frame";

  // A one-character argument only brings the first instance to the front.
  pid_t third = Start(home, secondLog, {"x"});
  EXPECT_EQ(WaitExit(third, 20000), 0);
  pid_t fourth = Start(home, secondLog, {home + "b.kv2"});
  EXPECT_EQ(WaitExit(fourth, 20000), 0);
  ASSERT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|", 5000));
  std::string log = ReadAll(firstLog);
  EXPECT_EQ(log.find("|x"), std::string::npos) << log;

  kill(first, SIGTERM);
  WaitExit(first, 5000);
}

}  // namespace
