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

void Press(const TopWindow& w, const std::string& key) {
  Screen().Activate(w.id);
  Screen().Key(key);
  Screen().Settled(w.id, 150, 3000);
}

// Chooses a command that puts a check mark on its item (a mode), until the
// menu shows the mark.
void ChooseMode(WalkTest& t, const TopWindow& w, int command) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    t.Menu(w, command);
    Screen().Settled(w.id, 150, 2000);
    const auto item = t.Running().MenuItem(w.id, command);
    if (item && item->check == 'c') return;
  }
}

// Chooses a command that answers with a message box and closes the box.
void CommandWithMessage(WalkTest& t, const TopWindow& w, int command) {
  const std::size_t from = t.Running().Log().Size();
  t.Menu(w, command);
  if (t.Running().Log().WaitFor("message ", from, 3000) < 0) return;
  Pause(200);
  Screen().Key("Return");
  Screen().Settled(w.id, 150, 2000);
}

// Searches the text window for the text, so that searching on has
// something to look for.
void SearchOnce(WalkTest& t, const TopWindow& w, const std::string& text) {
  const std::size_t from = t.Running().Log().Size();
  t.Menu(w, 353);  // "&Suchen ..."
  auto d = t.Running().WaitDialog("ONEINPUT", from, 3000);
  if (!d) return;
  Screen().Activate(d->window);
  t.Running().SetText(*d, 211, text);
  Pause(100);
  Screen().Key("Return");
  if (!Screen().WaitGone(d->window, 3000)) Screen().Close(d->window);
  Screen().WaitGone(d->window, 2000);
  Screen().Settled(w.id, 150, 2000);
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
  // The window manager shows it again with an animation; its menu answers
  // once that is over.
  for (int attempt = 0; attempt < 3 && !t.Running().Answers(w.id, 2000); ++attempt) Pause(200);
  Screen().Settled(w.id, 150, 3000);
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
                        // A picture to paste: the window's bitmap, taken
                        // before a zoom step so that it differs from what
                        // the window shows when it is pasted.
                        {373, {[](WalkTest& t, TopWindow& w) {
                           CommandWithMessage(t, w, 310);
                           Press(w, "Next");
                         },
                               true}},
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
