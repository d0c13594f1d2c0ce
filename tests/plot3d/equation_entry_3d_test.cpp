// The "&Gleichung" menu of the 3D window: every kind through its dialog
// with its example values, compiled and drawn; cancelling; the meridian;
// the box dialog of one entry.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "plot3d/plot3_test_util.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"

namespace kv {
namespace {

using test3d::Plot3Test;

constexpr long double kTwoPi = 6.283185307179586L;

bool HasMessage(const std::string& text) {
  for (const auto& m : plat::testing::Messages())
    if (m.text == text) return true;
  return false;
}

struct KindCase {
  int command;
  const char* templateName;
  int kind;
  bool boxDialog;            // the box dialog follows at once
  bool visible;              // the example draws something
  std::vector<int> trees;    // trees the compiler must have made
  std::function<void(const TEquation&)> check;
};

TEST_F(Plot3Test, EveryKindIsEnteredWithItsExampleValuesCompiledAndDrawn) {
  const std::vector<KindCase> cases = {
      {1001, "EQUA301", 301, false, true, {2, 3}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[2], "sin(xx+yy)/(xx+yy)");
         EXPECT_EQ(e.lowerBound.x, -3.141582653589793L) << "a hair inside -π";
         EXPECT_EQ(e.lowerBound.y, -3.141582653589793L);
         EXPECT_EQ(e.upperBound.x, Pi);
         EXPECT_EQ(e.upperBound.y, Pi);
         EXPECT_EQ(e.values[2], e.boxMin()) << "the second corner pair follows the box";
         EXPECT_EQ(e.values[3], e.boxMax());
       }},
      {1003, "EQUA303", 303, false, true, {0, 1, 2}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[0], "sin(u)cos(t)");
         EXPECT_EQ(e.formulaText[2], "cos(u)");
         EXPECT_EQ(e.upperBound.x, kTwoPi);
         EXPECT_EQ(e.upperBound.y, Pi);
       }},
      {1005, "EQUA305", 305, true, false, {3}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[4], "xx+yy+zz=4");
         EXPECT_EQ(e.boxMin(), (TPoint3D{-2.1L, -2.1L, -2.1L}));
         EXPECT_EQ(e.values[3], (TPoint3D{2.1L, 2.1L, 2.1L}));
       }},
      {1002, "EQUA302", 302, false, true, {0, 1, 2}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[2], "rrrcos(3t)/(1+rrrr)");
         EXPECT_EQ(e.upperBound.x, 1.2L);
         EXPECT_EQ(e.upperBound.y, kTwoPi);
         EXPECT_EQ(e.divisions[1], 70);
       }},
      {1016, "EQUA316", 316, false, true, {0, 1, 2}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[3], "1.0+0.25sin(3u)");
         EXPECT_EQ(e.upperBound.y, Pi);
       }},
      {1004, "EQUA304", 304, false, true, {0, 1, 2, 4, 5, 6}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[0], "cos(7t)");
         EXPECT_EQ(e.upperBound.x, kTwoPi);
       }},
      {1006, "EQUA306", 306, false, true, {0, 1, 2, 3}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[3], "0.3");
         EXPECT_EQ(e.formulaText[4], "xx+yy+zz=4");
         EXPECT_EQ(e.divisions[0], 120);
         EXPECT_EQ(e.divisions[1], 16);
         EXPECT_EQ(e.filled, 1);
         EXPECT_EQ(e.sideColour1, 6);
         EXPECT_EQ(e.sideColour2, 11);
       }},
      {1008, "EQUA308", 308, false, true, {0, 1, 2, 3, 5, 6}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[3], "1.618");
         EXPECT_EQ(e.formulaText[4], "");
         EXPECT_EQ(e.formulaText[5], "3.142");
         EXPECT_EQ(e.formulaText[6], "0.577");
       }},
      {1015, "EQUA315", 315, false, true, {0, 1, 2, 4, 5, 6}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[3], "1.618,3.142,1.414");
         EXPECT_EQ(e.formulaText[5], "2.0");
         EXPECT_EQ(e.lowerBound.x, -1);
         EXPECT_EQ(e.lowerBound.y, -1);
         EXPECT_EQ(e.termCount, e.penColour) << "the surface colour button takes the next palette colour";
       }},
      {1012, "EQUA312", 312, true, false, {0, 1, 2}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[1], "0.28x+0.96y");
       }},
      {1010, "EQUA310", 310, true, false, {0, 1, 2}, [](const TEquation& e) {
         EXPECT_EQ(e.formulaText[1], "28x-y-xz");
         EXPECT_EQ(e.fieldRows, 9);
         EXPECT_EQ(e.fieldLength, 20);
       }},
      {1009, "EQUA309", 309, false, true, {0, 1, 2}, [](const TEquation& e) { EXPECT_EQ(e.arrowMode, 0); }},
      {1013, "EQUA309", 309, false, true, {0, 1, 2}, [](const TEquation& e) { EXPECT_EQ(e.arrowMode, 1); }},
      {1014, "EQUA309", 309, false, true, {0, 1, 2}, [](const TEquation& e) {
         EXPECT_EQ(e.arrowMode, 2);
         EXPECT_EQ(e.formulaText[1], "pi/3");
       }},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.templateName);
    TPlot3Win* w = MakeWindow();
    const std::int16_t counter = w->entryCounter;
    plat::testing::ExpectDialog(c.templateName, [](plat::Dialog& d) { d.Press(plat::IDOK); });
    std::string box;
    if (c.boxDialog) {
      plat::testing::ExpectDialog("AUTOBOXB", [&](plat::Dialog& d) {
        for (int id = 211; id <= 216; ++id) box += std::to_string(std::lround(std::stod(d.GetItemText(id)) * 10)) + " ";
        d.Press(plat::IDOK);
      });
    }
    w->Command(c.command);
    Settle(w);
    ASSERT_EQ(w->equationCount, 0);
    const TEquation& e = w->Equation(0);
    EXPECT_EQ(e.kind, c.kind);
    EXPECT_EQ(w->entryCounter, counter + 1);
    for (int t : c.trees) EXPECT_NE(e.trees[static_cast<std::size_t>(t)], nullptr) << "tree " << t;
    c.check(e);
    // The box dialog shows the kind's example box.
    if (c.kind == 305) {
      EXPECT_EQ(box, "-21 21 -21 21 -21 21 ");
    } else if (c.kind == 310 || c.kind == 312) {
      EXPECT_EQ(box, "-300 300 -300 300 -100 500 ");
    }
    EXPECT_EQ(w->equationLabels.size(), 1u);
    // A first point brings the axes, and its box the origin.
    EXPECT_EQ(w->AxesShown != 0, c.kind == 309);
    if (c.kind == 309) {
      EXPECT_TRUE(InBox3D(w->View3D, TPoint3D{}));
    }
    plat::ClientDC dc(*w);
    EXPECT_EQ(w->DrawInventoryItem(dc, 0), 0);
    // What the entry adds to the picture: the pixels that differ between
    // drawn and hidden (the caption and a first point's axes stay in both).
    w->Equation(0).visible = 0;
    w->RepaintNow(false);
    const plat::Bitmap hidden = w->Surface();
    w->Equation(0).visible = 1;
    w->RepaintNow(false);
    const plat::Bitmap& shown = w->Surface();
    int added = 0;
    for (int y = 0; y < shown.Height(); ++y)
      for (int x = 0; x < shown.Width(); ++x) added += shown.GetPixel(x, y) != hidden.GetPixel(x, y);
    if (c.visible) {
      EXPECT_GT(added, 15) << "drawn";
    }
    EXPECT_EQ(plat::testing::PendingExpectations(), 0);
  }
}

TEST_F(Plot3Test, TheEntryDialogShowsTheExampleTextsAndTheBoundsOfBothIntervals) {
  TPlot3Win* w = MakeWindow();
  std::string f, t1, t2;
  Enter(w, kCm3NewExplicit, "EQUA301", [&](plat::Dialog& d) {
    f = d.GetItemText(213);
    t1 = d.GetItemText(221);
    t2 = d.GetItemText(222);
    d.Press(plat::IDOK);
  });
  EXPECT_EQ(f, "sin(xx+yy)/(xx+yy)");
  EXPECT_NE(t1.find("3.14"), std::string::npos) << t1;
  EXPECT_NE(t2.find("3.14"), std::string::npos) << t2;
}

TEST_F(Plot3Test, CancellingAnEntryLeavesInventoryColourAndPictureAsTheyWere) {
  TPlot3Win* w = MakeWindow();
  for (const auto& [command, name] : {std::pair{1001, "EQUA301"}, std::pair{1006, "EQUA306"}, std::pair{1009, "EQUA309"}}) {
    const plat::Bitmap before = w->Surface();
    const std::int16_t counter = w->entryCounter;
    Enter(w, command, name, [](plat::Dialog& d) { d.Press(plat::IDCANCEL); });
    EXPECT_EQ(w->equationCount, -1);
    EXPECT_EQ(w->entryCounter, counter);
    w->UpdateWindow();
    EXPECT_TRUE(w->Surface() == before);
  }
}

TEST_F(Plot3Test, AnEntryCommandWhileTheInventoryIsEditedIsRefused) {
  TPlot3Win* w = MakeWindow();
  w->SetInventoryEditing(false);
  plat::testing::ClearMessages();
  w->Command(kCm3NewExplicit);
  EXPECT_EQ(w->equationCount, -1);
  EXPECT_TRUE(HasMessage("am Bearbeiten"));
  w->SetInventoryEditing(true);
}

TEST_F(Plot3Test, TheMeridianIsACurveOfTheTypedRadiusAndLatitude) {
  TPlot3Win* w = MakeWindow();
  std::string shown;
  plat::testing::ExpectDialog("MERID", [&](plat::Dialog& d) {
    shown = d.GetItemText(211) + "|" + d.GetItemText(212);
    d.SetItemText(211, "2");
    d.SetItemText(212, "pi/4");
    d.Press(plat::IDOK);
  });
  w->Command(kCm3Meridian);
  EXPECT_EQ(shown, "1.00|0.00");
  ASSERT_EQ(w->equationCount, 0);
  const TEquation& e = w->Equation(0);
  EXPECT_EQ(e.kind, kKindSpaceCurve);
  EXPECT_EQ(e.formulaText[0], "(2)sin(t)cos(pi/4)");
  EXPECT_EQ(e.formulaText[1], "(2)sin(t)sin(pi/4)");
  EXPECT_EQ(e.formulaText[2], "(2)cos(t)");
  EXPECT_EQ(e.upperBound.x, Pi);
  // The curve lies on the sphere of radius 2: its extent reaches z = ±2.
  EXPECT_NEAR(static_cast<double>(w->View3D.BoxMax.z - w->View3D.BoxMin.z), 4 * 1.2 * 1.2, 1e-6);

  // A text that does not compile by itself is refused, so that it cannot
  // change the curve's formula around it; so is one too long to fit.
  for (const std::string& radius : {std::string("1)+(2"), std::string(250, '1')}) {
    plat::testing::ClearMessages();
    plat::testing::ExpectDialog("MERID", [&](plat::Dialog& d) {
      d.SetItemText(211, radius);
      d.Press(plat::IDOK);
    });
    w->Command(kCm3Meridian);
    EXPECT_EQ(w->equationCount, 0);
    EXPECT_EQ(plat::testing::Messages().size(), 1u);
  }
}

TEST_F(Plot3Test, TheBoxDialogFixesAnEntrysBoxOrRefusesContradictingNumbers) {
  TPlot3Win* w = MakeWindow();
  Enter(w, kCm3NewCartesianPoint, "EQUA309");
  ASSERT_EQ(w->equationCount, 0);
  const TEquation& e = w->Equation(0);
  const TPoint3D lo = e.boxMin();
  const TPoint3D hi = e.boxMax();

  // Fixed, but x max only 1e-14 above x min.
  plat::testing::ClearMessages();
  plat::testing::ExpectDialog("AUTOBOXC", [](plat::Dialog& d) {
    EXPECT_FALSE(d.IsItemVisible(271)) << "a point has no second option";
    d.SetCheck(272, true);
    d.SetItemText(211, "1");
    d.SetItemText(212, "1.00000000000001");
    d.Press(plat::IDOK);
  });
  w->EditBoxDialog(0, false);
  EXPECT_TRUE(HasMessage("widersprüchliche Daten"));
  EXPECT_EQ(e.boxMin(), lo);
  EXPECT_EQ(e.automaticExtent, 1);

  // Fixed at new corners: the entry and the window's box take them.
  plat::testing::ExpectDialog("AUTOBOXC", [](plat::Dialog& d) {
    d.SetCheck(272, true);
    const char* texts[6] = {"-1", "3", "-2", "4", "0", "5"};
    for (int k = 0; k < 6; ++k) d.SetItemText(211 + k, texts[k]);
    d.Press(plat::IDOK);
  });
  w->EditBoxDialog(0, false);
  EXPECT_EQ(e.automaticExtent, 0);
  EXPECT_EQ(e.boxMin(), (TPoint3D{-1, -2, 0}));
  EXPECT_EQ(e.boxMax(), (TPoint3D{3, 4, 5}));
  EXPECT_EQ(w->View3D.BoxMin, (TPoint3D{-1, -2, 0}));
  EXPECT_EQ(w->View3D.BoxMax, (TPoint3D{3, 4, 5}));

  // Back to automatic, numbers ignored: the tick itself is the change.
  plat::testing::ExpectDialog("AUTOBOXC", [](plat::Dialog& d) {
    EXPECT_TRUE(d.IsChecked(272));
    d.SetCheck(272, false);
    d.SetItemText(211, "nonsense");
    d.Press(plat::IDOK);
  });
  w->EditBoxDialog(0, false);
  EXPECT_EQ(e.automaticExtent, 1);
  EXPECT_NE(w->View3D.BoxMin, (TPoint3D{-1, -2, 0}));
  (void)hi;
}

TEST_F(Plot3Test, TheImplicitSurfaceKeepsItsBoxWhenTheBoxDialogIsCancelled) {
  TPlot3Win* w = MakeWindow();
  std::string xmin;
  plat::testing::ExpectDialog("EQUA305", [](plat::Dialog& d) { d.Press(plat::IDOK); });
  plat::testing::ExpectDialog("AUTOBOXB", [&](plat::Dialog& d) {
    xmin = d.GetItemText(211);
    d.Press(plat::IDCANCEL);
  });
  w->Command(kCm3NewImplicit);
  ASSERT_EQ(w->equationCount, 0);
  EXPECT_NE(xmin.find("-2.1"), std::string::npos) << xmin;
  EXPECT_EQ(w->Equation(0).boxMin(), (TPoint3D{-2.1L, -2.1L, -2.1L}));
  EXPECT_EQ(w->Equation(0).boxMax(), (TPoint3D{2.1L, 2.1L, 2.1L}));
}

}  // namespace
}  // namespace kv
