// The double-integral, area, line- and flux-integral dialogs of the 3D
// window, and the tour around the z axis.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "entry/field_integral_dialogs.h"
#include "entry/model/combinations.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "plot3d/model/tour.h"
#include "plot3d/plot3_test_util.h"
#include "plot3d/riemann3_dialog.h"

namespace kv {
namespace {

constexpr double kPi = 3.14159265358979323846;

double Shown(const plat::Dialog& d, int id) { return std::stod(d.GetItemText(id)); }

class Integrals3D : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
  }
  int Add(int kind, std::initializer_list<std::string_view> texts) {
    const int i = w->AppendEquation(kind, texts);
    w->CompileEquation(i);
    w->EquationsChanged(false);
    return i;
  }
  // The last message shown, or "".
  static std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
};

TEST_F(Integrals3D, DoubleIntegralOfXYOverTheUnitSquare) {
  EXPECT_FALSE(w->IsMenuItemEnabled(kCm3Integrate));
  const int s = Add(kKindSurface, {"", "", "x*y"});
  Add(kKindParametricSurface, {"t", "u", "0"});
  ASSERT_TRUE(w->IsMenuItemEnabled(kCm3Integrate));
  w->Command(kCm3Integrate);
  ASSERT_NE(w->IntegralDlg, nullptr);
  TRiem3Dlg& d = *w->IntegralDlg;
  // Only the explicit surface is offered, with the x and y labels.
  EXPECT_EQ(d.ListCount(kIdFirstCombo), 1);
  EXPECT_EQ(d.GetItemText(13), "x min");
  EXPECT_EQ(d.GetItemText(9), "y max");
  EXPECT_EQ(d.GetItemText(kRiem3FirstParts), "100");
  d.Press(kRiem3Compute);
  EXPECT_NEAR(Shown(d, kRiem3Value), 0.25, 1e-9);
  EXPECT_NEAR(static_cast<double>(d.Value()), 0.25, 1e-15);
  const TEquation& e = w->Equation(s);
  ASSERT_EQ(e.results.size(), 1u);
  EXPECT_EQ(e.results.front().code, kResultDoubleIntegral);
  EXPECT_EQ(e.results.front().text, "100x100 Integrieren");
  EXPECT_EQ(static_cast<double>(e.results.front().values[2]), 1.0);
  // The same value again adds no second record; the command shows the same
  // dialog.
  d.Press(kRiem3Compute);
  EXPECT_EQ(e.results.size(), 1u);
  w->Command(kCm3Integrate);
  EXPECT_EQ(w->IntegralDlg, &d);
  // A surface made with "Kombinationen" is offered too: #s + #s is 2xy.
  ASSERT_EQ(w->AddCombinedEquation(kComboSum, s, s), 0);
  ASSERT_EQ(d.ListCount(kIdFirstCombo), 2);
  d.ListSetSel(kIdFirstCombo, 1);
  d.EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(d.SelectedEquation(), w->equationCount);
  d.Press(kRiem3Compute);
  EXPECT_NEAR(static_cast<double>(d.Value()), 0.5, 1e-15);
}

TEST_F(Integrals3D, BadInputsAreRefusedAndNothingIsStored) {
  const int s = Add(kKindSurface, {"", "", "x+y"});
  w->Command(kCm3Integrate);
  TRiem3Dlg& d = *w->IntegralDlg;
  struct Case {
    int id;
    const char* text;
    const char* message;
  } cases[] = {
      {kRiem3FirstParts, "0", "jenseits der Grenzen"},
      {kRiem3SecondUpper, "0", "widersprüchliche Daten"},
      {kRiem3FirstLower, "1+", nullptr},  // the compiler's message
  };
  for (const Case& c : cases) {
    const std::string before = d.GetItemText(c.id);
    d.SetItemText(c.id, c.text);
    plat::testing::ClearMessages();
    d.Press(kRiem3Compute);
    ASSERT_EQ(plat::testing::Messages().size(), 1u) << c.text;
    if (c.message) {
      EXPECT_EQ(LastMessage(), c.message);
    }
    EXPECT_TRUE(w->Equation(s).results.empty()) << c.text;
    EXPECT_EQ(d.First().parts, 100);
    d.SetItemText(c.id, before);
  }
  // A stop with "A" shows nothing and stores nothing.
  plat::testing::InjectKey(*w, 'A', 0, 'a');
  d.Press(kRiem3Compute);
  EXPECT_TRUE(w->Equation(s).results.empty());
  EXPECT_EQ(d.GetItemText(kRiem3Value), "");
}

TEST_F(Integrals3D, AreaOfPlaneAndUnitSphere) {
  const int plane = Add(kKindSurface, {"", "", "0"});
  const int sphere = Add(kKindParametricSurface, {"sin(t)*cos(u)", "sin(t)*sin(u)", "cos(t)"});
  w->Command(kCm3SurfaceArea);
  ASSERT_NE(w->AreaDlg, nullptr);
  TRiem3Dlg& d = *w->AreaDlg;
  EXPECT_EQ(d.GetCaption(), "Fläche");
  ASSERT_EQ(d.ListCount(kIdFirstCombo), 2);
  d.SetItemText(kRiem3FirstUpper, "2");
  d.SetItemText(kRiem3SecondUpper, "3");
  d.Press(kRiem3Compute);
  EXPECT_NEAR(Shown(d, kRiem3Value), 6, 1e-9);
  EXPECT_EQ(w->Equation(plane).results.front().code, kResultSurfaceArea);
  // The parametric surface shows the t and u labels.
  d.ListSetSel(kIdFirstCombo, 1);
  d.EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(d.GetItemText(13), "t min");
  EXPECT_EQ(d.GetItemText(9), "u max");
  d.SetItemText(kRiem3FirstLower, "0");
  d.SetItemText(kRiem3FirstUpper, "pi");
  d.SetItemText(kRiem3SecondLower, "0");
  d.SetItemText(kRiem3SecondUpper, "2pi");
  d.Press(kRiem3Compute);
  EXPECT_NEAR(static_cast<double>(d.Value()), 4 * kPi, 1e-8);
  EXPECT_EQ(w->Equation(sphere).results.front().text, "100x100 Fläche");
  // Deleting the surfaces ends the dialog.
  w->CloseStaleDialogs(true);
  EXPECT_EQ(w->AreaDlg, nullptr);
}

TEST_F(Integrals3D, LineIntegralAroundTheUnitCircle) {
  const int field = Add(kKindOde3D, {"-y", "x", "0"});
  const int circle = Add(kKindSpaceCurve, {"cos(t)", "sin(t)", "0"});
  ASSERT_TRUE(w->IsMenuItemEnabled(kCmLineIntegral));
  w->Command(kCmLineIntegral);
  ASSERT_NE(w->lineIntegralDlg, nullptr);
  TLineDlg& d = *w->lineIntegralDlg;
  EXPECT_EQ(d.GetCaption(), "Kurvenintegral");
  EXPECT_FALSE(d.IsItemVisible(kFieldULower));
  d.SetItemText(kFieldTUpper, "2pi");
  d.Press(kFieldCompute);
  EXPECT_NEAR(Shown(d, kFieldValue), 2 * kPi, 1e-4);
  EXPECT_NEAR(static_cast<double>(d.Value()), 2 * kPi, 1e-12);
  // The limits stay with the window; both entries get the result.
  EXPECT_NEAR(static_cast<double>(w->lineRange.upper), 2 * kPi, 1e-15);
  for (int i : {field, circle}) {
    ASSERT_EQ(w->Equation(i).results.size(), 1u);
    EXPECT_EQ(w->Equation(i).results.front().code, kResultLineIntegral);
    EXPECT_EQ(w->Equation(i).results.front().text, "(links,rechts,Wert,Teilung)");
  }
  // Upper not above lower: nothing computed, the window's limits stay.
  d.SetItemText(kFieldTUpper, "-1");
  plat::testing::ClearMessages();
  d.Press(kFieldCompute);
  EXPECT_EQ(LastMessage(), "widersprüchliche Daten");
  EXPECT_NEAR(static_cast<double>(w->lineRange.upper), 2 * kPi, 1e-15);
}

TEST_F(Integrals3D, FluxThroughTheUnitSphere) {
  EXPECT_FALSE(w->IsMenuItemEnabled(kCm3FluxIntegral));
  const int field = Add(kKindOde3D, {"x", "y", "z"});
  const int sphere = Add(kKindParametricSurface, {"sin(t)*cos(u)", "sin(t)*sin(u)", "cos(t)"});
  ASSERT_TRUE(w->IsMenuItemEnabled(kCm3FluxIntegral));
  w->Command(kCm3FluxIntegral);
  ASSERT_NE(w->fluxDlg, nullptr);
  TFluxDlg& d = *w->fluxDlg;
  EXPECT_EQ(d.GetCaption(), "Flächenintegral");
  EXPECT_TRUE(d.IsItemVisible(kFieldUUpper));
  d.SetItemText(kFieldTUpper, "pi");
  d.SetItemText(kFieldUUpper, "2pi");
  d.Press(kFieldCompute);
  EXPECT_NEAR(static_cast<double>(d.Value()), 4 * kPi, 1e-8);
  EXPECT_EQ(w->Equation(field).results.front().code, kResultFluxIntegral);
  EXPECT_EQ(w->Equation(sphere).results.front().code, kResultFluxIntegral);
  // Closed with "Schließen" it is only hidden and comes back as it was.
  d.Press(plat::IDCANCEL);
  EXPECT_TRUE(d.IsHidden());
  w->Command(kCm3FluxIntegral);
  EXPECT_EQ(w->fluxDlg, &d);
  EXPECT_FALSE(d.IsHidden());
  EXPECT_EQ(d.GetItemText(kFieldUUpper), "2pi");
}

TEST_F(Integrals3D, WithoutAFieldTheComputationChangesNothing) {
  const int circle = Add(kKindSpaceCurve, {"cos(t)", "sin(t)", "0"});
  w->OpenLineIntegralDialog();
  ASSERT_NE(w->lineIntegralDlg, nullptr);
  EXPECT_EQ(w->lineIntegralDlg->ListCount(kIdFirstCombo), 0);
  w->lineIntegralDlg->Press(kFieldCompute);
  EXPECT_TRUE(w->Equation(circle).results.empty());
  EXPECT_EQ(w->lineIntegralDlg->GetItemText(kFieldValue), "");
}

// ---- the tour ----

class Tour : public Integrals3D {
 protected:
  void SetUp() override {
    Integrals3D::SetUp();
    Add(kKindSurface, {"", "", "x*y/5"});
    w->frameDelay = 0;
    w->RepaintNow(true);
    Settle(w);
  }
};

TEST_F(Tour, TakesThePhotosPlaysThemAndRestoresTheView) {
  w->View3D.PhotoCount = 4;
  const TPoint3D e = w->View3D.Observer;
  const long double step = w->View3D.RotationStep;
  ASSERT_TRUE(w->IsMenuItemEnabled(kCm3Tour));
  w->Command(kCm3Tour);
  // The film ran (it ends by itself in testing mode) and the view is back.
  EXPECT_GE(w->LastTourFrame, 1);
  EXPECT_LE(w->LastTourFrame, 4);
  EXPECT_EQ(w->View3D.PhotoCount, 4);
  EXPECT_EQ(static_cast<double>(w->View3D.RotationStep), static_cast<double>(step));
  EXPECT_NEAR(static_cast<double>(w->View3D.Observer.x), static_cast<double>(e.x), 1e-9);
  EXPECT_NEAR(static_cast<double>(w->View3D.Observer.y), static_cast<double>(e.y), 1e-9);
  EXPECT_EQ(w->animating, 0);
}

// A key waiting as the photos are taken: "A" is read by the first photo's
// drawing, which stops at once (the second surface is not drawn) and skips
// the film; Escape and Ctrl+Q stop no photo, and the film plays.
TEST_F(Tour, OnlyAStopsThePhotosAndTheDrawingReadsIt) {
  struct CountingWindow : TPlot3Win {
    using TPlot3Win::TPlot3Win;
    int DrawInventoryItem(plat::DC& dc, int i) override {
      if (animating) ++drawnInTour;
      return TPlot3Win::DrawInventoryItem(dc, i);
    }
    int drawnInTour = 0;
  };
  auto* t = new CountingWindow(nullptr, "Fahrt.kv3");
  t->FileVersion = 33;
  windows_.push_back(t);
  ASSERT_TRUE(t->Create());
  t->MoveWindow(20, 40, 600, 450);
  t->Show(plat::SW_SHOW);
  for (const char* z : {"x*y/5", "1-x*y/5"}) {
    const int i = t->AppendEquation(kKindSurface, {"", "", z});
    t->CompileEquation(i);
  }
  t->EquationsChanged(false);
  t->Command(kCm3SlowDrawing);  // meshes, which read the keys line by line
  t->frameDelay = 0;
  Settle(t);
  struct Case {
    unsigned vk, modifiers, ch;
    int drawn;  // surfaces drawn before the tour ends its photos or plays
    bool film;
  };
  const Case cases[] = {
      {'A', 0, 'a', 1, false},
      {plat::VK_ESCAPE, 0, 27, 8, true},
      {'Q', plat::MOD_CONTROL, 0, 8, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    t->View3D.PhotoCount = 4;
    t->LastTourFrame = 0;
    t->drawnInTour = 0;
    const TPoint3D e = t->View3D.Observer;
    plat::testing::InjectKey(*t, c.vk, c.modifiers, c.ch);
    t->Command(kCm3Tour);
    EXPECT_EQ(t->drawnInTour, c.drawn);
    EXPECT_EQ(t->LastTourFrame != 0, c.film);
    EXPECT_NEAR(static_cast<double>(t->View3D.Observer.x), static_cast<double>(e.x), 1e-9);
    EXPECT_EQ(t->View3D.PhotoCount, 4);
    EXPECT_EQ(t->animating, 0);
  }
}

TEST_F(Tour, TooLittleMemoryTakesFewerPhotosOrRefuses) {
  const std::int64_t photo = std::int64_t{w->ClientWidth} * w->ClientHeight * 4;
  w->View3D.PhotoCount = 10;
  w->TourMemoryBudget = 3 * photo;
  w->Command(kCm3Tour);
  EXPECT_EQ(w->View3D.PhotoCount, 3);
  // Not one photo: a message, and the window as it was.
  w->LastTourFrame = 0;
  w->TourMemoryBudget = photo - 1;
  const TPoint3D e = w->View3D.Observer;
  plat::testing::ClearMessages();
  w->Command(kCm3Tour);
  EXPECT_EQ(LastMessage(), "wenig Speicher...Probleme!");
  EXPECT_EQ(w->LastTourFrame, 0);
  EXPECT_EQ(w->View3D.PhotoCount, 3);
  EXPECT_EQ(static_cast<double>(w->View3D.Observer.z), static_cast<double>(e.z));
}

// Each picture of the film and of the slice animation waits the delay in
// milliseconds (fake clock): 150 at first, and five "L", read one a
// picture, add 5 each.
TEST_F(Tour, TheFilmAndTheAnimationWaitTheirDelayInMilliseconds) {
  struct Case {
    const char* what;
    std::function<void()> run;
    std::int64_t elapsed;
  };
  long double value = 2;
  const Case cases[] = {
      // Four photos: the film ends by itself after ten pictures without a key.
      {"tour", [&] { w->Command(kCm3Tour); }, 150 + 155 + 160 + 165 + 170 + 10 * 175},
      // "A", typed at 1000 ms, is read after the seventh picture.
      {"animation",
       [&] {
         plat::testing::AtTick(1000, [&] { plat::testing::InjectKey(*w, 'A'); });
         w->AnimateValue(0, value, 4, true, 4);
       },
       150 + 155 + 160 + 165 + 170 + 2 * 175},
  };
  w->View3D.PhotoCount = 4;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plat::testing::FakeTicks(true);
    w->frameDelay = 150;
    plat::testing::AtTick(1, [&] {
      for (int k = 0; k < 5; ++k) plat::testing::InjectKey(*w, 'L', 0, 'l');
    });
    c.run();
    const std::int64_t elapsed = plat::TickMilliseconds();
    plat::testing::FakeTicks(false);
    EXPECT_EQ(elapsed, c.elapsed);
    EXPECT_EQ(w->frameDelay, 175);
  }
}

TEST_F(Tour, AddedParametricSurfaceIsCompiledAndBoxed) {
  const int i = w->AddParametricSurface("t", "u", "t*u", 0, 1, -1, 2, 10, 12);
  ASSERT_GE(i, 0);
  const TEquation& e = w->Equation(i);
  EXPECT_EQ(e.kind, kKindParametricSurface);
  EXPECT_EQ(static_cast<double>(e.upperBound.y), 2.0);
  EXPECT_EQ(e.divisions[1], 12);
  EXPECT_NE(e.trees[2], nullptr);
  EXPECT_EQ(e.familyOn, 1);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// "Anzahl Fotos" shows the count the next tour takes: 36 in a new window,
// and after a tour that found room for fewer, that many.
TEST_F(Tour, ThePhotoCountDialogShowsTheCountTheTourTakes) {
  ASSERT_EQ(w->View3D.PhotoCount, 0);
  const auto shown = [&] {
    std::string text;
    plat::testing::ExpectDialog("ONEINPUT", [&](plat::Dialog& d) {
      text = d.GetItemText(211);
      d.Press(plat::IDCANCEL);
    });
    w->Command(kCm3PhotoCount);
    return text;
  };
  EXPECT_EQ(shown(), "36");
  w->TourMemoryBudget = 3 * std::int64_t{w->ClientWidth} * w->ClientHeight * 4;
  w->Command(kCm3Tour);
  EXPECT_EQ(w->View3D.PhotoCount, 3);
  EXPECT_EQ(shown(), "3");
}

}  // namespace
}  // namespace kv
