// The 2D window's curve and solid tools as the user meets them: the
// dialogs append derived entries that follow their sources, and the solids
// appear in the companion 3D windows.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/window_registry.h"
#include "core/binary_stream.h"
#include "core/constants.h"
#include "platform/resources.h"
#include "plot2d/curve_tool_dialogs.h"
#include "plot2d/model/curve_maps.h"
#include "plot2d/model/roulettes.h"
#include "plot2d/plot2_test_util.h"
#include "plot3d/plot3_win.h"
#include "plotcore/model/equation_record.h"
#include "plotcore/model/revolution_sliders.h"
#include "support/temp_dir.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

class CurveTools : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    RegisterWindowCreators();
    w = MakeWindow();
  }
  long double Eval(TEquation& e, std::size_t tree, int letter, long double at) {
    long double v = NAN;
    EXPECT_TRUE(w->EvaluateAt(e.trees[tree].get(), letter, at, v));
    return v;
  }
  // The curve point of entry i at parameter p (x = p for y = f(x)).
  TPoint2D Point(int i, long double p) {
    TEquation& e = w->Equation(i);
    if (e.kind == kKindExplicit) return {p, Eval(e, 1, 'X', p)};
    return {Eval(e, 0, 'T', p), Eval(e, 1, 'T', p)};
  }
  std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  TPlot2Win* w = nullptr;
};

TEST_F(CurveTools, MappedCurvesAreDerivedEntriesThatFollowTheirSource) {
  struct Case {
    int kind;
    std::array<const char*, 2> texts;  // before and after the change
    int code;
    std::array<std::string, 3> params;
  } cases[] = {
      {kKindExplicit, {"x^2", "x^2-1"}, kMapLine, {"1", "1", "2"}},
      {kKindExplicit, {"sin(x)", "cos(x)"}, kMapRotation, {"pi/2", "1", "1"}},
      {kKindExplicit, {"x^3", "x"}, kMapTranslation, {"1", "-2", "0"}},
      {kKindPolar, {"1+cos(t)", "2"}, kMapYAxis, {"1", "2", "3"}},
      {kKindPolar, {"t", "2t"}, kMapPoint, {"pi", "1", "1"}},
      {kKindPolar, {"1", "3"}, kMapTranslation, {"2", "0", "0"}},
      {kKindParametric, {"cos(t)", "t"}, kMapDiagonal, {"", "", ""}},
      {kKindParametric, {"t", "2"}, kMapRotation, {"-1", "0", "0"}},
      {kKindParametric, {"t^2", "t"}, kMapTranslation, {"0", "3", "0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " code " << c.code);
    w->ClearInventory();
    const std::size_t slot = c.kind == kKindPolar ? 2 : (c.kind == kKindExplicit ? 1 : 0);
    std::array<std::string, kFormulaSlots> texts{};
    texts[slot] = c.texts[0];
    if (c.kind == kKindParametric) texts[1] = "sin(t)";
    const int s = w->AppendEquationTexts(c.kind, texts);
    w->Equation(s).lowerBound.x = -2;
    w->Equation(s).upperBound.x = 2;
    ASSERT_EQ(w->TransformCurve({s}, c.code, c.params), 0);
    ASSERT_EQ(w->equationCount, 1);
    const TEquation& image = w->Equation(1);
    EXPECT_EQ(image.derivation, c.code);
    EXPECT_EQ(image.source1, s);
    long double q[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k)
      if (!c.params[static_cast<std::size_t>(k)].empty()) w->TextToValue(c.params[static_cast<std::size_t>(k)], q[k]);
    auto mapped = [&](TPoint2D p) -> TPoint2D {
      switch (c.code) {
        case kMapLine: {
          const long double t = (q[0] * p.x + q[1] * p.y - q[2]) / (q[0] * q[0] + q[1] * q[1]);
          return {p.x - 2 * q[0] * t, p.y - 2 * q[1] * t};
        }
        case kMapRotation: {
          const long double dx = p.x - q[1], dy = p.y - q[2];
          return {q[1] + dx * std::cos(q[0]) - dy * std::sin(q[0]), q[2] + dx * std::sin(q[0]) + dy * std::cos(q[0])};
        }
        case kMapTranslation: return {p.x + q[0], p.y + q[1]};
        case kMapYAxis: return {-p.x, p.y};
        case kMapPoint: return {2 * q[1] - p.x, 2 * q[2] - p.y};
        default: return {p.y, p.x};
      }
    };
    for (int round = 0; round < 2; ++round) {
      if (round == 1) {
        // The source changes: the image follows after the rebuild pass.
        w->Equation(s).formulaText[slot] = c.texts[1];
        w->CompileEquation(s);
        w->RebuildDerivedEquations(s);
      }
      for (long double p : {-1.0L, 0.5L, 1.5L}) {
        const TPoint2D want = mapped(Point(s, p));
        if (w->Equation(1).kind == kKindExplicit) {
          EXPECT_NEAR(D(Eval(w->Equation(1), 1, 'X', want.x)), D(want.y), 1e-9) << "round " << round;
        } else {
          const TPoint2D got = Point(1, p);
          EXPECT_NEAR(D(got.x), D(want.x), 1e-9) << "round " << round;
          EXPECT_NEAR(D(got.y), D(want.y), 1e-9) << "round " << round;
        }
      }
    }
  }
}

TEST_F(CurveTools, ReflectingMarkedCurvesAddsOneMirrorLineAndZurueckTakesThemBack) {
  for (const char* f : {"x", "x^2", "x^3"}) w->AppendEquation(kKindExplicit, {"", f});
  for (int i = 0; i < 3; ++i) w->EquationFlag(i) = 1;
  w->CmReflect();
  TReflDlg* d = w->ToolDialogs().reflect.get();
  ASSERT_NE(d, nullptr);
  d->SetCheck(251, true);
  d->SetCheck(271, true);
  d->Press(kIdToolAction);
  ASSERT_EQ(w->equationCount, 6);
  for (int i = 3; i < 6; ++i) EXPECT_EQ(w->Equation(i).derivation, kMapXAxis);
  EXPECT_EQ(w->Equation(6).kind, kKindLine);
  EXPECT_EQ(w->Equation(6).derivation, kMapMirrorLine);
  d->Press(kIdToolUndo);
  EXPECT_EQ(w->equationCount, 5) << "the line goes first";
  d->Press(kIdToolUndo);
  EXPECT_EQ(w->equationCount, 4);
  // A translation text holding x is refused with 406.
  w->CmTranslate();
  TTranDlg* t = w->ToolDialogs().translate.get();
  t->SetItemText(211, "x");
  t->Press(kIdToolAction);
  EXPECT_EQ(LastMessage(), plat::res::String(406));
  t->SetItemText(211, std::string(300, '1'));
  t->Press(kIdToolAction);
  EXPECT_EQ(LastMessage(), plat::res::String(420)) << "a text too long for a formula is refused";
  EXPECT_EQ(w->equationCount, 4);
  // A curve holding a letter binding is reflected only in the x-axis and
  // not rotated (501), but translated like any other.
  TEquation& bound = w->Equation(0);
  bound.trees[1].reset(NewUnaryNode(tok::LetterBinding, CloneTree(bound.trees[1].get())));
  ASSERT_TRUE(w->HasLetterBinding(0));
  struct Refusal {
    int code;
    int result;
  } refusals[] = {{kMapYAxis, 101}, {kMapRotation, 101}, {kMapXAxis, 0}, {kMapTranslation, 0}};
  for (const Refusal& r : refusals) {
    const int before = w->equationCount;
    EXPECT_EQ(w->TransformCurve({0}, r.code, {"1", "2", "0"}), r.result) << r.code;
    EXPECT_EQ(w->equationCount, before + (r.result == 0 ? 1 : 0)) << r.code;
  }
}

// "Verschieben" offers the kinds it has a rule for; a polar curve is not
// among them.
TEST_F(CurveTools, TheTranslationOffersNoPolarCurve) {
  const int polar = w->AppendEquation(kKindPolar, {"", "", "1"});
  const int graph = w->AppendEquation(kKindExplicit, {"", "x"});
  w->CmTranslate();
  TTranDlg* t = w->ToolDialogs().translate.get();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->IndexOfFirst(polar), -1);
  EXPECT_GE(t->IndexOfFirst(graph), 0);
  EXPECT_EQ(t->ListCount(kIdFirstCombo), 1);
}

TEST_F(CurveTools, SectorAreaOfACircleAndOfAGraph) {
  w->AppendEquation(kKindParametric, {"2cos(t)", "2sin(t)"});
  w->AppendEquation(kKindExplicit, {"", "1"});
  w->CmSectorArea();
  TSectorDlg* d = w->ToolDialogs().sector.get();
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->IsItemVisible(kIdSecondCombo));
  d->SetItemText(211, "0");
  d->SetItemText(212, "2pi");
  d->Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), D(4 * Pi), 1e-9);
  EXPECT_EQ(w->Equation(0).results.front().code, 55);
  // Under y = 1 from x = 0 to 2 the ray sweeps the triangle of area 1; it
  // turns clockwise, and the area is 1 all the same.
  d->ListSetSel(kIdFirstCombo, 1);
  d->OnSelChange();
  d->SetItemText(212, "2");
  d->Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), 1, 1e-12);
  EXPECT_EQ(d->GetItemText(kIdResult), w->integrationText);
}

TEST_F(CurveTools, RouletteEvoluteAndDerivativeGraphsAreAppendedAndDrawn) {
  const int s = w->AppendEquation(kKindExplicit, {"", "0.5x^2"});
  w->Equation(s).penColour = 17;  // the tools' graphs take the chosen curve's colour
  w->CmRoulettes();
  TRoulDlg* r = w->ToolDialogs().roulette.get();
  ASSERT_NE(r, nullptr);
  r->SetItemText(214, "-1");
  r->Press(kIdToolAction);
  EXPECT_EQ(LastMessage(), plat::res::String(406)) << "a negative radius is refused";
  r->SetItemText(214, "0.5");
  r->SetItemText(215, "-0.5");
  r->Press(kIdToolAction);
  ASSERT_EQ(w->equationCount, 1);
  EXPECT_EQ(w->Equation(1).kind, kKindRoulette);
  EXPECT_EQ(w->Equation(1).derivation, 82);
  EXPECT_EQ(w->Equation(1).penColour, 17);
  EXPECT_NEAR(D(w->Equation(1).rollFactor()), 2, 1e-15);
  EXPECT_NEAR(D(w->Equation(1).armFactor()), -1, 1e-15);
  // "Linke Seite", checked when the dialog opens, is what the entry keeps
  // (its equation dialog shows it): the circle rolls above the vertex, its
  // centre at (0; 0.5), and the pen half a radius beyond it, at (0; 1).
  EXPECT_EQ(w->Equation(1).kindFlag, 1);
  w->Engine().SetVariable('T', 0);
  long double rolled = -1;
  TPoint2D q, pen;
  ASSERT_EQ(RoulettePoint(w->Engine(), w->Equation(1), rolled, {}, q, pen, false), 0);
  EXPECT_NEAR(D(pen.x), 0, 1e-15);
  EXPECT_NEAR(D(pen.y), 1, 1e-15);
  w->CmEvolute();
  w->ToolDialogs().evolute->Press(kIdToolAction);
  ASSERT_EQ(w->equationCount, 2);
  EXPECT_EQ(w->Equation(2).kind, kKindParametric);
  EXPECT_EQ(w->Equation(2).penColour, 17);
  EXPECT_NEAR(D(Eval(w->Equation(2), 1, 'T', 0)), 1, 1e-12) << "centre of curvature at the vertex";
  w->AddDerivedGraph(s);
  w->AddDerivedGraph(3);
  ASSERT_EQ(w->equationCount, 4);
  EXPECT_EQ(w->Equation(4).auxValue1, 2) << "a derivative of a derivative has order 2";
  EXPECT_NEAR(D(Eval(w->Equation(4), 1, 'X', 3)), 1, 1e-12);
  // The roulette draws: pixels of its colour, the entries of the same
  // colour hidden.
  for (int k : {0, 2, 3, 4}) w->Equation(k).visible = 0;
  w->RepaintNow(false);
  Settle(w);
  EXPECT_GT(test2d::CountColour(w->Surface(), test2d::EntryColour(*w, 1)), 20);
}

TEST_F(CurveTools, AntiderivativeDrawsTheRunningIntegral) {
  const int i = w->AppendEquation(kKindAntiderivative, {"", "2x"});
  TEquation& e = w->Equation(i);
  e.lowerBound.x = -2;
  e.upperBound.x = 2;
  e.startValue() = 1;
  e.stepDensity = 0;  // as a damaged file may have it
  w->RepaintNow(false);
  Settle(w);
  EXPECT_GT(test2d::GraphCoverage(*w, w->Surface(), test2d::EntryColour(*w, i),
                                  [](long double x) { return x >= -2 && x <= 2 ? x * x - 1 : NAN; }),
            0.9);
}

TEST_F(CurveTools, RotatingASemicircleShowsASphereAndItsVolume) {
  w->AppendEquation(kKindExplicit, {"", "sqrt(1-x^2)"});
  // The volume beside it.
  w->CmRevolutionVolume();
  TRevDlg* v = w->ToolDialogs().revolve.get();
  ASSERT_NE(v, nullptr);
  v->SetItemText(211, "-1");
  v->SetItemText(212, "1");
  v->SetItemText(213, "200");
  v->Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), D(4 * Pi / 3), 1e-9);
  EXPECT_EQ(v->GetItemText(kIdResult).substr(0, 5), "4.188");
  ASSERT_FALSE(w->Equation(0).results.empty());
  EXPECT_EQ(w->Equation(0).results.front().code, 54);
  w->CmRevolutionSurface();
  v->Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), D(4 * Pi), 1e-6);
  EXPECT_EQ(w->Equation(0).results.front().code, 56);

  // The sphere in the companion window, its range end tied to A.
  const plat::Colour c = test2d::EntryColour(*w, 0);
  w->RepaintNow(false);
  Settle(w);
  const int plain = test2d::CountColour(w->Surface(), c);
  w->CmRotateCurve();
  TSurfDlg* s = w->ToolDialogs().surface.get();
  ASSERT_NE(s, nullptr);
  s->SetItemText(211, "-0.5");
  s->SetItemText(212, "0.5");
  s->Press(kIdShowCurve);
  w->RepaintNow(false);
  Settle(w);
  EXPECT_GT(test2d::CountColour(w->Surface(), c), plain + 50) << "the range to turn is drawn wider";
  // A segment to turn is drawn wider whole.
  const std::string y = std::to_string(static_cast<double>(0.8L * w->World.ymin + 0.2L * w->World.ymax));
  const int seg = w->AppendEquation(kKindSegment, {"0", y, "0.5", y});
  w->CompileEquation(seg);
  w->EquationsChanged(false);
  const plat::Colour sc = test2d::EntryColour(*w, seg);
  w->RepaintNow(false);
  Settle(w);
  const int thin = test2d::CountColour(w->Surface(), sc);
  s->ListSetSel(kIdFirstCombo, s->IndexOfFirst(seg));
  s->OnSelChange();
  w->RepaintNow(false);
  Settle(w);
  EXPECT_GT(test2d::CountColour(w->Surface(), sc), 2 * thin) << "the segment to turn is drawn wider";
  s->ListSetSel(kIdFirstCombo, s->IndexOfFirst(0));
  s->OnSelChange();
  s->SetItemText(211, "-1");
  s->SetItemText(212, "1@A");
  s->SetItemText(217, "0");
  s->SetItemText(218, "10");
  // The axis reads numbers; a parameter tied to one is left aside.
  s->SetItemText(214, "0@C");
  s->SetItemText(215, "1@D");
  s->SetItemText(216, "0@E");
  s->Press(kIdToolAction);
  EXPECT_TRUE(plat::testing::Messages().empty()) << plat::testing::Messages().front().text;
  EXPECT_EQ(D(w->revolutionAxis.b), 1.0);
  EXPECT_NEAR(D(w->revolutionRange.a2.value), D(2 * Pi), 1e-15) << "one turn at most";
  auto* r = dynamic_cast<TPlotSWin*>(w->RevolutionWindow());
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetCaption().rfind("Rotation.kv3", 0), 0u);
  ASSERT_EQ(r->equationCount, 0);
  TEquation& e = r->Equation(0);
  EXPECT_EQ(e.kind, kKindRevolution);
  EXPECT_EQ(e.subKind, kKindExplicit);
  // Slider A runs the curve's end from -1 to 1 and starts at 1.
  EXPECT_EQ(D(r->Tables().value[1].re), 1.0);
  EXPECT_EQ(D(r->Tables().lower[1].re), -1.0);
  EXPECT_EQ(D(r->Tables().upper[1].re), 1.0);
  for (long double t : {0.2L, 0.5L, 0.8L})
    for (long double u : {0.1L, 0.6L}) {
      r->SetVariable('T', t);
      r->SetVariable('U', u);
      long double p[3];
      for (std::size_t k = 0; k < 3; ++k) {
        ASSERT_TRUE(r->Evaluate(e.trees[k].get()));
        p[k] = e.trees[k]->value.re;
      }
      EXPECT_NEAR(D(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 1, 1e-9) << "on the unit sphere";
    }
  // Edited in its equation dialog: each bound shows the parameter that
  // holds that end of the range, a bound typed with another letter ties
  // its end to that one, and a new curve renames the entry.
  EXPECT_EQ(e.formulaText[4], "y = sqrt(1-x^2)");
  EXPECT_EQ(e.formulaText[1], "sqrt(1-x^2)") << "the record holds the curve";
  std::string lower, upper, curveText;
  plat::testing::ExpectDialog("EQUA307", [&](plat::Dialog& d) {
    lower = d.GetItemText(221);
    upper = d.GetItemText(223);
    curveText = d.GetItemText(212);
    d.SetItemText(221, "0@B");
    d.SetItemText(212, "0.5");
    d.Press(plat::IDOK);
  });
  ASSERT_TRUE(r->EditEquation(0, false));
  EXPECT_EQ(lower.find('@'), std::string::npos) << lower << ": the curve's start is a number";
  EXPECT_EQ(upper.substr(upper.size() - 2), "@A") << upper;
  EXPECT_EQ(RevolutionBoundParameter(e, 0), 2);
  EXPECT_EQ(RevolutionBoundParameter(e, 2), 1) << "the other end keeps its parameter";
  EXPECT_EQ(D(r->Tables().value[2].re), -1.0) << "B stands at the curve's start";
  EXPECT_EQ(curveText, "sqrt(1-x^2)");
  EXPECT_EQ(e.formulaText[4], "y = 0.5");
  // The new curve turned: a cylinder of radius 0.5.
  for (long double u : {0.1L, 0.6L}) {
    r->SetVariable('T', 0.3L);
    r->SetVariable('U', u);
    ASSERT_TRUE(r->Evaluate(e.trees[1].get()) && r->Evaluate(e.trees[2].get()));
    EXPECT_NEAR(D(std::hypot(e.trees[1]->value.re, e.trees[2]->value.re)), 0.5, 1e-12);
  }
  EXPECT_EQ(r->equationLabels.front().text, r->DescribeEquation(0, 60));
  // Closing hides and empties it; drawing again shows it with the new solid.
  r->Hide();
  EXPECT_EQ(r->equationCount, -1);
  s->Press(kIdToolAction);
  EXPECT_EQ(w->RevolutionWindow(), r);
  EXPECT_EQ(r->equationCount, 0);
  EXPECT_FALSE(r->Hidden);
}

TEST_F(CurveTools, AnImplicitCurveTurnsIntoItsSurfaceInTheRotationWindow) {
  w->AppendEquation(kKindExplicit, {"", "x"});
  const int circle = w->AppendEquation(kKindImplicit, {"", "", "x^2+(y-2)^2-1"});
  w->CompileEquation(circle);
  w->CmRotateCurve();
  TSurfDlg* s = w->ToolDialogs().surface.get();
  ASSERT_NE(s, nullptr);
  // Offered, and only the axis is asked for.
  const int row = s->IndexOfFirst(circle);
  ASSERT_GE(row, 0);
  EXPECT_TRUE(s->IsItemVisible(217));
  s->ListSetSel(kIdFirstCombo, row);
  s->OnSelChange();
  for (int id : {211, 212, 217, 218, int{kIdShowCurve}}) EXPECT_FALSE(s->IsItemVisible(id)) << id;
  EXPECT_TRUE(s->IsItemVisible(214));
  s->Press(kIdXAxis);
  s->Press(kIdToolAction);
  auto* r = dynamic_cast<TPlotSWin*>(w->RevolutionWindow());
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->equationCount, 0);
  TEquation& e = r->Equation(0);
  EXPECT_EQ(e.kind, kKindRevolution);
  EXPECT_EQ(e.subKind, kKindImplicit);
  ASSERT_NE(e.trees[3], nullptr) << e.formulaText[3];
  // The torus: zero on it, not at its centre.
  auto g = [&](long double x, long double y, long double z) {
    r->SetVariable('X', x);
    r->SetVariable('Y', y);
    r->SetVariable('Z', z);
    EXPECT_TRUE(r->Evaluate(e.trees[3].get()));
    return e.trees[3]->value.re;
  };
  EXPECT_NEAR(D(g(0.6L, 0, 2.8L)), 0, 1e-12);
  EXPECT_NEAR(D(g(0, -3 * std::cos(1.0L), 3 * std::sin(1.0L))), 0, 1e-12);
  EXPECT_GT(std::fabs(D(g(0, 0, 0))), 1);
  // Its equation dialog takes OK as it stands, and edits the curve in
  // its one field: the circle moved up by one turns into a wider torus.
  for (const char* f : {"", "x^2+(y-3)^2-1"}) {
    plat::testing::ClearMessages();
    plat::testing::ExpectDialog("EQUA307", [f](plat::Dialog& d) {
      if (*f) d.SetItemText(213, f);
      d.Press(plat::IDOK);
      if (!d.IsDestroyed()) d.Press(plat::IDCANCEL);
    });
    r->EditEquation(0, false);
    EXPECT_TRUE(plat::testing::Messages().empty()) << plat::testing::Messages().front().text;
  }
  EXPECT_NEAR(D(g(0.6L, 0, 3.8L)), 0, 1e-12);
  // A graph chosen again shows its ranges.
  s->ListSetSel(kIdFirstCombo, 0);
  s->OnSelChange();
  EXPECT_TRUE(s->IsItemVisible(211));
  EXPECT_TRUE(s->IsItemVisible(217));
}

TEST_F(CurveTools, CrossSectionDialogChecksItsInputsAndBuildsTheSolid) {
  w->AppendEquation(kKindExplicit, {"", "sqrt(1-x^2)"});
  w->AppendEquation(kKindExplicit, {"", "-sqrt(1-x^2)"});
  w->SetIntegrationDivisions(250);
  w->CmCrossSections();
  TSectionDlg* d = w->ToolDialogs().section.get();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->GetItemText(216), "250") << "the window's step count";
  d->SetItemText(212, "-1");
  d->SetItemText(213, "1");
  d->SetItemText(216, "400");
  d->Press(kIdSectionVolume);
  EXPECT_EQ(d->GetItemText(231).substr(0, 5), "5.333") << "square sections over the unit disc";
  EXPECT_NEAR(static_cast<double>(w->integrationValue), 16.0 / 3, 1e-3) << "the window's result";
  EXPECT_EQ(w->Equation(0).results.front().code, 57);
  // The volume's bounds and steps are the window's: the integration
  // dialogs opened next show them.
  w->CmRevolutionVolume();
  TRevDlg* r = w->ToolDialogs().revolve.get();
  ASSERT_NE(r, nullptr);
  std::string lo, hi;
  w->FormatWindowNumber(-1, lo);
  w->FormatWindowNumber(1, hi);
  EXPECT_EQ(r->GetItemText(211), lo);
  EXPECT_EQ(r->GetItemText(212), hi);
  EXPECT_EQ(r->GetItemText(213), "400");
  struct Case {
    const char* x;
    const char* z;
    const char* lo;
    int message;
  } cases[] = {{"99", "59", "-1", 0}, {"100", "59", "-1", 417}, {"1", "40", "1", 406}, {"0", "40", "-1", 414}};
  for (const Case& c : cases) {
    plat::testing::ClearMessages();
    d->SetItemText(214, c.x);
    d->SetItemText(215, c.z);
    d->SetItemText(212, c.lo);
    EXPECT_EQ(d->ReadInputs(), c.message == 0 ? 0 : c.message - 400);
  }
  d->SetItemText(214, "1");
  d->SetItemText(215, "20");
  d->SetItemText(212, "-1");
  d->Press(kIdToolAction);
  ASSERT_NE(w->SectionWindow(), nullptr);
  EXPECT_EQ(w->SectionWindow()->equationCount, 3) << "floor, two walls and the roof";
  EXPECT_EQ(w->SectionWindow()->Equation(0).kind, kKindParametricSurface);
}

TEST_F(CurveTools, ALongSolidKeepsItsWholeLengthInThe3DWindow) {
  w->AppendEquation(kKindExplicit, {"", "1"});
  w->AppendEquation(kKindExplicit, {"", "0"});
  // Square sections 1 wide along x from 2 to 20, the left end tied to A.
  ASSERT_EQ(w->BuildSectionSolid(0, 1, 1, "", false, {2, 1}, {20, 0}, 18, 4), 0);
  TPlot111Win* s = w->SectionWindow();
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->equationCount, 3);
  for (int i = 0; i <= s->equationCount; ++i) {
    SCOPED_TRACE(i);
    const TEquation& e = s->Equation(i);
    EXPECT_EQ(e.familyOn, 1);
    EXPECT_EQ(e.penColour, w->Equation(0).penColour);
    EXPECT_LE(D(e.boxMin().x), 2.0);
    EXPECT_GE(D(e.boxMax().x), 20.0) << "the face was cut to the aspect limit";
  }
  EXPECT_LE(D(s->View3D.BoxMin.x), 2.0);
  EXPECT_GE(D(s->View3D.BoxMax.x), 20.0);
  EXPECT_EQ(D(s->Variable(1).re), 2.0);
}

TEST_F(CurveTools, VolumeBetweenGraphsLeavesTheTypedBoundsAlone) {
  w->AppendEquation(kKindExplicit, {"", "1"});
  w->AppendEquation(kKindExplicit, {"", "0"});
  w->CmVolumeBetween();
  T2VolDlg* d = w->ToolDialogs().volumeBetween.get();
  ASSERT_NE(d, nullptr);
  d->SetItemText(211, "-1");
  d->SetItemText(212, "2");
  d->SetCheck(251, false);
  d->SetCheck(252, true);
  d->Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), D(4 * Pi), 1e-6);
  EXPECT_EQ(d->GetItemText(211), "-1");
  EXPECT_EQ(d->GetItemText(212), "2");
  EXPECT_EQ(D(w->IntegrationLeft()), -1.0);
  EXPECT_EQ(D(w->IntegrationRight()), 2.0);
  // Stored on the first graph with the integration dialogs' label.
  ASSERT_FALSE(w->Equation(0).results.empty());
  EXPECT_EQ(w->Equation(0).results.front().code, 54);
  EXPECT_EQ(w->Equation(0).results.front().text, plat::res::String(175).substr(0, 28));
  EXPECT_EQ(D(w->Equation(0).results.front().values[2]), D(w->integrationValue));
}

TEST_F(CurveTools, SolidDialogsShareTheIntegrationBoundsAndFollowSliders) {
  w->AppendEquation(kKindExplicit, {"", "x"});
  w->CmRevolutionVolume();
  TRevDlg* v = w->ToolDialogs().revolve.get();
  ASSERT_NE(v, nullptr);
  // Bounds tied to A and B: the cone's volume, then it follows B.
  v->SetItemText(kIdLeftBound, "0@A");
  v->SetItemText(kIdRightBound, "1@B");
  v->SetItemText(kIdDivisions, "100");
  v->Press(kIdValueButton);
  ASSERT_TRUE(v->IsBound());
  EXPECT_TRUE(w->IsSliderDialogOpen(1));
  EXPECT_TRUE(w->IsSliderDialogOpen(2));
  EXPECT_NEAR(D(w->integrationValue), D(Pi / 3), 1e-12);
  w->SetVariable(2, 2);
  w->RefreshIntegrationDialogs();
  EXPECT_NEAR(D(w->integrationValue), D(8 * Pi / 3), 1e-12);
  EXPECT_EQ(v->GetItemText(kIdResult), w->integrationText);
  std::string two;
  w->FormatWindowNumber(2, two);
  EXPECT_EQ(v->GetItemText(kIdRightBound), two);
  // The sector dialog starts on the same bounds.
  w->CmSectorArea();
  EXPECT_EQ(w->ToolDialogs().sector->GetItemText(kIdRightBound), two);
  // More divisions than the 32-bit count holds are refused, as elsewhere.
  const std::size_t stored = w->Equation(0).results.size();
  v->SetItemText(kIdLeftBound, "0");
  v->SetItemText(kIdRightBound, "1");
  v->SetItemText(kIdDivisions, "2147483648");
  plat::testing::ClearMessages();
  v->Press(kIdValueButton);
  EXPECT_EQ(LastMessage(), plat::res::String(417));
  EXPECT_EQ(w->Equation(0).results.size(), stored);
  EXPECT_FALSE(v->IsBound());
}

TEST_F(CurveTools, DerivedCurvesSurviveSavingAndOpening) {
  const int s = w->AppendEquation(kKindParametric, {"2cos(t)", "sin(t)"});
  w->Equation(s).lowerBound.x = 0;
  w->Equation(s).upperBound.x = 2 * Pi;
  ASSERT_EQ(w->TransformCurve({s}, kMapRotation, {"pi/2", "1", "0"}), 0);
  ASSERT_EQ(w->AddRoulette(s, false, 0, 0, 2 * Pi, 0.5L, 0.5L), 0);
  ASSERT_EQ(w->AddEvolute(s), 0);
  const std::string path = kvtest::MakeTempDir("curve-tools") + "derived.kv2";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());
  TPlot2Win* b = MakeWindow();
  b->FileData.FileName = path;
  ASSERT_EQ(b->OpenFile(), 0);
  ASSERT_EQ(b->equationCount, 3);
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(b->Equation(i).derivation, w->Equation(i).derivation);
    for (long double t : {0.3L, 2.0L}) {
      long double x0 = 0, x1 = 0;
      ASSERT_TRUE(w->EvaluateAt(w->Equation(i).trees[0].get(), 'T', t, x0));
      ASSERT_TRUE(b->EvaluateAt(b->Equation(i).trees[0].get(), 'T', t, x1));
      EXPECT_NEAR(D(x1), D(x0), 1e-12);
    }
  }
  EXPECT_NEAR(D(b->Equation(2).rollFactor()), 2, 1e-15);
  // The roulette's record keeps start, radius and arm as typed, the arm at
  // byte 301.
  ByteWriter record;
  WriteEquationRecord(record, b->Equation(2));
  ByteReader arm(record.Data().data() + 301, 10);
  EXPECT_EQ(D(arm.LongDouble()), 0.5);
  EXPECT_EQ(D(b->Equation(2).rollRadius()), 0.5);
}

TEST_F(CurveTools, ToolDialogsCloseWhenTheirCurvesLeaveAndAllGoWithANewDrawing) {
  w->AppendEquation(kKindExplicit, {"", "x"});
  w->AppendEquation(kKindSegment, {"0", "0", "1", "1"});
  w->CmVolumeBetween();
  w->CmEvolute();
  w->CmRotateCurve();
  w->CmReflect();
  w->DeleteEquations({0});
  w->RepaintNow(false);
  EXPECT_EQ(w->ToolDialogs().evolute, nullptr);
  EXPECT_EQ(w->ToolDialogs().surface, nullptr) << "a segment alone keeps no curve to turn";
  ASSERT_NE(w->ToolDialogs().volumeBetween, nullptr);
  EXPECT_FALSE(w->ToolDialogs().volumeBetween->IsHidden());
  EXPECT_FALSE(w->ToolDialogs().reflect->IsHidden());
  w->ClearDrawing();
  EXPECT_EQ(w->ToolDialogs().volumeBetween, nullptr);
  EXPECT_EQ(w->ToolDialogs().reflect, nullptr);
}

TEST_F(CurveTools, MouseDataDialogStoresItsTarget) {
  for (const char* f : {"x", "2x", "3x"}) w->AppendEquation(kKindExplicit, {"", f});
  plat::testing::ExpectDialog("LBDATA", [](plat::Dialog& d) {
    d.SetCheck(251, false);
    d.SetCheck(252, true);
    d.ListSetSel(kIdFirstCombo, 2);
    d.EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
    d.Press(plat::IDOK);
  });
  w->CmMouseData();
  EXPECT_EQ(w->mouseDataEquation, 2);
  EXPECT_EQ(w->MouseMode, kCmMouseCoordinates);
  plat::testing::ExpectDialog("LBDATA", [](plat::Dialog& d) {
    d.EvControl(251, plat::BN_CLICKED);
    d.Press(plat::IDOK);
  });
  w->CmMouseData();
  EXPECT_EQ(w->mouseDataEquation, -1);
}

}  // namespace
}  // namespace kv
