// The trace dialogs as a user meets them in the 2D window: "Graphverlauf"
// moved with the keys or typed, its slope, curvature and secant lines, the
// Taylor polynomial and point it adds (and their following the source), the
// marks it draws; "Kurvenverlauf" along a trajectory with its velocity and
// the entries it adds.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "core/constants.h"
#include "core/number_text.h"
#include "entry/model/derived_items.h"
#include "entry/trace_dialog.h"
#include "entry/trace_traj_dialog.h"
#include "graphics/recording_dc.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "plotcore/model/trajectories.h"
#include "plot2d/plot2_test_util.h"
#include "support/temp_dir.h"

namespace kv::test2d {
namespace {

namespace pt = plat::testing;
double D(long double v) { return static_cast<double>(v); }

class TraceDialogs : public Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    w = MakeWindow();
  }
  int Graph(const char* f, long double lo = -5, long double hi = 5) {
    const int i = w->AppendEquation(kKindExplicit, lo, hi, "", f);
    w->CompileEquation(i);
    return i;
  }
  TTraceDlg* OpenTrace() {
    EXPECT_TRUE(w->Command(kCmGraphTrace));
    Settle(w);
    return w->GraphTraceDialog();
  }
  // Types the parameter and presses Enter in its edit.
  static void TraceTo(TTraceDlg& d, const char* x) {
    d.SetItemText(kIdTraceParameter, x);
    d.PressKey(kIdTraceParameter, plat::VK_RETURN);
  }
  static void Click(plat::Dialog& d, int box, bool on) {
    d.SetCheck(box, on);
    d.Press(box);
  }
  std::string Num(long double v) const { return FormatNumber(v, 0, w->Decimals); }
  static std::string Exact(long double v) { return FormatNumber(v, 0, 18); }
  long double ValueOf(int i, long double x) {
    long double y = 0;
    EXPECT_TRUE(w->EvaluateAt(w->Equation(i).trees[1].get(), 'X', x, y)) << "entry " << i;
    return y;
  }
  TPlot2Win* w = nullptr;
};

// The templates of "Graphverlauf", "Kurvenverlauf" and "Schnitte" hold the
// tools' controls and no OK button (Enter in a value edit takes the typed
// value, see TraceTo).
TEST_F(TraceDialogs, TheTemplatesHoldTheToolsControlsAndNoOkButton) {
  auto ids = [](const char* name) {
    std::set<int> found;
    if (const plat::res::DialogTemplate* t = plat::res::FindDialog(name))
      for (const auto& row : t->rows)
        for (const auto& c : row.controls)
          if (c.id >= 0) found.insert(c.id);
    return found;
  };
  EXPECT_EQ(ids("TRACE"), (std::set<int>{2, 3, 211, 231, 232, 233, 271, 272, 273, 295, 297, 298, 711, 712, 720}));
  EXPECT_EQ(ids("TRACE3"), (std::set<int>{2, 211, 231, 232, 233, 271, 272, 273, 274, 295, 297, 298, 711, 712, 720}));
  EXPECT_EQ(ids("TRACETRAJ"), (std::set<int>{2, 211, 212, 231, 232, 273, 274, 294, 295, 297, 711, 712, 717}));
  EXPECT_EQ(ids("SLICER"), (std::set<int>{2, 19, 211, 212, 231, 232, 233, 234, 251, 252, 293, 294, 295, 296, 297, 738,
                                          740, 767, 768, 838, 840}));
}

TEST_F(TraceDialogs, ParabolaShowsSlopeTwoXAndItsCurvature) {
  Graph("x^2");
  TTraceDlg* d = OpenTrace();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->GetItemText(kIdTraceLabel), "x =");
  Click(*d, kIdTraceTangent, true);
  for (long double x : {1.0L, 0.5L, -2.0L, 0.0L}) {
    TraceTo(*d, Num(x).c_str());
    const TTraceState& st = d->State();
    ASSERT_TRUE(st.defined) << D(x);
    EXPECT_NEAR(D(st.point.y), D(x * x), 1e-12);
    EXPECT_NEAR(D(st.velocity.y / st.velocity.x), D(2 * x), 1e-12);
    EXPECT_NEAR(D(st.curvature), D(2 / std::pow(1 + 4 * x * x, 1.5L)), 1e-12);
    const std::string slope = d->GetItemText(kIdTraceSlope);
    EXPECT_EQ(slope.rfind("Steigung: " + Num(2 * x) + "\r\n", 0), 0u) << slope;
    EXPECT_NE(slope.find("Krümmung: " + Num(2 / std::pow(1 + 4 * x * x, 1.5L))), std::string::npos) << slope;
    EXPECT_EQ(d->GetItemText(kIdTraceCoordinates), "y = " + Num(x * x) + "\r\n");
  }
  // Without "Tangente" and "Sekante" the slope lines are empty.
  Click(*d, kIdTraceTangent, false);
  EXPECT_EQ(d->GetItemText(kIdTraceSlope), "");
}

TEST_F(TraceDialogs, KeysStepTheScrollBarAcrossTheRange) {
  Graph("x^2", -2, 2);
  w->smallSteps[kGraphTraceSteps] = 40;
  w->mediumSteps[kGraphTraceSteps] = 8;
  TTraceDlg* d = OpenTrace();
  ASSERT_NE(d, nullptr);
  // It starts in the middle of the range; one step is (hi - lo) / 40.
  EXPECT_NEAR(D(d->State().t), 0, 1e-15);
  struct Step {
    unsigned key;
    long double x;
  } steps[] = {
      {plat::VK_RIGHT, 0.1L}, {plat::VK_RIGHT, 0.2L}, {plat::VK_LEFT, 0.1L},
      {plat::VK_NEXT, 0.9L},  {plat::VK_PRIOR, 0.1L}, {plat::VK_END, 2.0L},
      {plat::VK_RIGHT, 2.0L}, {plat::VK_HOME, -2.0L},
  };
  for (const Step& s : steps) {
    d->PressKey(kIdTraceBar, s.key);
    Settle(w);  // the scroll bar reports the user's move after the key
    EXPECT_NEAR(D(d->State().point.x), D(s.x), 1e-12) << s.key;
    EXPECT_EQ(d->GetItemText(kIdTraceParameter), Num(s.x));
  }
  // New slider steps reach the open dialog; the point keeps its place.
  TraceTo(*d, "1");
  ASSERT_EQ(w->SetSliderSteps(200, 10), 0);
  EXPECT_EQ(d->GetScrollRange(kIdTraceBar).second, 200);
  EXPECT_EQ(d->GetScrollPos(kIdTraceBar), 150);
  EXPECT_EQ(d->GetScrollPage(kIdTraceBar), 20);
  // A typed parameter outside the range is refused with its message.
  pt::ClearMessages();
  TraceTo(*d, "3");
  ASSERT_EQ(pt::Messages().size(), 1u);
  EXPECT_NEAR(D(d->State().point.x), 1, 1e-12);
}

TEST_F(TraceDialogs, SecantRunsFromTheReferenceAndVanishesThere) {
  Graph("x^2");
  TTraceDlg* d = OpenTrace();
  ASSERT_NE(d, nullptr);
  TraceTo(*d, "0");
  Click(*d, kIdTraceSecant, true);  // the first switch-on sets the reference
  TraceTo(*d, "1");
  EXPECT_EQ(d->GetItemText(kIdTraceSlope), "Steigung: " + Num(1));
  TraceTo(*d, "3");
  EXPECT_EQ(d->GetItemText(kIdTraceSlope), "Steigung: " + Num(3));
  // "Bezugspunkt" moves the reference here: no secant until the point moves.
  d->Press(kCmTraceReference);
  EXPECT_EQ(d->GetItemText(kIdTraceSlope), "Steigung: nicht definiert");
  TraceTo(*d, "1");
  EXPECT_EQ(d->GetItemText(kIdTraceSlope), "Steigung: " + Num(4));
  // Choosing a curve, the same one again too, forgets the secant.
  d->ListSetSel(kIdFirstCombo, 0);
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  EXPECT_FALSE(d->IsSecantChecked());
  // A parametric curve shows the secant per parameter and its length.
  const int c = w->AppendEquation(kKindParametric, {"cos(t)", "sin(t)"});
  w->Equation(c).lowerBound.x = 0;
  w->Equation(c).upperBound.x = 6;
  w->EquationsChanged(false);
  d->ListSetSel(kIdFirstCombo, 1);
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(d->GetItemText(kIdTraceLabel), "t =");
  EXPECT_FALSE(d->IsSecantChecked()) << "another entry forgets the secant";
  TraceTo(*d, "0");
  Click(*d, kIdTraceSecant, true);
  TraceTo(*d, "2");
  const std::string text = d->GetItemText(kIdTraceSlope);
  EXPECT_EQ(text.rfind("Komponenten: [ " + Num((std::cos(2.0L) - 1) / 2) + " ; " + Num(std::sin(2.0L) / 2) + " ]", 0),
            0u)
      << text;
  EXPECT_NE(text.find("Geschwindigkeit: " + Num(std::sin(1.0L) / 1)), std::string::npos) << text;
}

TEST_F(TraceDialogs, TaylorPolynomialAndPointAreAddedAndFollowTheirSource) {
  const int sine = Graph("sin(x)");
  TTraceDlg* d = OpenTrace();
  ASSERT_NE(d, nullptr);
  d->ListSetSel(kIdTraceDegree, 3);
  d->EvControl(kIdTraceDegree, plat::CBN_SELCHANGE);
  d->SetItemText(kIdTraceParameter, "0");
  d->Press(kCmTraceTaylor);
  ASSERT_EQ(w->equationCount, 1);
  const int taylor = 1;
  EXPECT_EQ(w->Equation(taylor).derivation, kDerivedTaylor);
  for (long double x : {-1.0L, 0.5L, 2.0L}) EXPECT_NEAR(D(ValueOf(taylor, x)), D(x - x * x * x / 6), 1e-12);
  d->SetItemText(kIdTraceParameter, "1");
  d->Press(kCmTracePoint);
  ASSERT_EQ(w->equationCount, 2);
  EXPECT_EQ(w->Equation(2).derivation, kDerivedTracePoint);
  EXPECT_NEAR(D(w->Equation(2).values[4].y), D(std::sin(1.0L)), 1e-12);
  // A point typed off the scroll bar's steps: the dialog stays there.
  d->SetItemText(kIdTraceParameter, "1.234");
  d->Press(kCmTracePoint);
  EXPECT_NEAR(D(d->State().t), 1.234, 1e-15);
  EXPECT_EQ(d->GetItemText(kIdTraceParameter), Num(1.234L));
  // The source is edited: both follow it.
  pt::ExpectDialog("EQUA201", [](plat::Dialog& dlg) {
    dlg.SetItemText(212, "2sin(x)");
    dlg.Press(plat::IDOK);
  });
  ASSERT_TRUE(w->EditEquation(sine, false));
  EXPECT_NEAR(D(ValueOf(taylor, 1)), D(2 * (1 - 1.0L / 6)), 1e-12);
  EXPECT_NEAR(D(w->Equation(2).values[4].y), D(2 * std::sin(1.0L)), 1e-12);
  // The dialog still traces the edited source (its choice kept by index).
  TraceTo(*d, "1");
  EXPECT_NEAR(D(d->State().point.y), D(2 * std::sin(1.0L)), 1e-12);
  // A Taylor polynomial at a point off the steps: the dialog stays there
  // too, as the new entry says.
  d->SetItemText(kIdTraceParameter, "1.234");
  d->Press(kCmTraceTaylor);
  ASSERT_EQ(w->equationCount, 4);
  EXPECT_NEAR(D(d->State().t), 1.234, 1e-15);
  EXPECT_EQ(d->GetItemText(kIdTraceParameter), Num(1.234L));
  EXPECT_NEAR(D(d->State().point.y), D(2 * std::sin(1.234L)), 1e-12);
}

// A point of each kind of curve the dialog traces stands at the typed
// parameter, when it is added and after the file is saved and read again.
TEST_F(TraceDialogs, APointOfEveryCurveKindIsDrawnAgainFromItsFile) {
  Graph("x^2/2");
  const int polar = w->AppendEquation(kKindPolar, {"", "", "1+cos(t)"});
  const int curve = w->AppendEquation(kKindParametric, {"2cos(t)", "sin(t)"});
  for (int i : {polar, curve}) {
    w->Equation(i).lowerBound.x = 0;
    w->Equation(i).upperBound.x = 2 * Pi;
    w->CompileEquation(i);
  }
  w->EquationsChanged(false);
  TTraceDlg* d = OpenTrace();
  ASSERT_NE(d, nullptr);
  const long double r = 1 + std::cos(1.0L);
  const TPoint2D expected[3] = {{1, 0.5L}, {r * std::cos(1.0L), r * std::sin(1.0L)}, {2 * std::cos(1.0L), std::sin(1.0L)}};
  // A colour no curve has, so that only the markers show it.
  constexpr std::int16_t kMarkerColour = 12;
  for (int source = 0; source < 3; ++source) {
    d->ListSetSel(kIdFirstCombo, source);
    d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
    d->SetItemText(kIdTraceParameter, "1");
    d->Press(kCmTracePoint);
    ASSERT_EQ(w->equationCount, 3 + source) << source;
    w->Equation(w->equationCount).penColour = kMarkerColour;
    w->Equation(w->equationCount).penWidth = 4;
  }
  auto markersShown = [&](TPlot2Win* v) {
    v->RepaintNow(false);
    Settle(v);
    const plat::Colour c = v->DrawingColourOf(v->CheckColourIndex(kMarkerColour));
    for (int k = 0; k < 3; ++k) {
      const TPoint2D p = expected[k];
      EXPECT_TRUE(ColourNear(v->Surface(), v->WorldToPixelX(p.x), v->WorldToPixelY(p.y), c, 1))
          << "the point on curve " << k << " at (" << D(p.x) << ", " << D(p.y) << ")";
    }
  };
  markersShown(w);

  const std::string path = kvtest::MakeTempDir("trace-points") + "points.kv2";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());
  TPlot2Win* r2 = MakeWindow();
  r2->FileData.FileName = path;
  ASSERT_EQ(r2->OpenFile(), 0);
  Settle(r2);
  ASSERT_EQ(r2->equationCount, 5);
  markersShown(r2);
}

TEST_F(TraceDialogs, TangentAndOsculatingCircleAreDrawnInTheTangentColour) {
  Graph("x^2");
  TTraceDlg* d = OpenTrace();
  ASSERT_NE(d, nullptr);
  d->ListSetSel(kIdTraceDegree, 2);
  d->EvControl(kIdTraceDegree, plat::CBN_SELCHANGE);
  Click(*d, kIdTraceTangent, true);
  TraceTo(*d, "0");
  Settle(w);
  w->RepaintNow(false);
  Settle(w);
  const plat::Colour c = w->DrawingColourOf(w->CheckColourIndex(w->ColourSlots[4]));
  // The circle about (0, 1/2) with radius 1/curvature = 1/2: its top and
  // its sides.
  for (const TPoint2D p : {TPoint2D{0, 1}, TPoint2D{0.5L, 0.5L}, TPoint2D{-0.5L, 0.5L}})
    EXPECT_TRUE(ColourNear(w->Surface(), w->WorldToPixelX(p.x), w->WorldToPixelY(p.y), c, 1)) << D(p.x) << D(p.y);
  EXPECT_FALSE(ColourNear(w->Surface(), w->WorldToPixelX(0.3L), w->WorldToPixelY(1.5L), c, 1));
  // At x = 1 the tangent y = 2x - 1 runs through the view.
  TraceTo(*d, "1");
  w->RepaintNow(false);
  Settle(w);
  EXPECT_TRUE(ColourNear(w->Surface(), w->WorldToPixelX(2), w->WorldToPixelY(3), c, 1));
  EXPECT_TRUE(ColourNear(w->Surface(), w->WorldToPixelX(-1), w->WorldToPixelY(-3), c, 1));
  // Closed, the dialog draws nothing.
  d->PressEscape();
  w->RepaintNow(false);
  Settle(w);
  EXPECT_FALSE(ColourNear(w->Surface(), w->WorldToPixelX(-1), w->WorldToPixelY(-3), c, 1));
}

// The marks over the graphs (a traced trajectory's vector, a polynomial's
// nodes) are 1 pixel wide, 2 with bold marks, and in high-resolution output
// as wide as the scale factor, bold or not.
TEST_F(TraceDialogs, MarksAreOneTwoOrTheScaleFactorWide) {
  w->CmNewLagrange();
  const int polynomial = w->equationCount;
  ASSERT_TRUE(IsLagrangePolynomial(w->Equation(polynomial)));
  TTrajectoryTrace t;
  t.point = {0, 0, 0};
  t.direction = {1, 1, 0};
  const struct {
    int bold, factor, width;
  } cases[] = {{0, 1, 1}, {1, 1, 2}, {0, 3, 3}, {1, 3, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bold * 10 + c.factor);
    w->clearTangent = static_cast<std::uint8_t>(c.bold);
    w->ScaleLineWidths = c.factor > 1 ? 1 : 0;
    w->LineWidthFactor = static_cast<std::int16_t>(c.factor);
    kvtest::RecordingDC dc;
    w->DrawTrajectoryTrace(dc, t, 4);
    w->DrawLagrangeNodes(dc, polynomial);
    int marks = 0;
    for (const auto& call : dc.calls) {
      if (call.kind != kvtest::DrawCall::Line && call.kind != kvtest::DrawCall::Ellipse) continue;
      ++marks;
      EXPECT_EQ(call.pen.width, c.width) << static_cast<int>(call.kind);
    }
    EXPECT_GT(marks, 3);
  }
  w->ScaleLineWidths = 0;
  w->LineWidthFactor = 1;
}

TEST_F(TraceDialogs, FollowsAParameterAndClosesWithItsCurves) {
  const int i = Graph("a*x^2");
  w->Tables().value[1] = TComplex(1);  // a
  TTraceDlg* d = OpenTrace();
  ASSERT_NE(d, nullptr);
  TraceTo(*d, "2");
  EXPECT_NEAR(D(d->State().point.y), 4, 1e-12);
  w->Tables().value[1] = TComplex(3);
  w->RedrawEquation(1);
  EXPECT_NEAR(D(d->State().point.y), 12, 1e-12) << "the point follows the changed curve";
  // The last curve goes: so does the dialog.
  w->DeleteEquations({i});
  w->RepaintNow(false);
  EXPECT_EQ(w->GraphTraceDialog(), nullptr);
}

// dx/dt = -y, dy/dt = x: the trajectory from (1, 0) is the unit circle.
class TrajectoryTraceTest : public TraceDialogs {
 protected:
  void SetUp() override {
    TraceDialogs::SetUp();
    ode = w->AppendEquation(kKindOde, {"-y", "x"});
    w->smallSteps[kCurveTraceSteps] = 400;
  }
  TTraceTrajDlg* Open() {
    EXPECT_TRUE(w->Command(kCmCurveTrace));
    Settle(w);
    return w->CurveTraceDialog();
  }
  int ode = -1;
};

TEST_F(TrajectoryTraceTest, ShowsThePointAndItsVelocityAndAddsEntries) {
  // Without a trajectory the command is greyed and the dialog asks for one.
  EXPECT_FALSE(w->IsMenuItemEnabled(kCmCurveTrace));
  AddTrajectoryItem(w->Equation(ode), {1, 0, 0}, kMethodRungeKutta, 0.001L, 4000, 1);
  w->EquationsChanged(false);
  EXPECT_TRUE(w->IsMenuItemEnabled(kCmCurveTrace));
  TTraceTrajDlg* d = Open();
  ASSERT_NE(d, nullptr);
  ASSERT_TRUE(d->HasTrace());
  // The scroll bar runs over the trajectory's parameters 0..4.
  d->PressKey(kIdTrajTraceBar, plat::VK_HOME);
  Settle(w);
  EXPECT_NEAR(D(d->Trace().t), 0, 1e-15);
  d->PressKey(kIdTrajTraceBar, plat::VK_END);
  Settle(w);
  EXPECT_NEAR(D(d->Trace().t), 4, 1e-12);
  // Typed: at t = pi/2 the point is (0, 1) and the velocity (-1, 0).
  d->SetItemText(kIdTrajTraceParameter, Exact(Pi / 2));
  d->PressKey(kIdTrajTraceParameter, plat::VK_RETURN);
  const TTrajectoryTrace& t = d->Trace();
  EXPECT_NEAR(D(t.point.x), 0, 1e-9);
  EXPECT_NEAR(D(t.point.y), 1, 1e-9);
  EXPECT_NEAR(D(t.velocity.x), -1, 1e-9);
  EXPECT_NEAR(D(t.velocity.y), 0, 1e-9);
  EXPECT_EQ(d->GetItemText(kIdTrajTraceValues),
            "( " + Num(t.point.x) + " ; " + Num(t.point.y) + " )\r\n[ " + Num(t.velocity.x) + " ; " +
                Num(t.velocity.y) + " ]");
  // "Längen" 2: the drawn vector has length 2; off, the raw velocity.
  d->SetItemText(kIdTrajTraceLength, "2");
  Click(*d, kIdTrajTraceLengths, true);
  EXPECT_NEAR(D(std::hypot(d->Trace().direction.x, d->Trace().direction.y)), 2, 1e-9);
  Click(*d, kIdTrajTraceLengths, false);
  EXPECT_NEAR(D(std::hypot(d->Trace().direction.x, d->Trace().direction.y)), 1, 1e-9);
  // Outside the range: message 17, nothing moves.
  pt::ClearMessages();
  d->SetItemText(kIdTrajTraceParameter, "9");
  d->PressKey(kIdTrajTraceParameter, plat::VK_RETURN);
  EXPECT_EQ(pt::Messages().size(), 1u);
  // The point and the vector become entries.
  d->SetItemText(kIdTrajTraceParameter, Exact(Pi));
  d->Press(kCmTrajTracePoint);
  ASSERT_EQ(w->equationCount, 1);
  EXPECT_EQ(w->Equation(1).derivation, kDerivedTrajectoryPoint);
  EXPECT_NEAR(D(w->Equation(1).values[4].x), -1, 1e-9);
  EXPECT_NEAR(D(w->Equation(1).values[4].y), 0, 1e-9);
  ASSERT_TRUE(d->HasTrace()) << "the refill keeps the chosen trajectory";
  d->Press(kCmTrajTraceVector);
  ASSERT_EQ(w->equationCount, 2);
  EXPECT_EQ(w->Equation(2).derivation, kDerivedTrajectoryVector);
  // The tangent line at speed 1 reaches 0.35 of the box's diagonal each
  // way, in a plane window too.
  const TEquationItem& item = w->Equation(ode).items.front();
  const int line = w->AddTrajectoryVectorItem(ode, item, Pi, kDerivedTrajectoryLine, 0, 1);
  ASSERT_GE(line, 0);
  const TPoint3D box{w->View3D.BoxMax.x - w->View3D.BoxMin.x, w->View3D.BoxMax.y - w->View3D.BoxMin.y,
                     w->View3D.BoxMax.z - w->View3D.BoxMin.z};
  const long double reach = 0.35L * std::sqrt(box.x * box.x + box.y * box.y + box.z * box.z);
  EXPECT_NEAR(D(w->Equation(line).upperBound.x), D(reach), 1e-15);
  EXPECT_NEAR(D(w->Equation(line).lowerBound.x), D(-reach), 1e-15);
  w->DeleteEquations({line});
  // A length that is no number is refused on "Vektor".
  Click(*d, kIdTrajTraceLengths, true);
  d->SetItemText(kIdTrajTraceLength, "0");
  pt::ClearMessages();
  d->Press(kCmTrajTraceVector);
  EXPECT_EQ(pt::Messages().size(), 1u);
  EXPECT_EQ(w->equationCount, 2);
}

TEST_F(TrajectoryTraceTest, AnEntryWithoutTrajectoriesAsksForAChoice) {
  AddTrajectoryItem(w->Equation(ode), {1, 0, 0}, kMethodRungeKutta, 0.001L, 1000, 1);
  w->EquationsChanged(false);
  TTraceTrajDlg* d = Open();
  ASSERT_NE(d, nullptr);
  w->Equation(ode).items.clear();
  w->EquationsChanged(false);
  EXPECT_FALSE(d->HasTrace());
  EXPECT_EQ(d->GetItemText(kIdTrajTraceValues), "Auswahl treffen");
  EXPECT_FALSE(d->IsItemVisible(kIdTrajTraceBar));
}

}  // namespace
}  // namespace kv::test2d
