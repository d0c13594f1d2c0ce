// The name field of the toolkit's file dialog keeps what the user types.
// Platform-internal.
#pragma once

class QFileDialog;

namespace plat {

// The toolkit's file dialog writes the names selected in its file list into
// the name field whenever the field lacks the focus, and selects a file as
// soon as the typed text, with the default suffix, names one.  On a busy
// machine the field lacks the focus for moments while the keys still reach
// it (the completion list has just closed and the window manager has not
// handed the focus back): "/d/pic" of "/d/pic.bmp.old" became "pic.bmp" and
// the rest of the keys were added to that.  Afterwards the list's selection
// follows the typed text, and the list writes the field only when the user
// clicked or pressed a key in the list last, or typed nothing yet while the
// field lacks the focus.  A dialog without its own widgets (a native one) is
// left as it is.
void KeepTypedFileName(QFileDialog& dialog);

}  // namespace plat
