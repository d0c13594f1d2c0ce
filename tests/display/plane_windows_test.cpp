// The special plane windows on a real display: what a user sees when the
// mapping pair, the logarithmic, planet and quiz windows answer their own
// commands.
#include "support/display_test.h"

namespace kvdisplay {
namespace {

class PlaneWindows : public DisplayTest {
 protected:
  // A new real mapping pair from the frame's menu; the domain window, the
  // range window beside it.
  std::pair<TopWindow, TopWindow> NewPair() {
    Start();
    Menu(Frame(), 405);  // "Ebene &xy"
    const TopWindow range = Window("Wertebereich [Abbildung1.ma2]");
    const TopWindow domain = Window("Abbildung1.ma2");
    return {domain, range};
  }
  // A new planet window, its first run (a random system, open-ended)
  // stopped with "a" unless a body left the view before.
  TopWindow NewPlanets() {
    Start();
    Menu(Frame(), 409);  // "&Planeten"
    TopWindow w;
    Eventually(
        [&] {
          w = Screen().Find("Abbruch mit Taste A");
          if (!w.id) w = Screen().Find("Unbenannt1.kv2", true);
          return w.id != 0;
        },
        5000);
    if (!w.id) return w;
    Screen().Activate(w.id);
    if (w.caption == "Abbruch mit Taste A") Screen().Key("a");
    EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id).rfind("Unbenannt1.kv2", 0) == 0; }, 5000));
    return w;
  }
  // True when the window's picture differs from `was` within eight
  // seconds (and then stands still).
  bool Changes(unsigned long window, const Image& was) {
    if (!Eventually([&] { return Screen().Capture(window).pixels != was.pixels; }, 8000)) return false;
    Settled(window);
    return true;
  }
  // True when a window whose caption starts with the text turns up within
  // the time.
  bool Appears(const std::string& caption, int ms) { return Screen().WaitFor(caption, ms, true).id != 0; }
};

// A new mapping redraws the range window through it; the range window,
// which owns no entries, shows no inventory list and keeps its caption.
TEST_F(PlaneWindows, ANewMappingRedrawsTheRangeWindowAlone) {
  auto [domain, range] = NewPair();
  ASSERT_NE(domain.id, 0u);
  ASSERT_NE(range.id, 0u);
  const Image grid = Settled(range.id);
  const std::size_t from = program_->Log().Size();
  Menu(domain, 1102);  // "&Neu ..." of "&Abbild"
  auto d = program_->WaitDialog("EQUA402", from, 3000);
  ASSERT_TRUE(d) << "the mapping's dialog did not appear";
  program_->ClickControl(*d, 1);  // "OK"
  ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
  EXPECT_TRUE(Changes(range.id, grid)) << "the range window still shows the unmapped grid";
  EXPECT_FALSE(Appears("Inventar [Wertebereich", 1500)) << "the range window opened an inventory list";
  EXPECT_EQ(Screen().Caption(range.id), "Wertebereich [Abbildung1.ma2]");

  // Zoomed in, "&Fenster anpassen" (Pos1) brings back the view around the
  // image of the grid; nothing opens.
  const Image fitted = Settled(range.id);
  Screen().Activate(range.id);
  Screen().Key("Prior");
  EXPECT_TRUE(Changes(range.id, fitted)) << "the range window did not zoom in";
  Screen().Key("Home");
  EXPECT_TRUE(Eventually([&] { return Screen().Capture(range.id).pixels == fitted.pixels; }, 8000))
      << "the range view was not fitted to the image of the grid";
  EXPECT_FALSE(Appears("Inventar", 1000));
  EXPECT_EQ(Screen().Caption(range.id), "Wertebereich [Abbildung1.ma2]");
}

// "&Neu" leaves a drawing without a file: "&Speichern" asks for its name
// (the planet window counts as changed at all times, so it would otherwise
// write "Unbenannt.kv2" into the current folder unasked).
TEST_F(PlaneWindows, ANewDrawingIsSavedUnderTheNameTheUserChooses) {
  const TopWindow planets = NewPlanets();
  ASSERT_NE(planets.id, 0u);
  Menu(planets, 59);  // "Ö&ffnen ..."
  ASSERT_TRUE(ChooseInFileDialog("Öffnen", FixtureCopy("walkplanets.kv2")));
  ASSERT_TRUE(Eventually([&] { return Screen().Caption(planets.id).rfind("walkplanets.kv2", 0) == 0; }, 5000));
  Menu(planets, 78);  // "&Neu": a new random system, run until a key or the boundary stops it
  ASSERT_TRUE(Eventually(
      [&] {
        const std::string c = Screen().Caption(planets.id);
        if (c == "Abbruch mit Taste A") Screen().Key("a");
        return c.rfind("Unbenannt.kv2", 0) == 0;
      },
      5000))
      << Screen().Caption(planets.id);
  Menu(planets, 57);  // "&Speichern"
  const TopWindow chooser = Screen().WaitFor("Speichern unter", 3000);
  EXPECT_NE(chooser.id, 0u) << "the new drawing was saved without asking for a name";
  if (chooser.id) Screen().Close(chooser.id);
}

// A new drawing of the window with logarithmic axes keeps its file kind.
TEST_F(PlaneWindows, ANewLogarithmicDrawingIsNamedAsSuch) {
  Start({FixtureCopy("walk.lkv")});
  const TopWindow w = Window("walk.lkv");
  ASSERT_NE(w.id, 0u);
  Menu(w, 78);  // "&Neu"
  EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id).rfind("Unbenannt.lkv", 0) == 0; }, 3000))
      << Screen().Caption(w.id);
}

// "Verfolgen": while a planet system runs, its paths grow on the screen;
// the letter a stops the run.  The run is made open-ended in the body
// editor ("Viele", without "Grenzen setzen").
TEST_F(PlaneWindows, APlanetRunShowsItsPathsWhileItRuns) {
  const TopWindow planets = NewPlanets();
  ASSERT_NE(planets.id, 0u);

  std::size_t from = program_->Log().Size();
  Screen().Key("ctrl+i");
  auto inventory = program_->WaitDialog("INVENT", from, 3000);
  ASSERT_TRUE(inventory) << "no inventory list";
  const LoggedControl* list = inventory->Find(293);
  ASSERT_NE(list, nullptr);
  int x = list->rect.x + 40, y = list->rect.y + 8;  // the system, the first line
  Screen().ToScreen(inventory->window, x, y);
  Screen().Click(x, y);
  from = program_->Log().Size();
  program_->ClickControl(*inventory, 51);  // "Bearbeiten"
  auto editor = program_->WaitDialog("EQUA219", from, 3000);
  ASSERT_TRUE(editor) << "the body editor did not open";
  program_->ClickControl(*editor, 272);  // "Grenzen setzen" off
  program_->ClickControl(*editor, 779);  // "Viele"
  program_->ClickControl(*editor, 1);    // "Zeichnen"
  ASSERT_TRUE(Eventually([&] { return Screen().Caption(planets.id) == "Abbruch mit Taste A"; }, 5000))
      << Screen().Caption(planets.id);
  for (int k = 0; k < 2; ++k) {
    const Image now = Screen().Capture(planets.id);
    EXPECT_TRUE(Eventually([&] { return Screen().Capture(planets.id).pixels != now.pixels; }, 1500))
        << "the paths do not grow on the screen";
  }
  Screen().Activate(planets.id);
  Screen().Key("a");
  EXPECT_TRUE(Eventually([&] { return Screen().Caption(planets.id).rfind("Unbenannt1.kv2", 0) == 0; }, 3000))
      << Screen().Caption(planets.id);
  EXPECT_TRUE(program_->Answers(planets.id, 2000));
}

// On a logarithmic x axis y = x rises along one smooth line: each pixel
// column of the new curve holds one run of pixels, no chord beside it.
TEST_F(PlaneWindows, ACurveOnALogarithmicXAxisIsOneLine) {
  Start();
  Menu(Frame(), 413);  // "&1   (log x ; y)"
  const TopWindow w = Window("Unbenannt1.lkv");
  ASSERT_NE(w.id, 0u);
  const Image before = Settled(w.id);
  const std::size_t from = program_->Log().Size();
  Screen().Key("F1");
  auto d = program_->WaitDialog("EQUA201", from, 3000);
  ASSERT_TRUE(d);
  program_->SetText(*d, 212, "x");
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
  ASSERT_TRUE(Changes(w.id, before));
  const Image after = Screen().Capture(w.id);
  ASSERT_EQ(after.w, before.w);
  // Below the menu bar and the equation's label.
  const int top = 60;
  int columns = 0, split = 0;
  for (int x = 0; x < after.w; ++x) {
    int runs = 0, gap = 99;
    for (int y = top; y < after.h; ++y) {
      if (after.At(x, y) == before.At(x, y)) {
        ++gap;
        continue;
      }
      if (gap > 2) ++runs;
      gap = 0;
    }
    if (runs > 0) ++columns;
    if (runs > 1) ++split;
  }
  EXPECT_GT(columns, 100) << "the curve is not drawn";
  EXPECT_LT(split, 3) << split << " of " << columns << " columns cross the curve more than once";
}

}  // namespace
}  // namespace kvdisplay
