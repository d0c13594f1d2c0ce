// A newcomer's first steps on a real display: a 2D window from the frame's
// menu, a formula typed into its dialog, the curve drawn where its values
// lie, the picture's size typed into its two fields.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

class FirstUse : public DisplayTest {
 protected:
  Image Picture(const TopWindow& w) { return PlotPicture(w); }
};

// The row (or column) of the picture with the most pixels of colour c.
int FullestLine(const Image& p, std::uint32_t c, bool rows) {
  int best = -1, bestCount = 0;
  for (int i = 0; i < (rows ? p.h : p.w); ++i) {
    int n = 0;
    for (int j = 0; j < (rows ? p.w : p.h); ++j) n += (rows ? p.At(j, i) : p.At(i, j)) == c;
    if (n > bestCount) best = i, bestCount = n;
  }
  return best;
}

// y = -x^2/8 is drawn below the x-axis, a parabola open downwards through
// the origin: at x = +-2 it lies half a unit below the axis and at x = +-4
// two units, in the scale the axes show (the dialog offers the view's x
// range as the curve's range).  A formula read as (-x)^2 would lie above.
// The fields' texts are selected as the focus reaches them (first field,
// Tab), so that what is typed replaces the text offered.
TEST_F(FirstUse, AFormulaTypedIntoTheDialogIsDrawnWhereItsValuesLie) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  const Image empty = Picture(w);
  const std::size_t from = program_->Log().Size();
  Screen().Key("F1");
  auto d = program_->WaitDialog("EQUA201", from, 3000);
  ASSERT_TRUE(d) << "the dialog of y = f(x) did not appear";
  EXPECT_EQ(d->caption, "y = f(x)");
  const double xmin = std::stod(program_->TextOf(*d, 221)), xmax = std::stod(program_->TextOf(*d, 223));
  ASSERT_LT(xmin, -4.5);
  ASSERT_GT(xmax, 4.5);
  EXPECT_EQ(program_->TypeInto(*d, 212, "-x^2/8"), "-x^2/8") << "the offered formula was kept";
  Screen().Key("Return");
  ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
  const Image drawn = Picture(w);
  ASSERT_EQ(drawn.w, empty.w);
  ASSERT_EQ(drawn.h, empty.h);

  // The axes are black; the curve is the colour that came with it.
  const int axisRow = FullestLine(empty, 0x000000, true), axisColumn = FullestLine(empty, 0x000000, false);
  std::map<std::uint32_t, int> added;
  for (int y = 0; y < drawn.h; ++y)
    for (int x = 0; x < drawn.w; ++x)
      if (drawn.At(x, y) != empty.At(x, y) && drawn.At(x, y) != 0x000000) ++added[drawn.At(x, y)];
  ASSERT_FALSE(added.empty()) << "the curve is not on the screen";
  const std::uint32_t curve =
      std::max_element(added.begin(), added.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  const double perUnit = drawn.w / (xmax - xmin);
  // Where the curve crosses a column within three units of the x-axis (the
  // label, in the curve's colour, stands at the top): the middle of its
  // pixels there.
  const auto rowAt = [&](int column) {
    int sum = 0, n = 0;
    for (int y = 0; y < drawn.h; ++y)
      if (drawn.At(column, y) == curve && std::abs(y - axisRow) <= 3 * perUnit) sum += y, ++n;
    return n ? static_cast<double>(sum) / n : NAN;
  };
  for (const double x : {-4.0, -2.0, 2.0, 4.0}) {
    SCOPED_TRACE("x = " + std::to_string(x));
    const int column = axisColumn + static_cast<int>(std::lround(x * perUnit));
    const double below = (rowAt(column) - axisRow) / perUnit;
    EXPECT_NEAR(below, x * x / 8, 0.1) << "the curve lies " << below << " units below the x-axis";
  }

  const LoggedDialog size = OpenDialog(w, 90, "TWOINPUT");  // "Bild&größe ..."
  EXPECT_EQ(program_->TypeInto(size, 211, "12"), "12");
  Screen().Key("Tab");
  EXPECT_EQ(program_->TypeInto(size, 212, "9"), "9");
  Screen().Key("Return");
  EXPECT_TRUE(Screen().WaitGone(size.window, 3000));
}

}  // namespace
}  // namespace kvdisplay
