#include "walk_kinds.h"

namespace kvdisplay {

std::vector<WalkKind>& WalkKinds() {
  static std::vector<WalkKind> kinds;
  return kinds;
}

bool RegisterWalkKind(WalkKind kind) {
  WalkKinds().push_back(std::move(kind));
  return true;
}

TopWindow OpenFromFrame(WalkTest& t, int command, const std::string& caption) {
  t.Start();
  t.Menu(t.Frame(), command);
  return t.Window(caption);
}

TopWindow OpenFixture(WalkTest& t, const std::string& file, const std::string& caption) {
  t.Start({FixtureCopy(file)});
  return t.Window(caption);
}

TopWindow OpenByCommand(WalkTest& t, const TopWindow& w, int command, const std::string& caption) {
  if (!w.id) return {};
  t.Menu(w, command);
  return t.Window(caption);
}

}  // namespace kvdisplay
