// The mapping pair, the logarithmic, planet and quiz windows as the walk
// visits them.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

const bool registered = [] {
  RegisterWalkKind({"quiz", "GUESSMENU", [](WalkTest& t) { return OpenFromFrame(t, 404, "Rate meine Gleichung"); }});
  RegisterWalkKind({"domain", "DOM2MENU", [](WalkTest& t) { return OpenFromFrame(t, 405, "Abbildung1.ma2"); }});
  RegisterWalkKind({"range", "RAN2MENU", [](WalkTest& t) { return OpenFromFrame(t, 405, "Wertebereich"); }});
  RegisterWalkKind({"log", "LOGMENU", [](WalkTest& t) { return OpenFromFrame(t, 415, "Unbenannt1.lkv"); }});
  RegisterWalkKind({"planet", "PLOT2MENU", [](WalkTest& t) { return OpenFromFrame(t, 409, "Unbenannt1.kv2"); }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
