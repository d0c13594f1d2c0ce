// What the program shows, written to the event log for tools that drive the
// running program from outside: the geometry of menu bars, opened menus and
// dialogs, so that a driver can click where a user would.  Only active with
// $KURVATO_EVENT_LOG set; platform-internal.
#pragma once

#include <string>

class QAbstractItemView;
class QEvent;
class QObject;
class QWidget;

namespace plat {

class Window;

// True when the event log is on.
bool UiLogOn();
// Looks at every event of the program (called from the application's event
// filter before anything else) and logs the shown menus, menu bars and
// dialogs.
void NoteUiEvent(QObject* target, QEvent* e);

// Logs that the window runs a command ("command <window> <id>"), or that
// its enabler refuses it ("refused <window> <id>"); returns the window's
// native id.
unsigned long NoteCommand(Window& w, int id, bool runs);
// Logs that the command's handler has returned ("done <window> <id>") and,
// once no work runs beneath the event loop (a command, a paint, the polls of
// long work; a modal dialog waiting for the user counts as idle) and no
// window of the program waits for a paint or for its picture to reach the
// screen, "idle": a driver knows then that the command has shown all it
// will show.
void NoteCommandDone(unsigned long window, int id);
// Logs that a click on a dialog's button, check box or radio button has been
// handled ("clicked <window> <id>"), after whatever command it ran.
void NoteClicked(unsigned long window, int id);
// Logs that long work of the window read a key through its poll
// ("key <window> <code> <ms>", the code the poll returned, the steady
// clock's milliseconds): a driver sees which of its keys the work has taken
// and when.
void NoteKeyRead(Window& w, int code);

// Logs the text the program gave a static of a shown dialog
// ("text <window> <id> <text>"): the results a tool shows.
void NoteStaticText(QWidget* label, int id);
// Logs the rows now selected in a list of a shown dialog
// ("select <window> <id> <rows>"), before the dialog hears of the change: a
// driver waits for the row it clicked.
void NoteListSelection(QAbstractItemView* list, int id);

// The name under which the log shows a dialog the toolkit builds
// ("FILEOPEN", "FILESAVE", "FONTDIALOG", "MESSAGEBOX", "PRINTDIALOG",
// "PRINTERSETUP").
void NameToolkitDialog(QWidget* dialog, const char* name);

// A dialog control as the log names it: its kind ("button", "combo", ...)
// and the text it shows.
const char* UiControlKind(QWidget* w);
std::string UiControlText(QWidget* w);

}  // namespace plat
