// The layout rules every dialog keeps, checked on its controls as the event
// log reports them ("control" lines: rectangle in dialog coordinates, size
// hint, visibility, text).  Only visible controls count.
//   - No two controls overlap.
//   - Every control lies inside the dialog's client area.
//   - A one-line control (edit, combo box, spin box, button, check box,
//     radio button, static text) is at most kTallSlack pixels taller than its
//     size hint.  Statics that the template gives a height of their own
//     reserve room for several lines; they, lists, multi-line edits and
//     scroll bars are exempt (the headless sweep over all templates checks
//     that they keep the template's height, as it knows the font's dialog
//     units), and so are the statics of the toolkit's own dialogs (message
//     boxes, file, font and print dialogs), which centre a text in its row.
//   - A static text, button, check box or radio button is at least as wide
//     as its size hint, so that its text is not cut (the hint of a button
//     with a short text is widened to the style's minimum width and says
//     nothing then).
// For the menu walk, on every dialog it sees; the headless sweep over
// every template calls it on the widgets as built.
#pragma once

#include <string>
#include <vector>

#include "program_ui.h"

namespace kvdisplay {

inline constexpr int kTallSlack = 4;

// One line per fault ("TEMPLATE: control 211 (edit) ..."); empty when the
// dialog keeps every rule.  A client size of 0 leaves out the check that
// the controls lie inside the dialog.
std::vector<std::string> DialogGeometryFaults(const LoggedDialog& dialog, int clientWidth, int clientHeight);

// The same for a dialog on the screen now (call it before closing the
// dialog): its client size is read from the X server.
inline std::vector<std::string> DialogGeometryFaults(XSession& x, const LoggedDialog& dialog) {
  const Rect client = x.Geometry(dialog.window);
  return DialogGeometryFaults(dialog, client.w, client.h);
}

}  // namespace kvdisplay
