// Shared pieces of the display tests: one X session per test process, the
// program started on it, and waiting for what a user would wait for.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "program_ui.h"
#include "x_session.h"

namespace kvdisplay {

// The process's display (Xvfb with openbox), started on first use.
XSession& Screen();

// Waits for the condition, checking every 20 ms, up to ms stretched for a busy machine (Patient).
bool Eventually(const std::function<bool()>& condition, int ms);
// Watches for the condition for exactly ms, unstretched: a time that measures, not a wait.
bool WithinMs(const std::function<bool()>& condition, int ms);
// The same up to ms after the moment `since` (NowMs), the user's key or click that the promise is
// measured from: the condition must hold before that time is up.
bool WithinMsOf(std::int64_t since, const std::function<bool()>& condition, int ms);

// Waits until the window's pixels have not changed for `quiet` ms (at most
// ms in all, stretched for a busy machine); the last capture.
inline Image Settled(unsigned long window, int quiet = 150, int ms = 3000) {
  return Screen().Settled(window, quiet, ms);
}
// The same as a check: true once the window's pixels stood still for `quiet` ms within ms (stretched).
inline bool StandsStill(unsigned long window, int quiet = 150, int ms = 3000) {
  bool settled = false;
  Screen().Settled(window, quiet, ms, &settled);
  return settled;
}

// The folder of the test fixtures (plot files) and a copy of one of them in
// a fresh folder, so that saving cannot change the original.
std::string FixturePath(const std::string& name);
std::string FixtureCopy(const std::string& name);

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the program (stopping one started before) and waits for it.
  Program& Start(const std::vector<std::string>& args = {});
  // Waits until the window of the file given at the start has painted it
  // (the program logs "idle" after the file's "open"); false when it did not
  // within ms (stretched).
  bool FilePainted(int ms = 20000);
  // The main frame's window ("Kurvato").
  TopWindow Frame();
  // Waits for a window whose caption starts with the text and activates it.
  TopWindow Window(const std::string& caption, int ms = 5000);
  // Runs a command through the menu; fails the test when it could not be
  // clicked or the click did not start it.
  void Menu(const TopWindow& w, int id);
  // Opens a 2D window from the frame's menu "&Fenster" and activates it.
  TopWindow New2D();
  // True when the event log shows a message box with this text after line
  // `from` within ms.
  bool MessageSince(std::size_t from, const std::string& text, int ms);
  // The texts of the message boxes shown since log line `from`.
  std::vector<std::string> Messages(std::size_t from);

  // ---- dialogs ----
  // Waits for a dialog of the template shown since log line `from`, and
  // for it to be drawn.
  std::optional<LoggedDialog> AwaitDialog(const std::string& templateName, std::size_t from);
  // Runs the command through the window's menu and waits for its dialog
  // (an empty one, and a failure, when it does not come).
  LoggedDialog OpenDialog(const TopWindow& w, int command, const std::string& templateName);
  // Clicks a row of the dialog's list (rows one text line high).
  void ClickRow(const LoggedDialog& d, int list, int row);
  void ClickFirstRow(const LoggedDialog& d, int list) { ClickRow(d, list, 0); }
  // Types the texts into the dialog's fields, presses Enter and waits for
  // the dialog to go.
  void FillAndEnter(const LoggedDialog& d, const std::vector<std::pair<int, std::string>>& fields);
  // Opens an equation dialog with its key in the window (F1 ...) or with a
  // command, fills it and presses Enter.
  void EnterByKey(const TopWindow& w, const std::string& key, const std::string& templateName,
                  const std::vector<std::pair<int, std::string>>& fields);
  void EnterByCommand(const TopWindow& w, int command, const std::string& templateName,
                      const std::vector<std::pair<int, std::string>>& fields);
  // A number as a dialog shows it (NAN for none).
  static double Number(const std::string& text);
  // The window's picture below its menu bar, once it stands still (or at once).
  Image PlotPicture(const TopWindow& w, bool settle = true);
  // Types the path once into the file dialog with this caption (opened by
  // the command before), presses Enter once the program logs that its name
  // field holds the path, and waits for the dialog to go; true when it went.
  bool ChooseInFileDialog(const std::string& caption, const std::string& path);
  // Types the path once into the name field of the shown file dialog;
  // true, and no failure, when the program logs that the field holds it.
  bool TypeIntoFileDialog(unsigned long dialog, const std::string& path);
  // Answers the message box with this caption with Enter.
  void Confirm(const std::string& caption);
  std::unique_ptr<Program> program_;

 private:
  // Keeps the screen and the event log of a failed test.
  void KeepFailure();
  int kept_ = 0;
};

}  // namespace kvdisplay
