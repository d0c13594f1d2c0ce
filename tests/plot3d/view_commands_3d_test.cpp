// The view commands of the 3D window: the observer's moves and turns, the
// isometric and cubic views, the one-value and axis-length dialogs, the
// toggles with their check marks, and the menu places of the commands.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/keys.h"
#include "platform/resources.h"
#include "plot3d/plot3_test_util.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"

namespace kv {
namespace {

using test3d::Plot3Test;

double D(long double v) { return static_cast<double>(v); }

bool HasMessage(const std::string& text) {
  for (const auto& m : plat::testing::Messages())
    if (m.text == text) return true;
  return false;
}

// A window that counts how often its plot picture is drawn.
class CountingWin : public TPlot3Win {
 public:
  using TPlot3Win::TPlot3Win;
  int plotPasses = 0;
  void DrawPlotLayer(plat::DC& dc) override {
    ++plotPasses;
    TPlot3Win::DrawPlotLayer(dc);
  }
};

class ViewCommands : public kvtest::PlotWindowTest<CountingWin> {
 protected:
  CountingWin* w = nullptr;
  void SetUp() override {
    PlotWindowTest::SetUp();
    plat::testing::ClearMessages();
    w = MakeWindow("Unbenannt1.kv3");
  }
  void Run(int command) {
    w->Command(command);
    Settle(w);
  }
  // Runs a command whose one-value dialog gets the text.
  void Answer(int command, const std::string& text, const std::string& templateName = "ONEINPUT") {
    RunWithDialog(w, command, templateName, [text](plat::Dialog& d) {
      d.SetItemText(211, text);
      d.Press(plat::IDOK);
    });
  }
  long double Elevation() const {
    const TPoint3D& e = w->View3D.Observer;
    const TPoint3D& m = w->View3D.BoxCentre;
    return std::atan2(e.z - m.z, std::hypot(e.x - m.x, e.y - m.y));
  }
};

TEST_F(ViewCommands, TheObserverMovesInAndOutByItsSteps) {
  const TView3D& v = w->View3D;  // box 0..2, centre (1, 1, 1), observer (60, 80, 60)
  Run(kCm3ObserverIn);
  EXPECT_EQ(v.Observer, (TPoint3D{30.5L, 40.5L, 30.5L}));
  EXPECT_EQ(v.ObserverSet, 1);
  EXPECT_EQ(w->Modified, 1);
  Run(kCm3ObserverOut);
  EXPECT_EQ(v.Observer, (TPoint3D{60, 80, 60}));
  Run(kCm3ObserverFarOut);
  EXPECT_NEAR(D(Distance3D(v.Observer, v.BoxCentre)), 6000, 1e-9);
  // The keys of the commands.
  EXPECT_EQ(w->FindAccelerator(plat::VK_DELETE, plat::MOD_CONTROL), kCm3ObserverFarOut);
  // Isometric: 8000 times the box's taxicab size 6 on every axis.
  Run(kCm3Isometric);
  EXPECT_EQ(v.Observer, (TPoint3D{48000, 48000, 48000}));
  // The view frame follows every move.
  EXPECT_NEAR(D(v.V.x), 47999, 1e-9);
}

TEST_F(ViewCommands, TurningAndTiltingFollowTheirAngles) {
  TView3D& v = w->View3D;
  const TPoint3D start = v.Observer;
  Run(kCm3RotateRight);
  const long double a = v.RotationStep;
  EXPECT_NEAR(D(v.Observer.x - 1), D(59 * std::cos(a) - 79 * std::sin(a)), 1e-12);
  Run(kCm3RotateLeft);
  EXPECT_NEAR(D(Distance3D(v.Observer, start)), 0, 1e-12);
  // About the origin instead of the box centre (Strg+D).
  EXPECT_EQ(w->FindAccelerator('D', plat::MOD_CONTROL), kCm3RotateAboutOrigin);
  Run(kCm3RotateAboutOrigin);
  EXPECT_EQ(w->RotateAboutOrigin, 1);
  Run(kCm3RotateRight);
  EXPECT_NEAR(D(std::hypot(v.Observer.x, v.Observer.y)), 100, 1e-12);
  EXPECT_NEAR(D(v.Observer.x), D(60 * std::cos(a) - 80 * std::sin(a)), 1e-12);
  Run(kCm3RotateAboutOrigin);

  // From elevation 0, n presses up give π/2 (1 - 0.975^n).
  w->SetObserver({61, 1, 1});
  for (int n = 1; n <= 4; ++n) {
    Run(kCm3RotateUp);
    EXPECT_NEAR(D(Elevation()), D(HalfPi * (1 - std::pow(0.975L, n))), 1e-12) << n;
  }
  // Down from a small positive elevation: fixed steps of 0.025 π/2, then
  // 2.5 % of the way left to -π/2.
  w->SetObserver({61, 1, 1 + 60 * std::tan(0.03L)});
  Run(kCm3RotateDown);
  EXPECT_NEAR(D(Elevation()), D(0.03L - 0.025L * HalfPi), 1e-12);
  const long double phi = Elevation();
  Run(kCm3RotateDown);
  EXPECT_NEAR(D(Elevation()), D(phi - 0.025L * (phi + HalfPi)), 1e-12);
  // Straight above the centre nothing turns.
  w->SetObserver({1, 1, 50});
  const TPoint3D above = v.Observer;
  Run(kCm3RotateUp);
  EXPECT_EQ(v.Observer, above);
}

TEST_F(ViewCommands, OneValueDialogsStoreValuesInsideTheirLimits) {
  struct Case {
    int command;
    const char* text;
    std::function<long double()> value;
    long double want;
    const char* message;
  };
  TView3D& v = w->View3D;
  v.PhotoCount = 36;
  const Case cases[] = {
      {kCm3PhotoCount, "2", [&] { return v.PhotoCount; }, 2, nullptr},
      {kCm3PhotoCount, "200", [&] { return v.PhotoCount; }, 200, nullptr},
      {kCm3PhotoCount, "1", [&] { return v.PhotoCount; }, 200, "jenseits der Grenzen"},
      {kCm3PhotoCount, "201", [&] { return v.PhotoCount; }, 200, "jenseits der Grenzen"},
      {kCm3StepAngle, "-2*3", [&] { return v.RotationStep; }, -Pi / 30, nullptr},
      {kCm3StepAngle, "x+", [&] { return v.RotationStep; }, -Pi / 30, "unverständlich"},
      {kCm3BoxPenDisplay, "4", [&] { return v.BoxPenVisible; }, 4, nullptr},
      {kCm3BoxPenPrint, "0", [&] { return v.BoxPenHidden; }, 1, nullptr},
      {kCm3BoxPenPrint, "-2", [&] { return v.BoxPenHidden; }, 1, "ungültig"},
  };
  for (const Case& c : cases) {
    plat::testing::ClearMessages();
    Answer(c.command, c.text);
    EXPECT_NEAR(D(c.value()), D(c.want), 1e-15) << c.command << " " << c.text;
    if (c.message) {
      EXPECT_FALSE(plat::testing::Messages().empty()) << c.command << " " << c.text;
    }
    if (c.message && std::string(c.message) != "ungültig") {
      EXPECT_TRUE(HasMessage(c.message)) << c.text;
    }
    if (!c.message) {
      EXPECT_TRUE(plat::testing::Messages().empty()) << c.command << " " << c.text;
    }
  }
  // The step angle shown in degrees comes back unchanged.
  v.RotationStep = Pi / 30;
  // Both dialogs have a buffer of 21 characters: 19 and its terminator
  // fit the edit.
  RunWithDialog(w, kCm3StepAngle, "ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "6.00000");
    EXPECT_EQ(d.TextLimit(211), 19);
    d.Press(plat::IDOK);
  });
  EXPECT_NEAR(D(v.RotationStep), D(Pi / 30), 1e-15);
  RunWithDialog(w, kCm3PhotoCount, "ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.TextLimit(211), 19);
    d.Press(plat::IDCANCEL);
  });
}

TEST_F(ViewCommands, AxisLengthsAreFixedReleasedOrRefused) {
  TView3D& v = w->View3D;
  w->SetAxisEnds();
  RunWithDialog(w, kCm3AxisLength, "AXLEN", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "0.00000");  // the box 0..2 takes the origin as its lower end
    EXPECT_EQ(d.GetItemText(212), "2.60000");
    d.SetItemText(211, "-3");
    d.SetItemText(212, "4");
    d.SetItemText(213, "-2*2");
    d.SetItemText(214, "5");
    d.SetItemText(215, "-1");
    d.SetItemText(216, "1");
    d.Press(plat::IDOK);  // "Festlegen"
  });
  EXPECT_EQ(v.AxisStart, (TPoint3D{-3, -4, -1}));
  EXPECT_EQ(v.AxisEnd, (TPoint3D{4, 5, 1}));
  EXPECT_EQ(v.AxisLengthSet, 1);
  EXPECT_TRUE(w->IsMenuItemChecked(kCm3AxisLength));

  // A lower end not clearly below its upper end is refused.
  RunWithDialog(w, kCm3AxisLength, "AXLEN", [](plat::Dialog& d) {
    d.SetItemText(211, "1");
    d.SetItemText(212, "1+1e-14");
    d.Press(plat::IDOK);
  });
  EXPECT_TRUE(HasMessage("widersprüchliche Daten"));
  EXPECT_EQ(v.AxisStart, (TPoint3D{-3, -4, -1}));

  // "Aufheben" keeps the lengths and lets the box decide them again.
  const int passes = w->plotPasses;
  RunWithDialog(w, kCm3AxisLength, "AXLEN", [](plat::Dialog& d) { d.Press(plat::IDCANCEL); });
  EXPECT_EQ(v.AxisLengthSet, 0);
  EXPECT_FALSE(w->IsMenuItemChecked(kCm3AxisLength));
  EXPECT_EQ(v.AxisEnd, (TPoint3D{4, 5, 1}));
  EXPECT_GT(w->plotPasses, passes);
  // Again with nothing changed: no repaint.
  const int after = w->plotPasses;
  RunWithDialog(w, kCm3AxisLength, "AXLEN", [](plat::Dialog& d) { d.Press(plat::IDCANCEL); });
  EXPECT_EQ(w->plotPasses, after);
  // "Aufheben" stores the ends as the dialog shows them (five decimals), not
  // what was typed, and repaints when that changes them.
  v.AxisEnd.x = 4 + 1e-7L;
  RunWithDialog(w, kCm3AxisLength, "AXLEN", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(212), "4.00000");
    d.SetItemText(211, "-6");
    d.Press(plat::IDCANCEL);
  });
  EXPECT_EQ(v.AxisLengthSet, 0);
  EXPECT_EQ(v.AxisStart, (TPoint3D{-3, -4, -1}));
  EXPECT_EQ(v.AxisEnd, (TPoint3D{4, 5, 1}));
  EXPECT_GT(w->plotPasses, after);

  // A plot file keeps the mark but not the ends: the window that reads it
  // draws its fixed axes from the box it read, not from its own old ends.
  v.AxisLengthSet = 1;
  w->FileData.FileName = kvtest::MakeTempDir("axes") + "achsen.kv3";
  ASSERT_TRUE(w->WriteFile());
  CountingWin* other = MakeWindow("Unbenannt2.kv3");
  other->View3D.AxisStart = {-9, -9, -9};
  other->View3D.AxisEnd = {9, 9, 9};
  other->FileData.FileName = w->FileData.FileName;
  ASSERT_EQ(other->OpenFile(), 0);
  TPoint3D lo, hi;
  DefaultAxisEnds(v.BoxMin, v.BoxMax, lo, hi);
  EXPECT_EQ(other->View3D.AxisLengthSet, 1);
  EXPECT_EQ(other->View3D.AxisStart, lo);
  EXPECT_EQ(other->View3D.AxisEnd, hi);
}

TEST_F(ViewCommands, TogglesFlipTheirFlagsAndCheckMarks) {
  struct Case {
    int command;
    std::uint8_t* flag;
    bool menuEntry;
  };
  TView3D& v = w->View3D;
  const Case cases[] = {
      {kCm3BoxVisible, &v.BoxVisible, true},        {kCm3BoxCoordinates, &v.BoxCoordinates, true},
      {kCm3DashedEdges, &v.DashedEdges, true},      {kCm3HideEdges, &v.HideEdges, true},
      {kCm3AtParameters, &v.AtParameters, true},    {kCm3Cubic, &v.Cubic, true},
      {kCm3ShowAxisLabels, &w->LabelsShown, true},  {kCm3AxisLabelFlag, &w->ArrowsShown, false},
  };
  for (const Case& c : cases) {
    for (int round = 0; round < 2; ++round) {
      const std::uint8_t before = *c.flag;
      Run(c.command);
      EXPECT_EQ(*c.flag, before ? 0 : 1) << c.command;
      if (c.menuEntry) {
        EXPECT_EQ(w->IsMenuItemChecked(c.command), *c.flag != 0) << c.command;
      }
    }
  }
  EXPECT_EQ(w->FindAccelerator('B', plat::MOD_CONTROL), kCm3AxisLabelFlag);
  // "Achsen" in an empty window does nothing, not even the check mark.
  Run(kCmToggleAxes);
  EXPECT_EQ(w->AxesShown, 0);
  w->AppendEquation(kKindPoint3D, {"1", "2", "3"});
  w->UpdateBox(0);
  Run(kCmToggleAxes);
  EXPECT_EQ(w->AxesShown, 1);
  // Either way the point's extent is the point +-0.25, and the box with it.
  EXPECT_NEAR(D(v.BoxMin.x), 0.75, 1e-12);
  EXPECT_NEAR(D(v.BoxMax.z), 3.25, 1e-12);
  Run(kCmToggleAxes);
  EXPECT_EQ(w->AxesShown, 0);
  EXPECT_NEAR(D(v.BoxMin.x), 0.75, 1e-12);
  // "Kanten verdecken" repaints with or without axes and box; only with one
  // of them is the window changed.
  const struct {
    std::uint8_t axes, box;
  } views[] = {{0, 0}, {1, 0}, {0, 1}};
  for (const auto& view : views) {
    w->AxesShown = view.axes;
    v.BoxVisible = view.box;
    w->Modified = 0;
    const int passes = w->plotPasses;
    Run(kCm3HideEdges);
    EXPECT_GT(w->plotPasses, passes) << int{view.axes} << int{view.box};
    EXPECT_EQ(w->Modified, view.axes || view.box ? 1 : 0) << int{view.axes} << int{view.box};
  }
}

TEST_F(ViewCommands, CubicViewLooksAtTheBoxAsAUnitCube) {
  TView3D& v = w->View3D;
  w->AppendEquation(kKindPoint3D, {"10", "1", "1"});
  w->UpdateBox(0);
  Run(kCm3Cubic);
  ASSERT_EQ(v.Cubic, 1);
  // The view vector is the observer in box coordinates, about the origin.
  EXPECT_NEAR(D(v.V.x), D((v.Observer.x - v.BoxCentre.x) * v.BoxScale.x), 1e-12);
  EXPECT_NEAR(D(v.V.z), D((v.Observer.z - v.BoxCentre.z) * v.BoxScale.z), 1e-12);
  // The box's corners project symmetrically about the centre.
  const TPoint2D a = w->ProjectRotated(v.BoxCentre);
  EXPECT_NEAR(D(a.x), 0, 1e-12);
  EXPECT_NEAR(D(a.y), 0, 1e-12);
}

TEST_F(ViewCommands, FastAndSlowDrawingTouchOnlyTheSampledSurfaces) {
  const int s = w->AppendEquation(kKindSurface, {"", "", "x"});
  const int g = w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=1"});
  w->Equation(g).polarInput = 1;
  Run(kCm3SlowDrawing);
  EXPECT_EQ(w->Equation(s).polarInput, 1);
  Run(kCm3FastDrawing);
  EXPECT_EQ(w->Equation(s).polarInput, 0);
  EXPECT_EQ(w->Equation(g).polarInput, 1) << "kind 305 is not a sampled surface";
}

TEST(Plot3Menu, FontColourAndTourEntriesStandInTheirPopups) {
  const plat::res::Menu* menu = plat::res::FindMenu("PLOT3MENU");
  ASSERT_NE(menu, nullptr);
  // The popup that holds the command, and the command's text.
  std::function<bool(const std::vector<plat::res::MenuItem>&, const std::string&, int, std::string&,
                     std::string&)>
      find = [&](const std::vector<plat::res::MenuItem>& items, const std::string& parent, int id,
                 std::string& popup, std::string& text) {
        for (const auto& item : items) {
          if (item.kind == plat::res::MenuItem::Command && item.id == id) {
            popup = parent;
            text = item.text;
            return true;
          }
          if (item.kind == plat::res::MenuItem::Popup && find(item.children, item.text, id, popup, text)) return true;
        }
        return false;
      };
  struct Case {
    int id;
    const char* popup;
    const char* text;
  };
  const Case cases[] = {
      {62, "Sch&rift", "Schriftar&t ..."},
      {202, "&Box", "&Farbe ..."},
      {203, "&Achsen", "&Farbe ..."},
      {725, "&Drehen", "&Fahrt um die z-Achse ...\tStrg+T"},
      {748, "&Ansicht", "&Anzahl Fotos ..."},
      {830, "&Achsen", "Achsenlänge &setzen ..."},
  };
  for (const Case& c : cases) {
    std::string popup, text;
    ASSERT_TRUE(find(menu->items, "", c.id, popup, text)) << c.id;
    EXPECT_EQ(popup, c.popup) << c.id;
    EXPECT_EQ(text, c.text) << c.id;
  }
  const auto* keys = plat::res::FindAccelerators("PLOT3MENU");
  ASSERT_NE(keys, nullptr);
  bool ctrlT = false;
  for (const auto& k : keys->entries) ctrlT = ctrlT || (k.key == 'T' && k.id == 725);
  EXPECT_TRUE(ctrlT);
}

}  // namespace
}  // namespace kv
