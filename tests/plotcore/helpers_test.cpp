// Mapping of world points, the pixel neighbourhood test, value lines and
// the small option helpers of the plot layers.
#include <gtest/gtest.h>

#include <cmath>

#include "core_window.h"
#include "platform/bitmap.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;

double D(long double v) { return static_cast<double>(v); }

TEST_F(CoreWindowTest, WorldPointsAreMappedByTheSelectedMappingOrLogAxes) {
  struct Case {
    const char* setup;  // "plain", "402", "401", "logxy"
    TPoint2D in;
    bool ok;
    TPoint2D out;
  } cases[] = {
      {"plain", {1, 2}, true, {1, 2}},   {"402", {1, 2}, true, {0, 3}},       {"401", {1, 2}, true, {-3, 4}},
      {"logxy", {100, 0.1L}, true, {2, -1}}, {"logxy", {-1, 1}, false, {}}, {"402bad", {1, 2}, false, {}},
  };
  const int uv = w->AppendEquation(kKindPlaneMap, {"2x-y", "x+y"});
  const int f = w->AppendEquation(kKindComplexMap, {"zz"});
  const int bad = w->AppendEquation(kKindPlaneMap, {"sqrt(-x)", "y"});
  for (const Case& c : cases) {
    const std::string s = c.setup;
    w->mappedFlag = s != "plain" && s != "logxy";
    w->selectedMapping = static_cast<std::int16_t>(s == "402" ? uv : s == "401" ? f : s == "402bad" ? bad : -1);
    w->LogWindowType = s == "logxy" ? 1 : 0;
    w->AxisKind = s == "logxy" ? 3 : 0;
    w->SetComplexMode(s == "401");
    TPoint2D p = c.in;
    EXPECT_EQ(w->MapWorldPoint(p), c.ok) << s;
    if (c.ok) {
      EXPECT_NEAR(D(p.x), D(c.out.x), 1e-15) << s;
      EXPECT_NEAR(D(p.y), D(c.out.y), 1e-15) << s;
    }
  }
  w->SetComplexMode(false);
  w->LogWindowType = 0;
  w->AxisKind = 0;
  // A sampled curve goes through the mapping.
  w->mappedFlag = 1;
  w->selectedMapping = static_cast<std::int16_t>(uv);
  const int line = w->AppendEquation(kKindExplicit, {"", "0"});
  kvtest::RunCollector runs;
  w->SampleEquation(line, runs);
  ASSERT_FALSE(runs.runs.empty());
  for (const auto& p : runs.runs[0]) EXPECT_NEAR(D(p.y), D(p.x) / 2, 1e-15);  // (2x, x)
}

TEST_F(CoreWindowTest, LogAxesMapOnlyTheShownValuesButStartPointsAndVelocitiesAnywhereAbove0) {
  w->LogWindowType = 3;
  w->AxisKind = 3;
  w->LogValueRange = {0.1L, 100, 0.1L, 100};
  struct Case {
    TPoint2D value;
    bool shown, start;
    TPoint2D world;
  } cases[] = {
      {{1, 10}, true, true, {0, 1}},
      {{100, 0.1L}, true, true, {2, -1}},
      {{1000, 1}, false, true, {3, 0}},    // beyond the shown decades
      {{0, 1}, false, false, {}},          // zero has no logarithm
      {{-5, 1}, false, false, {}},
      {{1, NAN}, false, false, {}},
  };
  for (const Case& c : cases) {
    TPoint2D p = c.value;
    EXPECT_EQ(w->MapWorldPoint(p), c.shown) << D(c.value.x);
    if (c.shown) {
      EXPECT_NEAR(D(p.y), D(c.world.y), 1e-15);
    }
    TPoint2D q = c.value;
    EXPECT_EQ(w->MoveToMappedPoint(q), c.start) << D(c.value.x);
    if (c.start) {
      EXPECT_NEAR(D(q.x), D(c.world.x), 1e-15);
      EXPECT_NEAR(D(q.y), D(c.world.y), 1e-15);
    }
  }
  // d(log10 x)/dt = (dx/dt) / (x ln 10): y = 10^t moves one decade per unit.
  TPoint2D v{0, 100 * std::log(10.0L)};
  ASSERT_TRUE(w->ScaleVectorForLogAxes({5, 100}, v));
  EXPECT_NEAR(D(v.y), 1, 1e-15);
  EXPECT_EQ(D(v.x), 0);
  v = {1, 1};
  EXPECT_FALSE(w->ScaleVectorForLogAxes({-1, 1}, v));
  EXPECT_EQ(v, (TPoint2D{1, 1}));
  w->AxisKind = 2;  // only y: x velocities stay
  v = {3, 1};
  ASSERT_TRUE(w->ScaleVectorForLogAxes({-1, 1}, v));
  EXPECT_NEAR(D(v.x), 3, 1e-15);
  w->LogWindowType = 0;
  w->AxisKind = 0;
  w->LogValueRange = {0, HUGE_VALL, 0, HUGE_VALL};
  // Without logarithmic axes a velocity is what it is.
  v = {3, 4};
  ASSERT_TRUE(w->ScaleVectorForLogAxes({-1, -1}, v));
  EXPECT_EQ(v, (TPoint2D{3, 4}));
}

TEST_F(CoreWindowTest, PixelNeighbourhoodSeesDrawnPixels) {
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  w->BackgroundColour = plat::Rgb(255, 255, 255);
  bmp.SetPixel(301, 199, plat::Rgb(1, 2, 3));  // next to world (1, 1) = pixel (300, 200)
  struct Case {
    TPoint2D p;
    long colour;
    bool expected;
  } cases[] = {{{1, 1}, -1, true},
               {{1, 1}, static_cast<long>(plat::Rgb(1, 2, 3)), true},
               {{1, 1}, static_cast<long>(plat::Rgb(9, 9, 9)), false},
               {{-1, -1}, -1, false},
               {{50, 50}, -1, false}};
  for (const Case& c : cases) EXPECT_EQ(w->TestPixelNeighbourhood(dc, c.p, c.colour), c.expected);
}

TEST_F(CoreWindowTest, OverlayMaskAndVariableRoles) {
  struct Case {
    int mask;
    int first;
  } cases[] = {{0, 0}, {1, 1}, {0b100100, 3}, {0b1000000, 0}, {0b1111111, 1}};
  for (const Case& c : cases) {
    w->SetOverlayMask(c.mask);
    EXPECT_EQ(w->GetOverlayMask(), c.mask);
    EXPECT_EQ(w->firstOverlayRule, c.first);
  }
  EXPECT_EQ(TPlot0Win::FormatVariableRoles(0), "000000");
  EXPECT_EQ(TPlot0Win::FormatVariableRoles(4095), "333333");
  for (int code : {0, 1, 27, 1000, 4095})
    EXPECT_EQ(TPlot0Win::ParseVariableRoles(TPlot0Win::FormatVariableRoles(code)), code);
  for (const char* bad : {"", "12345", "1234567", "123456x", "400000"})
    EXPECT_EQ(TPlot0Win::ParseVariableRoles(bad), -1) << bad;
}

TEST_F(CoreWindowTest, ValueLinesTablesAndCaptions) {
  std::string buffer;
  w->AppendValueLine(buffer, 0, 8, 3, {1.5L, -2, 9});
  EXPECT_EQ(buffer, "   1.500   -2.000\r\n");
  const int seq = w->AppendEquation(kKindSequence, {"x+1", "2y"});
  TEquationItem& item = w->AddTrajectoryItem(seq, {0, 1, 0}, 0, 0, 3, 1);
  EXPECT_EQ(w->FormatValueReport(item, kKindSequence, 1), "0.0 1.0");
  buffer.clear();
  // The item table: n, x, y of a sequence; t, x, y of a trajectory.
  w->DrawEquationItem(buffer, seq, item, 0, 0, ";");
  EXPECT_EQ(buffer, "0;0;1\r\n1;1;2\r\n2;2;4\r\n3;3;8\r\n");
  buffer.clear();
  w->DrawEquationItem(buffer, seq, item, 6, 1);
  EXPECT_EQ(buffer.substr(0, 40), "     0   0.0   1.0\r\n     1   1.0   2.0\r\n");
  const int ode = w->AppendEquation(kKindOde, {"-y", "x"});
  TEquationItem& circle = w->AddTrajectoryItem(ode, {1, 0, 0}, 2, 0.01L, 0, 1);
  buffer.clear();
  w->DrawEquationItem(buffer, ode, circle, 0, 2);  // endless: cut at the table's limit
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), '\n'), TPlotWin::kMaxTableLines);
  EXPECT_EQ(buffer.substr(0, 32), "0.00\t1.00\t0.00\r\n0.01\t1.00\t0.01\r\n");
  EXPECT_EQ(w->GetCurrentValueLabel('A'), "aktueller A-Wert");
  EXPECT_EQ(w->GetCurrentValueLabel(20), "aktueller T-Wert");
  w->SetItemWidth(seq, 500);
  EXPECT_EQ(w->Equation(seq).penWidth, 100);
  w->SetItemColour(seq, 99);
  EXPECT_EQ(w->Equation(seq).penColour, 0);
  EXPECT_TRUE(w->HasValueTable(seq));
  w->Equation(seq).items.clear();
  EXPECT_FALSE(w->HasValueTable(seq));
  EXPECT_TRUE(w->HasValueTable(w->AppendEquation(kKindExplicit, {"", "x"})));
  EXPECT_FALSE(w->HasValueTable(w->AppendEquation(kKindImplicit, {"", "", "", "", "x=y"})));
  const int point = w->AppendEquation(kKindPoint, {"1", "2"});
  w->Equation(point).startValue() = 1;
  w->Equation(point).rollRadius() = 2;
  EXPECT_EQ(w->GetEquationPoint(point), (TPoint2D{1, 2}));
  EXPECT_EQ(w->GetEquationPoint(seq), w->Centre);
}

TEST_F(CoreWindowTest, OptionCommandsAndLabels) {
  EXPECT_TRUE(w->Command(kCmDrawXor));
  EXPECT_EQ(w->drawingMode, kCmDrawXor);
  EXPECT_TRUE(w->Command(kCmFillInsteadOfHatch));
  EXPECT_EQ(w->fillInsteadOfHatch, 1);
  EXPECT_TRUE(w->Command(kCmCriticalAngle));
  EXPECT_EQ(w->criticalAngle, 0);
  EXPECT_TRUE(w->Command(kCmInfiniteSlope));
  EXPECT_EQ(w->infiniteSlope, 1);
  plat::testing::AnswerDialog("ONEINPUT", {{211, "0"}}, 1);
  w->Command(kCmHiddenLines);
  EXPECT_EQ(w->View3D.SegmentPieces, 12);
  plat::testing::AnswerDialog("ONEINPUT", {{211, "4"}}, 1);
  w->Command(kCmHiddenLines);
  EXPECT_EQ(w->View3D.SegmentPieces, 4);
  EXPECT_EQ(w->View3D.SegmentPieceLength, 0.25L);
  plat::testing::AnswerDialog("ONEINPUT", {{211, "3"}}, 1);
  w->Command(kCmPointSize);
  EXPECT_EQ(w->MarkerSizeCode, 3);
  plat::testing::AnswerDialog("ONEINPUT", {{211, "2.5"}}, 1);
  w->Command(kCmLoopClosing);
  EXPECT_EQ(w->loopClosingTolerance, 2.5L);
  plat::testing::AnswerDialog("ONEINPUT", {{211, "80"}}, 1);
  w->Command(kCmInventorySize);
  EXPECT_EQ(w->InventorySize(), 80);
  // The prompts read formulas; a count below 1 is not positive, one beyond
  // the field out of bounds, and the setting stays.
  const struct {
    int command;
    const char* text;
    const char* message;
  } prompts[] = {{kCmHiddenLines, "40000", "jenseits der Grenzen"}, {kCmPointSize, "0", "positiver Wert?"},
                 {kCmPointSize, "sqrt(16)", ""}, {kCmLoopClosing, "2000", "jenseits der Grenzen"}};
  for (const auto& c : prompts) {
    plat::testing::ClearMessages();
    plat::testing::AnswerDialog("ONEINPUT", {{211, c.text}}, 1);
    w->Command(c.command);
    EXPECT_EQ(plat::testing::Messages().empty() ? "" : plat::testing::Messages().back().text, c.message) << c.text;
  }
  EXPECT_EQ(w->View3D.SegmentPieces, 4);
  EXPECT_EQ(w->MarkerSizeCode, 4);
  EXPECT_EQ(w->loopClosingTolerance, 2.5L);

  w->AppendEquation(kKindExplicit, {"", "xsin(x)"});
  w->AddEquationLabel();
  w->AppendEquation(kKindPolar, {"", "", "3cos(2t)"});
  w->AddEquationLabel();
  ASSERT_EQ(w->equationLabels.size(), 2u);
  EXPECT_EQ(w->equationLabels[0].text, "y = xsin(x)");
  EXPECT_LT(w->equationLabels[1].anchor.y, w->equationLabels[0].anchor.y);
  w->Equation(0).formulaText[1] = "cos(x)";
  w->UpdateEquationLabel(0);
  EXPECT_EQ(w->equationLabels[0].text, "y = cos(x)");
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  w->DrawEquationLabels(dc);
  EXPECT_NE(bmp, plat::Bitmap(501, 501));
}

}  // namespace
}  // namespace kv
