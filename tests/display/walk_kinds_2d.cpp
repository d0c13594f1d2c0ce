// The 2D window and its companion windows as the walk visits them.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

const bool registered = [] {
  RegisterWalkKind({"2d", "PLOT2MENU", [](WalkTest& t) { return OpenFixture(t, "walk.kv2", "walk.kv2"); }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
