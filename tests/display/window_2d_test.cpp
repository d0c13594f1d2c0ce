// The 2D window on a real display: what its keys and commands change in the
// picture without a redraw asked for by hand, and where its texts stand.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

class Window2D : public DisplayTest {
 protected:
  Image Picture(const TopWindow& w) { return PlotPicture(w); }
};

// An empty window shows nothing but its axes, drawn in black; Strg+A
// takes them away and brings them back at once.
TEST_F(Window2D, StrgATakesTheAxesAwayAndBringsThemBack) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  const int axes = Picture(w).Count(0x000000);
  ASSERT_GT(axes, 400) << "no axes on the screen";
  Screen().Key("ctrl+a");
  EXPECT_LT(Picture(w).Count(0x000000), axes / 20) << "the axes are still on the screen";
  Screen().Key("ctrl+a");
  EXPECT_EQ(Picture(w).Count(0x000000), axes) << "the axes did not come back";
}

// A picture chosen in "&Bild öffnen ..." lies under the plot as soon as the
// file dialog closes, and "Bild e&ntfernen" takes it away again.
TEST_F(Window2D, AnOpenedPictureAppearsAtOnceAndGoesWhenRemoved) {
  constexpr std::uint32_t kPictureColour = 0xFFFADC;  // walk.bmp
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  ASSERT_EQ(Picture(w).Count(kPictureColour), 0);
  Menu(w, 372);  // "&Bild öffnen ..."
  ASSERT_TRUE(ChooseInFileDialog("Öffnen", FixturePath("walk.bmp"))) << "no file dialog, or it stayed open";
  EXPECT_GT(Picture(w).Count(kPictureColour), 64 * 48 / 2) << "the picture is not on the screen";
  Menu(w, 356);  // "Bild e&ntfernen"
  EXPECT_EQ(Picture(w).Count(kPictureColour), 0) << "the picture is still on the screen";
}

// A freehand stroke of a new window has colour 19, the silver of the background: the screen
// shows it black as the mouse draws it and when it is drawn anew.  Without axes black is its alone.
TEST_F(Window2D, AFreehandStrokeShowsOnTheSilverBackground) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  Screen().Key("ctrl+a");
  const Image before = Picture(w);
  ASSERT_LT(before.Count(0x000000), 20) << "the axes are still on the screen";
  Menu(w, 127);  // "&Zeichnen (L) / Entfernen (R)"
  // One drag to the right, in small steps, as a hand makes it.
  const int length = 200, x0 = before.w / 4, y = before.h / 4;
  int sx = x0, sy = y + Screen().Geometry(w.id).h - before.h;
  Screen().ToScreen(w.id, sx, sy);
  Screen().MoveTo(sx, sy);
  Pause(100);
  Screen().Press(sx, sy);
  for (int k = 1; k <= 10; ++k, Pause(30)) Screen().MoveTo(sx + k * length / 10, sy);
  Screen().Release(sx + length, sy);
  // Whether every column the stroke passes has a black pixel on its row or next to it.
  int seen = 0;
  const auto whole = [&] {
    const Image p = Picture(w);
    seen = 0;
    for (int x = x0 + 2; x < x0 + length - 2; ++x)
      seen += p.At(x, y - 1) == 0x000000 || p.At(x, y) == 0x000000 || p.At(x, y + 1) == 0x000000;
    return seen == length - 4;
  };
  EXPECT_TRUE(Eventually(whole, 3000)) << seen << " columns as the mouse draws it";
  Screen().Key("ctrl+a");
  ASSERT_GT(Picture(w).Count(0x000000), 400) << "the axes did not come back";
  Screen().Key("ctrl+a");
  EXPECT_TRUE(Eventually(whole, 3000)) << seen << " columns when the picture is drawn anew";
}

// Three points along the bottom, a text bound to the third and one bound
// to the first ("Andere" in the text dialog, the point's row of its list).
// Deleting the first point in "&Inventar ..." leaves both texts where they
// stand: the third point's follows it to its new number, the first's stays
// on its own.
TEST_F(Window2D, TextsBoundToPointsStayWhereTheyStandWhenAPointIsDeleted) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  for (const char* x : {"-3", "0", "3"}) EnterByCommand(w, 909, "EQUA309", {{211, x}, {212, "-4"}});  // "(&x;y) ..."
  Menu(w, 123);  // "&Text"
  // Writes a text at the point of the picture with the right button, bound
  // to the point of the list's row; the box of pixels it changed.
  const auto write = [&](int px, int py, const std::string& text, int row) {
    const Image before = Picture(w);
    int x = px, y = py + Screen().Geometry(w.id).h - before.h;
    Screen().ToScreen(w.id, x, y);
    const std::size_t from = program_->Log().Size();
    Screen().Click(x, y, 3);
    const auto d = AwaitDialog("NEWTEXT", from);
    EXPECT_TRUE(d) << "no text dialog";
    if (!d) return Rect{};
    program_->SetText(*d, 211, text);
    program_->ClickControl(*d, 253);  // "Andere"
    ClickRow(*d, 299, row);
    program_->ClickControl(*d, 1);  // "OK"
    EXPECT_TRUE(Screen().WaitGone(d->window, 3000));
    const Image after = Picture(w);
    int left = after.w, right = -1, top = after.h, bottom = -1;
    for (int yy = 0; yy < after.h; ++yy)
      for (int xx = 0; xx < after.w; ++xx)
        if (after.At(xx, yy) != before.At(xx, yy)) {
          left = std::min(left, xx), right = std::max(right, xx);
          top = std::min(top, yy), bottom = std::max(bottom, yy);
        }
    return right < left ? Rect{} : Rect{left, top, right - left + 1, bottom - top + 1};
  };
  const Image plot = Picture(w);
  const Rect third = write(plot.w * 3 / 4, plot.h / 3, "Punkt drei", 2);
  const Rect first = write(plot.w / 5, plot.h / 3, "Punkt eins", 0);
  ASSERT_GT(third.w * third.h, 0) << "the first text is not on the screen";
  ASSERT_GT(first.w * first.h, 0) << "the second text is not on the screen";
  const Image before = Picture(w);
  const LoggedDialog inventory = OpenDialog(w, 504, "INVENT");  // "&Inventar ..."
  ASSERT_NE(inventory.window, 0u);
  ClickFirstRow(inventory, 293);
  program_->ClickControl(inventory, 52);  // "Löschen"
  program_->ClickControl(inventory, 2);   // "Schließen"
  ASSERT_TRUE(Screen().WaitGone(inventory.window, 3000));
  const Image after = Picture(w);
  ASSERT_EQ(after.w, before.w);
  ASSERT_NE(after.pixels, before.pixels) << "the point was not deleted";
  for (const Rect& box : {third, first}) {
    int moved = 0;
    for (int y = box.y; y < box.y + box.h; ++y)
      for (int x = box.x; x < box.x + box.w; ++x) moved += after.At(x, y) != before.At(x, y);
    EXPECT_EQ(moved, 0) << "the text at " << box.x << "," << box.y << " moved";
  }
}

// A file that has its name is written by "&Speichern" at once: no file
// dialog and no message come, and the file on the disk is new.
TEST_F(Window2D, SavingANamedFileWritesItWithoutAsking) {
  namespace fs = std::filesystem;
  const std::string file = FixtureCopy("walk.kv2");
  // The copy's time is set back, so that a new write shows even on a file
  // system that keeps whole seconds.
  const auto old = fs::last_write_time(file) - std::chrono::hours(1);
  fs::last_write_time(file, old);
  Start({file});
  const TopWindow w = Window("walk.kv2");
  ASSERT_NE(w.id, 0u);
  Settled(w.id, 300, 8000);
  const std::size_t windows = Screen().Windows().size();
  const std::size_t from = program_->Log().Size();
  Menu(w, 57);  // "&Speichern"
  // Once the command has returned and all is painted, what it showed is on the screen.
  EXPECT_TRUE(program_->WaitCommandDone(w.id, 57, from, 5000)) << "saving did not return";
  EXPECT_NE(fs::last_write_time(file), old) << "the file was not written";
  EXPECT_EQ(Screen().Windows().size(), windows) << "saving opened a window";
  EXPECT_LT(program_->Log().Find("message ", from), 0) << "saving showed a message";
  EXPECT_EQ(Screen().Caption(w.id), w.caption) << "the caption stayed in its saving form";
}

}  // namespace
}  // namespace kvdisplay
