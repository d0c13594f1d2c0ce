// The main frame and the windows its menu "&Fenster" makes, as the walk
// visits them.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

const bool registered = [] {
  RegisterWalkKind({"frame", "PLOTMENU", [](WalkTest& t) {
                      t.Start();
                      return t.Frame();
                    }});
  RegisterWalkKind({"2d", "PLOT2MENU", [](WalkTest& t) { return OpenFixture(t, "walk.kv2", "walk.kv2"); }});
  RegisterWalkKind({"3d", "PLOT3MENU", [](WalkTest& t) { return OpenFromFrame(t, 403, "Unbenannt1.kv3"); }});
  RegisterWalkKind({"quiz", "GUESSMENU", [](WalkTest& t) { return OpenFromFrame(t, 404, "Rate meine Gleichung"); }});
  RegisterWalkKind({"domain", "DOM2MENU", [](WalkTest& t) { return OpenFromFrame(t, 405, "Abbildung1.ma2"); }});
  RegisterWalkKind({"range", "RAN2MENU", [](WalkTest& t) { return OpenFromFrame(t, 405, "Wertebereich"); }});
  RegisterWalkKind({"log", "LOGMENU", [](WalkTest& t) { return OpenFromFrame(t, 415, "Unbenannt1.lkv"); }});
  RegisterWalkKind({"planet", "PLOT2MENU", [](WalkTest& t) { return OpenFromFrame(t, 409, "Unbenannt1.kv2"); }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
