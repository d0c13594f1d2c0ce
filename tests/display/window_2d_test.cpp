// The 2D window on a real display: what its keys and commands change in the
// picture without a redraw asked for by hand.
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
