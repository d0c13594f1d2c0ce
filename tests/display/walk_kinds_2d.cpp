// The 2D window and its companion windows as the walk visits them: the 2D
// window of the file walk.kv2, its Lagrange editor ("Poly&nom ..."), the
// value table ("Ta&bellen ..."), the x(t) window ("&x(t)-Fenster ...") and
// the results window ("&Prüfen ...").
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

constexpr char kFile[] = "walk.kv2";

// The file's window once its first picture (many entries) is drawn.
TopWindow Open2D(WalkTest& t) {
  const TopWindow w = OpenFixture(t, kFile, kFile);
  if (w.id) Screen().Settled(w.id, 300, 8000);
  return w;
}

// The editor swaps the menu bar in place; the event log names a bar only
// when its window is shown or resized, so the window is minimised and shown
// again (as from a task bar) for the log to name the editor's menu.
TopWindow OpenEditor(WalkTest& t) {
  const TopWindow w = OpenByCommand(t, Open2D(t), 913, "Polynom bearbeiten");
  if (!w.id) return w;
  Screen().Iconify(w.id);
  Screen().Activate(w.id);
  Eventually(
      [&] {
        const auto bar = t.Running().MenuBar(w.id);
        return bar && bar->menu == "LAGMENU";
      },
      3000);
  // The window manager shows it again; its menu answers once it stands.
  Screen().Settled(w.id, 300, 5000);
  return w;
}

const bool registered = [] {
  RegisterWalkKind({.name = "2d",
                    .menu = "PLOT2MENU",
                    .open = Open2D,
                    .before = {
                        // "&Wiederherstellen" just emptied the view history:
                        // one zoom step (Bild-auf) to go back from.
                        {111, {[](WalkTest&, TopWindow& w) { Press(w, "Prior"); }}},
                        // Trajectories as mouse mode need an initial-value
                        // dialog; it switches to that mode itself, so the
                        // box zoom is chosen again first.
                        {122, {[](WalkTest& t, TopWindow& w) {
                           t.Menu(w, 780);
                           ChooseMode(t, w, 121);
                         }}},
                        // A picture to paste.
                        {373, PictureInClipboard()},
                        // "&Notizen ..." marked the file changed (the notes
                        // may be edited), and then the question whether to
                        // save the changes would come first: the file again.
                        {307, {[](WalkTest& t, TopWindow& w) { w = Open2D(t); }}},
                        // The drawing mode starts as "&Verdeckend".
                        {891, {[](WalkTest& t, TopWindow& w) { ChooseMode(t, w, 893); }}},
                    }});
  RegisterWalkKind({.name = "lagrange",
                    .menu = "LAGMENU",
                    .open = OpenEditor,
                    .before = {
                        {111, {[](WalkTest&, TopWindow& w) { Press(w, "Prior"); }}},
                    }});
  RegisterWalkKind({.name = "table",
                    .menu = "TABLEMENU",
                    .open = [](WalkTest& t) { return OpenByCommand(t, Open2D(t), 757, "Wertetabelle"); },
                    .before = {
                        {95, {[](WalkTest&, TopWindow& w) { Press(w, "ctrl+a"); }}},
                        {352, {[](WalkTest& t, TopWindow& w) { SearchOnce(t, w, "-3"); }}},
                        // The table opens at its first section.
                        {843, {[](WalkTest&, TopWindow& w) { Press(w, "ctrl+f"); }}},
                    }});
  RegisterWalkKind({.name = "time",
                    .menu = "TXMENU",
                    .open = [](WalkTest& t) { return OpenByCommand(t, Open2D(t), 630, "tx-Fenster"); },
                    .before = {
                        {111, {[](WalkTest&, TopWindow& w) { Press(w, "Prior"); }}},
                        // The box zoom is the mouse mode a window starts with.
                        {121, {[](WalkTest& t, TopWindow& w) { ChooseMode(t, w, 125); }}},
                    }});
  RegisterWalkKind({.name = "data",
                    .menu = "DATAMENU",
                    .open = [](WalkTest& t) { return OpenByCommand(t, Open2D(t), 866, "Daten"); },
                    .before = {
                        {95, {[](WalkTest&, TopWindow& w) { Press(w, "ctrl+a"); }}},
                        {352, {[](WalkTest& t, TopWindow& w) { SearchOnce(t, w, "Null"); }}},
                    }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
