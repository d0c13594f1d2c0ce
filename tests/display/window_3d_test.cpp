// The 3D window on a real display: a background picture appears as soon as
// it is opened or pasted, without a repaint by hand; the observer keys move
// the view.
#include <algorithm>
#include <set>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

constexpr std::uint32_t kYellow = 0xFFFF00;  // the picture's field

class Window3D : public DisplayTest {
 protected:
  // The picture below the menu bar.
  Image Picture(const TopWindow& w) {
    Rect r = Screen().Geometry(w.id);
    const auto bar = program_->MenuBar(w.id);
    int top = 0;
    if (bar)
      for (const LoggedItem& e : bar->entries) top = std::max(top, e.rect.y + e.rect.h);
    return Screen().Capture(w.id, Rect{0, top, r.w, r.h - top});
  }
  // True once the window shows the yellow of the fixture's picture (120 by
  // 90 pixels, a blue square of 40 by 30 inside), within a second.
  bool ShowsPicture(const TopWindow& w) {
    return Eventually([&] { return Picture(w).Count(kYellow) >= 9000; }, 1000);
  }
  // A new 3D window from the frame's menu, drawn.
  TopWindow New3D() {
    Start();
    Menu(Frame(), 403);  // "&3-dim"
    const TopWindow w = Window("Unbenannt");
    if (w.id) Settled(w.id);
    return w;
  }
  // Runs a command that shows a message box and answers it with OK.
  void CommandWithMessage(const TopWindow& w, int id) {
    std::set<unsigned long> before;
    for (const TopWindow& t : Screen().Windows()) before.insert(t.id);
    Menu(w, id);
    TopWindow box;
    ASSERT_TRUE(Eventually(
        [&] {
          for (const TopWindow& t : Screen().Windows())
            if (!before.count(t.id)) box = t;
          return box.id != 0;
        },
        3000))
        << "no message after " << id;
    Screen().Activate(box.id);
    Screen().Key("Return");
    EXPECT_TRUE(Screen().WaitGone(box.id, 3000));
    Screen().Activate(w.id);
  }
};

TEST_F(Window3D, ABackgroundPictureAppearsAtOnceWhenOpenedOrPasted) {
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  ASSERT_EQ(Picture(w).Count(kYellow), 0);

  // "Bild öffnen ...": the file typed into the file dialog.
  Menu(w, 372);
  ASSERT_TRUE(ChooseInFileDialog("Öffnen", FixturePath("walk_picture.bmp"))) << "no file dialog, or it stayed open";
  EXPECT_TRUE(ShowsPicture(w)) << "the opened picture is not on the screen";

  // "Bitmap in Ablage" copies the window with its picture; "Bild
  // entfernen" takes the picture away and "Bild einfügen" brings the copy
  // back as the picture.
  CommandWithMessage(w, 310);
  Menu(w, 356);
  EXPECT_TRUE(Eventually([&] { return Picture(w).Count(kYellow) == 0; }, 1000)) << "the picture was not removed";
  Menu(w, 373);
  EXPECT_TRUE(ShowsPicture(w)) << "the pasted picture is not on the screen";
}

// Einfg moves the observer halfway to the box, Entf back out, the arrow
// keys turn the view: each shows at once.
TEST_F(Window3D, TheObserverKeysMoveTheView) {
  Start({FixtureCopy("walk.kv3")});
  const TopWindow w = Window("walk.kv3");
  ASSERT_NE(w.id, 0u);
  for (const char* key : {"Insert", "Delete", "Right", "Left", "Up", "Down"}) {
    SCOPED_TRACE(key);
    const Image before = Settled(w.id);
    Screen().Key(key);
    EXPECT_TRUE(Eventually([&] { return Screen().Capture(w.id).pixels != before.pixels; }, 1500))
        << "the view did not change";
  }
}

// A surface drawn slowly, as a mesh of fine lines, takes a second or more
// to paint, and shows its picture only when it is done: the program says
// "idle" only then, so what the screen shows at "idle" is the finished mesh.
TEST_F(Window3D, IdleComesOnlyOnceASlowSurfaceIsDrawn) {
  const TopWindow w = New3D();
  ASSERT_NE(w.id, 0u);
  std::size_t from = program_->Log().Size();
  Menu(w, 1001);  // "z = f(x;y)"
  auto eq = AwaitDialog("EQUA301", from);
  ASSERT_TRUE(eq) << "the dialog of z = f(x;y) did not appear";
  program_->SetText(*eq, 213, "sin(3x)cos(3y)");
  // 71 lines each way of 30000 points each.
  for (auto [id, text] : {std::pair{216, "70"}, {217, "70"}, {219, "30000"}, {220, "30000"}})
    program_->SetText(*eq, id, text);
  Screen().Key("Return");
  ASSERT_TRUE(program_->WaitCommandDone(w.id, 1001, from, 5000)) << "the surface was not painted";
  const Image painted = PlotPicture(w);
  from = program_->Log().Size();
  Menu(w, 827);  // "&Langsam zeichnen"
  ASSERT_TRUE(program_->WaitCommandDone(w.id, 827, from, 60000)) << "the mesh was never drawn";
  const Image atIdle = PlotPicture(w, false);
  EXPECT_NE(atIdle.pixels, painted.pixels) << "idle came before the mesh was drawn";
  EXPECT_EQ(atIdle.pixels, PlotPicture(w).pixels) << "the picture changed after idle";
}

}  // namespace
}  // namespace kvdisplay
