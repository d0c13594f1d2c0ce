// The 3D window and its companion windows as the walk visits them.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

const bool registered = [] {
  RegisterWalkKind({"3d", "PLOT3MENU", [](WalkTest& t) { return OpenFromFrame(t, 403, "Unbenannt1.kv3"); }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
