// The logarithmic window, the mapping pair and the exports on a real
// display: what a user sees after typing equations, adding mappings and
// exporting, driven by key presses and mouse clicks alone.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

class PlaneAndExports : public DisplayTest {
 protected:
  // Enters y = f(x) through "&1. y = f(x) ..." (F1) and waits for the
  // window to show it.
  void EnterExplicit(const TopWindow& w, const std::string& formula) {
    const Image before = Settled(w.id);
    Screen().Activate(w.id);
    const std::size_t from = program_->Log().Size();
    Screen().Key("F1");
    auto d = program_->WaitDialog("EQUA201", from, 3000);
    ASSERT_TRUE(d) << "no equation dialog for " << formula;
    program_->SetText(*d, 212, formula);
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
    ASSERT_TRUE(Eventually([&] { return Screen().Capture(w.id).pixels != before.pixels; }, 8000))
        << formula << " was not drawn";
    Settled(w.id);
  }
};

// How many pixels of the picture have a colour that the plain window
// `plain` nowhere has: the pixels of the curves and their captions.
int CurvePixels(const Image& plain, const Image& img) {
  std::set<std::uint32_t> known(plain.pixels.begin(), plain.pixels.end());
  int n = 0;
  for (std::uint32_t c : img.pixels) n += known.count(c) == 0;
  return n;
}

// Three curves on log-log axes are three thin lines: y = x^2, x^3 and 3x
// colour a few thousand pixels of a fresh window (lines and captions), not
// the tens of thousands a filled area beside a curve would; and the same
// after the window is made larger by its border.
TEST_F(PlaneAndExports, CurvesOnLogLogAxesAreLinesNotFilledAreas) {
  Start();
  Menu(Frame(), 415);  // "&3   (log x ; log y)"
  const TopWindow w = Window("Unbenannt1.lkv");
  ASSERT_NE(w.id, 0u);
  const Image empty = Settled(w.id);
  EnterExplicit(w, "x^2");
  EnterExplicit(w, "x^3");
  EnterExplicit(w, "3x");
  const Image drawn = Settled(w.id);
  EXPECT_LT(CurvePixels(empty, drawn), 6000) << "the curves fill areas of the window";

  // Larger by the bottom-right corner of its frame, as a user drags it.
  const Rect g = Screen().Geometry(w.id);
  // The grip of the window manager's frame just below the client area.
  int x = g.w - 2, y = g.h + 3;
  Screen().ToScreen(w.id, x, y);
  Screen().Press(x, y);
  for (int k = 1; k <= 10; ++k) Screen().MoveTo(x + 12 * k, y + 8 * k);
  Screen().Release(x + 120, y + 80);
  ASSERT_TRUE(Eventually([&] { return Screen().Geometry(w.id).w > g.w + 50; }, 5000)) << "the window kept its size";
  const Image larger = Settled(w.id);
  EXPECT_LT(CurvePixels(empty, larger), 7000) << "the curves fill areas of the larger window";
}

}  // namespace
}  // namespace kvdisplay
