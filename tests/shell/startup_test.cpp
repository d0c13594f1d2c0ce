// The name a second start hands over: made absolute against its own working
// folder, and whole.
#include <gtest/gtest.h>

#include <string>

#include "shell/startup.h"

namespace kv {
namespace {

TEST(HandOffName, RelativeNamesBecomeAbsoluteAndStayWhole) {
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
      // Whole however long: a name cut short could be another file.
      {std::string(250, 'a'), "/work", "/work/" + std::string(250, 'a')},
      {std::string(248, 'a') + umlaut + "b", "/work", "/work/" + std::string(248, 'a') + umlaut + "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.joined + " in " + c.folder);
    EXPECT_EQ(HandOffName(c.joined, c.folder), c.handed);
  }
}

}  // namespace
}  // namespace kv
