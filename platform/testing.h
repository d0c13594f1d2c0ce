// Seams for headless tests: scripted answers to modal dialogs, message boxes
// and common dialogs; recorded message boxes; fixed screen metrics, random
// seed and clock; injected key and mouse events for the polls.
//
// With testing mode on, a modal dialog, question or common dialog that finds
// no queued answer is a failure (recorded in Failures()) and ends as
// cancelled, so a test never hangs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/common_dialogs.h"
#include "platform/dc.h"

namespace plat {
class Dialog;
class Window;
}

namespace plat::testing {

void EnableTestingMode(bool on = true);
bool TestingMode();
// Clears every queue and record (and the injected events).
void Reset();

// ---- modal dialogs ----
// The script receives the dialog after its set-up and should end it with
// Press(); a dialog still open after the script is ended with 2 and recorded
// as a failure.  An empty template name accepts any dialog.
using DialogScript = std::function<void(Dialog&)>;
void ExpectDialog(const std::string& templateName, DialogScript script);
// Shorthand: set edit texts, then press a button.
void AnswerDialog(const std::string& templateName,
                  std::vector<std::pair<int, std::string>> texts, int pressId);

// ---- message boxes ----
struct RecordedMessage {
  std::string caption;
  std::string text;
  unsigned type = 0;
};
// Message boxes of type MB_OK are answered with IDOK unless an answer is
// queued; other types need a queued answer.
void ExpectMessageBox(int answer);
const std::vector<RecordedMessage>& Messages();
void ClearMessages();

// ---- common dialogs ----
void ExpectFileDialog(std::optional<std::string> path);  // nullopt: cancel
// The last request seen by a file dialog.
const FileDialogRequest& LastFileDialogRequest();
void ExpectFontDialog(std::optional<FontChoice> choice);  // nullopt: cancel
// The print dialog prints into the PDF file `pdfPath` (nullopt: cancel);
// the printer set-up dialog ends with OK or cancel.
void ExpectPrintDialog(std::optional<std::string> pdfPath);
void ExpectPrinterSetup(bool ok);

// Titles of the modal dialogs (template names), message boxes ("MESSAGEBOX")
// and common dialogs ("FILEDIALOG", "FONTDIALOG", "PRINTDIALOG",
// "PRINTERSETUP") in the order they ran.
const std::vector<std::string>& DialogLog();

// Unmet expectations and unexpected dialogs; tests fail when not empty.
const std::vector<std::string>& Failures();
// Expectations still queued (a test that queued too much).
int PendingExpectations();

// ---- metrics, seed, clock ----
void FixScreenCaps(const DeviceCaps& caps);
void FixClock(std::int64_t secondsSinceEpoch, const LocalTime& local);
void UnfixClock();

// ---- window manager ----
// Decorations (border and title bar, in pixels) that a faked window manager
// adds around every top-level window after it is shown, on the next turn of
// the event loop, keeping the frame's corner where the window was: as
// reparenting window managers on X11 do.  All zero: no faking (the
// toolkit's own report).  Reset() ends the faking.
void FakeFrameDecorations(int left, int top, int right, int bottom);

// ---- deferred deletion ----
// Deletes the toolkit objects that wait for control to return to the event
// loop (closed windows' widgets): tests run no loop.  Only between tests.
void DeleteDeferredObjects();
// ---- fake steady clock ----
// With fake ticks on, TickMilliseconds() starts at 0 and moves only through
// Delay() and AdvanceTicks(); window timers then fire from this clock instead
// of real time, and an action given to AtTick() runs when the clock reaches
// its tick (for example a key injected in the middle of an animation).
void FakeTicks(bool on = true);
void AdvanceTicks(int milliseconds);
void AtTick(std::int64_t tick, std::function<void()> action);

// ---- injected events for PollKey and PollMouse ----
void InjectKey(Window& w, unsigned vk, unsigned modifiers = 0, unsigned ch = 0);
void InjectMouse(Window& w, const MouseEvent& e);
// Asks the window's frame to close, as its close box does.
void RequestClose(Window& w);

// ---- real input through the toolkit ----
// Opens the menu at the position of the window's menu bar, as a click on
// its entry does; true when a menu is open then.
bool OpenMenu(Window& w, int position);
// Posts a key press (and its release) to whatever has the keyboard now:
// an opened menu or other pop-up, else the modal dialog, else the widget
// with the focus, else the active window.  It arrives when events are next
// processed (by a poll of long work, or App::ProcessEvents).  Keys: letters,
// digits, F1..F12, Escape, Space, Return and the arrows.
void TypeKey(unsigned vk, unsigned modifiers = 0);
// True while a menu or other pop-up is open.
bool PopupOpen();

// ---- dialog templates of the tests themselves ----
// Parses a resource script; its dialog templates are then found by name like
// the program's own (never shadowing them).  Returns the parse errors.
std::vector<std::string> AddDialogTemplates(const std::string& script);

}  // namespace plat::testing
