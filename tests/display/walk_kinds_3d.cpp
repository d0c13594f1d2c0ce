// The 3D window and its companion windows as the walk visits them.
#include <optional>

#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

// Waits for a dialog of the template (logged at or after `from`) to stand
// on the screen, active.
std::optional<LoggedDialog> ShownDialog(Program& p, const std::string& name, std::size_t from) {
  auto d = p.WaitDialog(name, from, 5000);
  if (!d || !Screen().WaitFor(d->caption, 3000).id) return std::nullopt;
  Screen().Activate(d->window);
  Settled(d->window);
  return d;
}

// Clicks the first line of a list box in a dialog; true once the program
// logs it selected.
bool ClickFirstLine(Program& p, const LoggedDialog& d, int list) {
  const LoggedControl* c = d.Find(list);
  if (!c) return false;
  int px = c->rect.x + 30, py = c->rect.y + 8;
  Screen().ToScreen(d.window, px, py);
  Screen().Click(px, py);
  return p.WaitSelection(d.window, list, "0", 3000);
}

// The level window: in the inventory (Strg+I) the explicit surface, the
// first line, is chosen and "Höhen" opens its level dialog; "Auto" draws
// five levels into the level window, and "Alles" shows them all.
TopWindow OpenLevelWindow(WalkTest& t) {
  const TopWindow w = OpenFixture(t, "walk.kv3", "walk.kv3");
  if (!w.id) return {};
  Program& p = t.Running();
  std::size_t from = p.Log().Size();
  Screen().Key("ctrl+i");
  const auto inventory = ShownDialog(p, "INVENT", from);
  if (!inventory) return {};
  if (!ClickFirstLine(p, *inventory, 293)) return {};
  from = p.Log().Size();
  p.ClickControl(*inventory, 797);  // "Höhen"
  const auto levels = ShownDialog(p, "LEVELS", from);
  if (!levels) return {};
  p.SetText(*levels, 212, "5");
  p.ClickControl(*levels, 844);  // "Auto"
  const TopWindow level = Screen().WaitFor("Höhen.kv3", 10000);
  if (!level.id) return {};
  // The level window may cover the dialog.
  Settled(level.id);
  Screen().Activate(levels->window);
  p.ClickControl(*levels, 779);  // "Alles"
  Settled(level.id);
  return t.Window("Höhen.kv3");
}

// The stereogram window: "Stereogramm (RDS) ..." opens its dialog; the
// first surface is chosen and drawn.
TopWindow OpenStereogramWindow(WalkTest& t) {
  const TopWindow w = OpenFixture(t, "walk.kv3", "walk.kv3");
  if (!w.id) return {};
  Program& p = t.Running();
  const std::size_t from = p.Log().Size();
  t.Menu(w, 783);
  const auto rds = ShownDialog(p, "RDS", from);
  if (!rds) return {};
  if (!ClickFirstLine(p, *rds, 293)) return {};
  p.ClickControl(*rds, 91);  // "Zeichnen"
  return t.Window("Stereogramm", 10000);
}

// "E&xtras" of the 3D window: the mouse mode "Bahnkurven" is offered while
// the "DGL Kurve" dialog is open; the mouse goes back to coordinates, so
// that choosing "Bahnkurven" shows.
void OpenTrajectoryDialog(WalkTest& t, const TopWindow& w) {
  Program& p = t.Running();
  const std::size_t from = p.Log().Size();
  t.Menu(w, 780);  // "&DGL Kurve ..."
  if (!ShownDialog(p, "IVP10", from)) return;
  Screen().Activate(w.id);
  t.Menu(w, 125);  // "&Zentrieren (R)"
}

// "&Extras" of the level window: a text to delete, written in text mode
// with the right button.
void WriteLevelText(WalkTest& t, const TopWindow& w) {
  Program& p = t.Running();
  t.Menu(w, 123);  // "&Text"
  const std::size_t from = p.Log().Size();
  int x = w.rect.w / 4, y = w.rect.h - 40;
  Screen().ToScreen(w.id, x, y);
  Screen().Click(x, y, 3);
  const auto text = ShownDialog(p, "NEWTEXT", from);
  if (!text) return;
  p.SetText(*text, 211, "Niveau");
  Screen().Key("Return");
  Screen().WaitGone(text->window, 3000);
  Screen().Activate(w.id);
  Settled(w.id);
}

const bool registered = [] {
  RegisterWalkKind({.name = "3d",
                    .menu = "PLOT3MENU",
                    .open = [](WalkTest& t) { return OpenFixture(t, "walk.kv3", "walk.kv3"); },
                    .enabled = {{373, PictureInClipboard("Right")}}});
  RegisterWalkKind({"level", "LEVELMENU", OpenLevelWindow});
  RegisterWalkKind({"stereogram", "RDSMENU", OpenStereogramWindow});
  RegisterWalkPreparation("3d", "E&xtras", OpenTrajectoryDialog);
  RegisterWalkPreparation("level", "&Extras", WriteLevelText);
  return true;
}();

}  // namespace
}  // namespace kvdisplay
