// The planet window as a user meets it: the default system, runs that stop
// at the boundary or a key, run on past a collision and are drawn again
// exactly, the markers, the body editor, planet files and the export run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "entry/model/plot_file_blocks.h"
#include "planewin/body_dialog.h"
#include "planewin/planet_win.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "shell/col_win.h"
#include "support/plot_window_test.h"
#include "support/export_readers.h"
#include "support/recording_sink.h"

namespace kv {
namespace {

using namespace planet;

class PlanetWindow : public kvtest::PlotWindowTest<TPlotXWin> {
 protected:
  // A window whose first run is cut short by a waiting key, as a user
  // would stop an open-ended run.
  TPlotXWin* MakeStoppedWindow() {
    auto* w = new TPlotXWin(nullptr, "Unbenannt1.kv2");
    w->FileVersion = 33;
    windows_.push_back(w);
    EXPECT_TRUE(w->Create());
    w->MoveWindow(20, 40, 600, 450);
    plat::testing::InjectKey(*w, 'A', 0, 'a');
    w->Show(plat::SW_SHOW);
    SettleRun(w);
    return w;
  }
  static TPlanetSystem System(TPlotXWin* w) { return TPlanetSystem(w->Equation(0)); }
  // Two bodies of mass m at (+-a, 0) on a circle about their centre of mass.
  static void MakeBinary(TPlotXWin* w, long double a, long double speedFactor) {
    TEquation& e = w->Equation(0);
    if (TPlanetSystem(e).BodyCount() == 3) {
      ASSERT_TRUE(DeletePlanetBody(e, 2));
    }
    TPlanetSystem s(e);
    s.Follow() = 0;
    const long double v = std::sqrt(s.Gravity() / (4 * a)) * speedFactor;
    s.At(kStartPositions, 0) = {a, 0, 0};
    s.At(kStartPositions, 1) = {-a, 0, 0};
    s.At(kStartVelocities, 0) = {0, v, 0};
    s.At(kStartVelocities, 1) = {0, -v, 0};
    s.At(kMasses, 0).x = 1;
    s.At(kMasses, 1).x = 1;
    s.UpdateMassFractions();
    s.ComputeCentreOfMass(kStartBase);
  }
  // The paint, then the timer that runs a following system after it.
  static void SettleRun(TPlotXWin* w) {
    Settle(w);
    plat::Delay(*w, 30);
    Settle(w);
  }
  static void Redraw(TPlotXWin* w) {
    w->InvalidatePlot();
    SettleRun(w);
  }
  // The points an export of the body's path over `positions` steps carries: one per pixel entered.
  static std::size_t PixelsOfPath(TPlotXWin* w, int body, int positions) {
    TEquation copy;
    CopyEquation(copy, w->Equation(0));
    TPlanetSystem model(copy);
    model.ResetToStart();
    model.ComputeDrawnPositions();
    std::vector<plat::Point> pixels(positions + 1);
    for (int k = 0; k <= positions; ++k) {
      if (k > 0) model.AdvancePosition(RoundToInt(model.Computations()));
      EXPECT_TRUE(w->WorldToPixel(w->ProjectByViewMode(model.At(kDrawn, body)), pixels[k])) << "out of the view";
    }
    return std::unique(pixels.begin(), pixels.end()) - pixels.begin();
  }
  static plat::Colour BodyColour(TPlotXWin* w, int k) {
    auto it = w->Equation(0).items.begin();
    std::advance(it, k);
    return w->DrawingColourOf(w->CheckColourIndex(it->pen.colour));
  }
};

TEST_F(PlanetWindow, ANewWindowShowsTheDefaultSystem) {
  TPlotXWin* w = MakeStoppedWindow();
  ASSERT_EQ(w->equationCount, 0);
  const TEquation& e = w->Equation(0);
  EXPECT_EQ(e.kind, kKindPlanets);
  EXPECT_EQ(e.items.size(), 4u);
  EXPECT_EQ(std::prev(e.items.end())->texts[3], "Schwerpunkt");
  EXPECT_EQ(e.items.front().texts[3], "Körper 0");
  EXPECT_EQ(w->FileTypeCode, kFileTypePlanet);
  EXPECT_EQ(w->SettingsFileName, "kv2.ini");
  EXPECT_EQ(w->ZoomFactor, 1.1L);
  EXPECT_EQ(w->Decimals, 14);
  EXPECT_EQ(w->AxesShown, 0);
  EXPECT_EQ(w->MouseMode, kCmMouseCoordinates);
  EXPECT_EQ(w->HelpName, "KVXHELP");
  EXPECT_TRUE(w->HasMenuItem(kCmPlanetHelp));
  EXPECT_EQ(w->equationLabels.size(), 1u);
  // The waiting key stopped the open-ended first run after one step; the
  // count is kept for every later drawing.
  EXPECT_EQ(System(w).Positions(), 1);
  Redraw(w);
  EXPECT_EQ(System(w).Positions(), 1);
  // "Neu" starts a default system of its own, without the window's label.
  w->NewFile();
  EXPECT_TRUE(w->equationCount == 0 && w->equationLabels.empty());
  plat::testing::InjectKey(*w, 'A', 0, 'a');
  SettleRun(w);

  // A window that reads the settings its kind wrote keeps its own zoom
  // factor and decimals: the start velocities are written with 14.
  w->Decimals = 3;
  w->ZoomFactor = 2;
  w->Destroy();  // writes "kv2.ini"; the platform deletes it
  windows_.clear();
  TPlotXWin* v = MakeStoppedWindow();
  ASSERT_EQ(v->SettingsLoaded, 1);
  EXPECT_EQ(v->ZoomFactor, 1.1L);
  EXPECT_EQ(v->Decimals, 14);
  const std::string& speed = v->Equation(0).items.front().texts[0];
  ASSERT_NE(speed.find('.'), std::string::npos) << speed;
  EXPECT_EQ(speed.size() - speed.find('.') - 1, 14u) << speed;
}

TEST_F(PlanetWindow, AStoppedRunIsDrawnAgainExactly) {
  TPlotXWin* w = MakeStoppedWindow();
  TPlanetSystem s = System(w);
  s.Positions() = 300;
  Redraw(w);
  ASSERT_EQ(s.Positions(), 300);
  const plat::Bitmap first = w->Surface();
  Redraw(w);
  EXPECT_EQ(s.Positions(), 300);
  const plat::Bitmap& second = w->Surface();
  int differing = 0;
  for (int y = 0; y < first.Height(); ++y)
    for (int x = 0; x < first.Width(); ++x)
      if (first.GetPixel(x, y) != second.GetPixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
  // Each body left its path in its colour.
  for (int k = 0; k < 3; ++k) EXPECT_GT(kvtest::CountColour(second, BodyColour(w, k)), 20) << k;
  // A key during a run stops it; the next drawing shows that many steps.
  s.Positions() = kManyPositions;
  s.StopAtBoundary() = 0;
  plat::testing::InjectKey(*w, 'A', 0, 'a');
  Redraw(w);
  EXPECT_EQ(s.Positions(), 1);
}

TEST_F(PlanetWindow, TheRunStopsWhenABodyLeavesTheView) {
  TPlotXWin* w = MakeStoppedWindow();
  // Two bodies flying apart fast enough to escape.
  MakeBinary(w, 0.5L, 3);
  TPlanetSystem s = System(w);
  s.Positions() = kManyPositions;
  s.StopAtBoundary() = 1;
  Redraw(w);
  const long double stored = s.Positions();
  ASSERT_GT(stored, 5);
  ASSERT_LT(stored, 100000);
  // The stored count is the first step at which a body was outside.
  TEquation copy;
  CopyEquation(copy, w->Equation(0));
  TPlanetSystem model(copy);
  model.ResetToStart();
  for (long k = 1; k <= static_cast<long>(stored); ++k) {
    model.AdvancePosition(RoundToInt(model.Computations()));
    bool inside = true;
    for (int b = 0; b < 2; ++b) inside = inside && w->IsInView({model.At(kDrawn, b).x, model.At(kDrawn, b).y});
    EXPECT_EQ(inside, k < static_cast<long>(stored)) << k;
  }
  // Without the boundary the stored count runs on.
  s.StopAtBoundary() = 0;
  s.Positions() = stored + 50;
  Redraw(w);
  EXPECT_EQ(s.Positions(), stored + 50);

  // Without gravity body 0 flies straight to the right, a tenth of the view
  // per step, from 2.25 tenths before the right edge: two steps inside are
  // drawn, the step across the edge is not, not even up to the edge.
  const long double step = (w->World.xmax - w->World.xmin) / 10;
  const long double y = (w->World.ymin + w->World.ymax) / 2;
  s.Gravity() = 0;
  s.Markers() = 0;
  s.Positions() = 3;
  s.At(kStartPositions, 0) = {w->World.xmax - 2.25L * step, y, 0};
  s.At(kStartVelocities, 0) = {step / s.Duration(), 0, 0};
  s.At(kStartPositions, 1) = {w->World.xmin + step, w->World.ymin + step, 0};
  s.At(kStartVelocities, 1) = {0, 0, 0};
  s.ComputeCentreOfMass(kStartBase);
  Redraw(w);
  const int py = w->WorldToPixelY(y);
  const plat::Colour c0 = BodyColour(w, 0);
  EXPECT_TRUE(kvtest::ColourNear(w->Surface(), w->WorldToPixelX(w->World.xmax - 1.75L * step), py, c0, 1));
  EXPECT_TRUE(kvtest::ColourNear(w->Surface(), w->WorldToPixelX(w->World.xmax - 0.5L * step), py, c0, 1));
  EXPECT_FALSE(kvtest::ColourNear(w->Surface(), w->WorldToPixelX(w->World.xmax - 0.125L * step), py, c0, 2));
}

TEST_F(PlanetWindow, TwoEqualBodiesCircleTheirCentreOfMass) {
  TPlotXWin* w = MakeStoppedWindow();
  MakeBinary(w, 2, 1);
  TPlanetSystem s = System(w);
  // One revolution: 2 pi a / v = 2 pi 2 / 0.3536 = 35.5 time units, 0.002
  // per drawn step.
  s.Positions() = 17772;
  s.Markers() = 0;
  Redraw(w);
  ASSERT_EQ(s.Positions(), 17772);
  const plat::Bitmap& surface = w->Surface();
  surface.WritePngFile(kvtest::BuildTreeDir() + "/planet_binary.png");
  const plat::Colour c0 = BodyColour(w, 0);
  const plat::Colour c1 = BodyColour(w, 1);
  // The two paths cover the circle of radius 2 (each body goes round once,
  // the later one drawn over the earlier where they meet).
  int hit = 0;
  for (int k = 0; k < 36; ++k) {
    const long double t = k * 3.14159265358979L / 18;
    const int x = w->WorldToPixelX(2 * std::cos(t));
    const int y = w->WorldToPixelY(2 * std::sin(t));
    if (kvtest::ColourNear(surface, x, y, c0, 2) || kvtest::ColourNear(surface, x, y, c1, 2)) ++hit;
  }
  EXPECT_GE(hit, 35);
  // Nothing near the centre of mass or off the circle.
  for (const plat::Colour c : {c0, c1}) {
    EXPECT_FALSE(kvtest::ColourNear(surface, w->WorldToPixelX(0), w->WorldToPixelY(0), c, 20));
    EXPECT_FALSE(kvtest::ColourNear(surface, w->WorldToPixelX(0), w->WorldToPixelY(1), c, 10));
  }
  EXPECT_NEAR(s.At(kPositions, 2).x, 0, 1e-12);
}

TEST_F(PlanetWindow, ACollisionCutsItsPositionShortAndTheRunGoesOn) {
  TPlotXWin* w = MakeStoppedWindow();
  MakeBinary(w, 0.005L, 0);  // at rest, 0.01 apart: they fall together
  TPlanetSystem s = System(w);
  s.Step() = 1e-7L;
  s.Duration() = 1e-5L;
  s.StopAtBoundary() = 0;
  s.Positions() = 5000;
  Redraw(w);
  EXPECT_TRUE(w->Collided);
  EXPECT_NE(w->GetCaption().find("Kollision!"), std::string::npos) << w->GetCaption();
  EXPECT_EQ(s.Positions(), 5000);
  // The window's run is the model's, whose colliding positions stop
  // their steps early.
  TEquation copy;
  CopyEquation(copy, w->Equation(0));
  TPlanetSystem model(copy);
  model.ResetToStart();
  int collisions = 0;
  for (int k = 0; k < 5000; ++k) collisions += model.AdvancePosition(RoundToInt(model.Computations())) == kCollision;
  EXPECT_GT(collisions, 0);
  for (int b = 0; b < 2; ++b) EXPECT_EQ(s.At(kPositions, b), model.At(kPositions, b)) << b;
  // Apart again, the caption is the file's name.
  MakeBinary(w, 1, 1);
  s.Positions() = 10;
  Redraw(w);
  EXPECT_FALSE(w->Collided);
  EXPECT_EQ(w->GetCaption().find("Kollision!"), std::string::npos);
}

TEST_F(PlanetWindow, MarkersAndErasing) {
  TPlotXWin* w = MakeStoppedWindow();
  TPlanetSystem s = System(w);
  struct Case {
    long double positions;
    int markers;
    bool drawn;
  };
  // Positions 0 with markers: only the markers, the end at the start.
  // "Radieren" (positions 0, no markers): nothing.
  for (const Case& c : {Case{0, 1, true}, Case{0, 0, false}, Case{200, 0, true}}) {
    s.Positions() = c.positions;
    s.Markers() = static_cast<std::uint8_t>(c.markers);
    Redraw(w);
    for (int k = 0; k < 3; ++k) {
      const TPoint3D& p = s.At(kStartPositions, k);
      const bool near = kvtest::ColourNear(w->Surface(), w->WorldToPixelX(p.x), w->WorldToPixelY(p.y), BodyColour(w, k), 4);
      EXPECT_EQ(near, c.drawn) << c.positions << " " << c.markers << " body " << k;
    }
  }
}

TEST_F(PlanetWindow, RelativeToTheCentreOfMassTheCentreIsNotDrawn) {
  TPlotXWin* w = MakeStoppedWindow();
  TPlanetSystem s = System(w);
  s.Relative() = 1;
  s.SetReferenceIndex(3);
  s.Positions() = 100;
  Redraw(w);
  // The drawn positions are the bodies' positions minus the centre's.
  for (int k = 0; k < 3; ++k) EXPECT_EQ(s.At(kDrawn, k).x, s.At(kPositions, k).x - s.At(kPositions, 3).x);
  EXPECT_EQ(s.At(kDrawn, 3).x, 0);
}

// ---- the body editor ----

class BodyEditor : public PlanetWindow {
 protected:
  int Edit(TPlotXWin* w, plat::testing::DialogScript script) {
    plat::testing::ExpectDialog("EQUA219", std::move(script));
    return w->EditSpecialEquation(0) ? 1 : 0;
  }
  static void Select(plat::Dialog& d, int line) {
    d.ListSetSel(kBodyList, line);
    d.EvControl(kBodyList, plat::CBN_SELCHANGE);
  }
};

TEST_F(BodyEditor, ShowsTheSystemAndTheFirstBody) {
  TPlotXWin* w = MakeStoppedWindow();
  Edit(w, [](plat::Dialog& d) {
    EXPECT_EQ(d.ListCount(kBodyList), 4);
    EXPECT_EQ(d.ListText(kBodyList, 3), "Schwerpunkt");
    EXPECT_EQ(d.ListGetSel(kBodyList), 0);
    EXPECT_TRUE(d.IsChecked(kShowStart));
    EXPECT_FALSE(d.IsItemVisible(kBodyZ));
    EXPECT_FALSE(d.IsItemVisible(kBodyLabelVz));
    EXPECT_EQ(d.GetItemText(kSystemComputations), "100");
    EXPECT_EQ(d.GetItemText(kSystemMarkerSize), "3");
    EXPECT_EQ(d.GetItemText(kBodyPenWidth), "1");
    EXPECT_EQ(d.GetItemText(kBodyName), "Körper 0");
    EXPECT_TRUE(d.IsChecked(kSystemFollow));
    EXPECT_TRUE(d.IsChecked(kSystemBoundary));
    EXPECT_TRUE(d.IsChecked(kSystemMarkers));
    long double g = 0;
    EXPECT_TRUE(ParsePlainNumber(d.GetItemText(kSystemGravity), g));
    EXPECT_EQ(g, 1);
    d.Press(2);
  });
}

TEST_F(BodyEditor, NewEditAndDeleteBodies) {
  TPlotXWin* w = MakeStoppedWindow();
  w->Modified = 0;
  const int r = Edit(w, [](plat::Dialog& d) {
    d.Press(kBodyNew);
    EXPECT_EQ(d.ListCount(kBodyList), 5);
    EXPECT_EQ(d.ListGetSel(kBodyList), 3);
    EXPECT_EQ(d.GetItemText(kBodyName), "Körper 3");
    long double m = 0;
    EXPECT_TRUE(ParsePlainNumber(d.GetItemText(kBodyMass), m));
    EXPECT_EQ(m, 3) << "the total mass of the centre it replaces";
    d.SetItemText(kBodyMass, "0.5");
    d.SetItemText(kBodyX, "1.5");
    d.SetItemText(kBodyName, "Mond");
    Select(d, 1);
    EXPECT_EQ(d.ListText(kBodyList, 3), "Mond");
    d.Press(kBodyDelete);
    EXPECT_EQ(d.ListCount(kBodyList), 4);
    EXPECT_EQ(d.ListText(kBodyList, 2), "Mond");
    d.SetItemText(kSystemPositions, "250");
    d.Press(1);
  });
  EXPECT_EQ(r, 1);
  TPlanetSystem s = System(w);
  EXPECT_EQ(s.BodyCount(), 3);
  EXPECT_EQ(s.Mass(2), 0.5L);
  EXPECT_EQ(s.At(kStartPositions, 2).x, 1.5L);
  EXPECT_EQ(s.Mass(3), 2.5L) << "the total after Zeichnen";
  EXPECT_EQ(s.Positions(), 250);
  EXPECT_EQ(w->Modified, 1);
  Settle(w);
  EXPECT_EQ(s.Positions(), 250);
}

TEST_F(BodyEditor, RefusedNumbersKeepTheDialogOpenAndChangeNothing) {
  TPlotXWin* w = MakeStoppedWindow();
  TEquation before;
  CopyEquation(before, w->Equation(0));
  struct Case {
    int id;
    const char* text;
    const char* message;  // none: refused without a message
  };
  const Case cases[] = {
      {kBodyMass, "abc", "unverständlich"},        {kBodyX, "1,5", "unverständlich"},
      {kBodyVy, "", "unverständlich"},             {kBodyPenWidth, "2.5", "unverständlich"},
      {kSystemComputations, "x", "unverständlich"}, {kBodyPenWidth, "32768", "jenseits der Grenzen"},
      {kSystemMarkerSize, "99", "jenseits der Grenzen"}, {kSystemGravity, "0", nullptr},
      {kSystemDuration, "-1", nullptr},            {kSystemPositions, "0.4", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " " + c.text);
    plat::testing::ClearMessages();
    const int r = Edit(w, [&c, w, &before](plat::Dialog& d) {
      d.SetItemText(kBodyName, "geändert");
      d.SetItemText(c.id, c.text);
      d.Press(1);
      // Still open: the refusal was told (or not) and nothing was taken.
      const TEquation& e = w->Equation(0);
      EXPECT_EQ(e.items.front().texts[3], "Körper 0");
      EXPECT_EQ(e.samples[kMasses * kBlockSize].x, before.samples[kMasses * kBlockSize].x);
      EXPECT_EQ(e.values[4].x, before.values[4].x);
      EXPECT_EQ(e.upperBound.x, before.upperBound.x);
      d.Press(2);
    });
    EXPECT_EQ(r, 0);
    ASSERT_EQ(plat::testing::Messages().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(plat::testing::Messages()[0].text, c.message);
    }
  }
  // A mass not above 1e-16 and a pen width not above 0 are passed over:
  // the old values stay.
  plat::testing::ClearMessages();
  EXPECT_EQ(Edit(w, [](plat::Dialog& d) {
              d.SetItemText(kBodyMass, "0");
              d.SetItemText(kBodyPenWidth, "-2");
              d.Press(1);
            }),
            1);
  EXPECT_TRUE(plat::testing::Messages().empty());
  EXPECT_EQ(System(w).Mass(0), 1);
  EXPECT_EQ(w->Equation(0).items.front().pen.width, 1);
  // Any pen width the 16-bit field holds is taken.
  EXPECT_EQ(Edit(w, [](plat::Dialog& d) {
              d.SetItemText(kBodyPenWidth, "32767");
              d.Press(1);
            }),
            1);
  EXPECT_EQ(w->Equation(0).items.front().pen.width, 32767);
  // A bad number stops the switch to another body too.
  plat::testing::ClearMessages();
  Edit(w, [](plat::Dialog& d) {
    d.SetItemText(kBodyMass, "-2x");
    Select(d, 2);
    EXPECT_EQ(d.ListGetSel(kBodyList), 0);
    d.Press(2);
  });
  EXPECT_EQ(plat::testing::Messages().size(), 1u);
}

TEST_F(BodyEditor, CancelRestoresTheSystem) {
  TPlotXWin* w = MakeStoppedWindow();
  const long double x0 = System(w).At(kStartPositions, 0).x;
  Edit(w, [](plat::Dialog& d) {
    d.Press(kBodyNew);
    d.Press(kBodyNew);
    d.Press(kSystemErase);
    d.Press(2);
  });
  TPlanetSystem s = System(w);
  EXPECT_EQ(s.BodyCount(), 3);
  EXPECT_EQ(w->Equation(0).items.size(), 4u);
  EXPECT_EQ(s.At(kStartPositions, 0).x, x0);
  EXPECT_EQ(s.Markers(), 1);
}

TEST_F(BodyEditor, EnablersRelativeDisplayAndTheCurrentState) {
  TPlotXWin* w = MakeStoppedWindow();
  TPlanetSystem s = System(w);
  s.Positions() = 50;
  Redraw(w);
  Edit(w, [&s](plat::Dialog& d) {
    // Three bodies: any body may go (two remain), the centre of mass not.
    EXPECT_TRUE(d.IsItemEnabled(kBodyDelete));
    Select(d, 3);
    EXPECT_FALSE(d.IsItemEnabled(kBodyDelete));
    d.Press(kSystemCentre);
    EXPECT_EQ(d.ListText(kBodyList, 3), "Schwerpunkt *");
    d.Press(kSystemAbsolute);
    EXPECT_EQ(d.ListText(kBodyList, 3), "Schwerpunkt");
    Select(d, 0);
    // "Jetzt" shows the state after the last run; typing there is not kept.
    d.SetCheck(kShowStart, false);
    d.SetCheck(kShowNow, true);
    d.Press(kShowNow);
    long double x = 0;
    EXPECT_TRUE(ParsePlainNumber(d.GetItemText(kBodyX), x));
    EXPECT_NEAR(x, s.At(kPositions, 0).x, 1e-12);
    EXPECT_NE(x, s.At(kStartPositions, 0).x);
    d.SetItemText(kBodyX, "4");
    d.Press(kBodyNew);
    EXPECT_NE(s.At(kStartPositions, 0).x, 4);
    while (d.IsItemEnabled(kBodyNew)) d.Press(kBodyNew);
    EXPECT_EQ(d.ListCount(kBodyList), 12) << "eleven bodies and the centre";
    d.Press(kBodyNew);
    EXPECT_EQ(d.ListCount(kBodyList), 12);
    d.Press(2);
  });
}

TEST_F(BodyEditor, TheColourWindowEditsTheShownBodyAndForgetsItAtTheEnd) {
  TPlotXWin* w = MakeStoppedWindow();
  auto item = [w](int k) -> TEquationItem& { return *std::next(w->Equation(0).items.begin(), k); };
  Edit(w, [w, &item](plat::Dialog& d) {
    Select(d, 1);
    d.Press(kBodyColour);
    ASSERT_TRUE(w->IsColourWindowVisible());
    EXPECT_EQ(w->ColourWindow->CaptionText, "Körper 1");
    w->ColourWindow->PickCell(3, 2);  // index 9
    EXPECT_EQ(item(1).pen.colour, 9);
    // Body 1 goes: the window turns to the body shown next.
    d.Press(kBodyDelete);
    EXPECT_EQ(w->ColourWindow->EditedIndex, reinterpret_cast<std::int16_t*>(&item(0).pen.colour));
    w->ColourWindow->PickCell(1, 1);  // index 1
    d.Press(1);
  });
  EXPECT_EQ(item(0).pen.colour, 1);
  EXPECT_FALSE(w->IsColourWindowVisible());
  EXPECT_EQ(w->ColourWindow->EditedIndex, nullptr);
}

// ---- files ----

TEST_F(PlanetWindow, PlanetFilesOpenOnlyInPlanetWindows) {
  TPlotXWin* w = MakeStoppedWindow();
  TPlanetSystem s = System(w);
  s.Positions() = 120;
  const std::string dir = kvtest::MakeTempDir("planets");
  w->FileData.FileName = dir + "sonne.kv2";
  ASSERT_TRUE(w->WriteFile());
  TPlotXWin* b = MakeStoppedWindow();
  b->FileData.FileName = dir + "sonne.kv2";
  ASSERT_EQ(b->OpenFile(), 0);
  TPlanetSystem r = System(b);
  EXPECT_EQ(r.BodyCount(), 3);
  EXPECT_EQ(r.Positions(), 120);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(r.At(kStartPositions, k).x, s.At(kStartPositions, k).x);
    EXPECT_NEAR(r.At(kStartVelocities, k).y, s.At(kStartVelocities, k).y, 1e-11);
    EXPECT_NEAR(r.At(kMasses, k).y, 1.0L / 3, 1e-18) << "shares recomputed";
  }
  EXPECT_NEAR(r.At(kStartPositions, 3).x, s.At(kStartPositions, 3).x, 1e-15);
  // A 2D window refuses the planet file.
  auto* plain = new TPlot2Win(nullptr, "Unbenannt1.kv2");
  plain->FileVersion = 33;
  ASSERT_TRUE(plain->Create());
  plain->FileData.FileName = dir + "sonne.kv2";
  EXPECT_EQ(plain->OpenFile(), 11);
  plain->Destroy();
  plat::testing::ClearMessages();
}

TEST(PlanetFile, ASystemWhoseBodiesDoNotMatchItsCountIsRefused) {
  struct Case {
    int n;
    int items;
    bool ok;
  };
  for (const Case& c : {Case{3, 4, true}, Case{2, 3, true}, Case{11, 12, true}, Case{3, 3, false},
                        Case{12, 13, false}, Case{0, 1, false}, Case{-1, 0, false}, Case{3, 9, false}}) {
    SCOPED_TRACE(std::to_string(c.n) + " " + std::to_string(c.items));
    TEquation e;
    InitEquation(e, kKindPlanets, 1, 50);
    e.auxValue1 = static_cast<std::int16_t>(c.n);
    for (int k = 0; k < c.items; ++k) {
      TEquationItem item;
      InitEquationItem(item, kBodyItemKind, 4, 1, 0);
      AllocEquationItemStrings(item);
      e.items.push_back(std::move(item));
    }
    ByteWriter out;
    WriteEquationGroup(out, e, "", false);
    ByteReader in(out.Data());
    TPlotEntry entry;
    EXPECT_EQ(ReadEquationGroup(in, 33, 0, entry), c.ok);
  }
}

// ---- the export run ----

TEST_F(PlanetWindow, TheExportBufferFollowsTheActualRun) {
  auto* w = new TPlotXWin(nullptr, "Unbenannt1.kv2");
  w->FileVersion = 33;
  windows_.push_back(w);
  ASSERT_TRUE(w->Create());
  w->MoveWindow(20, 40, 600, 450);
  TPlanetSystem s(w->Equation(0));
  // Never drawn yet: the count is the largest there is.  The export run
  // stops where the screen's would, at the boundary.
  MakeBinary(w, 0.5L, 3);
  ASSERT_EQ(s.Positions(), kManyPositions);
  plat::Bitmap surface(600, 450);
  plat::BitmapDC dc(surface);
  kvtest::RecordingSink* sink = &kvtest::StartRecording(*w, TExportFormat::Eps);
  w->DrawEquation(dc, 0);
  std::unique_ptr<TExportSink> kept = std::move(w->Sink);
  kvtest::StopRecording(*w);
  const long double stored = s.Positions();
  EXPECT_LT(stored, 100000);
  ASSERT_EQ(sink->polylines.size(), 2u) << "one path per body";
  // At most a point per drawn step, in the view.
  for (const auto& line : sink->polylines) {
    EXPECT_LE(static_cast<long double>(line.size()), stored + 1);
    for (const TPoint2D& p : line) EXPECT_TRUE(p.x >= w->World.xmin - 1e-9L && p.x <= w->World.xmax + 1e-9L);
  }
  // Markers as circles: the starts only, since both bodies left the view.
  EXPECT_EQ(sink->Count("Circle"), 2);
  // A stored count is followed exactly, in every format: a point for each pixel entered.
  s.Positions() = 40;
  s.StopAtBoundary() = 0;
  const std::size_t pixels[] = {PixelsOfPath(w, 0, 40), PixelsOfPath(w, 1, 40)};
  EXPECT_GT(pixels[0], 5u) << "the bodies should cross several pixels";
  for (TExportFormat f : {TExportFormat::Eps, TExportFormat::Svg, TExportFormat::Pictex}) {
    sink = &kvtest::StartRecording(*w, f);
    w->DrawEquation(dc, 0);
    kept = std::move(w->Sink);
    kvtest::StopRecording(*w);
    ASSERT_EQ(sink->polylines.size(), 2u);
    EXPECT_EQ(sink->polylines[0].size(), pixels[0]);
    EXPECT_EQ(sink->polylines[1].size(), pixels[1]);
    EXPECT_EQ(s.Positions(), 40);
    EXPECT_EQ(sink->polylines[0].back(), w->ProjectByViewMode(s.At(kDrawn, 0)));
  }
}

TEST_F(PlanetWindow, GhostscriptShowsTheExportedPathsLikeTheScreen) {
  if (!kvtest::HaveProgram("gs")) GTEST_SKIP() << "Ghostscript (gs) is not installed; scripts/setup installs it";
  TPlotXWin* w = MakeStoppedWindow();
  TPlanetSystem s = System(w);
  s.Positions() = 2500;
  s.StopAtBoundary() = 0;
  Redraw(w);
  kvtest::ScratchFolder dir;
  const std::string eps = dir.File("planeten.eps");
  plat::testing::ClearMessages();
  plat::testing::ExpectFileDialog(eps);
  w->Command(kCmExportEps);
  Settle(w);
  EXPECT_EQ(s.Positions(), 2500);
  std::string log;
  const plat::Bitmap page = kvtest::RenderEps(eps, 96, log);
  ASSERT_FALSE(page.IsNull()) << log;
  for (int k = 0; k < 3; ++k) EXPECT_GT(kvtest::MatchedShare(w->Surface(), BodyColour(w, k), page, 2), 0.9) << k;
}

}  // namespace
}  // namespace kv
