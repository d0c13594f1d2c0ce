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

void Press(const TopWindow& w, const std::string& key) {
  Screen().Activate(w.id);
  Screen().Key(key);
  Screen().Settled(w.id, 150, 3000);
}

void ChooseMode(WalkTest& t, const TopWindow& w, int command) {
  const std::size_t from = t.Running().Log().Size();
  t.Menu(w, command);
  t.Running().WaitCommandDone(w.id, command, from, 3000);
  Screen().Settled(w.id, 150, 2000);
}

void CommandWithMessage(WalkTest& t, const TopWindow& w, int command) {
  const std::size_t from = t.Running().Log().Size();
  t.Menu(w, command);
  if (t.Running().Log().WaitFor("message ", from, 3000) < 0) return;
  // The box has the focus once the window manager has shown it.
  Eventually([&] { return Screen().Active() != w.id && Screen().Active() != 0; }, 2000);
  Screen().Key("Return");
  t.Running().WaitCommandDone(w.id, command, from, 3000);
  Screen().Settled(w.id, 150, 2000);
}

void SearchOnce(WalkTest& t, const TopWindow& w, const std::string& text) {
  const std::size_t from = t.Running().Log().Size();
  t.Menu(w, 353);  // "&Suchen ..."
  auto d = t.Running().WaitDialog("ONEINPUT", from, 3000);
  if (!d) return;
  t.Running().SetText(*d, 211, text);
  Screen().Key("Return");
  Screen().WaitGone(d->window, 3000);
  Screen().Settled(w.id, 150, 2000);
}

WalkSetup PictureInClipboard(const std::string& key) {
  return {[key](WalkTest& t, TopWindow& w) {
            CommandWithMessage(t, w, 310);
            Press(w, key);
          },
          true};
}

}  // namespace kvdisplay
