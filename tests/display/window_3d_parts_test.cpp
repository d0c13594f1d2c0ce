// The 3D window on a real display, as a user meets it: a surface follows
// its parameter (typed, on the slider, in "Autorev"); "Kanten
// verdecken" hides the z-axis inside the hump of the starting surface from
// every side; the level window keeps its ticks after "Alles" and asks for
// its cursor point in the coordinate dialog; an intersection curve stays
// after its dialog's search and "Verwerfen"; a point made at a crossing
// leaves the level list's row; the captions stay whole after the window is
// made smaller and fitted.
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

class Window3DParts : public DisplayTest {
 protected:
  // The picture below the menu bar.
  Image Picture(const TopWindow& w) {
    Rect r = Screen().Geometry(w.id);
    const int top = MenuBottom(w);
    return Screen().Capture(w.id, Rect{0, top, r.w, r.h - top});
  }
  int MenuBottom(const TopWindow& w) {
    const auto bar = program_->MenuBar(w.id);
    int top = 0;
    if (bar)
      for (const LoggedItem& e : bar->entries) top = std::max(top, e.rect.y + e.rect.h);
    return top;
  }
  // A new 3D window from the frame's menu.
  TopWindow New3D() {
    Menu(Frame(), 403);  // "&3-dim"
    const TopWindow w = Window("Unbenannt");
    if (w.id) Settled(w.id);
    return w;
  }
  // F1 and the explicit surface's dialog: the formula typed unless empty
  // (the dialog's own otherwise), "Schnell zeichnen" clicked when asked.
  void EnterSurface(const TopWindow& w, const std::string& formula, bool paintCells) {
    const std::size_t from = program_->Log().Size();
    Screen().Activate(w.id);
    Screen().Key("F1");
    auto d = program_->WaitDialog("EQUA301", from, 5000);
    ASSERT_TRUE(d) << "no dialog for z = f(x;y)";
    if (!formula.empty()) program_->SetText(*d, 213, formula);
    if (paintCells) program_->ClickControl(*d, 274);
    Screen().Activate(d->window);
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(d->window, 5000));
    Settled(w.id, 300, 20000);
  }
  // Shows the axes when they are not shown.
  void AxesOn(const TopWindow& w) {
    const auto item = program_->MenuItem(w.id, 109);
    ASSERT_TRUE(item);
    if (item->check != 'c') Menu(w, 109);
    Settled(w.id, 300, 20000);
  }
  // Black pixels in the picture's column x (and its two neighbours).
  static int BlackInColumn(const Image& p, int x) {
    int n = 0;
    for (int y = 0; y < p.h; ++y)
      for (int dx = -1; dx <= 1; ++dx)
        if (x + dx >= 0 && x + dx < p.w && p.At(x + dx, y) == kBlack) ++n;
    return n;
  }
  // The column with the most black pixels: the z-axis, which stands upright.
  static int AxisColumn(const Image& p) {
    int best = 0, bestCount = -1;
    for (int x = 0; x < p.w; ++x) {
      int n = 0;
      for (int y = 0; y < p.h; ++y) n += p.At(x, y) == kBlack ? 1 : 0;
      if (n > bestCount) {
        bestCount = n;
        best = x;
      }
    }
    return best;
  }
  // The z-axis as drawn with "Kanten verdecken" off and then on: the
  // second must lose the piece inside the hump.
  void ExpectHiddenAxisPiece(const TopWindow& w, const char* view) {
    SCOPED_TRACE(view);
    Settled(w.id, 300, 20000);
    const Image open = Picture(w);
    const int x = AxisColumn(open);
    const int before = BlackInColumn(open, x);
    Menu(w, 776);  // "Kanten verdecken" on
    Settled(w.id, 300, 20000);
    const int after = BlackInColumn(Picture(w), x);
    EXPECT_LT(after + 20, before) << "the z-axis is drawn through the surface: " << before << " black pixels, then "
                                  << after;
    Menu(w, 776);  // off again
    Settled(w.id, 300, 20000);
  }
};

// z = A(xx+yy): with A = 1 and the window fitted (Pos1), typing another A,
// moving A's slider and "Autorev" each change the picture.
TEST_F(Window3DParts, ASurfaceFollowsItsParameter) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  EnterSurface(w, "A(xx+yy)", false);

  std::size_t from = program_->Log().Size();
  Menu(w, 601);  // "&A ..."
  auto slider = program_->WaitDialog("SPARAM", from, 5000);
  ASSERT_TRUE(slider) << "no slider for A";
  program_->SetText(*slider, 211, "1");
  Screen().Key("Return");
  Settled(w.id, 300, 20000);
  Screen().Activate(w.id);
  Screen().Key("Home");
  Settled(w.id, 300, 20000);
  const Image one = Picture(w);

  slider = program_->Dialog(slider->window);
  ASSERT_TRUE(slider);
  program_->SetText(*slider, 211, "0.5");
  Screen().Key("Return");
  EXPECT_TRUE(Eventually([&] { return Picture(w).pixels != one.pixels; }, 10000))
      << "typing A = 0.5 left the picture as it was";
  Settled(w.id, 300, 20000);
  const Image typed = Picture(w);

  // The slider's right arrow: a few steps up.
  slider = program_->Dialog(slider->window);
  ASSERT_TRUE(slider);
  const LoggedControl* bar = slider->Find(295);
  ASSERT_NE(bar, nullptr);
  int px = bar->rect.x + bar->rect.w - 5, py = bar->rect.y + bar->rect.h / 2;
  Screen().ToScreen(slider->window, px, py);
  for (int k = 0; k < 5; ++k) Screen().Click(px, py);
  EXPECT_TRUE(Eventually([&] { return Picture(w).pixels != typed.pixels; }, 10000))
      << "the slider left the picture as it was";
  Settled(w.id, 300, 20000);

  // "Autorev" runs A to and fro: picture after picture, until A.
  slider = program_->Dialog(slider->window);
  ASSERT_TRUE(slider);
  program_->ClickControl(*slider, 738);
  std::set<std::uint64_t> seen;
  Eventually(
      [&] {
        seen.insert(Picture(w).Hash());
        return seen.size() >= 4;
      },
      15000);
  EXPECT_GE(seen.size(), 4u) << "the animation does not change the picture";
  Screen().Activate(w.id);
  Screen().Key("a");
  EXPECT_TRUE(program_->Answers(w.id, 5000)) << "no answer after A";
}

// "Kanten verdecken" hides the piece of the z-axis inside the hump of
// sin(xx+yy)/(xx+yy) in the starting view, in the isometric view and after
// a turn.
TEST_F(Window3DParts, TheZAxisInsideTheHumpIsHiddenFromEverySide) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  EnterSurface(w, "", false);
  AxesOn(w);
  ExpectHiddenAxisPiece(w, "starting view");
  Menu(w, 990);  // "&Isometrisch"
  ExpectHiddenAxisPiece(w, "isometric view");
  Screen().Activate(w.id);
  Screen().Key("Right");
  ExpectHiddenAxisPiece(w, "turned to the right");
}

// The level window of the starting surface: five levels, then "Alles".
// Its ticks at 1 and 2 on each side of the origin stay; the right button
// in cursor mode asks for the point in the coordinate dialog.
TEST_F(Window3DParts, TheLevelWindowKeepsItsTicksAndAsksForTheCursorPoint) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  EnterSurface(w, "", false);
  std::size_t from = program_->Log().Size();
  Screen().Activate(w.id);
  Screen().Key("ctrl+i");
  auto inventory = program_->WaitDialog("INVENT", from, 5000);
  ASSERT_TRUE(inventory);
  ASSERT_TRUE(Screen().WaitFor(inventory->caption, 3000).id);
  ClickFirstRow(*inventory, 293);
  from = program_->Log().Size();
  program_->ClickControl(*inventory, 797);  // "Höhen"
  auto levels = program_->WaitDialog("LEVELS", from, 5000);
  ASSERT_TRUE(levels);
  ASSERT_TRUE(Screen().WaitFor(levels->caption, 3000).id);
  program_->SetText(*levels, 212, "5");
  program_->ClickControl(*levels, 844);  // "Auto"
  const TopWindow level = Screen().WaitFor("Höhen.kv3", 20000);
  ASSERT_NE(level.id, 0u);
  Settled(level.id, 300, 20000);
  Screen().Activate(levels->window);
  program_->ClickControl(*levels, 779);  // "Alles"
  Settled(level.id, 500, 20000);

  // The axes: the row and the column with the most pixels of one colour
  // that is not the background.
  const Image p = Picture(level);
  std::map<std::uint32_t, int> colours;
  for (std::uint32_t c : p.pixels)
    if (c != kWhite) ++colours[c];
  std::uint32_t axis = 0;
  int most = -1;
  for (const auto& [c, n] : colours) {
    int longest = 0;
    for (int y = 0; y < p.h; ++y) {
      int run = 0;
      for (int x = 0; x < p.w; ++x) run += p.At(x, y) == c ? 1 : 0;
      longest = std::max(longest, run);
    }
    if (longest > most) {
      most = longest;
      axis = c;
    }
  }
  auto rowCount = [&](int y) {
    int n = 0;
    for (int x = 0; x < p.w; ++x) n += p.At(x, y) == axis ? 1 : 0;
    return n;
  };
  auto columnCount = [&](int x) {
    int n = 0;
    for (int y = 0; y < p.h; ++y) n += p.At(x, y) == axis ? 1 : 0;
    return n;
  };
  int row = 0, column = 0;
  for (int y = 0; y < p.h; ++y)
    if (rowCount(y) > rowCount(row)) row = y;
  for (int x = 0; x < p.w; ++x)
    if (columnCount(x) > columnCount(column)) column = x;
  ASSERT_GT(rowCount(row), p.w / 2) << "no x-axis";
  ASSERT_GT(columnCount(column), p.h / 2) << "no y-axis";
  // A tick crosses its axis a few pixels to either side.
  auto tickAt = [&](int x, int y, bool across) {
    for (int d : {-4, -3, 3, 4}) {
      const int tx = across ? x : x + d;
      const int ty = across ? y + d : y;
      if (tx >= 0 && tx < p.w && ty >= 0 && ty < p.h && p.At(tx, ty) == axis) return true;
    }
    return false;
  };
  // The ticks on one side of the origin, nearest first, evenly spaced from
  // the origin on: the first two may not be missing.
  auto expectEvenTicks = [&](const char* what, int origin, int limit, int step, bool across) {
    SCOPED_TRACE(what);
    std::vector<int> at;
    for (int k = origin + 6 * step; k != limit; k += step) {
      const bool tick = across ? tickAt(k, row, true) : tickAt(column, k, false);
      if (tick && (at.empty() || std::abs(k - at.back()) > 3)) at.push_back(k);
    }
    ASSERT_GE(at.size(), 3u) << "fewer than three ticks";
    const int first = std::abs(at[0] - origin);
    const int spacing = std::abs(at[1] - at[0]);
    EXPECT_NEAR(first, spacing, 3) << "the first tick is missing";
    EXPECT_NEAR(std::abs(at[2] - at[1]), spacing, 3) << "the second tick is missing";
  };
  expectEvenTicks("x > 0", column, p.w, 1, true);
  expectEvenTicks("x < 0", column, -1, -1, true);
  expectEvenTicks("y > 0", row, -1, -1, false);
  expectEvenTicks("y < 0", row, p.h, 1, false);

  // "&Cursor", then the right button in the middle of the window.
  Menu(level, 128);
  Settled(level.id, 300, 20000);
  const Image cursorShown = Picture(level);
  from = program_->Log().Size();
  int cx = p.w / 2 + 20, cy = MenuBottom(level) + p.h / 2 + 20;
  Screen().ToScreen(level.id, cx, cy);
  Screen().Click(cx, cy, 3);
  auto point = program_->WaitDialog("LAGPT", from, 5000);
  ASSERT_TRUE(point) << "the cursor point is not asked for in its coordinate dialog";
  EXPECT_EQ(point->caption, "Koordinaten");
  program_->SetText(*point, 211, "0.5");
  program_->SetText(*point, 212, "-0.25");
  Screen().Activate(point->window);
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(point->window, 5000)) << "the typed point was refused";
  EXPECT_TRUE(Eventually([&] { return Picture(level).pixels != cursorShown.pixels; }, 5000))
      << "the cursor did not move to the typed point";
}

// The intersection curve of the sphere xx+yy+zz=4 and the plane z = 1:
// "Suchen" in its dialog, stopped with A, then "Verwerfen": the curve is
// still drawn in the 3D window.
TEST_F(Window3DParts, TheIntersectionCurveStaysAfterSearchAndVerwerfen) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  std::size_t from = program_->Log().Size();
  const LoggedDialog sphere = OpenDialog(w, 1005, "EQUA305");
  ASSERT_NE(sphere.window, 0u);
  FillAndEnter(sphere, {{218, "xx+yy+zz=4"}});
  const auto box = AwaitDialog("AUTOBOXB", from);
  ASSERT_TRUE(box) << "no box for the sphere";
  FillAndEnter(*box, {{211, "-2.2"}, {212, "2.2"}, {213, "-2.2"}, {214, "2.2"}, {215, "-2.2"}, {216, "2.2"}});
  EnterByCommand(w, 1015, "EQUA315",
                 {{211, "0"}, {212, "0"}, {213, "1"}, {214, "0;0;1"}, {221, "-2"}, {223, "2"}, {222, "-2"}, {224, "2"}});
  ASSERT_TRUE(StandsStill(w.id, 300, 20000)) << "the sphere and the plane are never drawn to the end";
  const Image without = Picture(w);
  from = program_->Log().Size();
  Menu(w, 787);  // "&Schnittkurve ..."
  const auto pair = AwaitDialog("EQUA317", from);
  ASSERT_TRUE(pair) << "the choice of two surfaces did not appear";
  Screen().Activate(pair->window);
  Screen().Key("Return");
  const auto curve = AwaitDialog("INTERC", from);
  ASSERT_TRUE(curve) << "the dialog of the intersection curve did not appear";
  ASSERT_TRUE(StandsStill(w.id, 300, 20000)) << "the curve is never drawn to the end";
  // The curve: the pixels it changed below the captions (its own caption
  // stays), most of them in its colour.
  const Image with = Picture(w);
  ASSERT_EQ(with.pixels.size(), without.pixels.size());
  std::map<std::uint32_t, int> colours;
  std::vector<std::size_t> changed;
  for (std::size_t k = static_cast<std::size_t>(with.w) * (with.h / 4); k < with.pixels.size(); ++k)
    if (with.pixels[k] != without.pixels[k]) {
      changed.push_back(k);
      ++colours[with.pixels[k]];
    }
  ASSERT_GT(changed.size(), 50u) << "no curve drawn";
  std::uint32_t ink = 0;
  for (const auto& [c, n] : colours)
    if (n > colours[ink]) ink = c;
  auto inked = [&](const Image& p) {
    int n = 0;
    for (std::size_t k : changed) n += p.pixels[k] == ink ? 1 : 0;
    return n;
  };
  const int drawn = inked(with);

  // "Suchen" searches in the course window until A.
  from = program_->Log().Size();
  program_->ClickControl(*curve, 353);
  const TopWindow course = Screen().WaitFor("Abbruch mit Taste A", 5000);
  ASSERT_NE(course.id, 0u) << "no search in the course window";
  // It goes on by itself (a third of a second here) until the key.
  ASSERT_FALSE(WithinMs([&] { return Screen().Caption(course.id) != "Abbruch mit Taste A"; }, 300))
      << "the search ended by itself";
  ASSERT_TRUE(Screen().Activate(course.id));
  ASSERT_TRUE(program_->KeysRead("a", 'A', 1000)) << "the search did not read A";
  ASSERT_TRUE(program_->WaitIdle(from, 10000));
  // "Verwerfen".
  Screen().Activate(curve->window);
  program_->ClickControl(*curve, 2);
  ASSERT_TRUE(Screen().WaitGone(curve->window, 5000)) << "the dialog stayed";
  EXPECT_TRUE(StandsStill(w.id, 300, 20000)) << "the 3D window keeps drawing after Verwerfen";
  EXPECT_GE(inked(Picture(w)), drawn * 4 / 5) << "the curve is gone from the 3D picture";
}

// The level dialog of z = xx+yy lists the pieces of five levels; its third
// row chosen, a point made with "Schnittpunkte" > "Punkt" leaves the row
// chosen.
TEST_F(Window3DParts, APointMadeAtACrossingLeavesTheLevelListsRow) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  EnterSurface(w, "xx+yy", false);
  EnterByCommand(w, 1004, "EQUA304", {{211, "t"}, {212, "0"}, {213, "1"}, {221, "-2"}, {223, "2"}});
  Settled(w.id, 300, 20000);
  std::size_t from = program_->Log().Size();
  Screen().Activate(w.id);
  Screen().Key("ctrl+i");
  const auto inventory = AwaitDialog("INVENT", from);
  ASSERT_TRUE(inventory);
  ClickFirstRow(*inventory, 293);
  from = program_->Log().Size();
  program_->ClickControl(*inventory, 797);  // "Höhen"
  const auto levels = AwaitDialog("LEVELS", from);
  ASSERT_TRUE(levels);
  program_->SetText(*levels, 212, "5");
  program_->ClickControl(*levels, 844);  // "Auto"
  const TopWindow level = Screen().WaitFor("Höhen.kv3", 20000);
  ASSERT_NE(level.id, 0u);
  Settled(level.id, 300, 20000);

  // The list as it shows row 0 chosen, then row 2.
  const LoggedControl* list = levels->Find(294);
  ASSERT_NE(list, nullptr);
  auto shown = [&] {
    Screen().Activate(levels->window);
    Settled(levels->window);
    return Screen().Capture(levels->window, list->rect);
  };
  const Image first = shown();
  ClickRow(*levels, 294, 2);
  const Image third = shown();
  std::vector<std::size_t> differ;
  for (std::size_t k = 0; k < first.pixels.size(); ++k)
    if (first.pixels[k] != third.pixels[k]) differ.push_back(k);
  ASSERT_GT(differ.size(), 20u) << "the click did not choose another row";

  // "Schnittpunkte": the line meets the bowl; "Punkt" makes it a point.
  from = program_->Log().Size();
  Menu(w, 710);
  const auto crossing = AwaitDialog("INTER", from);
  ASSERT_TRUE(crossing) << "the intersection points dialog did not appear";
  const std::string found = program_->TextOf(*crossing, 231);
  ASSERT_FALSE(found.empty() || found == "?") << "no crossing found: " << found;
  from = program_->Log().Size();
  Screen().Activate(crossing->window);
  program_->ClickControl(*crossing, 712);
  ASSERT_TRUE(program_->WaitCommandDone(crossing->window, 712, from, 5000)) << "\"Punkt\" did not run";

  const Image after = shown();
  int asThird = 0, asFirst = 0;
  for (std::size_t k : differ) {
    asThird += after.pixels[k] == third.pixels[k] ? 1 : 0;
    asFirst += after.pixels[k] == first.pixels[k] ? 1 : 0;
  }
  EXPECT_GT(asThird, asFirst * 2) << "the level list jumped back to its first row";
}

// A window made lower by its frame's bottom edge, then Pos1: the first
// caption is still whole, where it was.
TEST_F(Window3DParts, CaptionsStayWholeAfterAResizeAndPos1) {
  Start();
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  EnterSurface(w, "", false);
  EnterSurface(w, "", false);
  // The first caption's top: the first row with text near the left edge.
  auto firstTextRow = [&](const Image& p) {
    const std::uint32_t background = p.At(p.w - 2, p.h - 2);
    for (int y = 0; y < p.h / 3; ++y)
      for (int x = 4; x < std::min(p.w, 150); ++x)
        if (p.At(x, y) != background) return y;
    return -1;
  };
  const int before = firstTextRow(Picture(w));
  ASSERT_GT(before, 0);
  // The frame's bottom edge lies just below the client.
  const Rect r = Screen().Geometry(w.id);
  const int x = r.x + r.w / 2;
  // One drag, in small steps, as a hand makes it.
  Screen().MoveTo(x, r.y + r.h + 2);
  Pause(100);
  Screen().Press(x, r.y + r.h + 2);
  Pause(100);
  for (int k = 1; k <= 10; ++k) {
    Screen().MoveTo(x, r.y + r.h + 2 - k * (r.h / 30));
    Pause(30);
  }
  Screen().Release(x, r.y + r.h + 2 - 10 * (r.h / 30));
  const bool smaller = Eventually([&] { return Screen().Geometry(w.id).h < r.h - 100; }, 3000);
  ASSERT_TRUE(smaller) << "the window kept its size";
  Settled(w.id, 300, 30000);
  EXPECT_NEAR(firstTextRow(Picture(w)), before, 2) << "the captions moved with the resize";
  Screen().Activate(w.id);
  Screen().Key("Home");
  Settled(w.id, 300, 30000);
  EXPECT_NEAR(firstTextRow(Picture(w)), before, 2) << "the captions moved with Pos1";
}

}  // namespace
}  // namespace kvdisplay
