// The list groups of the cobweb dialog.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "entry/cobweb_dialog.h"

namespace kv {
namespace {

TEST(CobwebHelpers, FindListGroupGivesThePlaceAfterTheNthEnd) {
  const std::vector<std::int16_t> list{201, 202, -1, 203, -1, 301, -1};
  struct Case {
    int n;
    std::size_t at;
  } cases[] = {{-1, 0}, {0, 0}, {1, 3}, {2, 5}, {3, 7}, {4, 7}};
  for (const Case& c : cases) EXPECT_EQ(FindListGroup(list, c.n), c.at) << c.n;
}

}  // namespace
}  // namespace kv
