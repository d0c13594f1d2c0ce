// The 2D window's tools as a user sees them on a real display: the check
// mark of "&Punkte verbinden", the mark of a zero, the side a roulette
// rolls on, the decimals of a term label, the dy/dx dialog's "als Text
// speichern" and the range window of a mapping following a new solution in
// its domain.
#include <algorithm>
#include <cmath>
#include <map>

#include "support/display_test.h"

namespace kvdisplay {
namespace {

constexpr int kNewExplicit = 901;     // "&1. y = f(x) ..."
constexpr int kConnectPoints = 702;   // "&Punkte verbinden"
constexpr int kZeros = 707;           // "&Nullstellen ..."
constexpr int kMouseTerms = 129;      // "Ter&me"
constexpr int kNewDyDt = 910;         // "dy/d&t ..."
constexpr int kNewDyDx = 911;         // "dy/d&x ..."
constexpr int kDyDtSolutions = 780;   // "dy/d&t Bahnkurve ..."
constexpr int kDyDxSolutions = 781;   // "dy/d&x Bahnkurve ..."
constexpr int kNewMapping = 1102;     // "&Neu ..." of "&Abbild"
constexpr int kRoulettes = 789;       // "&Rollkurven ..."

class Tools2D : public DisplayTest {
 protected:
  // Runs the command, waits for its dialog and answers it with the texts
  // and Enter.
  void NewEntry(const TopWindow& w, int command, const std::string& dialog,
                const std::vector<std::pair<int, std::string>>& texts) {
    EnterByCommand(w, command, dialog, texts);
    Settled(w.id);
  }
};

TEST_F(Tools2D, PunkteVerbindenIsCheckedWhileThePointsAreJoined) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  auto item = program_->MenuItem(w.id, kConnectPoints);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->check, 'c') << "a new window joins the points of its curves";
  Menu(w, kConnectPoints);
  item = program_->MenuItem(w.id, kConnectPoints);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->check, 'u');
}

// The zero of y = x - 2 is marked by an arrow that points down onto it from
// above (three strokes, the longest 15 pixels up), not by a cross.
TEST_F(Tools2D, AZeroIsMarkedByAnArrowFromAbove) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  NewEntry(w, kNewExplicit, "EQUA201", {{212, "x-2"}});
  const Image before = Settled(w.id);
  const LoggedDialog d = OpenDialog(w, kZeros, "ZEROS");
  ASSERT_NE(d.window, 0u);
  Image after;
  ASSERT_TRUE(Eventually(
      [&] {
        after = Screen().Capture(w.id);
        return after.pixels != before.pixels;
      },
      5000))
      << "no mark on the plot";
  after = Settled(w.id);
  ASSERT_EQ(after.w, before.w);
  int left = after.w, right = -1, top = after.h, bottom = -1;
  for (int y = 0; y < after.h; ++y)
    for (int x = 0; x < after.w; ++x)
      if (after.At(x, y) != before.At(x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, left);
  EXPECT_GE(bottom - top + 1, 15) << "the arrow's shaft";
  EXPECT_LE(right - left + 1, 12) << "an arrow five pixels to each side, no cross seven";
}

// "Rollkurven" on y = 0.5x with the dialog's defaults ("Linke Seite", t
// from 0 to 2pi, radius 1, arm 1) rolls the circle on the left of the line,
// above it.  In the line's frame, u along it from the origin and d the
// distance above it, the pen traces the cycloid (s - sin s, 1 - cos s) of
// the rolled length s: every pixel of the roulette lies on it.
TEST_F(Tools2D, ARouletteRollsOnTheSideTheDialogNames) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  const Image empty = PlotPicture(w);
  const LoggedDialog graph = OpenDialog(w, kNewExplicit, "EQUA201");
  ASSERT_NE(graph.window, 0u);
  const double xmin = Number(program_->TextOf(graph, 221)), xmax = Number(program_->TextOf(graph, 223));
  FillAndEnter(graph, {{212, "0.5x"}});
  const Image line = PlotPicture(w);
  const LoggedDialog d = OpenDialog(w, kRoulettes, "ROUL");
  ASSERT_NE(d.window, 0u);
  EXPECT_EQ(program_->TextOf(d, 213), "2pi");
  program_->ClickControl(d, 91);  // "Zeichnen"
  Settled(w.id);
  program_->ClickControl(d, 2);  // "Schließen"
  ASSERT_TRUE(Screen().WaitGone(d.window, 3000));
  const Image drawn = PlotPicture(w);
  ASSERT_EQ(drawn.w, empty.w);
  ASSERT_EQ(drawn.h, empty.h);

  // The axes are the fullest black row and column; the view is as wide in
  // y as in x for each pixel.
  int axisRow = 0, axisColumn = 0, bestRow = 0, bestColumn = 0;
  for (int y = 0; y < empty.h; ++y) {
    int n = 0;
    for (int x = 0; x < empty.w; ++x) n += empty.At(x, y) == 0x000000;
    if (n > bestRow) bestRow = n, axisRow = y;
  }
  for (int x = 0; x < empty.w; ++x) {
    int n = 0;
    for (int y = 0; y < empty.h; ++y) n += empty.At(x, y) == 0x000000;
    if (n > bestColumn) bestColumn = n, axisColumn = x;
  }
  const double perUnit = drawn.w / (xmax - xmin);
  // The roulette's colour: the one most of the new pixels have.
  std::map<std::uint32_t, int> added;
  for (int y = 0; y < drawn.h; ++y)
    for (int x = 0; x < drawn.w; ++x)
      if (drawn.At(x, y) != line.At(x, y) && drawn.At(x, y) != 0x000000) ++added[drawn.At(x, y)];
  ASSERT_FALSE(added.empty()) << "no roulette on the screen";
  const std::uint32_t colour =
      std::max_element(added.begin(), added.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  // The cycloid, finely sampled, in pixels of the line's frame.
  const double root = std::sqrt(1.25), pi = std::acos(-1.0);
  std::vector<std::pair<double, double>> cycloid;
  for (double s = 0; s <= 2 * pi * root; s += 0.002) cycloid.push_back({s - std::sin(s), 1 - std::cos(s)});
  int pixels = 0, below = 0, off = 0;
  for (int py = 0; py < drawn.h; ++py)
    for (int px = 0; px < drawn.w; ++px) {
      if (drawn.At(px, py) != colour || line.At(px, py) == colour) continue;
      const double x = (px - axisColumn) / perUnit, y = (axisRow - py) / perUnit;
      const double u = (x + 0.5 * y) / root, dist = (y - 0.5 * x) / root;
      if (std::fabs(dist) > 2.5 || u < -0.5) continue;  // the entry's caption stands at the top
      ++pixels;
      if (dist < -2 / perUnit) ++below;
      double nearest = 1e9;
      for (const auto& [cu, cd] : cycloid) nearest = std::min(nearest, std::hypot(u - cu, dist - cd));
      if (nearest * perUnit > 2) ++off;
    }
  ASSERT_GT(pixels, 200) << "too little of the roulette on the screen";
  EXPECT_EQ(below, 0) << "pixels of the roulette below the line";
  EXPECT_LT(off, pixels / 50) << off << " of " << pixels << " pixels more than two pixels off the cycloid";
}

TEST_F(Tools2D, TermDecimalsBeyondFifteenAreRefused) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  Menu(w, kMouseTerms);
  const Image plot = Settled(w.id);
  std::size_t from = program_->Log().Size();
  int x = plot.w / 2, y = plot.h / 2;
  Screen().ToScreen(w.id, x, y);
  Screen().Click(x, y, 3);
  auto d = program_->WaitDialog("NEWTEXT1", from, 3000);
  ASSERT_TRUE(d) << "no term dialog";
  program_->SetText(*d, 211, "1/4");
  program_->SetText(*d, 223, "16");
  from = program_->Log().Size();
  program_->ClickControl(*d, 1);  // "OK"
  EXPECT_TRUE(MessageSince(from, "jenseits der Grenzen", 3000)) << "the decimals were taken without a word";
  Confirm("?");
  EXPECT_TRUE(Screen().Exists(d->window)) << "the dialog stays open";
  program_->ClickControl(*d, 2);  // "Abbruch"
  EXPECT_TRUE(Screen().WaitGone(d->window, 3000));
}

TEST_F(Tools2D, TheDyDxDialogShowsItsTEditAndItsUnlabelledTextBox) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  NewEntry(w, kNewDyDx, "EQUA211", {{213, "x-y"}});
  const LoggedDialog d = OpenDialog(w, kDyDxSolutions, "IVP11");
  const LoggedControl* keep = d.Find(275);
  ASSERT_NE(keep, nullptr);
  EXPECT_TRUE(keep->visible);
  EXPECT_EQ(keep->text, "");
  const LoggedControl* t = d.Find(216);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->visible);
}

// A solution started in the domain window of a mapping shows at once as its
// image in the range window.
TEST_F(Tools2D, ANewSolutionInTheDomainRedrawsTheRangeWindow) {
  Start();
  Menu(Frame(), 405);  // "Ebene &xy"
  const TopWindow range = Window("Wertebereich [Abbildung1.ma2]");
  const TopWindow domain = Window("Abbildung1.ma2");
  ASSERT_NE(range.id, 0u);
  ASSERT_NE(domain.id, 0u);
  const LoggedDialog mapping = OpenDialog(domain, kNewMapping, "EQUA402");
  ASSERT_NE(mapping.window, 0u);
  program_->ClickControl(mapping, 1);
  ASSERT_TRUE(Screen().WaitGone(mapping.window, 3000));
  Screen().Activate(domain.id);
  NewEntry(domain, kNewDyDt, "EQUA210", {{211, "1"}, {212, "0"}});
  const LoggedDialog ivp = OpenDialog(domain, kDyDtSolutions, "IVP10");
  ASSERT_NE(ivp.window, 0u);
  program_->SetText(ivp, 211, "-1");
  program_->SetText(ivp, 212, "1");
  Settled(domain.id);
  const Image before = Settled(range.id);
  program_->ClickControl(ivp, 91);  // "Zeichnen"
  EXPECT_TRUE(Eventually([&] { return Screen().Capture(range.id).pixels != before.pixels; }, 5000))
      << "the range window does not show the new solution";
}

}  // namespace
}  // namespace kvdisplay
