// The main frame and its companion windows as the walk visits them.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

const bool registered = [] {
  RegisterWalkKind({"frame", "PLOTMENU", [](WalkTest& t) {
                      t.Start();
                      return t.Frame();
                    }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
