// The graphics layer as a window: defaults, the axes switch, number
// fields, zoom, pan, history, logarithmic views and the view layer's
// commands.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "graphics/grid_win.h"
#include "platform/testing.h"
#include "test_window.h"

namespace kv {
namespace {

using kvtest::PlotWindowTest;

double D(long double v) { return static_cast<double>(v); }

TEST_F(PlotWindowTest, FreshWindowShowsMinus5To5WithEqualScales) {
  EXPECT_EQ(w->World, (TSegment2D{-5, 5, -5, 5}));
  EXPECT_DOUBLE_EQ(D(w->UnitsPerPixelX), D(w->UnitsPerPixelY));
  EXPECT_DOUBLE_EQ(D(w->ZoomFactor), 1.01);
  EXPECT_DOUBLE_EQ(D(w->PanShare), 0.01);
  EXPECT_EQ(w->GridBits, 15);
  EXPECT_EQ(w->AxisChoice, 3);
  EXPECT_EQ(w->OpaqueLabels, 1);
  EXPECT_EQ(w->LongHyphenChar, 150);
  EXPECT_EQ(w->EpsCreator, "ZORkin");
  EXPECT_EQ(w->ViewTemplate, "VIEWALL");
  EXPECT_EQ(w->GridTemplate, "SETGRID");
  EXPECT_NEAR(D(w->HalfTickX), 0.1, 1e-15);  // tick sizes follow the first view
}

TEST_F(PlotWindowTest, AxesCommandTogglesAndRedraws) {
  w->UpdateWindow();
  EXPECT_TRUE(w->Command(kCmToggleAxes));
  EXPECT_EQ(w->AxesShown, 1);
  EXPECT_TRUE(w->HasInvalidArea());
  w->UpdateWindow();
  w->Command(kCmToggleAxes);
  EXPECT_EQ(w->AxesShown, 0);
  EXPECT_TRUE(w->HasInvalidArea());
}

TEST_F(PlotWindowTest, SwitchCommandsFlipTheirFlagAndCheckMark) {
  struct Case {
    int id;
    std::uint8_t* flag;
    bool setsModified;
  } cases[] = {
      {kCmFilledArrowHeads, &w->FilledArrowHeads, true},
      {kCmOpaqueLabels, &w->OpaqueLabels, true},
      {kCmToggleAxes, &w->AxesShown, false},
  };
  for (const auto& c : cases) {
    const std::uint8_t before = *c.flag;
    w->Modified = 0;
    EXPECT_TRUE(w->Command(c.id));
    EXPECT_EQ(*c.flag, before ? 0 : 1) << c.id;
    EXPECT_EQ(w->IsMenuItemChecked(c.id), *c.flag != 0) << c.id;
    EXPECT_EQ(w->Modified, c.setsModified ? 1 : 0) << c.id;
  }
}

TEST_F(PlotWindowTest, BareWindowExportCommandsAreEnabledAndDoNothing) {
  for (int id : {kCmExportPictex, kCmExportEps, kCmExportSvg}) {
    EXPECT_TRUE(w->QueryCommand(id).enabled) << id;
    EXPECT_TRUE(w->Command(id)) << id;
  }
  EXPECT_FALSE(w->Recording());
}

TEST_F(PlotWindowTest, PensAvoidTheBackgroundAndTurnBlackForMonochromePrinting) {
  const int background = w->ColourSlots[0];
  const plat::Colour bg = w->GetColour(background);
  EXPECT_NE(w->CreateStylePen({static_cast<std::uint16_t>(background), 1, 0}).colour, bg);
  EXPECT_EQ(w->CreateColourPen(4, 2, 1).colour, w->GetColour(4));
  EXPECT_EQ(w->CreateColourPen(4, 2, 1).style, plat::PS_DOT);
  w->Printing = 1;
  w->FrameWidth = 2;
  EXPECT_EQ(w->CreateColourPen(4, 1, 0).colour, plat::Rgb(0, 0, 0));
  EXPECT_EQ(w->CreateColourPen(4, 1, 0).width, 3);
  EXPECT_EQ(w->CreateRgbPen(plat::Rgb(1, 2, 3), 1, plat::PS_DASH).width, 3);
  EXPECT_EQ(w->CreateRgbPen(plat::Rgb(1, 2, 3), 1, plat::PS_DASH).colour, plat::Rgb(1, 2, 3));
}

TEST_F(PlotWindowTest, TextToNumberReadsPlainNumbers) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"2.5e3", 2500}, {"abc", 0}, {"  12.5xyz", 12.5}, {"-0.25", -0.25}};
  for (const auto& c : cases) {
    long double v = 99;
    EXPECT_EQ(w->TZORWing::TextToNumber(c.text, v), 0) << c.text;
    EXPECT_DOUBLE_EQ(D(v), c.value) << c.text;
  }
}

TEST_F(PlotWindowTest, CuttingPlaneNeedsThreePointsThatSpanAPlane) {
  ASSERT_TRUE(w->SetPlaneFromPoints({0, 0, 1}, {1, 0, 1}, {0, 1, 1}));
  EXPECT_NEAR(std::fabs(D(w->PlaneSide({5, 5, 3}))), 2, 1e-15);
  const long double d = w->PlaneD;
  EXPECT_FALSE(w->SetPlaneFromPoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2}));
  EXPECT_EQ(w->PlaneD, d);
}

TEST_F(PlotWindowTest, ZoomStepsByTheFactorAboutTheCentre) {
  w->Command(kCmZoomOut);
  EXPECT_NEAR(D(w->World.xmax - w->World.xmin), 10.1, 1e-12);
  EXPECT_EQ(w->Centre, (TPoint2D{0, 0}));
  EXPECT_EQ(w->Modified, 1);
  w->PreviousView();
  w->Command(kCmZoomIn);
  EXPECT_NEAR(D(w->World.xmax - w->World.xmin), 10 / 1.01, 1e-12);
}

TEST_F(PlotWindowTest, PanMovesByTheShareAndFixedAspectReturnsToEqualScale) {
  w->Aspect = 3;
  w->Command(kCmPanLeft);
  EXPECT_NEAR(D(w->Centre.x), -0.1, 1e-15);
  EXPECT_NEAR(D(w->World.xmax - w->World.xmin), 10, 1e-15);
  EXPECT_DOUBLE_EQ(D(w->Aspect), 1);
  w->Command(kCmPanUp);
  EXPECT_NEAR(D(w->Centre.y), 0.1, 1e-15);

  // A free rectangle keeps its proportions.
  w->NewView(0, 0, 4, 1, 1);
  const long double aspect = w->Aspect;
  w->Command(kCmPanRight);
  EXPECT_NEAR(D(w->Centre.x), 0.08, 1e-15);
  EXPECT_DOUBLE_EQ(D(w->Aspect), D(aspect));
  EXPECT_EQ(w->ViewMode, 1);
}

TEST_F(PlotWindowTest, TwentyPansAndTwentyPreviousViewsRestoreTheFirstView) {
  const TSegment2D first = w->World;
  for (int i = 0; i < 20; ++i) w->Command(i % 2 ? kCmPanLeft : kCmPanDown);
  EXPECT_EQ(w->ViewHistoryDepth(), 20u);
  w->Modified = 0;
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(w->Command(kCmPreviousView)) << i;
  EXPECT_EQ(w->World, first);
  EXPECT_EQ(w->Modified, 0);  // the return leaves the modified flag alone
  EXPECT_FALSE(w->QueryCommand(kCmPreviousView).enabled);
  EXPECT_FALSE(w->Command(kCmPreviousView));
  EXPECT_EQ(w->World, first);
}

TEST_F(PlotWindowTest, ZoomFactorAndPanShareDialogs) {
  struct Case {
    int command;
    const char* text;
    double factor;
    double share;
    int messages;
  } cases[] = {
      {kCmZoomFactor, "0.5", 0.5, 0.01, 0},  {kCmZoomFactor, "0", 0.5, 0.01, 1},
      {kCmZoomFactor, "nan", 0.5, 0.01, 1},  {kCmZoomFactor, "pi", std::numbers::pi, 0.01, 0},
      {kCmPanShare, "5", std::numbers::pi, 0.05, 0},     {kCmPanShare, "-1", std::numbers::pi, 0.05, 1},
  };
  for (const auto& c : cases) {
    plat::testing::ClearMessages();
    plat::testing::AnswerDialog("ONEINPUT", {{211, c.text}}, plat::IDOK);
    w->Command(c.command);
    EXPECT_NEAR(D(w->ZoomFactor), c.factor, 1e-15) << c.text;
    EXPECT_NEAR(D(w->PanShare), c.share, 1e-15) << c.text;
    ASSERT_EQ(plat::testing::Messages().size(), static_cast<std::size_t>(c.messages)) << c.text;
    if (c.messages) {
      EXPECT_EQ(plat::testing::Messages()[0].text, "positiver Wert?");
    }
  }
  // The dialog shows the current values; cancel changes nothing.
  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(231), "Anteil");
    EXPECT_EQ(d.GetItemText(211), "5.00");
    d.Press(plat::IDCANCEL);
  });
  w->Command(kCmPanShare);
  EXPECT_NEAR(D(w->PanShare), 0.05, 1e-15);
}

TEST_F(PlotWindowTest, LogViewSnapsToDecadesAndIgnoresARequestInsideThem) {
  w->AxisKind = 1;
  w->SetLogView(0.02L, 300, -3, 4);
  EXPECT_EQ(w->Alternate.xmin, -2);
  EXPECT_EQ(w->Alternate.xmax, 2);
  EXPECT_EQ(w->Alternate.ymin, -3);  // the linear axis takes its range
  EXPECT_NEAR(D(w->LogViewRequest.xmin), 0.01, 1e-15);
  EXPECT_NEAR(D(w->LogViewRequest.xmax), 100, 1e-12);
  const std::size_t depth = w->ViewHistoryDepth();
  w->SetLogView(0.015L, 250, -3, 4);
  EXPECT_EQ(w->ViewHistoryDepth(), depth);
  EXPECT_NEAR(D(w->LogViewRequest.xmin), 0.01, 1e-15);
}

TEST_F(PlotWindowTest, EqualScaleOnlyForAFreeRectangle) {
  EXPECT_FALSE(w->QueryCommand(kCmEqualScale).enabled);
  w->NewView(0, 0, 2.5L, 5, 1);  // 0.01 x units, 0.02 y units per pixel
  ASSERT_NEAR(D(w->UnitsPerPixelX), 0.01, 1e-15);
  EXPECT_TRUE(w->Command(kCmEqualScale));
  EXPECT_NEAR(D(w->HalfX), 5, 1e-15);
  EXPECT_NEAR(D(w->UnitsPerPixelY), D(w->UnitsPerPixelX), 1e-15);
  EXPECT_EQ(w->ViewMode, 0);
}

TEST_F(PlotWindowTest, RestoreAlwaysGivesTheDefaultView) {
  w->NewView(30, -7, 0.3L, 9, 1);
  w->TickIntervalX = 0.25L;
  w->LabelFrequencyY = 3;
  w->Command(kCmResetView);
  EXPECT_EQ(w->World, (TSegment2D{-5, 5, -5, 5}));
  EXPECT_EQ(w->TickIntervalX, 1);
  EXPECT_EQ(w->LabelFrequencyY, 1);
  EXPECT_FALSE(w->HasPreviousView());
}

TEST_F(PlotWindowTest, AutomaticTickSpacingFollowsTheClientSize) {
  w->TickIntervalX = 0.01L;
  TTickRange range;
  EXPECT_EQ(w->AutoTickSpacing(range), 16);
  EXPECT_NEAR(D(w->TickIntervalX), 1, 1e-12);  // 501 / 8 = 62 ticks at most
  Close();
  Open(80, 80);
  w->TickIntervalX = 0.01L;
  w->AutoTickSpacing(range);
  EXPECT_NEAR(D(w->TickIntervalX), 1, 1e-12);  // 10 ticks fit exactly
  Close();
  Open(40, 40);
  w->TickIntervalX = 0.01L;
  w->AutoTickSpacing(range);
  EXPECT_NEAR(D(w->TickIntervalX), 10, 1e-12);
}

class WideWindowTest : public PlotWindowTest {
 protected:
  void SetUp() override { Open(400, 200); }
};

TEST_F(WideWindowTest, SetViewWidensAFixedAspectViewToCoverTheRequest) {
  w->SetView(0, 0, 5, 5, 0);
  EXPECT_NEAR(D(w->HalfX), 10, 1e-12);
  EXPECT_NEAR(D(w->World.ymin), -5, 1e-12);
  EXPECT_FALSE(w->HasPreviousView());  // SetView alone pushes nothing
}

TEST_F(PlotWindowTest, WidthCommandsValidateAndStore) {
  struct Case {
    int command;
    const char* text;
    std::int16_t TAxisSettings::*field;
    int expected;
    bool modified;
    const char* message;
  } cases[] = {
      {kCmAxisDisplayWidth, "-1", &TAxisSettings::AxisWidthDisplay, 1, false, "positiver Wert?"},
      {kCmAxisDisplayWidth, "0", &TAxisSettings::AxisWidthDisplay, 0, true, nullptr},
      {kCmAxisDisplayWidth, "0", &TAxisSettings::AxisWidthDisplay, 0, false, nullptr},  // unchanged
      {kCmAxisPrintWidth, "0", &TAxisSettings::AxisWidthPrint, 1, true, nullptr},
      {kCmGridPrintWidth, "7", &TAxisSettings::GridWidthPrint, 7, true, nullptr},
      {kCmGridDisplayWidth, "70000", &TAxisSettings::GridWidthDisplay, 1, false, "jenseits der Grenzen"},
  };
  for (const auto& c : cases) {
    w->Modified = 0;
    plat::testing::ClearMessages();
    plat::testing::AnswerDialog("ONEINPUT", {{211, c.text}}, plat::IDOK);
    w->Command(c.command);
    EXPECT_EQ(w->*c.field, c.expected) << c.command << " " << c.text;
    EXPECT_EQ(w->Modified, c.modified ? 1 : 0) << c.command << " " << c.text;
    if (c.message) {
      ASSERT_EQ(plat::testing::Messages().size(), 1u);
      EXPECT_EQ(plat::testing::Messages()[0].text, c.message);
    } else {
      EXPECT_TRUE(plat::testing::Messages().empty());
    }
  }
}

TEST_F(PlotWindowTest, MinusAndPiCharacterCommands) {
  struct Case {
    int command;
    const char* text;  // nullptr: cancel
    int hyphen;
    int hyphenChar;
    int piChar;
    bool message;
  } cases[] = {
      {kCmMinusSign, "45", 1, 45, 112, false},  {kCmMinusSign, "31", 1, 45, 112, true},
      {kCmMinusSign, "256", 1, 45, 112, true},  {kCmMinusSign, nullptr, 0, 45, 112, false},
      {kCmPiCharacter, "960", 0, 45, 112, true}, {kCmPiCharacter, "80", 0, 45, 80, false},
      {kCmPiCharacter, nullptr, 0, 45, 80, false},
  };
  for (const auto& c : cases) {
    plat::testing::ClearMessages();
    plat::testing::AnswerDialog("ONEINPUT", {{211, c.text ? c.text : ""}}, c.text ? plat::IDOK : plat::IDCANCEL);
    w->Command(c.command);
    EXPECT_EQ(w->LongHyphen, c.hyphen) << c.command << " " << (c.text ? c.text : "cancel");
    EXPECT_EQ(w->LongHyphenChar, c.hyphenChar);
    EXPECT_EQ(w->PiChar, c.piChar);
    EXPECT_EQ(plat::testing::Messages().size(), c.message ? 1u : 0u);
  }
}

TEST_F(PlotWindowTest, AxisLabelsDialogEditsTheThreeTexts) {
  plat::testing::ExpectDialog("AXVBLS", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "x");
    EXPECT_EQ(d.GetItemText(213), "z");
    d.SetItemText(212, "Weg s");
    d.Press(plat::IDOK);
  });
  w->Command(kCmAxisLabels);
  EXPECT_EQ(w->AxisNames[1], "Weg s");
  plat::testing::AnswerDialog("AXVBLS", {{211, "t"}}, plat::IDCANCEL);
  w->Command(kCmAxisLabels);
  EXPECT_EQ(w->AxisNames[0], "x");
}

}  // namespace
}  // namespace kv
