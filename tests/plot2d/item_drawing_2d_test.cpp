// The 2D window's drawers of implicit curves, segments, lines, points and
// point sequences, direction fields and dy/dx solutions, checked on the
// pixels of the window's surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "graphics/recording_dc.h"
#include "plot2d/plot2_test_util.h"
#include "support/pixel_checks.h"
#include "support/recording_sink.h"

namespace kv {
namespace {

using test2d::ColourNear;
using test2d::EntryColour;
using test2d::GraphCoverage;

constexpr long double kPi = 3.14159265358979323846L;

class ItemDrawing : public test2d::Plot2Test {
 protected:
  int Add(TPlot2Win* w, int kind, std::initializer_list<std::string_view> texts) {
    const int i = w->AppendEquation(kind, texts);
    w->CompileEquation(i);
    return i;
  }
  static void Repaint(TPlot2Win* w) {
    w->RepaintNow(false);
    Settle(w);
  }
  static bool Near(TPlot2Win& w, const TPoint2D& p, plat::Colour c, int r = 1) {
    return ColourNear(w.Surface(), w.WorldToPixelX(p.x), w.WorldToPixelY(p.y), c, r);
  }
  // The share of the points in view that have a pixel of the colour nearby.
  static double Coverage(TPlot2Win& w, plat::Colour c, long double lo, long double hi,
                         const std::function<TPoint2D(long double)>& f, int r = 1) {
    int tested = 0;
    int hit = 0;
    for (int k = 0; k <= 600; ++k) {
      const TPoint2D p = f(lo + (hi - lo) * k / 600);
      if (p.x < w.World.xmin + 0.05L || p.x > w.World.xmax - 0.05L || p.y < w.World.ymin + 0.05L ||
          p.y > w.World.ymax - 0.05L)
        continue;
      ++tested;
      if (Near(w, p, c, r)) ++hit;
    }
    return tested == 0 ? 0.0 : static_cast<double>(hit) / tested;
  }
  // Pixels of the colour within r pixels of a world point.
  static int CountNear(TPlot2Win& w, const TPoint2D& p, plat::Colour c, int r) {
    const int px = w.WorldToPixelX(p.x);
    const int py = w.WorldToPixelY(p.y);
    int n = 0;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (w.Surface().GetPixel(px + dx, py + dy) == c) ++n;
    return n;
  }
};

TEST_F(ItemDrawing, ImplicitCurvesAreDrawnCompletelyAtTheDefaultView) {
  TPlot2Win* w = MakeWindow();
  struct Case {
    const char* text;
    long double lo, hi;
    std::vector<std::function<TPoint2D(long double)>> branches;
  } cases[] = {
      {"xx-yy=0", -6, 6, {[](long double t) { return TPoint2D{t, t}; }, [](long double t) { return TPoint2D{t, -t}; }}},
      {"xx+yy=1", 0, 2 * kPi, {[](long double t) { return TPoint2D{std::cos(t), std::sin(t)}; }}},
      {"xx+yy=0.01", 0, 2 * kPi, {[](long double t) { return TPoint2D{0.1L * std::cos(t), 0.1L * std::sin(t)}; }}},
      // The lemniscate r² = 2 cos 2t, both loops and the crossing.
      {"(xx+yy)^2=2(xx-yy)",
       -kPi / 4,
       kPi / 4,
       {[](long double t) {
          const long double r = std::sqrt(std::max(0.0L, 2 * std::cos(2 * t)));
          return TPoint2D{r * std::cos(t), r * std::sin(t)};
        },
        [](long double t) {
          const long double r = std::sqrt(std::max(0.0L, 2 * std::cos(2 * t)));
          return TPoint2D{-r * std::cos(t), -r * std::sin(t)};
        }}},
      // sin x = cos y: the diagonal lattice x + y = π/2 + 2πk, y - x = -π/2 + 2πk.
      {"sin(x)=cos(y)",
       -8,
       8,
       {[](long double t) { return TPoint2D{t, kPi / 2 - t}; }, [](long double t) { return TPoint2D{t, t - kPi / 2}; },
        [](long double t) { return TPoint2D{t, 5 * kPi / 2 - t}; }, [](long double t) { return TPoint2D{t, t + 3 * kPi / 2}; },
        [](long double t) { return TPoint2D{t, -3 * kPi / 2 - t}; }, [](long double t) { return TPoint2D{t, t - 5 * kPi / 2}; }}},
  };
  for (const Case& c : cases) {
    w->ClearInventory();
    const int i = Add(w, kKindImplicit, {"", "", "", "", c.text});
    Repaint(w);
    const plat::Colour colour = EntryColour(*w, i);
    for (std::size_t b = 0; b < c.branches.size(); ++b)
      EXPECT_GT(Coverage(*w, colour, c.lo, c.hi, c.branches[b]), 0.99) << c.text << " branch " << b;
  }
  // The crossing of the lemniscate: pixels on all four arms next to the origin.
  w->ClearInventory();
  const int lem = Add(w, kKindImplicit, {"", "", "", "", "(xx+yy)^2=2(xx-yy)"});
  Repaint(w);
  for (TPoint2D p : {TPoint2D{0.08L, 0.08L}, TPoint2D{-0.08L, 0.08L}, TPoint2D{0.08L, -0.08L}, TPoint2D{-0.08L, -0.08L}})
    EXPECT_TRUE(Near(*w, p, EntryColour(*w, lem), 1)) << static_cast<double>(p.x) << "," << static_cast<double>(p.y);
}

TEST_F(ItemDrawing, ImplicitFamiliesAndRangeWindowsOfAMapping) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindImplicit, {"", "", "", "", "xx+yy=aa"});
  TEquation& e = w->Equation(i);
  e.familyOn = 1;
  e.familyLetter = 1;
  e.familyStart = 1;
  e.familyEnd = 3;
  e.familySteps = 2;
  e.webToAxis = 1;
  Repaint(w);
  const plat::Colour c = EntryColour(*w, i);
  for (long double r : {1.0L, 2.0L, 3.0L})
    EXPECT_GT(Coverage(*w, c, 0, 2 * kPi, [r](long double t) { return TPoint2D{r * std::cos(t), r * std::sin(t)}; }),
              0.99)
        << r;
  EXPECT_EQ(e.webToAxis, 0) << "the request to trace again is served";
  // A window that maps its plane does not draw the implicit equation.
  w->mappedFlag = 1;
  plat::Bitmap bmp(200, 200);
  plat::BitmapDC dc(bmp);
  EXPECT_EQ(w->DrawImplicitEquation(dc, i), 0);
  w->mappedFlag = 0;
}

TEST_F(ItemDrawing, SegmentsWithArrowHeadsAtEitherEnd) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindSegment, {"-1.5", "3.0", "3.5", "1.0"});
  TEquation& e = w->Equation(i);
  const TPoint2D p1{-1.5L, 3}, p2{3.5L, 1};
  const plat::Colour c = EntryColour(*w, i);
  int near1[4], near2[4];
  for (int mode = 0; mode < 4; ++mode) {
    e.arrowMode = static_cast<std::int16_t>(mode);
    e.arrowSize = 5;  // 15 pixels
    Repaint(w);
    near1[mode] = CountNear(*w, p1, c, 6);
    near2[mode] = CountNear(*w, p2, c, 6);
    EXPECT_GT(Coverage(*w, c, 0, 1, [&](long double t) { return TPoint2D{p1.x + (p2.x - p1.x) * t, p1.y + (p2.y - p1.y) * t}; }),
              0.99)
        << mode;
  }
  // A head fills far more pixels around its end than the line alone.
  EXPECT_GT(near1[1], 2 * near1[0]);
  EXPECT_GT(near2[2], 2 * near2[0]);
  EXPECT_GT(near1[3], 2 * near1[0]);
  EXPECT_GT(near2[3], 2 * near2[0]);
  EXPECT_LT(near1[2], 2 * near1[0]);
  EXPECT_LT(near2[1], 2 * near2[0]);
  // What the drawer records: the box, the head length, the vertical flag.
  EXPECT_EQ(e.lowerBound, (TPoint2D{-1.5L, 1}));
  EXPECT_EQ(e.upperBound, (TPoint2D{3.5L, 3}));
  EXPECT_NEAR(static_cast<double>(e.arrowLength()), static_cast<double>(15 * w->UnitsPerPixelX), 1e-12);
  EXPECT_EQ(e.notVertical, 1);
  // Clipped to the view, a segment keeps what is visible; one wholly
  // outside reports 9 and draws nothing.
  const int far = Add(w, kKindSegment, {"20", "20", "30", "40"});
  plat::Bitmap bmp(100, 100);
  plat::BitmapDC dc(bmp);
  w->SaveVariables();
  EXPECT_EQ(w->DrawSegmentEquation(dc, far), 9);
  // A family leaves out the members outside the view and draws the rest:
  // x = 8 sin a for a = 0, 1, 2, 3 is 0, 6.7 (outside), 7.3 (outside), 1.1.
  const int fam = Add(w, kKindSegment, {"8sin(a)", "-2", "8sin(a)", "2"});
  TEquation& f = w->Equation(fam);
  f.familyOn = 1;
  f.familyLetter = 1;
  f.familyStart = 0;
  f.familyEnd = 3;
  f.familySteps = 3;
  w->Equation(far).visible = 0;
  Repaint(w);
  const plat::Colour fc = EntryColour(*w, fam);
  EXPECT_TRUE(Near(*w, {0, 0}, fc, 1));
  EXPECT_TRUE(Near(*w, {8 * std::sin(3.0L), 0}, fc, 1)) << "a member after the ones outside the view";
  w->SaveVariables();
  EXPECT_EQ(w->DrawSegmentEquation(dc, fam), 0);
  w->RestoreVariables();
}

TEST_F(ItemDrawing, LinesAcrossTheViewAndAsFamilies) {
  TPlot2Win* w = MakeWindow();
  // x = 2: vertical, over the whole height.
  const int v = Add(w, kKindLine, {"1", "0", "2"});
  // y = A for A = -2 .. 2.
  const int h = Add(w, kKindLine, {"0", "1", "a"});
  TEquation& f = w->Equation(h);
  f.familyOn = 1;
  f.familyLetter = 1;
  f.familyStart = -2;
  f.familyEnd = 2;
  f.familySteps = -4;  // shown one by one
  f.familyDelay = 0;
  // 0x + 0y = 1 is no line.
  const int none = Add(w, kKindLine, {"0", "0", "1"});
  Repaint(w);
  const plat::Colour cv = EntryColour(*w, v);
  EXPECT_GT(Coverage(*w, cv, w->World.ymin, w->World.ymax, [](long double y) { return TPoint2D{2, y}; }), 0.99);
  EXPECT_EQ(w->Equation(v).notVertical, 0);
  EXPECT_EQ(w->Equation(v).kindFlag, 1);
  EXPECT_NEAR(static_cast<double>(w->Equation(v).LineEnd1().x), 2, 1e-15);
  EXPECT_NEAR(static_cast<double>(w->Equation(v).upperBound.y - w->Equation(v).lowerBound.y),
              static_cast<double>(w->World.ymax - w->World.ymin - 2 * w->UnitsPerPixelY), 1e-9);
  const plat::Colour ch = EntryColour(*w, h);
  for (long double a : {-2.0L, -1.0L, 0.0L, 1.0L, 2.0L})
    EXPECT_GT(Coverage(*w, ch, w->World.xmin, w->World.xmax, [a](long double x) { return TPoint2D{x, a}; }), 0.99)
        << static_cast<double>(a);
  EXPECT_EQ(w->Equation(h).notVertical, 1);
  EXPECT_EQ(w->Equation(none).kindFlag, 0);
}

TEST_F(ItemDrawing, PointsAreMarkersOnTopOfTheCurves) {
  TPlot2Win* w = MakeWindow();
  // The point comes first in the inventory, the line through it after.
  const int p = Add(w, kKindPoint, {"1", "1"});
  const int hollow = Add(w, kKindPoint, {"-2", "1"});
  const int polar = Add(w, kKindPoint, {"2", "pi/2"});
  w->Equation(polar).polarInput = 1;
  const int line = Add(w, kKindLine, {"0", "1", "1"});
  TEquation& e = w->Equation(p);
  e.penWidth = 3;
  w->Equation(hollow).penWidth = 3;
  w->Equation(hollow).penStyle = 1;
  Repaint(w);
  const plat::Colour cp = EntryColour(*w, p);
  EXPECT_EQ(w->Surface().GetPixel(w->WorldToPixelX(1), w->WorldToPixelY(1)), cp) << "the point lies above the line";
  EXPECT_GT(CountNear(*w, {1, 1}, cp, 6), 12);
  EXPECT_NE(w->Surface().GetPixel(w->WorldToPixelX(-2), w->WorldToPixelY(1) - 1), EntryColour(*w, hollow))
      << "a hollow marker";
  EXPECT_GT(CountNear(*w, {-2, 1}, EntryColour(*w, hollow), 6), 6);
  EXPECT_GT(CountNear(*w, {0, 2}, EntryColour(*w, polar), 3), 4) << "(2; pi/2) in polar form";
  EXPECT_NEAR(static_cast<double>(w->Equation(polar).values[4].y), 2, 1e-15);
  (void)line;
  // The arc of a polar point's angle is solid for the thick look too.
  TEquation& q = w->Equation(polar);
  q.interpolated = 1;  // guide lines on
  int arcPixels[2] = {};
  for (int look : {1, 3}) {
    q.subKind = static_cast<std::int16_t>(look * 256);  // the fifth digit: the arc
    Repaint(w);
    arcPixels[look / 2] = CountNear(*w, {std::sqrt(2.0L), std::sqrt(2.0L)}, EntryColour(*w, polar), 4);
  }
  EXPECT_GT(arcPixels[0], 4);
  EXPECT_EQ(arcPixels[1], arcPixels[0]);
}

TEST_F(ItemDrawing, PointSequencesShowTheCurvesPointsAtTheirValues) {
  TPlot2Win* w = MakeWindow();
  const int s = w->AppendEquation(kKindPointSequence, {"", "", "", "-1 0.5 2 9"});
  TEquation& e = w->Equation(s);
  e.subKind = kKindExplicit;
  e.auxValue4 = 24;
  e.cellDepths = {-1, 0.5L, 2, 9};
  e.auxValue3 = 4;
  e.sampleLower() = -3;
  e.sampleUpper() = 3;
  e.penWidth = 2;
  w->Engine().Compile("xx/2", e.trees[1]);
  Repaint(w);
  const plat::Colour c = EntryColour(*w, s);
  for (long double x : {-1.0L, 0.5L, 2.0L}) EXPECT_GT(CountNear(*w, {x, x * x / 2}, c, 3), 4) << static_cast<double>(x);

  // The letter a point item sets while it draws has its value back
  // afterwards: a sequence's running letter, a trace point's X or T.
  const int graph = Add(w, kKindExplicit, {"", "xx/2"});
  const int curve = Add(w, kKindParametric, {"t", "t"});
  const int onGraph = w->AddTracePointItem(graph, "1.5");
  const int onCurve = w->AddTracePointItem(curve, "0.25");
  ASSERT_GE(onGraph, 0);
  ASSERT_GE(onCurve, 0);
  // A file keeps a graph's point at its parameter in the fourth text.
  EXPECT_EQ(w->Equation(onGraph).formulaText[3], "1.5");
  EXPECT_EQ(w->Equation(onCurve).formulaText[3], "0.25");
  struct Case {
    int entry;
    std::int16_t sequenceLetter;
    char letter;
  } cases[] = {{s, 24, 'X'}, {s, 20, 'T'}, {s, 3, 'C'}, {onGraph, 0, 'X'}, {onCurve, 0, 'T'}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.letter);
    if (k.sequenceLetter != 0) e.auxValue4 = k.sequenceLetter;
    w->SetVariable(k.letter, 7);
    plat::BitmapDC dc(w->BackBuffers[1]);
    EXPECT_EQ(w->DrawPointItem(dc, k.entry), 0);
    EXPECT_EQ(static_cast<double>(w->Variable(k.letter).re), 7.0);
  }
}

// Counts the calls of the point items' slot for sampled items.
class SampledItemWin : public TPlot2Win {
 public:
  using TPlot2Win::TPlot2Win;
  void DrawSampledItem(plat::DC& dc, int i) override {
    ++calls[i];
    TPlot2Win::DrawSampledItem(dc, i);
  }
  std::map<int, int> calls;
};

// Every point item with its guide flag and a role word asks the slot, once
// per point it shows; without the flag none does.
TEST_F(ItemDrawing, PointItemsWithTheGuideFlagAskTheSampledItemSlot) {
  auto* w = new SampledItemWin(nullptr, "Unbenannt1.kv2");
  windows_.push_back(w);
  w->FileVersion = 33;
  ASSERT_TRUE(w->Create());
  w->MoveWindow(20, 40, 600, 450);
  w->Show(plat::SW_SHOW);
  Settle(w);
  const int point = Add(w, kKindPoint, {"1", "1"});
  const int graph = Add(w, kKindExplicit, {"", "x/2"});
  ASSERT_EQ(w->AddPointSequenceEquation(graph, "-1 0 1", 2), 0);
  const int sequence = w->equationCount;
  for (bool flag : {false, true}) {
    for (int i : {point, sequence}) {
      w->Equation(i).interpolated = flag ? 1 : 0;
      w->Equation(i).subKind = i == point ? 5 : kKindExplicit;
    }
    w->calls.clear();
    plat::BitmapDC dc(w->BackBuffers[1]);
    w->DrawPointItem(dc, point);
    w->DrawPointItem(dc, sequence);
    EXPECT_EQ(w->calls[point], flag ? 1 : 0);
    EXPECT_EQ(w->calls[sequence], flag ? 3 : 0);
  }
}

// The whole road of a sequence made by the point-list tool: the curve's
// range reaches the drawing, so values outside it show no point.
TEST_F(ItemDrawing, APointSequenceShowsOnlyTheValuesInItsCurvesRange) {
  TPlot2Win* w = MakeWindow();
  const int circle = w->AppendEquation(kKindPolar, 0, 6.28319L, "", "", "2");
  w->CompileEquation(circle);
  w->Equation(circle).visible = 0;  // the markers alone on the surface
  w->ColourSlots[8] = 12;
  ASSERT_EQ(w->AddPointSequenceEquation(circle, "0 1.5708 3.14159 -1 7", 2), 0);
  Repaint(w);
  const int s = w->equationCount;
  const plat::Colour c = EntryColour(*w, s);
  const struct {
    long double t;
    bool shown;
  } cases[] = {{0, true}, {1.5708L, true}, {3.14159L, true}, {-1, false}, {7, false}};
  int shown = 0;
  for (const auto& k : cases) {
    const TPoint2D p{2 * std::cos(k.t), 2 * std::sin(k.t)};
    const bool marker = CountNear(*w, p, c, 3) > 4;
    EXPECT_EQ(marker, k.shown) << static_cast<double>(k.t);
    shown += marker ? 1 : 0;
  }
  EXPECT_EQ(shown, 3);
}

TEST_F(ItemDrawing, DirectionFieldOfYPrimeEqualsY) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindOdeDyDx, {"", "", "y"});
  TEquation& e = w->Equation(i);
  e.fieldRows = 10;
  e.fieldMode = 1;
  e.subKind = 4;
  Repaint(w);
  const plat::Colour c = w->DrawingColourOf(w->CheckColourIndex(4));
  // Elements at the grid points, as long as the stored element length.
  const long double h = (w->World.ymax - w->World.ymin) / 10;
  int found = 0, tested = 0;
  for (int col = -3; col <= 3; ++col)
    for (int row = -3; row <= 3; ++row) {
      const TPoint2D p{col * h, row * h};
      ++tested;
      if (Near(*w, p, c, 1)) ++found;
    }
  EXPECT_EQ(found, tested);
  EXPECT_GT(e.elementLength, 0);
  // Along the x axis the elements are horizontal: pixels at the element's
  // ends, on the axis row (a line leaves out its last pixel).
  const long double l = e.elementLength * 0.8L;
  EXPECT_TRUE(Near(*w, {h + l, 0}, c, 0));
  EXPECT_TRUE(Near(*w, {h - l, 0}, c, 0));
  // A dotted field: PiCTeX gets solid segments, EPS the entry's style.
  e.penStyle = 1;
  for (const auto& [format, style] : {std::pair{TExportFormat::Pictex, 0}, std::pair{TExportFormat::Eps, 1}}) {
    kvtest::RecordingSink& sink = kvtest::StartRecording(*w, format);
    kvtest::RecordingDC rec;
    w->SaveVariables();
    EXPECT_EQ(w->DrawDirectionField(rec, i), 0);
    w->RestoreVariables();
    ASSERT_FALSE(sink.linePens.empty());
    for (const TExportPen& pen : sink.linePens) EXPECT_EQ(pen.style, style) << static_cast<int>(format);
    kvtest::StopRecording(*w);
  }
  e.penStyle = 0;
  // No field below 0.2 percent.
  e.fieldLength = 1;
  Repaint(w);
  EXPECT_EQ(test2d::CountColour(w->Surface(), c), 0);
}

TEST_F(ItemDrawing, DyDxSolutionsFollowTheirFieldAndAreListed) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindOdeDyDx, {"", "", "y"});
  w->Equation(i).fieldMode = 0;
  Repaint(w);
  w->ColourSlots[8] = 9;
  ASSERT_EQ(w->AddDyDxTrajectoryBuffered(i, {0, 1}, 0.01L, kMethodRungeKutta, 2), 0);
  ASSERT_EQ(w->Equation(i).items.size(), 1u);
  TEquationItem& item = w->Equation(i).items.front();
  EXPECT_EQ(item.pen.colour, 9);
  EXPECT_EQ(item.pen.width, 2);
  // ln 3.75 or so: the solution leaves through the top (edge stop is the default).
  const long steps = static_cast<long>(item.stepLimit);
  EXPECT_NEAR(static_cast<double>(steps * 0.01L), std::log(static_cast<double>(w->World.ymax)), 0.011);
  Repaint(w);
  const plat::Colour c = w->DrawingColourOf(w->CheckColourIndex(9));
  EXPECT_GT(Coverage(*w, c, 0, std::log(static_cast<double>(w->World.ymax)) - 0.05,
                     [](long double x) { return TPoint2D{x, std::exp(x)}; }),
            0.99);
  // The table lists the start and every step.
  std::string table;
  w->DrawEquationItem(table, i, item, 12, 6);
  std::size_t lines = 0;
  for (char ch : table) lines += ch == '\n';
  EXPECT_EQ(lines, static_cast<std::size_t>(steps + 1));
  // Backwards from (0, 1) to the left side, with the edge not stopping it.
  w->Equation(i).unclipped = 0;
  ASSERT_EQ(w->AddDyDxTrajectoryBuffered(i, {0, 1}, -0.125L, kMethodEuler, 1), 0);
  EXPECT_EQ(w->Equation(i).items.front().stepLimit, std::floor(-w->World.xmin / 0.125L));

  // Followed, y' = 0 from (-4, 1) in steps of 0.25 at 10 ms each: a repaint at 105 ms shows the
  // eleven steps on the screen by then, and the run still ends with all of them.
  const int flat = Add(w, kKindOdeDyDx, {"", "", "0"});
  w->Equation(flat).fieldMode = 0;
  w->ColourSlots[8] = 4;
  const plat::Colour c4 = w->DrawingColourOf(w->CheckColourIndex(4));
  const auto shows = [&](const plat::Bitmap& b, int j) {
    return kvtest::ColourNear(b, w->WorldToPixelX(-4 + (j - 0.5L) / 4), w->WorldToPixelY(1), c4, 1);
  };
  plat::testing::FakeTicks(true);
  plat::Bitmap middle;
  plat::testing::AtTick(105, [&] {
    w->InvalidatePlot();
    w->RepaintNow(false);
    middle = w->Surface();
  });
  w->followFlag = 1;
  w->followDelay = 100;
  ASSERT_EQ(w->AddDyDxTrajectoryBuffered(flat, {-4, 1}, 0.25L, kMethodEuler, 1), 0);
  w->followFlag = 0;
  plat::testing::FakeTicks(false);
  EXPECT_EQ(kvtest::StepsShown(middle, 24, shows), 11);
  EXPECT_EQ(kvtest::StepsShown(w->Surface(), 24, shows), 24);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// Segments with heads, lines, points, fields and solutions reach the export
// being recorded as its figures, and not the screen.
TEST_F(ItemDrawing, EveryKindGoesToTheRecordedExport) {
  TPlot2Win* w = MakeWindow();
  const int seg = Add(w, kKindSegment, {"-1.5", "3.0", "3.5", "1.0"});
  w->Equation(seg).arrowMode = 3;
  const int line = Add(w, kKindLine, {"1", "1", "1"});
  const int point = Add(w, kKindPoint, {"1", "1"});
  const int pdx = Add(w, kKindOdeDyDx, {"", "", "x-y"});
  w->Equation(pdx).fieldRows = 4;
  w->AddItemForKind211(pdx, {-4, 1, 0}, 0.1L, kMethodRungeKutta, 3, 1);
  struct Case {
    int entry;
    std::vector<std::string> starts;  // the first calls of the entry's figures
  } cases[] = {
      {seg, {"Line", "Line", "Arrow open w1", "Line", "Arrow open w1"}},
      {line, {"Line"}},
      {point, {"Circle"}},
  };
  for (const Case& c : cases) {
    kvtest::RecordingDC dc;
    kvtest::RecordingSink& svg = kvtest::StartRecording(*w, TExportFormat::Svg);
    w->DrawEquation(dc, c.entry);
    EXPECT_EQ(svg.calls, c.starts) << c.entry;  // read before the recording stops
    if (c.entry != seg) {
      EXPECT_TRUE(dc.Of(kvtest::DrawCall::Line).empty()) << c.entry;
    }
    kvtest::StopRecording(*w);
  }
  kvtest::RecordingDC dc;
  kvtest::RecordingSink& svg = kvtest::StartRecording(*w, TExportFormat::Svg);
  w->DrawEquation(dc, pdx);
  const std::vector<std::string> calls = svg.calls;
  kvtest::StopRecording(*w);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().substr(0, 9), "Polyline ") << "the solution first, as one polyline";
  EXPECT_GT(std::count(calls.begin(), calls.end(), "Line"), 20) << "the field's elements";
}

}  // namespace
}  // namespace kv
