// A newcomer's first steps on a real display: a 2D window from the frame's
// menu, a formula typed into its dialog, the picture it draws.
#include "support/display_test.h"

namespace kvdisplay {
namespace {

class FirstUse : public DisplayTest {};

TEST_F(FirstUse, AFormulaTypedIntoTheDialogIsDrawn) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  const Image empty = Settled(w.id);
  const std::size_t from = program_->Log().Size();
  Screen().Key("F1");
  auto d = program_->WaitDialog("EQUA201", from, 3000);
  ASSERT_TRUE(d) << "the dialog of y = f(x) did not appear";
  EXPECT_EQ(d->caption, "y = f(x)");
  program_->SetText(*d, 212, "x^2");
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
  const Image drawn = Settled(w.id);
  EXPECT_NE(drawn.pixels, empty.pixels) << "the curve is not on the screen";
}

}  // namespace
}  // namespace kvdisplay
