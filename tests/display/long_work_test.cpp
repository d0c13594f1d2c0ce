// Long work runs inside a command and reads the keyboard itself; a key
// pressed anywhere in the program must reach it.  Each loop is started as a
// user starts it, stopped with its key once with the focus in the plot
// window and once in its dialog, and the program must answer at once.
#include "support/display_test.h"

namespace kvdisplay {
namespace {

class LongWork : public DisplayTest {
 protected:
  // True while the window's pixels keep changing (the work draws).
  bool Moving(unsigned long window) {
    const Image a = Screen().Capture(window);
    return Eventually([&] { return Screen().Capture(window).pixels != a.pixels; }, 1500);
  }
  // Presses the key with the focus in `focus` and checks that the work in
  // `window` stops within a second: its picture stands still and its menu
  // opens.
  void StopWith(const TopWindow& window, unsigned long focus, const std::string& key) {
    ASSERT_TRUE(Moving(window.id)) << "the work is not running";
    ASSERT_TRUE(Screen().Activate(focus)) << "the window to type into is not there";
    Screen().Key(key);
    EXPECT_TRUE(program_->Answers(window.id, 1000)) << "no answer after " << key;
    EXPECT_FALSE(Moving(window.id)) << "still running after " << key;
  }
  // A 2D window drawing y = A sin(x) with the slider dialog of A open.
  std::pair<TopWindow, LoggedDialog> SliderOfA() {
    const TopWindow w = New2D();
    std::size_t from = program_->Log().Size();
    Screen().Key("F1");
    auto eq = program_->WaitDialog("EQUA201", from, 3000);
    EXPECT_TRUE(eq);
    if (!eq) return {w, {}};
    program_->SetText(*eq, 212, "Asin(x)");
    Screen().Key("Return");
    Screen().WaitGone(eq->window, 3000);
    from = program_->Log().Size();
    Menu(w, 601);  // "&A ..."
    auto slider = program_->WaitDialog("SPARAM", from, 3000);
    EXPECT_TRUE(slider) << "the slider dialog of A did not appear";
    return {w, slider ? *slider : LoggedDialog{}};
  }
};

// The slider dialog hides while its animation runs; the key is pressed in
// the plot window and in the main frame.
TEST_F(LongWork, TheSliderAnimationsStopOnAAndEscapeWhereverTheFocusIs) {
  Start();
  const TopWindow frame = Frame();
  auto [w, slider] = SliderOfA();
  ASSERT_NE(slider.window, 0u);
  const std::string caption = Screen().Caption(w.id);
  for (int button : {740, 738}) {  // "Autozyk", "Autorev"
    SCOPED_TRACE(button);
    program_->ClickControl(slider, button);
    StopWith(w, w.id, "a");
    EXPECT_EQ(Screen().Caption(w.id), caption);
    EXPECT_TRUE(Screen().WaitFor(slider.caption, 2000).id) << "the slider dialog did not come back";
    program_->ClickControl(slider, button);
    StopWith(w, frame.id, "Escape");
    EXPECT_TRUE(Screen().WaitFor(slider.caption, 2000).id);
  }
}

}  // namespace
}  // namespace kvdisplay
