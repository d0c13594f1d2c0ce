#include "walk_kinds.h"

#include <map>
#include <utility>

namespace kvdisplay {

std::vector<WalkKind>& WalkKinds() {
  static std::vector<WalkKind> kinds;
  return kinds;
}

bool RegisterWalkKind(WalkKind kind) {
  WalkKinds().push_back(std::move(kind));
  return true;
}

namespace {

std::map<std::pair<std::string, std::string>, WalkPreparation>& Preparations() {
  static std::map<std::pair<std::string, std::string>, WalkPreparation> p;
  return p;
}

}  // namespace

bool RegisterWalkPreparation(const std::string& kind, const std::string& popup, WalkPreparation prepare) {
  Preparations()[{kind, popup}] = std::move(prepare);
  return true;
}

void PrepareWalk(WalkTest& t, const std::string& kind, const std::string& popup, const TopWindow& w) {
  const auto it = Preparations().find({kind, popup});
  if (it != Preparations().end() && w.id) it->second(t, w);
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
