// The window kinds the menu walk visits, each with how a user gets such a
// window (a recipe of real input: start the program with a file, choose a
// command).  Each window family registers its kinds from its own file
// (walk_kinds_*.cpp); the expected effects of a kind's commands are in
// walk/<kind>.txt.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "display_test.h"

namespace kvdisplay {

class WalkTest : public DisplayTest {
 public:
  using DisplayTest::ChooseInFileDialog;
  using DisplayTest::Frame;
  using DisplayTest::Menu;
  using DisplayTest::New2D;
  using DisplayTest::Start;
  using DisplayTest::Window;
  Program& Running() { return *program_; }
};

// What a user does just before one command so that the command has
// something to act on (a previous view for "&Letztes Fenster", a picture in
// the clipboard for pasting it, the file opened again after "&Neu").  It
// runs before the walk looks at the screen and may replace the walked
// window; keepClipboard leaves the clipboard as the step filled it.
struct WalkSetup {
  std::function<void(WalkTest&, TopWindow&)> run;
  bool keepClipboard = false;
};

struct WalkKind {
  std::string name;  // also the name of its expected-effects file
  std::string menu;  // the menu resource the window shows
  // Starts the program afresh and returns the window, active, with its
  // menu bar shown.
  std::function<TopWindow(WalkTest&)> open;
  // Only these top-level menus are walked (all when empty): a second kind
  // of the same window walks only the menus where it differs.
  std::vector<std::string> popups = {};
  // Steps before single commands, by command id.
  std::map<int, WalkSetup> before = {};
  // Commands that the walk itself leaves greyed (an emptied clipboard, a
  // view history just emptied): after their greyed walk these steps bring
  // them into the state where they are enabled, and they are walked again
  // (their effect listed as "<kind>+ <id>").
  std::map<int, WalkSetup> enabled = {};
};

std::vector<WalkKind>& WalkKinds();
bool RegisterWalkKind(WalkKind kind);

// Steps a kind takes, with its window open, before one of its top-level
// menus is walked: what only that menu's commands need (for example a tool
// dialog whose mouse mode the menu offers), as real input.
using WalkPreparation = std::function<void(WalkTest&, const TopWindow&)>;
bool RegisterWalkPreparation(const std::string& kind, const std::string& popup, WalkPreparation prepare);
// Runs the preparation registered for the kind's menu, if any.
void PrepareWalk(WalkTest& t, const std::string& kind, const std::string& popup, const TopWindow& w);

// Recipe steps.
// Starts the program and chooses a command of the frame's menu; the window
// whose caption starts with `caption`.
TopWindow OpenFromFrame(WalkTest& t, int command, const std::string& caption);
// Starts the program with a copy of the fixture file; its window.
TopWindow OpenFixture(WalkTest& t, const std::string& file, const std::string& caption);
// Chooses a command of window w's menu; the window (e.g. a companion) whose
// caption starts with `caption`.
TopWindow OpenByCommand(WalkTest& t, const TopWindow& w, int command, const std::string& caption);
// Presses the key in window w and waits for its picture to stand still.
void Press(const TopWindow& w, const std::string& key);
// Chooses a command that puts a check mark on its item (a mode), once, and
// waits until the program has run it.
void ChooseMode(WalkTest& t, const TopWindow& w, int command);
// Chooses a command that answers with a message box and closes the box.
void CommandWithMessage(WalkTest& t, const TopWindow& w, int command);
// Searches the text window for the text, so that searching on has
// something to look for.
void SearchOnce(WalkTest& t, const TopWindow& w, const std::string& text);
// The steps that put a picture into the clipboard: the window's bitmap
// ("Bitmap &in Ablage"), taken before the key changes the view, so that it
// differs from what the window shows when it is pasted.
WalkSetup PictureInClipboard(const std::string& key = "Next");

}  // namespace kvdisplay
