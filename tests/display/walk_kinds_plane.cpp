// The mapping pair, the logarithmic, planet and quiz windows as the walk
// visits them.  The mapping pair is walked in the complex form (its menus
// have no greyed command there); "domainxy" walks the real form's menus
// where the two forms differ.
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

// A new planet window runs its random system until a key stops it or a
// body leaves the view; the user stops it with "a" and opens the planet
// file from the menu "&Datei".
TopWindow OpenPlanets(WalkTest& t) {
  t.Start();
  t.Menu(t.Frame(), 409);  // "&Planeten"
  TopWindow w;
  if (!Eventually(
          [&] {
            w = Screen().Find("Abbruch mit Taste A");
            if (!w.id) w = Screen().Find("Unbenannt1.kv2", true);
            return w.id != 0;
          },
          5000))
    return {};
  Screen().Activate(w.id);
  if (w.caption == "Abbruch mit Taste A") Screen().Key("a");
  if (!Eventually([&] { return Screen().Caption(w.id).rfind("Unbenannt1.kv2", 0) == 0; }, 5000)) return {};
  const std::string file = FixtureCopy("walkplanets.kv2");
  t.Menu(w, 59);  // "Ö&ffnen ..."
  if (!t.ChooseInFileDialog("Öffnen", file)) return {};
  return t.Window("walkplanets.kv2");
}

// The range window with a background picture, opened from its menu
// "&Datei" (the domain's file does not keep the range window's picture).
TopWindow OpenRange(WalkTest& t) {
  const TopWindow range = OpenFixture(t, "walk.ma2", "Wertebereich");
  if (!range.id) return {};
  t.Menu(range, 372);  // "&Bild öffnen ..."
  if (!t.ChooseInFileDialog("Öffnen", FixturePath("walkpicture.bmp"))) return {};
  Screen().Activate(range.id);
  return range;
}

// A zoom step, so that "&Letztes Fenster" has a view to go back to.
WalkSetup ZoomStep() {
  return {[](WalkTest&, TopWindow& w) { Press(w, "Prior"); }};
}

const bool registered = [] {
  RegisterWalkKind({.name = "quiz",
                    .menu = "GUESSMENU",
                    .open = [](WalkTest& t) { return OpenFromFrame(t, 404, "Rate meine Gleichung"); },
                    .before = {
                        // A new task is drawn at random: among the parabolas
                        // a new quiz allows, a few in a hundred are the task
                        // already shown, and nothing changes on the screen.
                        // Among every type and degree ("Alle au&swählen")
                        // the same task hardly ever comes twice.
                        {791, {[](WalkTest& t, TopWindow& w) { t.Menu(w, 119); }}},
                    }});
  RegisterWalkKind({.name = "domain",
                    .menu = "DOM2MENU",
                    .open = [](WalkTest& t) { return OpenFixture(t, "walk.maz", "walk.maz"); },
                    .enabled = {{373, PictureInClipboard()}, {111, ZoomStep()}}});
  RegisterWalkKind({"domainxy", "DOM2MENU", [](WalkTest& t) { return OpenFixture(t, "walk.ma2", "walk.ma2"); },
                    {"&Gleichung", "&Abbild"}});
  RegisterWalkKind({.name = "range",
                    .menu = "RAN2MENU",
                    .open = OpenRange,
                    .enabled = {{373, PictureInClipboard()}, {111, ZoomStep()}}});
  RegisterWalkKind({.name = "log",
                    .menu = "LOGMENU",
                    .open = [](WalkTest& t) { return OpenFixture(t, "walk.lkv", "walk.lkv"); },
                    // The picture is taken without the axes, where the
                    // linear y axis numbers its 0; with the axes back that
                    // number is left out where they cross, and the pasted
                    // picture shows it.
                    .enabled = {{373,
                                 {[](WalkTest& t, TopWindow& w) {
                                    Press(w, "ctrl+a");
                                    CommandWithMessage(t, w, 310);
                                    Press(w, "ctrl+a");
                                  },
                                  true}}}});
  RegisterWalkKind({.name = "planet",
                    .menu = "PLOT2MENU",
                    .open = OpenPlanets,
                    .enabled = {{373, PictureInClipboard()}, {111, ZoomStep()}}});
  return true;
}();

}  // namespace
}  // namespace kvdisplay
