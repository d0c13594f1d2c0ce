// The main frame and its companion windows as the walk visits them.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

const bool registered = [] {
  RegisterWalkKind({"frame", "PLOTMENU", [](WalkTest& t) {
                      t.Start();
                      return t.Frame();
                    }});
  // The program's help: "&Hilfe ..." of the frame shows it in a text window.
  RegisterWalkKind({"text", "TEXTMENU", [](WalkTest& t) { return OpenFromFrame(t, 354, "Kurvato Hilfe"); }});
  // The notes of a plot window: "&Notizen ..." of a new 2D window.
  RegisterWalkKind({"notes", "NOTEMENU", [](WalkTest& t) {
                      const TopWindow plot = OpenFromFrame(t, 402, "Unbenannt1.kv2");
                      return OpenByCommand(t, plot, 75, "Notizen [Unbenannt1.kv2]");
                    }});
  // The colour window: the background colour command of a new 2D window.
  RegisterWalkKind({"colour", "COLWMENU", [](WalkTest& t) {
                      const TopWindow plot = OpenFromFrame(t, 402, "Unbenannt1.kv2");
                      return OpenByCommand(t, plot, 200, "Hintergrundfarbe");
                    }});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
