// The 2D window's mouse as a user meets it: the Lagrange editor (nodes
// placed, dragged, typed and deleted by clicks, the polynomial through all
// of them, its menu, coefficient list and file round trip), every mouse
// mode on injected press, drag, release and right-button events, and the
// guide lines of points.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/constants.h"
#include "entry/edit_coor_dialog.h"
#include "plot2_test_util.h"
#include "plot2d/model/lagrange.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "shell/text_win.h"
#include "support/temp_dir.h"

namespace kv::test2d {
namespace {

namespace pt = plat::testing;
using plat::MouseEvent;

double D(long double v) { return static_cast<double>(v); }

plat::Point Pixel(TPlot2Win* w, const TPoint2D& p) { return {w->WorldToPixelX(p.x), w->WorldToPixelY(p.y)}; }

void Inject(TPlot2Win* w, MouseEvent::Type type, plat::Point p) {
  pt::InjectMouse(*w, MouseEvent{type, type == MouseEvent::Move ? unsigned{plat::MK_LBUTTON} : 0u, p.x, p.y});
}

// The polynomial of entry i at x from its coefficients.
long double PolyAt(const TEquation& e, long double x) {
  long double p = 0;
  for (int k = kMaxLagrangeNodes - 1; k >= 0; --k) p = p * x + e.cellDepths[static_cast<std::size_t>(k)];
  return p;
}

// Every node lies on the polynomial, and on its drawn tree.
void ExpectThroughNodes(TPlot2Win* w, int i) {
  const TEquation& e = w->Equation(i);
  for (int k = 0; k <= LagrangeLastNode(e); ++k) {
    const TPoint3D& n = e.samples[static_cast<std::size_t>(k)];
    EXPECT_NEAR(D(PolyAt(e, n.x)), D(n.y), 1e-9) << "node " << k;
  }
}

std::string LastMessage() { return pt::Messages().empty() ? std::string() : pt::Messages().back().text; }

class LagrangeTest : public Plot2Test {
 protected:
  int NewPolynomial(TPlot2Win* w) {
    EXPECT_TRUE(w->Command(kCmNewLagrange));
    Settle(w);
    return w->lagrangeEditIndex;
  }
  void RightClick(TPlot2Win* w, const TPoint2D& at) {
    w->EvRButtonDown(plat::MK_RBUTTON, Pixel(w, at));
    Settle(w);
  }
};

TEST_F(LagrangeTest, NewPolynomialRunsTheEditorThroughThreeNodes) {
  TPlot2Win* w = MakeWindow();
  // Room is the only precondition.
  w->SetInventoryEditing(false);
  const int i = NewPolynomial(w);
  ASSERT_GE(i, 0);
  const TEquation& e = w->Equation(i);
  EXPECT_TRUE(IsLagrangePolynomial(e));
  EXPECT_EQ(LagrangeLastNode(e), 2);
  EXPECT_EQ(e.auxValue3, 1);
  EXPECT_EQ(w->MouseMode, kCmMouseLagrange);
  EXPECT_EQ(w->MenuName(), "LAGMENU");
  EXPECT_EQ(w->GetCaption(), "Polynom bearbeiten");
  EXPECT_TRUE(w->IsMenuItemEnabled(kCmLagrangeAccept));
  ExpectThroughNodes(w, i);
  // The nodes are drawn as circles in the polynomial's colour.
  const plat::Colour c = EntryColour(*w, i);
  for (int k = 0; k < 3; ++k) {
    const plat::Point px = Pixel(w, {e.samples[static_cast<std::size_t>(k)].x, e.samples[static_cast<std::size_t>(k)].y});
    EXPECT_TRUE(ColourNear(w->Surface(), px.x + 1, px.y, c, 0)) << k;
  }
  // The drawn graph is the polynomial.
  EXPECT_GT(GraphCoverage(*w, w->Surface(), c, [&](long double x) { return PolyAt(e, x); }), 0.9);
}

TEST_F(LagrangeTest, RightClicksAddAndDeleteNodesWithinTheirLimits) {
  TPlot2Win* w = MakeWindow();
  const int i = NewPolynomial(w);
  TEquation& e = w->Equation(i);
  // Away from the nodes: a new node; on a node: it goes.
  RightClick(w, {1.5L, 2});
  ASSERT_EQ(LagrangeLastNode(e), 3);
  ExpectThroughNodes(w, i);
  w->Surface().WritePngFile(kvtest::BuildTreeDir() + "/lagrange_editor.png");
  const TPoint3D second = e.samples[1];
  RightClick(w, {second.x, second.y});
  ASSERT_EQ(LagrangeLastNode(e), 2);
  for (int k = 0; k <= 2; ++k) EXPECT_NE(D(e.samples[static_cast<std::size_t>(k)].y), D(second.y));
  ExpectThroughNodes(w, i);
  RightClick(w, {e.samples[0].x, e.samples[0].y});
  ASSERT_EQ(LagrangeLastNode(e), 1);
  // Two nodes stay; message 26 says so.
  const std::size_t shown = pt::Messages().size();
  RightClick(w, {e.samples[0].x, e.samples[0].y});
  EXPECT_EQ(LagrangeLastNode(e), 1);
  ASSERT_EQ(pt::Messages().size(), shown + 1);
  EXPECT_EQ(LastMessage(), "brauche mindestens zwei Punkte");
  // Up to nine nodes; the tenth is refused.
  for (int k = 0; k < 7; ++k) RightClick(w, {-4.5L + k * 1.1L, 0.5L * k - 1});
  EXPECT_EQ(LagrangeLastNode(e), 8);
  ExpectThroughNodes(w, i);
  RightClick(w, {4.2L, -3});
  EXPECT_EQ(LagrangeLastNode(e), 8);
  EXPECT_EQ(LastMessage(), "kein Platz mehr");
}

TEST_F(LagrangeTest, DraggingANodeMovesItAndTheCurve) {
  TPlot2Win* w = MakeWindow();
  const int i = NewPolynomial(w);
  TEquation& e = w->Equation(i);
  const TPoint2D from{e.samples[1].x, e.samples[1].y};
  const TPoint2D to{1, 3};
  Inject(w, MouseEvent::Move, Pixel(w, {0.5L, 1}));
  Inject(w, MouseEvent::LButtonUp, Pixel(w, to));
  w->EvLButtonDown(plat::MK_LBUTTON, Pixel(w, from));
  Settle(w);
  EXPECT_NEAR(D(e.samples[1].x), D(w->PixelToWorldX(w->WorldToPixelX(to.x))), 1e-12);
  EXPECT_NEAR(D(e.samples[1].y), D(w->PixelToWorldY(w->WorldToPixelY(to.y))), 1e-12);
  ExpectThroughNodes(w, i);
  EXPECT_TRUE(w->Modified);
  // A press beside every node drags nothing; a drag whose events run out
  // (the capture was lost) ends where it was.
  const TPoint3D before = e.samples[0];
  w->EvLButtonDown(plat::MK_LBUTTON, Pixel(w, {-0.3L, 4}));
  EXPECT_EQ(e.samples[0].x, before.x);
  w->EvLButtonDown(plat::MK_LBUTTON, Pixel(w, {before.x, before.y}));
  EXPECT_NEAR(D(e.samples[0].x), D(before.x), 4 * D(w->UnitsPerPixelX));
  ExpectThroughNodes(w, i);
}

TEST_F(LagrangeTest, TypedCoordinatesSetMoveAndDeleteThroughTheDialog) {
  TPlot2Win* w = MakeWindow();
  const int i = NewPolynomial(w);
  TEquation& e = w->Equation(i);
  ASSERT_TRUE(w->Command(kCmLagrangeCoordinates));
  EXPECT_TRUE(w->IsMenuItemChecked(kCmLagrangeCoordinates));
  // On a node: the dialog shows it; a formula is taken as its value.
  pt::ExpectDialog("LAGPT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetCaption(), "Koordinaten");
    EXPECT_TRUE(d.IsItemEnabled(52));
    d.SetItemText(211, "2*2");
    d.SetItemText(212, "1");
    d.Press(1);
  });
  RightClick(w, {e.samples[2].x, e.samples[2].y});
  EXPECT_EQ(D(e.samples[2].x), 4);
  EXPECT_EQ(D(e.samples[2].y), 1);
  ExpectThroughNodes(w, i);
  // A text that is no number keeps the dialog open with the reader's
  // message; cancel then leaves the node.
  pt::ExpectDialog("LAGPT", [](plat::Dialog& d) {
    d.SetItemText(211, "2*(");
    d.Press(1);
    EXPECT_NE(d.Result(), plat::IDOK) << "still open";
    d.Press(2);
  });
  RightClick(w, {e.samples[2].x, e.samples[2].y});
  EXPECT_EQ(D(e.samples[2].x), 4);
  EXPECT_FALSE(pt::Messages().empty());
  // Away from the nodes, OK adds the typed point; "Löschen" there has
  // nothing to delete.
  pt::AnswerDialog("LAGPT", {{211, "-2"}, {212, "-1"}}, 1);
  RightClick(w, {3, 3});
  ASSERT_EQ(LagrangeLastNode(e), 3);
  EXPECT_EQ(D(e.samples[3].x), -2);
  pt::AnswerDialog("LAGPT", {}, 52);
  RightClick(w, {3, 3});
  EXPECT_EQ(LastMessage(), "nichts zu zeigen");
  // "Löschen" on a node deletes it.
  pt::AnswerDialog("LAGPT", {}, 52);
  RightClick(w, {4, 1});
  EXPECT_EQ(LagrangeLastNode(e), 2);
  ExpectThroughNodes(w, i);
}

TEST_F(LagrangeTest, EqualAbscissasKeepThePreviousCurve) {
  TPlot2Win* w = MakeWindow();
  const int i = NewPolynomial(w);
  TEquation& e = w->Equation(i);
  const std::vector<long double> before = e.cellDepths;
  // A fourth node typed straight above the middle one (x = 0).
  ASSERT_EQ(D(e.samples[1].x), 0);
  w->Command(kCmLagrangeCoordinates);
  pt::AnswerDialog("LAGPT", {{211, "0"}, {212, "4"}}, 1);
  RightClick(w, {2, 4});
  EXPECT_EQ(LagrangeLastNode(e), 3);
  EXPECT_EQ(e.cellDepths, before);
}

TEST_F(LagrangeTest, AcceptFreezesThePolynomialAndListsItsCoefficients) {
  TPlot2Win* w = MakeWindow();
  const int i = NewPolynomial(w);
  TEquation& e = w->Equation(i);
  ASSERT_TRUE(w->Command(kCmLagrangeShowEquation));
  ASSERT_NE(w->TextWindow, nullptr);
  const std::string text = w->TextWindow->GetText();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
  EXPECT_EQ(text.rfind("x^0 :  ", 0), 0u) << text;
  EXPECT_NE(text.find("x^2 :  "), std::string::npos) << text;
  EXPECT_EQ(w->TextWindow->FileData.FileName, "lagrange1.txt");
  EXPECT_EQ(w->TextWindow->GetCaption().rfind("Koeffizienten [", 0), 0u) << w->TextWindow->GetCaption();
  // "&Übernehmen" (Strg+F): the editor ends, the tree holds numbers.
  ASSERT_TRUE(w->Command(kCmLagrangeAccept));
  Settle(w);
  EXPECT_EQ(w->MouseMode, kCmMouseCoordinates);
  EXPECT_EQ(w->MenuName(), "PLOT2MENU");
  EXPECT_EQ(w->lagrangeEditIndex, -1);
  EXPECT_EQ(w->GetCaption(), "Unbenannt1.kv2");
  EXPECT_FALSE(w->IsMenuItemEnabled(kCmLagrangeShowEquation));
  for (int letter = 'A'; letter <= 'I'; ++letter) EXPECT_FALSE(TreeUsesLetter(e.trees[1].get(), letter));
  for (int k = 0; k <= 2; ++k) {
    long double y = 0;
    ASSERT_TRUE(w->Engine().EvaluateAt(e.trees[1].get(), 'X', e.samples[static_cast<std::size_t>(k)].x, y));
    EXPECT_NEAR(D(y), D(e.samples[static_cast<std::size_t>(k)].y), 1e-9);
  }
  // Clicks of mode 125 no longer touch the nodes.
  const TPoint3D node = e.samples[0];
  w->EvRButtonDown(plat::MK_RBUTTON, Pixel(w, {node.x, node.y}));
  EXPECT_EQ(LagrangeLastNode(e), 2);
}

TEST_F(LagrangeTest, APolynomialComesBackFromItsFile) {
  TPlot2Win* w = MakeWindow();
  const int i = NewPolynomial(w);
  w->EvRButtonDown(plat::MK_RBUTTON, Pixel(w, {1.5L, 2}));
  ASSERT_TRUE(w->Command(kCmLagrangeAccept));
  const std::vector<long double> coefficients = w->Equation(i).cellDepths;
  const std::string path = kvtest::MakeTempDir("lagrange") + "poly.kv2";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());
  TPlot2Win* r = MakeWindow();
  r->FileData.FileName = path;
  ASSERT_EQ(r->OpenFile(), 0);
  ASSERT_EQ(r->equationCount, 0);
  const TEquation& e = r->Equation(0);
  EXPECT_EQ(LagrangeLastNode(e), 3);
  for (int k = 0; k <= 3; ++k) EXPECT_NEAR(D(e.cellDepths[static_cast<std::size_t>(k)]), D(coefficients[static_cast<std::size_t>(k)]), 1e-12);
  for (int k = 0; k <= 3; ++k) {
    long double y = 0;
    ASSERT_TRUE(r->Engine().EvaluateAt(e.trees[1].get(), 'X', e.samples[static_cast<std::size_t>(k)].x, y));
    EXPECT_NEAR(D(y), D(e.samples[static_cast<std::size_t>(k)].y), 1e-9);
  }
  // Editing it again ("Gleichung" of the inventory) brings the editor back.
  ASSERT_TRUE(r->EditEquation(0, false));
  EXPECT_EQ(r->MouseMode, kCmMouseLagrange);
  r->EvRButtonDown(plat::MK_RBUTTON, Pixel(r, {-1, -4}));
  EXPECT_EQ(LagrangeLastNode(r->Equation(0)), 4);
  ExpectThroughNodes(r, 0);
}

// ---- the other mouse modes ----

// The plain 2D window; the trajectory mode's clicks are tested with the
// initial-value dialogs.
using TClickWin = TPlot2Win;

class MouseModesTest : public kvtest::PlotWindowTest<TClickWin> {
 protected:
  TClickWin* MakeWindow() { return PlotWindowTest::MakeWindow("Unbenannt1.kv2"); }
};

TEST_F(MouseModesTest, RightButtonZoomsCentredAndRecentres) {
  TClickWin* w = MakeWindow();
  struct Case {
    int mode;
    long double factor;
  } cases[] = {{kCmMouseBoxZoom, 0.5L}, {kCmMouseCoordinates, 1}};
  for (const Case& c : cases) {
    w->Command(c.mode);
    w->centreZoomFactor = 0.5L;
    const long double half = w->HalfX;
    const TPoint2D p = w->PixelToWorldPoint({150, 300});
    w->EvRButtonDown(plat::MK_RBUTTON, {150, 300});
    EXPECT_NEAR(D(w->Centre.x), D(p.x), 1e-12) << c.mode;
    EXPECT_NEAR(D(w->Centre.y), D(p.y), 1e-12) << c.mode;
    EXPECT_NEAR(D(w->HalfX), D(half * c.factor), 1e-12) << c.mode;
  }
  // With logarithmic axes the right button zooms nothing.
  w->LogWindowType = 1;
  const TPoint2D centre = w->Centre;
  for (const Case& c : cases) {
    w->Command(c.mode);
    w->EvRButtonDown(plat::MK_RBUTTON, {20, 30});
    EXPECT_EQ(w->Centre, centre);
  }
  w->LogWindowType = 0;
}

TEST_F(MouseModesTest, CoordinatesModeAttachesClickedPointsToTheDataEquation) {
  TClickWin* w = MakeWindow();
  const int f = w->AppendEquation(kKindExplicit, -5, 5, {}, "x");
  w->Command(kCmMouseCoordinates);
  // Without a data equation the coordinates are only shown.
  Inject(w, MouseEvent::LButtonUp, {200, 100});
  w->EvLButtonDown(plat::MK_LBUTTON, {200, 100});
  EXPECT_TRUE(w->Equation(f).results.empty());
  w->mouseDataEquation = static_cast<std::int16_t>(f);
  const TPoint2D at = w->PixelToWorldPoint({200, 100});
  for (int k = 0; k < 2; ++k) {
    Inject(w, MouseEvent::Move, {220, 140});
    Inject(w, MouseEvent::LButtonUp, {220, 140});
    w->EvLButtonDown(plat::MK_LBUTTON, {200, 100});
  }
  ASSERT_EQ(w->Equation(f).results.size(), 1u) << "an equal point is not added twice";
  const TResultPoint& r = w->Equation(f).results.front();
  EXPECT_EQ(r.code, 40);
  EXPECT_EQ(r.text, "Cursor");
  EXPECT_EQ(D(r.values[0]), D(at.x));
  EXPECT_EQ(D(r.values[1]), D(at.y));
}

TEST_F(MouseModesTest, DrawingModeDrawsAndErasesStrokes) {
  TClickWin* w = MakeWindow();
  w->Command(kCmMouseDraw);
  Inject(w, MouseEvent::Move, {120, 100});
  Inject(w, MouseEvent::Move, {140, 100});
  Inject(w, MouseEvent::LButtonUp, {160, 100});
  w->EvLButtonDown(plat::MK_LBUTTON, {100, 100});
  ASSERT_GE(w->mouseMarks.size(), 4u);
  // A double click elsewhere in another mode does nothing; on the stroke in
  // mode 127 it erases it.
  w->Command(kCmMouseCoordinates);
  w->EvLButtonDblClk(plat::MK_LBUTTON, {130, 100});
  EXPECT_FALSE(w->mouseMarks.empty());
  w->Command(kCmMouseDraw);
  w->EvLButtonDblClk(plat::MK_LBUTTON, {130, 100});
  EXPECT_TRUE(w->mouseMarks.empty());
  // The right button erases too.
  Inject(w, MouseEvent::LButtonUp, {100, 200});
  w->EvLButtonDown(plat::MK_LBUTTON, {100, 150});
  ASSERT_FALSE(w->mouseMarks.empty());
  w->EvRButtonDown(plat::MK_RBUTTON, {100, 175});
  EXPECT_TRUE(w->mouseMarks.empty());
}

TEST_F(MouseModesTest, BoxZoomDragAndLostCapture) {
  TClickWin* w = MakeWindow();
  w->Command(kCmMouseBoxZoom);
  const TPoint2D a = w->PixelToWorldPoint({100, 100});
  const TPoint2D b = w->PixelToWorldPoint({300, 250});
  Inject(w, MouseEvent::Move, {200, 200});
  Inject(w, MouseEvent::LButtonUp, {300, 250});
  w->EvLButtonDown(plat::MK_LBUTTON, {100, 100});
  EXPECT_NEAR(D(w->Centre.x), D((a.x + b.x) / 2), 1e-12);
  // The capture is lost before any move: the drag ends at once, no zoom.
  const TPoint2D centre = w->Centre;
  w->EvLButtonDown(plat::MK_LBUTTON, {10, 10});
  EXPECT_EQ(w->Centre, centre);
}

// ---- guide lines ----

TEST_F(Plot2Test, GuideLinesFollowTheStyleCode) {
  TPlot2Win* w = MakeWindow();
  struct Case {
    int code;
    bool polar;
    std::vector<TPoint2D> on;
    std::vector<TPoint2D> off;
  } cases[] = {
      {1, false, {{1, 3}, {0.3L, 3}}, {{2, 1.5L}, {1, 1.5L}}},
      {4, false, {{2, 1.5L}, {2, 0.5L}}, {{1, 3}, {1, 1.5L}}},
      {64, false, {{1, 1.5L}}, {{1, 3}, {2, 1.5L}}},
      {3 * 4, false, {{2, 1.5L}}, {{1, 3}}},
      // Polar (r, t) = (3, π/2): the arc of radius 3 from angle 0.
      {256, true, {{3 * std::cos(Pi / 4), 3 * std::sin(Pi / 4)}}, {{0, 1.5L}}},
  };
  for (const Case& c : cases) {
    while (w->equationCount >= 0) w->DeleteEquation(w->equationCount);
    const int i = c.polar ? w->AppendEquation(kKindPoint, {"3", "pi/2"}) : w->AppendEquation(kKindPoint, {"2", "3"});
    TEquation& e = w->Equation(i);
    e.polarInput = c.polar ? 1 : 0;
    e.interpolated = 1;
    e.subKind = static_cast<std::int16_t>(c.code);
    w->CompileEquation(i);
    w->InvalidatePlot();
    Settle(w);
    const plat::Colour colour = EntryColour(*w, i);
    for (const TPoint2D& p : c.on)
      EXPECT_TRUE(ColourNear(w->Surface(), w->WorldToPixelX(p.x), w->WorldToPixelY(p.y), colour, 1))
          << c.code << " at " << D(p.x) << "," << D(p.y);
    for (const TPoint2D& p : c.off)
      EXPECT_FALSE(ColourNear(w->Surface(), w->WorldToPixelX(p.x), w->WorldToPixelY(p.y), colour, 1))
          << c.code << " at " << D(p.x) << "," << D(p.y);
  }
}

}  // namespace
}  // namespace kv::test2d
