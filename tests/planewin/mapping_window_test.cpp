// The mapping pair as the main frame opens it: the domain window with its
// grid, the range window that draws the grid through the mapping, the
// commands of the menu "&Abbild", the readouts, the strokes and the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/window_registry.h"
#include "core/binary_stream.h"
#include "entry/model/plot_file.h"
#include "planewin/dom2_win.h"
#include "planewin/ran2_win.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "shell/plot_frame.h"
#include "shell/text_win.h"
#include "support/plot_window_test.h"
#include "support/recording_sink.h"
#include "support/test_env.h"

namespace kv {
namespace {

using kvtest::ColourNear;

// The runs of points a trajectory hands on.
struct Runs : TPolylineSink {
  std::vector<std::vector<TPoint2D>> runs;
  void MoveTo(const TPoint2D& p) override { runs.push_back({p}); }
  void LineTo(const TPoint2D& p) override { runs.back().push_back(p); }
};

class MappingPair : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(frame_->Create());
    frame_->StandardSettings = 0;  // the windows keep their settings files
  }
  void TearDown() override {
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  // A new pair (mode 0 real, 1 complex) with windows of 500 x 500.
  TDom2Win* NewPair(int mode, const std::string& file = "") {
    auto* d = dynamic_cast<TDom2Win*>(frame_->NewMappingPair(file, mode));
    if (!d || !d->RangeWindow) return nullptr;
    d->MoveWindow(10, 40, 500, 500);
    d->RangeWindow->MoveWindow(520, 40, 500, 500);
    Settle(d);
    return d;
  }
  static void Settle(TDom2Win* d) {
    for (int k = 0; k < 5; ++k) plat::App::ProcessEvents();
    d->UpdateWindow();
    if (d->RangeWindow) d->RangeWindow->UpdateWindow();
  }
  // Enters a mapping through "&Neu ..." of the menu "&Abbild".
  static void EnterMapping(TDom2Win* d, const std::string& u, const std::string& v = {}) {
    const bool complex = d->MappingMode != 0;
    plat::testing::ExpectDialog(complex ? "EQUA401" : "EQUA402", [&](plat::Dialog& dlg) {
      dlg.SetItemText(211, u);
      if (!complex) dlg.SetItemText(212, v);
      dlg.Press(plat::IDOK);
    });
    d->Command(kCmNewMapping);
    Settle(d);
  }
  // Whether the pixel of a world point of the window, or one near it, has
  // the colour of the colour slot.
  static bool SlotColourAt(TMap2Win& w, const TPoint2D& p, int slot) {
    const plat::Colour c = w.DrawingColourOf(w.ColourSlots[static_cast<std::size_t>(slot)]);
    return ColourNear(w.Surface(), w.WorldToPixelX(p.x), w.WorldToPixelY(p.y), c, 1);
  }
  void Screenshot(TMap2Win& w, const std::string& name) {
    w.Surface().WritePngFile(kvtest::BuildTreeDir() + "/" + name);
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(MappingPair, ANewPairShowsTheGridInBothWindowsUnmapped) {
  TDom2Win* d = NewPair(0);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  EXPECT_EQ(d->GetCaption(), "Abbildung1.ma2");
  EXPECT_EQ(r->GetCaption(), "Wertebereich [Abbildung1.ma2]");
  EXPECT_EQ(d->MenuName(), "DOM2MENU");
  EXPECT_EQ(r->MenuName(), "RAN2MENU");
  ASSERT_EQ(d->equationCount, 1);
  EXPECT_EQ(d->selectedMapping, -1);
  EXPECT_EQ(d->CurrentGrid(), TMapGrid{});
  // The range window draws the domain's entries: the same grid lines.
  EXPECT_EQ(r->equationCount, 1);
  EXPECT_EQ(&r->Equation(0), &d->Equation(0));
  for (TMap2Win* w : {static_cast<TMap2Win*>(d), static_cast<TMap2Win*>(r)}) {
    EXPECT_TRUE(SlotColourAt(*w, {2, 0.5L}, 4)) << w->GetCaption();   // x = 2
    EXPECT_TRUE(SlotColourAt(*w, {0.5L, -3}, 5)) << w->GetCaption();  // y = -3
  }
  // The grid families are not offered in the inventory list.
  EXPECT_FALSE(d->IsEquationDrawable(0));
  EXPECT_FALSE(d->IsEquationDrawable(1));
}

TEST_F(MappingPair, ZSquaredBendsTheGridLinesIntoParabolas) {
  TDom2Win* d = NewPair(1);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  EnterMapping(d, "zz");
  ASSERT_EQ(d->selectedMapping, 2);
  EXPECT_EQ(r->selectedMapping, 2);
  // The range view holds the images of the 121 nodes: Re -25..25, Im
  // -50..50, with 3 % room.
  EXPECT_NEAR(static_cast<double>(r->Centre.x), 0, 1e-9);
  EXPECT_NEAR(static_cast<double>(r->Centre.y), 0, 1e-9);
  EXPECT_GE(static_cast<double>(r->HalfX), 26.5 - 1e-9);
  EXPECT_GE(static_cast<double>(r->HalfY), 53 - 1e-9);
  EXPECT_TRUE(std::fabs(static_cast<double>(r->HalfX) - 26.5) < 1e-9 ||
              std::fabs(static_cast<double>(r->HalfY) - 53) < 1e-9);
  Screenshot(*d, "mapping_domain.png");
  Screenshot(*r, "mapping_range_zz.png");
  // The line x = 3 becomes u = 9 - v²/36; y = 2 becomes u = v²/16 - 4.
  for (long double t : {-4.0L, -1.5L, 1.0L, 3.5L}) {
    EXPECT_TRUE(SlotColourAt(*r, {9 - t * t, 6 * t}, 4)) << static_cast<double>(t);
    EXPECT_TRUE(SlotColourAt(*r, {t * t - 4, 4 * t}, 5)) << static_cast<double>(t);
  }
  // Where the unmapped line x = 3 would run, between the parabolas, the
  // range window shows none of the x = k colour.
  EXPECT_FALSE(SlotColourAt(*r, {3, 45}, 4));
}

TEST_F(MappingPair, ALinearMapTurnsTheGridIntoParallelogramsAndItsJacobianIsThree) {
  TDom2Win* d = NewPair(0);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  EnterMapping(d, "2x-y", "x+y");
  Screenshot(*r, "mapping_range_linear.png");
  // x = 1 runs along (2 - t, 1 + t), y = -2 along (2t + 2, t - 2).
  for (long double t : {-3.5L, 0.5L, 2.5L}) {
    EXPECT_TRUE(SlotColourAt(*r, {2 - t, 1 + t}, 4)) << static_cast<double>(t);
    EXPECT_TRUE(SlotColourAt(*r, {2 * t + 2, t - 2}, 5)) << static_cast<double>(t);
  }
  // The readout of mouse mode 128 at any point: the right button there.
  d->MouseMode = kCmMouseCursor;
  d->EvRButtonDown(0, {d->WorldToPixelX(1.5L), d->WorldToPixelY(-0.5L)});
  ASSERT_NE(d->JacobiWindow, nullptr);
  const std::string text = d->JacobiWindow->GetText();
  EXPECT_NE(text.find("DxF = 2.00000"), std::string::npos) << text;
  EXPECT_NE(text.find("DyF = -1.00000"), std::string::npos) << text;
  EXPECT_NE(text.find("DxG = 1.00000"), std::string::npos) << text;
  EXPECT_NE(text.find("DyG = 1.00000"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("det = 3.00000")) << text;
  EXPECT_EQ(d->JacobiWindow->GetCaption(), "Jacobi-Daten [Abbildung1.ma2]");
  EXPECT_TRUE(d->JacobiWindow->IsVisible());
  EXPECT_FALSE(d->JacobiWindow->TextModified());
  // A second readout reuses the window and replaces its text; a readout
  // without a mapping does nothing.
  TTextWin* first = d->JacobiWindow;
  const std::string firstText = first->GetText();
  d->FileData.FileName = "elsewhere.ma2";
  d->EvRButtonDown(0, {d->WorldToPixelX(-3), d->WorldToPixelY(4)});
  EXPECT_EQ(d->JacobiWindow, first);
  EXPECT_NE(d->JacobiWindow->GetText(), firstText);
  EXPECT_NE(d->JacobiWindow->GetText().find("x = -"), std::string::npos) << d->JacobiWindow->GetText();
  EXPECT_EQ(d->JacobiWindow->GetCaption(), "Jacobi-Daten [Abbildung1.ma2]");
}

TEST_F(MappingPair, TheDefaultSumDrawsTheClosedSeventeenGonFromTheOrigin) {
  TDom2Win* d = NewPair(1);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->QueryCommand(kCmNewSum).enabled);
  plat::testing::ExpectDialog("EQUA218", [](plat::Dialog& dlg) { dlg.Press(plat::IDOK); });
  d->Command(kCmNewSum);
  Settle(d);
  ASSERT_EQ(d->equationCount, 2);
  const TEquation& e = d->Equation(2);
  EXPECT_EQ(e.kind, kKindSum);
  EXPECT_EQ(e.formulaText[1], "cis(2pi*n/17)");
  EXPECT_EQ(e.divisions[0], 1);
  EXPECT_EQ(e.divisions[1], 17);
  Screenshot(*d, "mapping_sum17.png");
  const plat::Colour c = d->DrawingColourOf(d->CheckColourIndex(e.penColour));
  // The middle of every side is on the polygon.
  TPoint2D previous{0, 0};
  for (int n = 1; n <= 17; ++n) {
    const long double a = 2 * std::acos(-1.0L) * n / 17;
    const TPoint2D p{previous.x + std::cos(a), previous.y + std::sin(a)};
    const TPoint2D m{(p.x + previous.x) / 2, (p.y + previous.y) / 2};
    EXPECT_TRUE(ColourNear(d->Surface(), d->WorldToPixelX(m.x), d->WorldToPixelY(m.y), c, 1)) << n;
    previous = p;
  }
  // A PiCTeX file gets a pattern of invisible marks at the partial sums,
  // begun and ended with the sum.
  kvtest::RecordingSink& tex = kvtest::StartRecording(*d, TExportFormat::Pictex);
  {
    plat::ClientDC dc(*d);
    d->DrawSum(dc, 2);
  }
  const std::vector<std::string> calls = tex.calls;
  const std::vector<TPoint2D> marks = tex.patternPoints;
  kvtest::StopRecording(*d);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "BeginPattern");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "EndPattern"), 1);
  ASSERT_EQ(marks.size(), 17u);
  TPoint2D sum{0, 0};
  for (int n = 1; n <= 17; ++n) {
    const long double a = 2 * std::acos(-1.0L) * n / 17;
    sum = {sum.x + std::cos(a), sum.y + std::sin(a)};
    EXPECT_NEAR(static_cast<double>(marks[n - 1].x), static_cast<double>(sum.x), 1e-12) << n;
    EXPECT_NEAR(static_cast<double>(marks[n - 1].y), static_cast<double>(sum.y), 1e-12) << n;
  }
  // A full inventory leaves "Su&mme", "&Neu" and "&z ..." enabled: they
  // answer "kein Platz mehr".
  const std::int16_t capacity = d->equationCapacity;
  d->equationCapacity = d->equationCount;
  plat::testing::ClearMessages();
  for (const int command : {kCmNewSum, kCmNewMapping, kCmNewComplexPoint}) {
    EXPECT_TRUE(d->QueryCommand(command).enabled) << command;
    d->Command(command);
  }
  d->equationCapacity = capacity;
  ASSERT_EQ(plat::testing::Messages().size(), 3u);
  for (const auto& m : plat::testing::Messages()) EXPECT_EQ(m.text, "kein Platz mehr");
  // Through z + 5 the range window shows the 17-gon moved by 5, closed:
  // its first side runs from F(0) = 5, and no line comes from the range's
  // origin, which is no image of the sums.
  EnterMapping(d, "z+5");
  TRan2Win* r = d->RangeWindow;
  Settle(d);
  const long double a1 = 2 * std::acos(-1.0L) / 17;
  const TPoint2D first{5 + std::cos(a1), std::sin(a1)};
  auto sumAt = [&](const TPoint2D& from) {
    const TPoint2D m{(from.x + first.x) / 2, (from.y + first.y) / 2};
    return ColourNear(r->Surface(), r->WorldToPixelX(m.x), r->WorldToPixelY(m.y), c, 1);
  };
  EXPECT_TRUE(sumAt({5, 0}));
  EXPECT_FALSE(sumAt({0, 0}));
  // A second sum takes the next colour; a new drawing starts them again.
  const std::uint16_t firstColour = e.penColour;
  plat::testing::ExpectDialog("EQUA218", [](plat::Dialog& dlg) { dlg.Press(plat::IDOK); });
  d->Command(kCmNewSum);
  EXPECT_NE(d->Equation(d->equationCount).penColour, firstColour);
  d->Modified = 0;
  d->NewFile();
  plat::testing::ExpectDialog("EQUA218", [](plat::Dialog& dlg) { dlg.Press(plat::IDOK); });
  d->Command(kCmNewSum);
  ASSERT_EQ(d->Equation(d->equationCount).kind, kKindSum);
  EXPECT_EQ(d->Equation(d->equationCount).penColour, firstColour);
  // The real plane has no sums.
  TDom2Win* real = NewPair(0);
  ASSERT_NE(real, nullptr);
  EXPECT_FALSE(real->QueryCommand(kCmNewSum).enabled);
}

TEST_F(MappingPair, TheTableOfTheMappedGridIsOfferedOnlyWithAMapping) {
  TDom2Win* d = NewPair(1);
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->QueryCommand(kCmMapTables).enabled);
  EnterMapping(d, "zz");
  ASSERT_TRUE(d->QueryCommand(kCmMapTables).enabled);
  d->Command(kCmMapTables);
  ASSERT_NE(d->TableWindow, nullptr);
  EXPECT_EQ(d->TableWindow->GetCaption(), "Karten Wertetabelle");
  const std::string text = d->TableWindow->GetText();
  // 11 lines of 11 cells below the header.
  int lines = 0;
  for (const char c : text)
    if (c == '\n') ++lines;
  EXPECT_GE(lines, 11);
  EXPECT_NE(text.find("x \\ y"), std::string::npos);
}

TEST_F(MappingPair, TheCrossFollowsTheMouseInBothWindowsWhileTheButtonIsHeld) {
  TDom2Win* d = NewPair(1);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  EnterMapping(d, "zz");
  // The image of 1 + i is 2i; a point without an image shows no cross.
  r->ShowCursorImage({1, 1}, true);
  EXPECT_EQ(r->CursorShown, 1);
  EXPECT_NEAR(static_cast<double>(r->CursorImage.x), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(r->CursorImage.y), 2, 1e-15);
  r->UpdateWindow();
  EXPECT_TRUE(SlotColourAt(*r, {0, 2}, 1));
  // A drag in mouse mode 128 ends with both crosses gone.
  d->MouseMode = kCmMouseCursor;
  const int x = d->WorldToPixelX(1);
  const int y = d->WorldToPixelY(1);
  plat::testing::InjectMouse(*d, plat::MouseEvent{plat::MouseEvent::Move, plat::MK_LBUTTON, x + 5, y});
  plat::testing::InjectMouse(*d, plat::MouseEvent{plat::MouseEvent::LButtonUp, 0, x + 5, y});
  d->EvLButtonDown(plat::MK_LBUTTON, {x, y});
  EXPECT_EQ(d->CursorShown, 0);
  EXPECT_EQ(r->CursorShown, 0);
  EXPECT_NEAR(static_cast<double>(d->CursorImage.x), static_cast<double>(d->PixelToWorldX(x + 5)), 1e-12);

  // The left button drags a label in "&Text"; in "Ter&me" it does nothing
  // and leaves the drag's events unread.
  ASSERT_FALSE(d->equationLabels.empty());
  struct Case {
    int mode;
    int moved;
    int unread;
  };
  for (const Case& c : {Case{kCmMouseText, 40, 0}, Case{kCmMouseTerms, 0, 2}}) {
    SCOPED_TRACE(c.mode);
    d->MouseMode = static_cast<std::int16_t>(c.mode);
    const TPoint2D a = d->equationLabels[0].anchor;
    const plat::Point at{RoundToInt(d->WorldToDeviceX(a.x)) + 2, RoundToInt(d->WorldToDeviceY(a.y)) + 2};
    plat::testing::InjectMouse(*d, plat::MouseEvent{plat::MouseEvent::Move, plat::MK_LBUTTON, at.x + 40, at.y});
    plat::testing::InjectMouse(*d, plat::MouseEvent{plat::MouseEvent::LButtonUp, 0, at.x + 40, at.y});
    d->EvLButtonDown(plat::MK_LBUTTON, at);
    EXPECT_EQ(RoundToInt(d->WorldToDeviceX(d->equationLabels[0].anchor.x)) + 2 - at.x, c.moved);
    int unread = 0;
    for (plat::MouseEvent e; plat::PollMouse(*d, e);) ++unread;
    EXPECT_EQ(unread, c.unread);
  }
}

// The range window shows the images of the domain's trajectories and
// sequences: under 1/z the circle |z| = 2 of the field (-y, x), and the
// terms of a rotation about the origin, lie on |w| = 1/2.  A trajectory
// whose image leaves the range view ends there, though it stays in the
// domain's view; one through 0, which has no image, goes on beyond it.
TEST_F(MappingPair, TrajectoriesAndSequencesAreDrawnThroughTheMapping) {
  TDom2Win* d = NewPair(1);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  EnterMapping(d, "1/z");
  r->ChangeView(0, 0, 1);
  const int field = d->AppendEquation(kKindOde, {"-y", "x"});
  const int left = d->AppendEquation(kKindOde, {"-1", "0"});
  const int right = d->AppendEquation(kKindOde, {"1", "0"});
  const int turn = d->AppendEquation(kKindSequence, {"x*cos(0.3)-y*sin(0.3)", "x*sin(0.3)+y*cos(0.3)"});
  d->RepaintNow(false);
  Settle(d);
  TEquationItem& circle = d->AddTrajectoryItem(field, {2, 0, 0}, kMethodRungeKutta, 0.01L, 700, 1);
  Runs images;
  bool finished = false;
  r->RunTrajectory(field, circle, &images, finished);
  ASSERT_EQ(images.runs.size(), 1u);
  EXPECT_GT(images.runs[0].size(), 600u);
  for (const TPoint2D& w : images.runs[0]) EXPECT_NEAR(static_cast<double>(std::hypot(w.x, w.y)), 0.5, 1e-6);

  // Leftwards along y = 0.1 from x = 4: the image 1/z leaves the range
  // view, widened by a tenth, where u = x/(x² + 0.01) passes 1.2, at
  // x = 0.821.  Rightwards along the real axis from -4 with a step
  // limit: through 0, which has no image.
  TEquationItem& leaving = d->AddTrajectoryItem(left, {4, 0.1L, 0}, kMethodEuler, 0.001L, 0, 1);
  TPoint3D end;
  r->RunTrajectory(left, leaving, nullptr, finished, &end);
  EXPECT_TRUE(finished);
  EXPECT_NEAR(static_cast<double>(end.x), 0.821, 0.002);
  TEquationItem& through = d->AddTrajectoryItem(right, {-4, 0, 0}, kMethodEuler, 0.5L, 16, 1);
  Runs pieces;
  r->RunTrajectory(right, through, &pieces, finished);
  ASSERT_EQ(pieces.runs.size(), 2u) << "the curve breaks at 0";
  EXPECT_NEAR(static_cast<double>(pieces.runs[0].back().x), -2, 1e-12);
  EXPECT_NEAR(static_cast<double>(pieces.runs[1].front().x), 2, 1e-12);

  // A sequence: x, y turned by 0.3 about the origin, from (2, 0).
  d->Equation(turn).notVertical = 0;
  TEquationItem& terms = d->AddTrajectoryItem(turn, {2, 0, 0}, 0, 0, 20, 1);
  terms.pen.colour = 6;
  d->RepaintNow(false);
  r->UpdateWindow();
  const plat::Colour c = r->DrawingColourOf(6);
  for (int n : {0, 3, 7, 12}) {
    const long double a = -0.3L * n;  // 1/z turns the other way
    EXPECT_TRUE(ColourNear(r->Surface(), r->WorldToPixelX(0.5L * std::cos(a)), r->WorldToPixelY(0.5L * std::sin(a)),
                           c, 1))
        << n;
  }
  // Nothing of that colour where the unmapped terms would be.
  EXPECT_FALSE(ColourNear(r->Surface(), r->WorldToPixelX(2 * std::cos(0.9L)), r->WorldToPixelY(2 * std::sin(0.9L)),
                          c, 1));
}

TEST_F(MappingPair, StrokesDrawnInTheDomainAppearMappedInTheRange) {
  TDom2Win* d = NewPair(1);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  EnterMapping(d, "zz");
  d->MouseMode = kCmMouseDraw;
  const plat::Point a{d->WorldToPixelX(1), d->WorldToPixelY(1)};
  const plat::Point b{d->WorldToPixelX(2), d->WorldToPixelY(1)};
  plat::testing::InjectMouse(*d, plat::MouseEvent{plat::MouseEvent::Move, plat::MK_LBUTTON, b.x, b.y});
  plat::testing::InjectMouse(*d, plat::MouseEvent{plat::MouseEvent::LButtonUp, 0, b.x, b.y});
  d->EvLButtonDown(plat::MK_LBUTTON, a);
  ASSERT_EQ(d->mouseMarks.size(), 3u);  // pen, start, next point
  ASSERT_EQ(r->mouseMarks.size(), 3u);
  for (std::size_t k = 1; k < 3; ++k) {
    const TPoint2D p = d->mouseMarks[k].point;
    const TPoint2D q = r->mouseMarks[k].point;
    EXPECT_NEAR(static_cast<double>(q.x), static_cast<double>(p.x * p.x - p.y * p.y), 1e-12);
    EXPECT_NEAR(static_cast<double>(q.y), static_cast<double>(2 * p.x * p.y), 1e-12);
  }
  // Erasing the stroke in the domain erases its image.
  d->EvRButtonDown(0, a);
  EXPECT_TRUE(d->mouseMarks.empty() || d->mouseMarks.size() == 1u);
  EXPECT_EQ(r->mouseMarks.size(), d->mouseMarks.size());
}

TEST_F(MappingPair, TheGridDialogRefusesWrongFieldsAndKeepsTheGridUntilOk) {
  TDom2Win* d = NewPair(0);
  ASSERT_NE(d, nullptr);
  plat::testing::ClearMessages();
  plat::testing::ExpectDialog("MAPGRID", [](plat::Dialog& dlg) {
    EXPECT_EQ(dlg.GetItemText(213), "10");
    EXPECT_TRUE(dlg.IsChecked(271));
    for (const char* bad : {"0", "201", "x("}) {
      dlg.SetItemText(213, bad);
      dlg.Press(plat::IDOK);
    }
    // A range may run backwards.
    dlg.SetItemText(211, "2pi");
    dlg.SetItemText(212, "0");
    dlg.SetItemText(213, "4");
    dlg.SetItemText(214, "-1");
    dlg.SetItemText(215, "1");
    dlg.SetItemText(216, "6");
    dlg.SetCheck(272, false);
    dlg.Press(plat::IDOK);
  });
  d->Command(kCmMapGrid);
  ASSERT_EQ(plat::testing::Messages().size(), 3u);
  EXPECT_EQ(plat::testing::Messages()[0].text, "jenseits der Grenzen");
  EXPECT_EQ(plat::testing::Messages()[1].text, "jenseits der Grenzen");
  const TMapGrid g = d->CurrentGrid();
  EXPECT_EQ(g.nx, 4);
  EXPECT_EQ(g.ny, 6);
  EXPECT_NEAR(static_cast<double>(g.xmin), 2 * std::acos(-1.0), 1e-15);
  EXPECT_EQ(g.xmax, 0);
  EXPECT_EQ(d->Equation(1).visible, 0);
  EXPECT_EQ(d->Equation(0).visible, 1);
}

TEST_F(MappingPair, SwitchingThePlaneStartsANewDrawingOfTheOtherForm) {
  TDom2Win* d = NewPair(0);
  ASSERT_NE(d, nullptr);
  EnterMapping(d, "2x-y", "x+y");
  d->Modified = 0;
  d->Command(kCmMapPlaneZ);
  Settle(d);
  EXPECT_EQ(d->MappingMode, 1);
  EXPECT_TRUE(d->ComplexMode());
  EXPECT_TRUE(d->RangeWindow->ComplexMode());
  EXPECT_EQ(d->equationCount, 1);
  EXPECT_EQ(d->selectedMapping, -1);
  EXPECT_EQ(d->RangeWindow->selectedMapping, -1);
  EXPECT_EQ(d->FileData.FileName, "Abbildung.maz");
  EXPECT_EQ(d->FileData.DefaultExt, "maz");
  EXPECT_EQ(d->RangeWindow->GetCaption(), "Wertebereich [Abbildung.maz]");
  EXPECT_TRUE(d->IsMenuItemChecked(kCmMapPlaneZ));
}

TEST_F(MappingPair, AMappingFileBringsBackTheRangeWindowAndBothWindowsLabels) {
  const std::string path = kvtest::MakeTempDir("mapping") + "pair.maz";
  long double savedHalfX = 0;
  {
    TDom2Win* d = NewPair(1);
    ASSERT_NE(d, nullptr);
    TRan2Win* r = d->RangeWindow;
    EnterMapping(d, "zz");
    r->NewView(3, -4, 12, 12, 0);
    r->TickIntervalX = 2.5L;
    r->GridBits = 19;
    r->AxisWidthDisplay = 0;  // one pixel, as the width command accepts
    r->GridWidthDisplay = 0;
    // The widest pens the width commands take, and a tick length and label
    // frequency beyond the plain 2D settings' bounds.
    r->AxisWidthPrint = 32767;
    r->GridWidthPrint = 150;
    r->TickLength = 1500;
    r->LabelFrequencyX = 50;
    r->ColourTable[static_cast<std::size_t>(r->ColourSlots[0])] = plat::Rgb(255, 255, 255);
    r->ColourTable[static_cast<std::size_t>(r->ColourSlots[3])] = plat::Rgb(255, 127, 255);
    d->AxisNames[0] = "Re";
    d->AxisNames[1] = "y";
    r->AxisNames[0] = "u";
    r->AxisNames[1] = "a\\b";
    r->MoveWindow(520, 40, 420, 360);
    Settle(d);
    savedHalfX = r->HalfX;
    d->FileData.FileName = path;
    ASSERT_TRUE(d->WriteFile());
    // Saving leaves the drawing as it was.
    EXPECT_EQ(d->AxisNames[0], "Re");
    EXPECT_TRUE(IsGridFamily(d->Equation(0)));
    EXPECT_EQ(d->Equation(0).values[4].x, 0);
    d->Modified = 0;
  }
  TDom2Win* d = NewPair(1, path);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  EXPECT_EQ(d->GetCaption().find("pair.maz") != std::string::npos, true);
  EXPECT_EQ(r->GetCaption(), "Wertebereich [pair.maz]");
  ASSERT_EQ(d->selectedMapping, 2);
  EXPECT_EQ(r->selectedMapping, 2);
  EXPECT_EQ(d->Equation(2).formulaText[0], "zz");
  EXPECT_EQ(d->AxisNames[0], "Re");
  EXPECT_EQ(d->AxisNames[1], "y");
  EXPECT_EQ(r->AxisNames[0], "u");
  EXPECT_EQ(r->AxisNames[1], "a\\b");
  EXPECT_NEAR(static_cast<double>(r->Centre.x), 3, 1e-12);
  EXPECT_NEAR(static_cast<double>(r->Centre.y), -4, 1e-12);
  Settle(d);
  EXPECT_NEAR(static_cast<double>(r->HalfX), static_cast<double>(savedHalfX), 1e-12);
  EXPECT_EQ(static_cast<double>(r->TickIntervalX), 2.5);
  EXPECT_EQ(r->GridBits, 19);
  EXPECT_EQ(r->AxisWidthDisplay, 0);
  EXPECT_EQ(r->GridWidthDisplay, 0);
  EXPECT_EQ(r->AxisWidthPrint, 32767);
  EXPECT_EQ(r->GridWidthPrint, 150);
  EXPECT_EQ(r->TickLength, 1500);
  EXPECT_EQ(r->LabelFrequencyX, 50);
  EXPECT_EQ(r->ColourTable[static_cast<std::size_t>(r->ColourSlots[0])], plat::Rgb(255, 255, 255));
  EXPECT_EQ(r->ColourTable[static_cast<std::size_t>(r->ColourSlots[3])], plat::Rgb(255, 127, 255));
  EXPECT_EQ(d->RangePlacement.width, 420);
  EXPECT_EQ(d->RangePlacement.height, 360);
  // The grid families are drawn with their private variables again and
  // hold none of the range window's values.
  EXPECT_EQ(d->Equation(0).values[4].x, 0);
  EXPECT_EQ(d->Equation(0).auxValue1, 0);
  Settle(d);
  EXPECT_TRUE(SlotColourAt(*d, {2, 0.5L}, 4));
  // The view was changed: "&Fenster anpassen" fits the range window to the
  // domain window's view, and once it is fitted the file says so.
  EXPECT_EQ(d->viewChanged, 1);
  r->Command(kCmFitToGrid);
  ASSERT_EQ(d->viewChanged, 0);
  ASSERT_TRUE(d->WriteFile());
  d->Modified = 0;
  TDom2Win* again = NewPair(1, path);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->viewChanged, 0);
}

// The file holds the range window's colours as COLORREF bytes from offset
// 371 of the first grid family's record, and each pair of labels as
// "domain,range,"; joined labels longer than 20 characters, or labels with
// a comma of their own, are stored as "x,x," and "y,y,".
TEST_F(MappingPair, AMappingFileKeepsTheRangeColoursAsBytesAndTheLabelsJoined) {
  const std::string dir = kvtest::MakeTempDir("mapping");
  auto save = [&](const std::string& name, const std::string& dx, const std::string& dy, const std::string& rx,
                  const std::string& ry) {
    TDom2Win* d = NewPair(0);
    EXPECT_NE(d, nullptr);
    if (!d) return TPlotFileState{};
    TRan2Win* r = d->RangeWindow;
    const plat::Colour colours[5] = {plat::Rgb(0xFF, 0xFE, 0xFD), plat::Rgb(0x01, 0x02, 0x03), plat::Rgb(0, 0, 0),
                                     plat::Rgb(0x80, 0x00, 0x7F), plat::Rgb(0xFF, 0x7F, 0xFF)};
    const int slots[5] = {0, 1, 3, 10, 13};
    for (int k = 0; k < 5; ++k) r->ColourSlots[static_cast<std::size_t>(slots[k])] = static_cast<std::int16_t>(k + 1);
    for (int k = 0; k < 5; ++k) r->ColourTable[static_cast<std::size_t>(k + 1)] = colours[k];
    d->AxisNames[0] = dx;
    d->AxisNames[1] = dy;
    r->AxisNames[0] = rx;
    r->AxisNames[1] = ry;
    d->FileData.FileName = dir + name;
    EXPECT_TRUE(d->WriteFile());
    d->Modified = 0;
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(dir + name, bytes));
    ByteReader reader(bytes);
    TPlotFileState state;
    EXPECT_EQ(ReadPlotFile(reader, d->FileTypeCode, state), 0);
    d->CloseWindow();
    plat::App::DeleteDestroyedWindows();
    return state;
  };
  const TPlotFileState s = save("a.ma2", "x", "y", "u", "v");
  ASSERT_GE(s.entries.size(), 2u);
  const std::uint8_t golden[20] = {0xFF, 0xFE, 0xFD, 0, 0x01, 0x02, 0x03, 0, 0, 0,
                                   0,    0,    0x80, 0, 0x7F, 0,    0xFF, 0x7F, 0xFF, 0};
  const auto& image = s.entries[0].recordImage;
  ASSERT_EQ(image.size(), kEquationRecordSize);
  EXPECT_TRUE(std::equal(golden, golden + 20, image.begin() + 371));
  EXPECT_EQ(s.axisTitles[0], "x,u,");
  EXPECT_EQ(s.axisTitles[1], "y,v,");

  // 21 characters joined, and a comma inside a label.
  const TPlotFileState t = save("b.ma2", "abcdefghi", "Re,z", "klmnopqrst", "w");
  EXPECT_EQ(t.axisTitles[0], "x,x,");
  EXPECT_EQ(t.axisTitles[1], "y,y,");
  TDom2Win* d = NewPair(0, dir + "b.ma2");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->AxisNames[0], "x");
  EXPECT_EQ(d->RangeWindow->AxisNames[1], "y");
  // The colours go to the indexes the new range window's slots hold; the
  // last one written is slot 13's.
  EXPECT_EQ(d->RangeWindow->ColourTable[static_cast<std::size_t>(d->RangeWindow->ColourSlots[13])],
            plat::Rgb(0xFF, 0x7F, 0xFF));
}

TEST_F(MappingPair, LettersTAndKOfAMappingKeepTheirValuesWhileTheGridIsDrawn) {
  TDom2Win* d = NewPair(1);
  ASSERT_NE(d, nullptr);
  d->SetVariable('T', 0.5L);
  d->SetVariable('K', 2);
  EnterMapping(d, "tz+k");
  TRan2Win* r = d->RangeWindow;
  EXPECT_EQ(static_cast<double>(d->Variable('T').re), 0.5);
  EXPECT_EQ(static_cast<double>(d->Variable('K').re), 2);
  // The image of x = 1 is the line 0.5 + 2 + 0.5 i t: Re = 2.5.
  EXPECT_TRUE(SlotColourAt(*r, {2.5L, 1}, 4));
}

TEST_F(MappingPair, ClosingTheDomainClosesTheRangeAndKeepsTheGridForTheNextPair) {
  TDom2Win* d = NewPair(0);
  ASSERT_NE(d, nullptr);
  TRan2Win* r = d->RangeWindow;
  plat::testing::ExpectDialog("MAPGRID", [](plat::Dialog& dlg) {
    dlg.SetItemText(213, "4");
    dlg.SetItemText(216, "3");
    dlg.Press(plat::IDOK);
  });
  d->Command(kCmMapGrid);
  d->Modified = 0;
  d->CloseWindow();
  EXPECT_TRUE(d->IsDestroyed());
  EXPECT_TRUE(r->IsDestroyed());
  plat::App::DeleteDestroyedWindows();
  TDom2Win* next = NewPair(0);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->CurrentGrid().nx, 4);
  EXPECT_EQ(next->CurrentGrid().ny, 3);
  // A range window closed on its own leaves a domain window that works on.
  next->RangeWindow->CloseWindow();
  EXPECT_EQ(next->RangeWindow, nullptr);
  EnterMapping(next, "x", "y");
  EXPECT_EQ(next->selectedMapping, 2);
}


}  // namespace
}  // namespace kv
