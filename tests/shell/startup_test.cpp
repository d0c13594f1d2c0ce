// The name a second start hands over: made absolute against its own working
// folder, then held to the command line's bound.
#include <gtest/gtest.h>

#include <string>

#include "core/constants.h"
#include "shell/startup.h"

namespace kv {
namespace {

TEST(HandOffName, RelativeNamesBecomeAbsoluteWithinTheBound) {
  struct Case {
    std::string joined, folder, handed;
  };
  const std::string umlaut = "\xc3\xa4";  // two bytes
  const Case cases[] = {
      {"", "/work", ""},
      {"x", "/work", "x"},  // opens nothing, brings the instance to the front
      {"/data/a.kv2", "/work", "/data/a.kv2"},
      {"a.kv2", "/work", "/work/a.kv2"},
      {"a.kv2", "/work/", "/work/a.kv2"},
      {"a.kv2", "/", "/a.kv2"},
      {"../a b.kv2", "/work", "/work/../a b.kv2"},
      {"a.kv2", "", ""},  // no working folder known: nothing that could open another file
      {"a.kv2", "work", ""},
      {std::string(250, 'a'), "/work", "/work/" + std::string(249, 'a')},
      {std::string(248, 'a') + umlaut + "b", "/work", "/work/" + std::string(248, 'a')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.joined + " in " + c.folder);
    const std::string handed = HandOffName(c.joined, c.folder);
    EXPECT_EQ(handed, c.handed);
    EXPECT_LE(handed.size(), kMaxCommandLine);
  }
}

}  // namespace
}  // namespace kv
