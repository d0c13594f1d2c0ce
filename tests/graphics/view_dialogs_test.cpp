// The modeless view dialog in its three templates and the grid dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "graphics/grid_dialog.h"
#include "graphics/grid_win.h"
#include "graphics/view_dialog.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "test_window.h"

namespace kv {
namespace {

using kvtest::PlotWindowTest;

double D(long double v) { return static_cast<double>(v); }

std::string LastMessage() {
  const auto& m = plat::testing::Messages();
  return m.empty() ? std::string() : m.back().text;
}

class ViewDialogTest : public PlotWindowTest {
 protected:
  TViewDlg& OpenDialog() {
    EXPECT_TRUE(w->Command(kCmViewDialog));
    TViewDlg* d = w->ViewDlg();
    EXPECT_NE(d, nullptr);
    EXPECT_TRUE(d->IsVisible());
    return *d;
  }
  void Reopen(const std::string& templateName) {
    Close();
    Open(501, 501, templateName);
  }
};

TEST_F(ViewDialogTest, AllShowsTheViewAndAppliesCentreAndWidthThroughTextToNumber) {
  TViewDlg& d = OpenDialog();
  EXPECT_EQ(d.GetCaption(), "Ansicht");
  EXPECT_TRUE(d.IsChecked(251));
  EXPECT_FALSE(d.IsChecked(252));
  EXPECT_EQ(d.GetItemText(211), "-5.00000");
  EXPECT_EQ(d.GetItemText(214), "5.00000");
  EXPECT_EQ(d.GetItemText(217), "10.00000");
  d.SetItemText(215, "1");
  d.SetItemText(216, "2");
  d.SetItemText(217, "pi");
  w->textToNumberCalls = 0;
  d.Press(1);
  EXPECT_EQ(w->textToNumberCalls, 3);
  EXPECT_EQ(w->Centre, (TPoint2D{1, 2}));
  EXPECT_NEAR(D(w->HalfX), std::numbers::pi / 2, 1e-15);
  EXPECT_TRUE(d.IsVisible());
  EXPECT_EQ(d.GetItemText(215), "1.00000");  // the dialog follows the view
}

TEST_F(ViewDialogTest, RefusedInputShowsItsMessageAndKeepsTheView) {
  TViewDlg& d = OpenDialog();
  struct Case {
    bool corners;
    std::vector<std::pair<int, const char*>> texts;
    const char* message;
  } cases[] = {
      {false, {{217, "0"}}, "positiver Wert?"},
      {false, {{217, "-3"}}, "positiver Wert?"},
      {false, {{215, "?"}, {217, "3"}}, "unverständlich"},
      {true, {{211, "1"}, {212, "1"}}, "widersprüchliche Daten"},
      {true, {{211, "0"}, {212, "1"}, {213, "4"}, {214, "2"}}, "widersprüchliche Daten"},
      // Beyond what the fields can show in fixed digits.
      {false, {{215, "1e400"}, {217, "3"}}, "jenseits der Grenzen"},
      {false, {{216, "-1e19"}, {217, "3"}}, "jenseits der Grenzen"},
      {false, {{217, "1e400"}}, "jenseits der Grenzen"},
      {true, {{211, "-1e400"}, {212, "1e400"}}, "jenseits der Grenzen"},
      {true, {{213, "-1e20"}, {214, "0"}}, "jenseits der Grenzen"},
  };
  const TSegment2D before = w->World;
  for (const auto& c : cases) {
    d.RefreshFields(false);
    d.SetCheck(c.corners ? 252 : 251, true);
    for (auto [id, text] : c.texts) d.SetItemText(id, text);
    plat::testing::ClearMessages();
    d.Press(1);
    EXPECT_EQ(LastMessage(), c.message);
    EXPECT_EQ(w->World, before);
    EXPECT_TRUE(d.IsVisible());
    d.RefreshFields(false);
    for (int id = 211; id <= 217; ++id) EXPECT_LT(d.GetItemText(id).size(), 30u) << id;
  }
  // A large view that the fields can still show is taken.
  d.SetCheck(251, true);
  d.SetItemText(215, "1e17");
  d.SetItemText(216, "0");
  d.SetItemText(217, "1e17");
  plat::testing::ClearMessages();
  d.Press(1);
  EXPECT_TRUE(plat::testing::Messages().empty());
  EXPECT_EQ(w->Centre.x, 1e17L);
}

TEST_F(ViewDialogTest, CornersGiveAFreeRectangleAndCloseOnlyHides) {
  TViewDlg& d = OpenDialog();
  // A click on a radio button (its check, then its notice) hands the focus
  // to the first field of its choice, the text selected.
  d.SetCheck(252, true);
  d.Press(252);
  EXPECT_EQ(d.FocusedItem(), 211);
  EXPECT_EQ(d.SelectedItemText(211), "-5.00000");
  d.SetCheck(251, true);
  d.Press(251);
  EXPECT_EQ(d.FocusedItem(), 215);
  EXPECT_EQ(d.SelectedItemText(215), "0.00000");
  d.SetCheck(252, true);
  d.SetItemText(211, "-1");
  d.SetItemText(212, "3");
  d.SetItemText(213, "0");
  d.SetItemText(214, "1");
  d.Press(1);
  EXPECT_EQ(w->ViewMode, 1);
  EXPECT_EQ(w->World, (TSegment2D{-1, 3, 0, 1}));
  EXPECT_TRUE(w->HasPreviousView());
  // An unchanged apply pushes nothing.
  const auto depth = w->ViewHistoryDepth();
  d.Press(1);
  EXPECT_EQ(w->ViewHistoryDepth(), depth);

  d.Press(2);
  EXPECT_TRUE(d.IsHidden());
  EXPECT_FALSE(d.IsVisible());
  w->Command(kCmViewDialog);
  EXPECT_EQ(w->ViewDlg(), &d);
  EXPECT_FALSE(d.IsHidden());
  EXPECT_TRUE(d.IsChecked(252));
}

TEST_F(ViewDialogTest, CentreTemplateShowsOnlyCentreAndWidth) {
  Reopen("VIEWCEN");
  TViewDlg& d = OpenDialog();
  EXPECT_EQ(d.GetCaption(), "Zentrum/Breite");
  for (int id : {251, 252, 211, 212, 213, 214}) EXPECT_FALSE(d.IsItemVisible(id)) << id;
  for (int id : {215, 216, 217, 1, 2}) EXPECT_TRUE(d.IsItemVisible(id)) << id;
  d.SetItemText(217, "4");
  d.Press(1);
  EXPECT_NEAR(D(w->HalfX), 2, 1e-15);
  EXPECT_EQ(w->ViewMode, 0);
}

TEST_F(ViewDialogTest, CornerTemplateAppliesCornersAlsoToAFixedAspectView) {
  Reopen("VIEWCOR");
  ASSERT_EQ(w->ViewMode, 0);
  TViewDlg& d = OpenDialog();
  EXPECT_EQ(d.GetCaption(), "Ausschnitt festlegen");
  for (int id : {251, 252, 215, 216, 217}) EXPECT_FALSE(d.IsItemVisible(id)) << id;
  d.SetItemText(211, "0");
  d.SetItemText(212, "8");
  d.Press(1);
  EXPECT_EQ(w->World.xmin, 0);
  EXPECT_EQ(w->World.xmax, 8);
}

TEST_F(ViewDialogTest, LogarithmicAxesShowPowersOfTenAndSnapToDecades) {
  w->AxisKind = 1;
  w->Alternate = {-4, 2, -1, 1};
  TViewDlg& d = OpenDialog();
  EXPECT_EQ(d.GetItemText(211), "10^-4");
  EXPECT_EQ(d.GetItemText(212), "100");
  EXPECT_EQ(d.GetItemText(213), "-1.00000");
  d.SetItemText(211, "0");
  plat::testing::ClearMessages();
  d.Press(1);
  EXPECT_EQ(LastMessage(), "jenseits der Grenzen");
  d.SetItemText(211, "0.02");
  d.SetItemText(212, "0.1");
  d.Press(1);
  EXPECT_EQ(LastMessage(), "widersprüchliche Daten");
  d.SetItemText(212, "300");
  d.Press(1);
  EXPECT_EQ(w->Alternate.xmin, -2);
  EXPECT_EQ(w->Alternate.xmax, 2);
}

// ---- grid dialog ----

class GridDialogTest : public PlotWindowTest {
 protected:
  TGridDlg& OpenDialog() {
    EXPECT_TRUE(w->Command(kCmGridDialog));
    TGridDlg* d = w->GridDlg();
    EXPECT_NE(d, nullptr);
    return *d;
  }
};

TEST_F(GridDialogTest, ShowsTheSettings) {
  w->OriginMark = 1;
  w->DecimalsY = 13;
  TGridDlg& d = OpenDialog();
  EXPECT_EQ(d.GetCaption(), "Gitter");
  EXPECT_EQ(d.GetItemText(212), "1.000000@");
  EXPECT_EQ(d.GetItemText(215), "1.000000");
  EXPECT_EQ(d.GetItemText(213), "1");
  EXPECT_EQ(d.GetItemText(216), "3@");
  EXPECT_EQ(d.GetItemText(211), "1.0");  // 10 of 1024 pixels in per cent
  EXPECT_EQ(d.GetItemText(218), "12");
  EXPECT_TRUE(d.IsChecked(251));
  EXPECT_TRUE(d.IsChecked(272));
  EXPECT_FALSE(d.IsChecked(271));
  EXPECT_TRUE(d.IsChecked(255));
  for (int id : {282, 283, 284, 285}) EXPECT_TRUE(d.IsChecked(id));
  EXPECT_FALSE(d.IsChecked(281));
}

// The column headers stand over their columns.
TEST_F(GridDialogTest, ColumnHeadersStandOverTheirColumns) {
  TGridDlg& d = OpenDialog();
  const struct {
    int header;
    int x;
    int y;
  } columns[] = {
      {304, 212, 215},  // "Intervall"
      {307, 276, 278},  // "Skala"
      {305, 213, 216},  // "NKS"
      {308, 214, 217},  // "Freq"
      {306, 277, 279},  // "Pi"
  };
  for (const auto& c : columns) {
    SCOPED_TRACE(d.GetItemText(c.header));
    const plat::Rect header = d.ItemRect(c.header);
    EXPECT_NEAR(header.left, d.ItemRect(c.x).left, 3);
    EXPECT_NEAR(header.left, d.ItemRect(c.y).left, 3);
    EXPECT_NEAR(header.Width(), d.ItemRect(c.x).Width(), 3);
  }
}

TEST_F(GridDialogTest, NumberFieldsWithTheirMarksAndLimits) {
  struct Case {
    int id;
    const char* text;
    std::function<void(const TGridWin&)> check;
  } cases[] = {
      {212, "0.5@", [](const TGridWin& g) {
         EXPECT_EQ(g.TickIntervalX, 0.5L);
         EXPECT_EQ(g.OriginMark, 1);
       }},
      {212, "0.25", [](const TGridWin& g) { EXPECT_EQ(g.OriginMark, 0); }},
      {212, "0", [](const TGridWin& g) { EXPECT_EQ(g.TickIntervalX, 0.25L); }},
      {215, "pi", [](const TGridWin& g) { EXPECT_NEAR(D(g.TickIntervalY), std::numbers::pi, 1e-15); }},
      {213, "2@", [](const TGridWin& g) { EXPECT_EQ(g.DecimalsX, 12); }},
      {213, "2@185", [](const TGridWin& g) { EXPECT_EQ(g.SuffixChar, 185); }},
      {213, "3@20", [](const TGridWin& g) {
         EXPECT_EQ(g.SuffixChar, 185);
         EXPECT_EQ(g.DecimalsX, 13);
       }},
      {213, "12", [](const TGridWin& g) { EXPECT_EQ(g.DecimalsX, 13); }},
      {216, "4@176", [](const TGridWin& g) {
         EXPECT_EQ(g.DecimalsY, 14);
         EXPECT_EQ(g.SuffixChar, 176);
       }},
      {214, "0", [](const TGridWin& g) { EXPECT_EQ(g.LabelFrequencyX, 1); }},
      {214, "99", [](const TGridWin& g) { EXPECT_EQ(g.LabelFrequencyX, 1); }},
      {214, "98", [](const TGridWin& g) { EXPECT_EQ(g.LabelFrequencyX, 98); }},
      {211, "50", [](const TGridWin& g) {
         EXPECT_EQ(g.TickLength, 512);
         EXPECT_EQ(g.ShortTickLength, 358);
       }},
      {211, "99", [](const TGridWin& g) { EXPECT_EQ(g.TickLength, 512); }},
      {218, "3", [](const TGridWin& g) { EXPECT_EQ(g.PolarSectors, 12); }},
      {218, "101", [](const TGridWin& g) { EXPECT_EQ(g.PolarSectors, 12); }},
      {218, "4", [](const TGridWin& g) { EXPECT_EQ(g.PolarSectors, 4); }},
      {218, "100", [](const TGridWin& g) { EXPECT_EQ(g.PolarSectors, 100); }},
  };
  TGridDlg& d = OpenDialog();
  for (const auto& c : cases) {
    d.SetItemText(c.id, c.text);
    d.Press(91);
    c.check(*w);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "field " << c.id << " text " << c.text;
      break;
    }
  }
  d.SetItemText(212, "0.5@");
  d.Press(91);
  EXPECT_EQ(d.GetItemText(212), "0.500000@");
  EXPECT_EQ(d.GetItemText(213), "3@");
}

TEST_F(GridDialogTest, RedrawsOnlyWhenAVisibleSettingChanged) {
  TGridDlg& d = OpenDialog();
  d.SetCheck(273, true);  // arrows while the axes are off
  w->Modified = 0;
  EXPECT_FALSE(d.ReadSettings());
  EXPECT_EQ(w->ArrowsShown, 1);
  d.SetCheck(271, true);
  d.Press(91);
  EXPECT_EQ(w->AxesShown, 1);
  EXPECT_EQ(w->Modified, 1);
  EXPECT_EQ(w->SettingsChanged, 1);
  // Radio "x", numbers at the frame, rectangular grid in quadrant I only.
  d.SetCheck(252, true);
  d.SetCheck(256, true);
  d.SetCheck(276, true);
  d.SetCheck(281, true);
  for (int id : {283, 284, 285}) d.SetCheck(id, false);
  EXPECT_TRUE(d.ReadSettings());
  EXPECT_EQ(w->AxisChoice, 1);
  EXPECT_EQ(w->ScaleBits, kScaleNumbersX | kScaleAtFrame);
  EXPECT_EQ(w->GridBits, kGridRectangular | kGridQuadrant1);
  d.Press(2);
  EXPECT_TRUE(d.IsHidden());
  w->Command(kCmGridDialog);
  EXPECT_FALSE(d.IsHidden());
}

TEST_F(GridDialogTest, FollowsIntervalsTheWindowChangesItself) {
  TGridDlg& d = OpenDialog();
  w->TickIntervalX = 0.001L;
  TTickRange range;
  w->AutoTickSpacing(range);
  EXPECT_EQ(d.GetItemText(212), "1.000000");
  w->TickIntervalY = 0.25L;
  w->Command(kCmResetView);
  EXPECT_EQ(d.GetItemText(215), "1.000000");
}

TEST_F(GridDialogTest, LogarithmicAxesHideWhatDoesNotApply) {
  std::set<int> ids;
  for (const auto& row : plat::res::FindDialog("SETGRID")->rows)
    for (const auto& c : row.controls)
      if (c.id >= 0) ids.insert(c.id);
  const std::set<int> bothLog = {276, 278, 286, 214, 217, 307, 308, 309, 310, 91, 2};
  const std::set<int> xLogHidden = {251, 252, 253, 254, 255, 256, 272, 274, 280, 281, 282, 283, 284, 285,
                                    211, 218, 301, 302, 303, 212, 213, 277};
  for (int kind : {0, 1, 3}) {
    Close();
    Open(501, 501);
    w->AxisKind = static_cast<std::int16_t>(kind);
    TGridDlg& d = OpenDialog();
    for (int id : ids) {
      bool visible = kind == 0 || (kind == 3 ? bothLog.count(id) > 0 : xLogHidden.count(id) == 0);
      EXPECT_EQ(d.IsItemVisible(id), visible) << "kind " << kind << " id " << id;
    }
  }
}

}  // namespace
}  // namespace kv
