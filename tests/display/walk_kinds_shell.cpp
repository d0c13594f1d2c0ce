// The main frame and its companion windows as the walk visits them.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

// Text in the clipboard, copied from the whole window; the cursor at the
// end, so that pasting adds the text there.
WalkSetup TextInClipboard() {
  return {[](WalkTest&, TopWindow& w) {
            Press(w, "ctrl+a");
            Press(w, "ctrl+c");
            Press(w, "ctrl+End");
          },
          true};
}

const bool registered = [] {
  RegisterWalkKind({"frame", "PLOTMENU", [](WalkTest& t) {
                      t.Start();
                      return t.Frame();
                    }});
  // The program's help: "&Hilfe ..." of the frame shows it in a text
  // window, where a word has been searched once, so that "&Weitersuchen"
  // has something to find.
  RegisterWalkKind({.name = "text", .menu = "TEXTMENU", .open = [](WalkTest& t) {
                      const TopWindow help = OpenFromFrame(t, 354, "Kurvato Hilfe");
                      if (!help.id) return help;
                      const std::size_t from = t.Running().Log().Size();
                      t.Menu(help, 353);
                      if (auto d = t.Running().WaitDialog("ONEINPUT", from, 3000)) {
                        t.Running().SetText(*d, 211, "Fenster");
                        Screen().Key("Return");
                        Screen().WaitGone(d->window, 3000);
                      }
                      return help;
                    },
                    .enabled = {{99, TextInClipboard()}}});
  // The notes of a plot window: "&Notizen ..." of a new 2D window, two
  // lines typed and the second selected, so that copying and cutting have
  // something to work on.
  RegisterWalkKind({.name = "notes", .menu = "NOTEMENU", .open = [](WalkTest& t) {
                      const TopWindow plot = OpenFromFrame(t, 402, "Unbenannt1.kv2");
                      const TopWindow notes = OpenByCommand(t, plot, 75, "Notizen [Unbenannt1.kv2]");
                      if (!notes.id) return notes;
                      Screen().Type("Notizen zum Bild");
                      Screen().Key("Return");
                      Screen().Type("zweite Zeile");
                      Screen().Key("shift+Home");
                      Settled(notes.id);
                      return notes;
                    },
                    .enabled = {{99, TextInClipboard()},
                                {352, {[](WalkTest& t, TopWindow& w) {
                                   // From the start of the notes, whose
                                   // first line holds two "i".
                                   Press(w, "ctrl+Home");
                                   SearchOnce(t, w, "i");
                                 }}}}});
  // The colour window: the background colour command of a new 2D window.
  RegisterWalkKind({"colour", "COLWMENU", [](WalkTest& t) {
                      const TopWindow plot = OpenFromFrame(t, 402, "Unbenannt1.kv2");
                      return OpenByCommand(t, plot, 200, "Hintergrundfarbe");
                    }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
