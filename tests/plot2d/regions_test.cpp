// The region, shading, combination and point tools of the 2D window as a
// user drives them: their menu commands, dialogs and what they leave in the
// inventory, on the screen and in the exports.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "entry/combine_dialog.h"
#include "entry/model/derived_items.h"
#include "entry/model/combinations.h"
#include "entry/plot11_win.h"
#include "entry/point_list_dialog.h"
#include "entry/point_set_dialog.h"
#include "platform/clipboard.h"
#include "plot2_test_util.h"
#include "plot2d/centroid_dialog.h"
#include "plot2d/shade_dialog.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace kv::test2d {
namespace {

namespace pt = plat::testing;

double D(long double v) { return static_cast<double>(v); }

std::string Number(TPlot2Win* w, long double v) {
  std::string s;
  w->FormatWindowNumber(v, s);
  return s;
}

// The area of a closed polygon.
double PolygonArea(const std::vector<TPoint2D>& p) {
  double a = 0;
  for (std::size_t k = 0; k < p.size(); ++k) {
    const TPoint2D& u = p[k];
    const TPoint2D& v = p[(k + 1) % p.size()];
    a += D(u.x * v.y - v.x * u.y);
  }
  return std::fabs(a) / 2;
}

bool SawMessage(const std::string& text, const std::string& caption = "") {
  for (const auto& m : pt::Messages())
    if (m.text == text && (caption.empty() || m.caption == caption)) return true;
  return false;
}

class Regions : public Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    pt::ClearMessages();
    w = MakeWindow();
  }
  int Implicit(const char* text) { return w->AppendEquation(kKindImplicit, {"", "", "", "", text}); }
  int Graph(const char* text) { return w->AppendEquation(kKindExplicit, {"", text}); }
  void Repaint() {
    w->InvalidatePlot();
    Settle(w);
  }
  TPlot2Win* w = nullptr;
};

TEST_F(Regions, TheUpperHalfDiscIsShadedAndHasItsCentroid) {
  w->ChangeView(0, 0, 1.6L);  // the whole disc in the view, darts land only there
  ASSERT_GT(D(w->World.ymax), 1.05);
  w->ColourSlots[11] = 20;  // a colour nothing else uses
  Implicit("x^2+y^2=1");
  Implicit("y=0");
  w->Command(kCmShadeImplicit);
  TCentroidDlg* d = w->CentroidDialog();
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d->ListCount(kCentroidCurves), 2);
  EXPECT_EQ(d->ListCount(kCentroidInequalities), 0);
  // Two curves: turning one needs a choice.
  d->ListSetSel(kCentroidCurves, -1);
  d->Press(kCentroidLess);
  EXPECT_TRUE(SawMessage("Auswahl treffen"));
  d->ListSetSel(kCentroidCurves, 0);
  d->Press(kCentroidLess);
  d->ListSetSel(kCentroidCurves, 1);
  d->Press(kCentroidGreater);
  ASSERT_EQ(d->ListCount(kCentroidInequalities), 2);
  EXPECT_EQ(d->ListText(kCentroidInequalities, 0), "x^2+y^2<1");
  EXPECT_EQ(d->ListText(kCentroidInequalities, 1), "y>0");
  EXPECT_EQ(w->Equation(0).subValue, w->ColourSlots[11]);

  // Hatched (the default mode 0): the dots lie in the upper half disc only.
  ASSERT_EQ(w->regionMode, 0);
  Repaint();
  const plat::Bitmap& shot = w->Surface();
  const plat::Colour dots = w->DrawingColourOf(w->ColourSlots[11]);
  int inside = 0;
  for (int py = w->AreaOriginY(); py < w->AreaOriginY() + w->AreaHeight(); ++py) {
    for (int px = w->AreaOriginX(); px < w->AreaOriginX() + w->AreaWidth(); ++px) {
      if (shot.GetPixel(px, py) != dots) continue;
      const long double x = w->PixelToWorldX(px), y = w->PixelToWorldY(py);
      ASSERT_LT(D(x * x + y * y), 1.01) << px << "," << py;
      ASSERT_GT(D(y), -0.01) << px << "," << py;
      ++inside;
    }
  }
  EXPECT_GT(inside, 500);
  shot.WritePngFile(kvtest::BuildTreeDir() + "/region_half_disc.png");

  // The centroid of the intersection: (0, 4 / (3 pi)), shown as x and y
  // and nothing besides.
  d->Press(kCentroidMean);
  EXPECT_EQ(w->regionMode, 1);
  EXPECT_TRUE(d->IsItemVisible(kCentroidRun));
  // A whole number of at least 1 up to the field's bound; "A" stops a
  // long run, whose darts so far give the estimate.
  for (const auto& [count, code] :
       {std::pair{"0", 14}, {"0.6", 14}, {"2.5", 14}, {"x", 14}, {"2147483648", 17}, {"2147483647", 0}}) {
    pt::ClearMessages();
    d->SetItemText(kCentroidCount, count);
    plat::testing::InjectKey(*w, 'A');
    EXPECT_EQ(d->CmRun(), code) << count;
    EXPECT_EQ(plat::PollKey(*w), code == 0 ? 0 : 'A') << count;
    if (code != 0) {
      EXPECT_TRUE(SawMessage(code == 14 ? "positiver Wert?" : "jenseits der Grenzen")) << count;
    }
  }
  EXPECT_EQ(w->dartCount, 2147483647);
  EXPECT_NEAR(D(d->Centroid().y), 4 / (3 * M_PI), 0.05);
  // The plot file keeps the count.
  const std::string path = kvtest::MakeTempDir("regions") + "darts.kv2";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());
  TPlot2Win* b = MakeWindow();
  b->FileData.FileName = path;
  ASSERT_EQ(b->OpenFile(), 0);
  EXPECT_EQ(b->dartCount, 2147483647);
  plat::SeedRandom(2024);
  d->SetItemText(kCentroidCount, "400000");
  ASSERT_EQ(d->CmRun(), 0);
  EXPECT_EQ(w->dartCount, 400000);
  EXPECT_NEAR(D(d->Centroid().x), 0, 0.005);
  EXPECT_NEAR(D(d->Centroid().y), 4 / (3 * M_PI), 0.005);
  EXPECT_EQ(d->GetItemText(kCentroidResult),
            "x = " + Number(w, d->Centroid().x) + "\r\ny = " + Number(w, d->Centroid().y));
  EXPECT_EQ(d->GetItemText(kCentroidNote), "");
  // Without "Schnitt" the chosen inequality alone: the whole disc.
  d->SetCheck(kCentroidCombined, false);
  d->Press(kCentroidCombined);
  EXPECT_EQ(w->regionMode, 3);
  d->ListSetSel(kCentroidInequalities, 0);
  ASSERT_EQ(d->CmRun(), 0);
  EXPECT_NEAR(D(d->Centroid().y), 0, 0.005);

  // "Alles löschen" answered no keeps the signs, yes clears them.
  pt::AnswerDialog("YNMBOX", {}, 89);
  d->Press(kCentroidDeleteAll);
  EXPECT_EQ(d->ListCount(kCentroidInequalities), 2);
  pt::AnswerDialog("YNMBOX", {}, 88);
  d->Press(kCentroidDeleteAll);
  EXPECT_EQ(d->ListCount(kCentroidInequalities), 0);
  EXPECT_EQ(w->Equation(1).subKind, 0);
}

TEST_F(Regions, EachInequalityDotsItsOwnRegionInModeTwo) {
  Implicit("x=0");
  Implicit("y=0");
  w->Equation(0).subKind = -1;  // x > 0
  w->Equation(1).subKind = -1;  // y > 0
  w->Equation(0).subValue = 20;
  w->Equation(1).subValue = 30;
  w->regionMode = 2;
  Repaint();
  const plat::Bitmap& shot = w->Surface();
  int first = 0, second = 0;
  for (int py = w->AreaOriginY() + 5; py < w->AreaOriginY() + w->AreaHeight() - 5; ++py) {
    for (int px = w->AreaOriginX() + 5; px < w->AreaOriginX() + w->AreaWidth() - 5; ++px) {
      const plat::Colour c = shot.GetPixel(px, py);
      const long double x = w->PixelToWorldX(px), y = w->PixelToWorldY(py);
      if (c == w->DrawingColourOf(20)) {
        ++first;
        ASSERT_GT(D(x), -0.05);
      }
      if (c == w->DrawingColourOf(30)) {
        ++second;
        ASSERT_GT(D(y), -0.05);
      }
    }
  }
  EXPECT_GT(first, 1000);
  EXPECT_GT(second, 1000);
  // A hidden inequality shows no dots and takes no lattice: the second is
  // then the first shown and starts at (0, 0), not at (2, 1).
  w->Equation(0).visible = 0;
  Repaint();
  int off = 0, on = 0;
  for (int py = w->AreaOriginY(); py < w->AreaOriginY() + w->AreaHeight(); ++py)
    for (int px = w->AreaOriginX(); px < w->AreaOriginX() + w->AreaWidth(); ++px)
      if (w->Surface().GetPixel(px, py) == w->DrawingColourOf(30)) ++(px % 3 == 0 && py % 3 == 0 ? on : off);
  EXPECT_GT(on, 1000);
  EXPECT_EQ(off, 0);
  EXPECT_EQ(CountColour(w->Surface(), w->DrawingColourOf(20)), 0);
  w->Equation(0).visible = 1;
  // Mode 1 (centroid with "Schnitt") shows no dots.
  w->regionMode = 1;
  Repaint();
  EXPECT_EQ(CountColour(w->Surface(), w->DrawingColourOf(20)), 0);
}

TEST_F(Regions, InequalityDotsKeepTheirLatticeInEveryOutput) {
  Implicit("x=0");
  w->Equation(0).subKind = -1;  // x > 0
  w->Equation(0).subValue = 20;
  const plat::Colour own = w->DrawingColourOf(20);
  const plat::Colour common = w->DrawingColourOf(w->ColourSlots[static_cast<std::size_t>(w->regionColour)]);
  const int left = w->AreaOriginX();
  const int top = w->AreaOriginY();
  struct Case {
    const char* what;
    bool common;
    int scale;      // of a scaled copy (the high-resolution metafile)
    int thickness;  // the print thickness
    int spacing;
  } cases[] = {
      {"own region", false, 1, 0, 3},
      {"scaled copy", false, 3, 0, 9},
      {"print thickness", false, 1, 1, 3},
      {"common region", true, 1, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w->ScaleLineWidths = c.scale > 1 ? 1 : 0;
    w->LineWidthFactor = static_cast<std::int16_t>(c.scale);
    w->FrameWidth = static_cast<std::int16_t>(c.thickness);
    // The common region starts at a random one of its offsets: several
    // drawings show more than one.
    std::set<std::pair<int, int>> starts;
    for (int seed = 1; seed <= (c.common ? 12 : 1); ++seed) {
      plat::SeedRandom(static_cast<std::uint32_t>(seed));
      plat::Bitmap b(w->ClientWidth, w->ClientHeight, w->GetColour(w->ColourSlots[0]));
      plat::BitmapDC dc(b);
      const plat::Colour colour = c.common ? common : own;
      if (c.common) {
        w->DotInequalities(dc);
      } else {
        w->DotInequalityRegion(dc, 0, 5);  // the sixth region's lattice starts at (0, 1)
      }
      // A dot is a pixel of the colour without one up and left of it; a
      // second pixel down and right of it only with a print thickness.
      int dots = 0, seconds = 0, neighbours = 0, inner = 0, doubled = 0;
      std::pair<int, int> start{-1, -1};
      for (int py = top; py <= top + w->AreaHeight(); ++py) {
        for (int px = left; px <= left + w->AreaWidth(); ++px) {
          if (b.GetPixel(px, py) != colour) continue;
          if (b.GetPixel(px - 1, py - 1) == colour) {
            ++seconds;
            continue;
          }
          ++dots;
          ASSERT_GT(D(w->PixelToWorldX(px)), 0.0);
          const std::pair<int, int> at{(px - left) % c.spacing, (py - top) % c.spacing};
          if (start.first < 0) start = at;
          ASSERT_EQ(at, start) << px << "," << py << ": every dot on one lattice";
          if (b.GetPixel(px + c.spacing, py) == colour) ++neighbours;
          if (px + 1 < b.Width() && py + 1 < b.Height()) {
            ++inner;
            if (b.GetPixel(px + 1, py + 1) == colour) ++doubled;
          }
        }
      }
      EXPECT_GT(dots, 100);
      EXPECT_GT(neighbours, dots / 2) << "dots are " << c.spacing << " pixels apart";
      EXPECT_EQ(doubled, c.thickness > 0 ? inner : 0);
      if (c.thickness == 0) {
        EXPECT_EQ(seconds, 0);
      }
      if (!c.common) {
        EXPECT_EQ(start, std::make_pair((0 - left % c.spacing + c.spacing) % c.spacing,
                                        (1 - top % c.spacing + c.spacing) % c.spacing));
      }
      starts.insert(start);
    }
    if (c.common) {
      EXPECT_GT(starts.size(), 1u);
    }
  }
  w->ScaleLineWidths = 0;
  w->LineWidthFactor = 1;
  w->FrameWidth = 0;

  // The pass hands on what a drawer answered: a point of a graph at a
  // parameter that is no number.
  const int graph = Graph("x");
  const int point = w->AddTracePointItem(graph, "1");
  ASSERT_GE(point, 0);
  w->Equation(point).formulaText[kTracePointParameterText] = "1+";
  plat::BitmapDC dc(w->BackBuffers[1]);
  EXPECT_EQ(w->DrawEquations(dc), 1);
}

TEST_F(Regions, HatchingBetweenTwoGraphsOnScreenAndInTheExports) {
  const int square = Graph("x^2");
  const int line = Graph("x");
  w->Command(kCmShadeExplicit);
  TShadeDlg* d = w->ShadeDialog();
  ASSERT_NE(d, nullptr);
  // "Zwischen" a graph and itself is refused.
  d->SetCheck(kShadeDlgAbove, false);
  d->SetCheck(kShadeDlgBetween, true);
  d->ListSetSel(kIdSecondCombo, d->IndexOfSecond(square));
  d->OnSelChange2();
  d->Press(kShadeDlgCreate);
  EXPECT_TRUE(SawMessage("zwei aussuchen"));
  EXPECT_TRUE(w->shadings.empty());
  // Between x^2 and x over [0, 1], the upper end tied to B.
  d->ListSetSel(kIdSecondCombo, d->IndexOfSecond(line));
  d->OnSelChange2();
  d->SetCheck(kShadeDlgInterval, true);
  d->SetItemText(kShadeDlgFrom, "0");
  d->SetItemText(kShadeDlgTo, "1@B");
  ASSERT_EQ(d->CmCreate(), 0);
  ASSERT_EQ(w->shadings.size(), 1u);
  const TShadeRecord& s = w->shadings.front();
  EXPECT_EQ(s.graphA, square);
  EXPECT_EQ(s.graphB, line);
  EXPECT_EQ(SplitPackedCode(s.packedCode).toLetter, 2);
  EXPECT_EQ(D(w->Engine().Variable(2).re), 1.0);
  EXPECT_EQ(d->ListText(kShadeDlgList, 0).rfind("zwischen {", 0), 0u);

  // On the screen: hatch pixels only between the graphs over [0, 1].
  w->fillInsteadOfHatch = 1;
  Repaint();
  const plat::Bitmap& shot = w->Surface();
  const plat::Colour fill = w->DrawingColourOf(s.colour);
  int inside = 0;
  for (int py = w->AreaOriginY(); py < w->AreaOriginY() + w->AreaHeight(); ++py) {
    for (int px = w->AreaOriginX(); px < w->AreaOriginX() + w->AreaWidth(); ++px) {
      const long double x = w->PixelToWorldX(px), y = w->PixelToWorldY(py);
      const long double m = 0.05L;
      const bool surelyIn = x > m && x < 1 - m && y > x * x + m && y < x - m;
      if (surelyIn) {
        ++inside;
        EXPECT_EQ(shot.GetPixel(px, py), fill) << px << "," << py;
      }
    }
  }
  EXPECT_GT(inside, 20);
  shot.WritePngFile(kvtest::BuildTreeDir() + "/shading_between.png");

  // In the exports: one hatched outline whose area is 1/6.
  for (TExportFormat f : {TExportFormat::Eps, TExportFormat::Svg, TExportFormat::Pictex}) {
    kvtest::RecordingSink& sink = kvtest::StartRecording(*w, f);
    plat::Bitmap page(600, 450);
    plat::BitmapDC dc(page);
    w->ShadeAll(dc);
    EXPECT_EQ(sink.Count("Hatch -1"), 1);
    EXPECT_NEAR(PolygonArea(sink.lastPolygon), 1.0 / 6, 0.002);
    kvtest::StopRecording(*w);
  }
}

TEST_F(Regions, ShadingRecordsCycleTheirPatternsAndDeleteNewestFirst) {
  Graph("sin(x)");
  w->Command(kCmShadeExplicit);
  TShadeDlg* d = w->ShadeDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->IsItemEnabled(kShadeDlgDelete));
  std::vector<int> patterns;
  for (int k = 0; k < 10; ++k) {
    d->SetCheck(kShadeDlgAbove, k % 2 == 0);
    d->SetCheck(kShadeDlgBelow, k % 2 == 1);
    ASSERT_EQ(d->CmCreate(), 0);
    patterns.push_back(SplitPackedCode(w->shadings.front().packedCode).pattern);
  }
  EXPECT_EQ(patterns, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0}));
  EXPECT_EQ(w->shadings.front().graphB, kShadeBelow);
  // The list names the side of each record, the newest first.
  EXPECT_EQ(d->ListText(kShadeDlgList, 0), "unter {y = sin(x)}");
  EXPECT_EQ(d->ListText(kShadeDlgList, 1), "über {y = sin(x)}");
  EXPECT_TRUE(d->IsItemEnabled(kShadeDlgDelete));
  d->ListSetSel(kShadeDlgList, 0);
  d->Press(kShadeDlgDelete);
  EXPECT_EQ(w->shadings.size(), 9u);
  EXPECT_EQ(SplitPackedCode(w->shadings.front().packedCode).pattern, 8) << "the newest went first";
  d->Press(kShadeDlgDeleteAll);
  EXPECT_TRUE(w->shadings.empty());
  // "Farbe" shows the window's colour window; "Schließen" takes it along.
  d->Press(kShadeDlgColour);
  ASSERT_TRUE(w->IsColourWindowVisible());
  d->Press(plat::IDCANCEL);
  EXPECT_FALSE(w->IsColourWindowVisible());
}

TEST_F(Regions, CombinationsFollowTheirSources) {
  const int f = Graph("sin(x)");
  const int g = Graph("x^2");
  w->Command(kCmCombinations);
  TCombineDlg* d = w->CombineDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->GetItemText(kComboButtonComposition), "f <-- g");
  d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(f));
  d->OnSelChange();
  d->ListSetSel(kIdSecondCombo, d->IndexOfSecond(g));
  d->OnSelChange2();
  const int buttons[] = {kComboButtonSum, kComboButtonDifference, kComboButtonProduct,
                         kComboButtonQuotient, kComboButtonPower, kComboButtonComposition};
  for (int b : buttons) d->Press(b);
  ASSERT_EQ(w->equationCount, 7);
  const int codes[] = {kComboSum, kComboDifference, kComboProduct, kComboQuotient, kComboPower, kComboComposition};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(w->Equation(2 + k).derivation, codes[k]);
    EXPECT_EQ(w->Equation(2 + k).kind, kKindExplicit);
  }
  // Editing g rebuilds every combination from it.
  w->Equation(g).formulaText[1] = "x^3";
  w->CompileEquation(g);
  w->RebuildDerivedEquations(g);
  auto at = [&](int i, long double x) {
    w->Engine().SetVariable('X', x);
    long double v = NAN;
    EvaluateReal(w->Engine(), w->Equation(i).trees[1].get(), v);
    return D(v);
  };
  EXPECT_NEAR(at(2, 1.5L), std::sin(1.5) + 3.375, 1e-12);
  EXPECT_NEAR(at(7, 1.5L), std::sin(3.375), 1e-12);
  // f(g) with g undefined left of 0 leaves a gap there, no line.
  w->Equation(g).formulaText[1] = "sqrt(x)";
  w->CompileEquation(g);
  w->RebuildDerivedEquations(g);
  for (int i = 0; i < 7; ++i) w->Equation(i).visible = 0;
  w->Equation(7).penColour = 20;
  Repaint();
  const plat::Bitmap& shot = w->Surface();
  const plat::Colour c = EntryColour(*w, 7);
  int left = 0;
  for (int py = 0; py < shot.Height(); ++py)
    for (int px = w->AreaOriginX(); px < w->WorldToPixelX(-0.1L); ++px) left += shot.GetPixel(px, py) == c;
  EXPECT_EQ(left, 0);
  EXPECT_GT(GraphCoverage(*w, shot, c, [](long double x) { return x > 0 ? std::sin(std::sqrt(x)) : NAN; }), 0.9);

  // A full inventory adds nothing and says so.
  while (w->equationCount < w->equationCapacity) Graph("1");
  const int before = w->equationCount;
  d->Press(kComboButtonSum);
  EXPECT_EQ(w->equationCount, before);
  EXPECT_TRUE(SawMessage("kein Platz mehr"));
}

TEST_F(Regions, PointSequencesSetsAndPastedNumbers) {
  // A point sequence on a curve, tied to it.
  const int curve = w->AppendEquation(kKindParametric, {"t", "t*t"});
  w->Command(kCmPointList);
  TPtListDlg* list = w->PointListDialog();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetItemText(kPtListLabel), "t =");
  list->SetItemText(kPtListValues, "-1 0 0.5 2");
  list->SetItemText(kPtListSize, "101");
  list->Press(kPtListDraw);
  EXPECT_TRUE(SawMessage("jenseits der Grenzen"));
  EXPECT_EQ(w->equationCount, curve);
  list->SetItemText(kPtListSize, "100");
  list->Press(kPtListDraw);
  ASSERT_EQ(w->equationCount, curve + 1);
  const TEquation& seq = w->Equation(curve + 1);
  EXPECT_EQ(seq.kind, kKindPointSequence);
  EXPECT_EQ(seq.auxValue3, 4);
  EXPECT_EQ(seq.penWidth, 100);

  // 100 points from a formula in N.
  ASSERT_TRUE(w->ResizeInventory(200, true));
  w->Command(kCmPointSets);
  TManyPtDlg* set = w->PointSetDialog();
  ASSERT_NE(set, nullptr);
  EXPECT_FALSE(set->IsItemVisible(kManySpherical));
  set->SetCheck(kManyClipboard, false);
  set->SetCheck(kManyFormulas, true);
  set->SetItemText(kManyFirstText, "N/10");
  set->SetItemText(kManyFirstText + 1, "sin(N/10)");
  set->SetItemText(kManyFrom, "1");
  set->SetItemText(kManyTo, "100");
  const int first = w->equationCount + 1;
  ASSERT_EQ(set->CmShow(), 0);
  ASSERT_EQ(w->equationCount, first + 99);
  EXPECT_EQ(w->Equation(first).kind, kKindPoint);
  EXPECT_EQ(w->Equation(first + 99).formulaText[1], "sin((100)/10)");
  // From 5 to 4 is refused; point size 0 too.
  set->SetItemText(kManyTo, "4");
  set->SetItemText(kManyFrom, "5");
  EXPECT_EQ(set->CmShow(), 6);
  set->SetItemText(kManyTo, "10");
  set->SetItemText(kManySize, "0");
  EXPECT_EQ(set->CmShow(), 17);
  set->SetItemText(kManySize, "2");

  // Pasted measured values: a spreadsheet column pair.
  set->SetCheck(kManyFormulas, false);
  set->SetCheck(kManyClipboard, true);
  ASSERT_TRUE(plat::clipboard::SetText("0.5\t1.25\r\n1\t-2\r\n1.5\t3\r\n"));
  const int pasted = w->equationCount + 1;
  ASSERT_EQ(set->CmShow(), 0);
  ASSERT_EQ(w->equationCount, pasted + 2);
  EXPECT_EQ(w->Equation(pasted + 1).formulaText[0], "1");
  EXPECT_EQ(w->Equation(pasted + 1).formulaText[1], "-2");
  // A malformed line is named and nothing is added.
  pt::ClearMessages();
  ASSERT_TRUE(plat::clipboard::SetText("1 2\r\n3 4\r\n5,6.7.8 9\r\n"));
  const int count = w->equationCount;
  EXPECT_EQ(set->CmShow(), 1);
  EXPECT_EQ(w->equationCount, count);
  EXPECT_TRUE(SawMessage("unverständlich", "Zeile 3"));
  // Text without numbers gets a message too.
  ASSERT_TRUE(plat::clipboard::SetText("Messung A\r\n"));
  EXPECT_EQ(set->CmShow(), 24);
  EXPECT_TRUE(SawMessage("fehlende Daten"));
}

}  // namespace
}  // namespace kv::test2d
