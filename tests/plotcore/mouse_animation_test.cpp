// Mouse interaction in the plots (box zoom, point zoom, freehand strokes)
// and the animation loops with their keys.
#include <gtest/gtest.h>

#include <cmath>

#include "core_window.h"
#include "platform/keys.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;
using plat::MouseEvent;

double D(long double v) { return static_cast<double>(v); }

void Mouse(kvtest::CoreWindow& w, MouseEvent::Type type, int x, int y) {
  plat::testing::InjectMouse(w, MouseEvent{type, type == MouseEvent::Move ? unsigned{plat::MK_LBUTTON} : 0u, x, y});
}

void Keys(kvtest::CoreWindow& w, const std::string& keys) {
  for (char c : keys) {
    if (c == ' ') {
      plat::testing::InjectKey(w, plat::VK_SPACE, 0, ' ');
    } else {
      plat::testing::InjectKey(w, static_cast<unsigned>(c), 0, static_cast<unsigned>(c - 'A' + 'a'));
    }
  }
}

TEST_F(CoreWindowTest, BoxZoomPushesThePreviousViewAndShowsTheBox) {
  Mouse(*w, MouseEvent::Move, 300, 200);
  Mouse(*w, MouseEvent::LButtonUp, 350, 300);
  ASSERT_TRUE(w->DragZoomBox({250, 150}));
  EXPECT_EQ(w->ViewHistoryDepth(), 1u);
  // Pixels 250..350 are x 0..2, rows 150..300 are y 2..-1.
  EXPECT_LE(D(w->World.xmin), 1e-12);
  EXPECT_GE(D(w->World.xmax), 2 - 1e-12);
  EXPECT_LE(D(w->World.ymin), -1 + 1e-12);
  EXPECT_GE(D(w->World.ymax), 2 - 1e-12);
  EXPECT_NEAR(D(w->Centre.x), 1, 1e-12);
  EXPECT_NEAR(D(w->Centre.y), 0.5, 1e-12);
  EXPECT_LT(D(w->HalfX), 1.6);
  w->PreviousView();
  EXPECT_NEAR(D(w->HalfX), 5, 1e-12);
  // A box of a few pixels, or a click, zooms nothing.
  Mouse(*w, MouseEvent::LButtonUp, 252, 160);
  EXPECT_FALSE(w->DragZoomBox({250, 150}));
  EXPECT_FALSE(w->DragZoomBox({250, 150}));  // no events left: released where it was
  EXPECT_EQ(w->ViewHistoryDepth(), 0u);
  // The left button in mode 121 drags the box.
  w->Command(kCmMouseBoxZoom);
  Mouse(*w, MouseEvent::LButtonUp, 150, 150);
  w->EvLButtonDown(plat::MK_LBUTTON, {50, 50});
  EXPECT_EQ(w->ViewHistoryDepth(), 1u);
  EXPECT_NEAR(D(w->Centre.x), -3, 1e-12);
}

TEST_F(CoreWindowTest, ADragEndsWhenTheButtonIsNoLongerHeld) {
  // Outside testing mode a drag waits for its release; one whose release
  // never comes (the capture was lost) ends at once where it was.
  plat::testing::EnableTestingMode(false);
  ASSERT_FALSE(plat::MouseButtonHeld());
  Mouse(*w, MouseEvent::Move, 300, 200);
  const bool zoomed = w->DragZoomBox({250, 150});
  const TPoint2D shown = w->TrackMouseCoordinates({100, 100});
  plat::testing::EnableTestingMode(true);
  EXPECT_TRUE(zoomed) << "the box reached the last move";
  EXPECT_NEAR(D(shown.x), D(w->PixelToWorldPoint({100, 100}).x), 1e-12);
}

TEST_F(CoreWindowTest, PointZoomKeepsTheClickedPointUnderTheCursor) {
  struct Case {
    plat::Point p;
    long double factor;
  } cases[] = {{{100, 400}, 0.5L}, {{480, 20}, 2}, {{250, 250}, 0.1L}, {{7, 333}, 0.8L}};
  for (const Case& c : cases) {
    const TPoint2D before = w->PixelToWorldPoint(c.p);
    const long double half = w->HalfX;
    const std::size_t depth = w->ViewHistoryDepth();
    w->ZoomAtPoint(c.p, c.factor, false);
    const TPoint2D after = w->PixelToWorldPoint(c.p);
    EXPECT_NEAR(D(after.x), D(before.x), 1e-12 * D(half));
    EXPECT_NEAR(D(after.y), D(before.y), 1e-12 * D(half));
    EXPECT_NEAR(D(w->HalfX), D(half * c.factor), 1e-12);
    EXPECT_EQ(w->ViewHistoryDepth(), depth + 1);
  }
  // Re-centring (right button in mode 125) moves the point to the centre.
  w->Command(kCmMouseCoordinates);
  const TPoint2D p = w->PixelToWorldPoint({100, 120});
  w->EvRButtonDown(plat::MK_RBUTTON, {100, 120});
  EXPECT_NEAR(D(w->Centre.x), D(p.x), 1e-12);
  EXPECT_NEAR(D(w->Centre.y), D(p.y), 1e-12);
  w->ZoomAtPoint({1, 1}, 0, false);  // refused
  EXPECT_GT(w->HalfX, 0);
}

TEST_F(CoreWindowTest, MouseModesAreCheckedCommands) {
  for (int id = kCmMouseFirst; id <= kCmMouseLast; ++id) {
    EXPECT_TRUE(w->Command(id));
    EXPECT_EQ(w->MouseMode, id);
    EXPECT_EQ(w->QueryCommand(id).checked, 1);
    EXPECT_EQ(w->QueryCommand(id == kCmMouseLast ? kCmMouseFirst : id + 1).checked, 0);
  }
}

TEST_F(CoreWindowTest, FreehandStrokesAreRecordedAndErased) {
  Mouse(*w, MouseEvent::Move, 110, 100);
  Mouse(*w, MouseEvent::LButtonUp, 120, 100);
  w->TrackMouseMarks({100, 100});
  Mouse(*w, MouseEvent::Move, 300, 310);
  Mouse(*w, MouseEvent::LButtonUp, 300, 320);
  w->TrackMouseMarks({300, 300});
  ASSERT_EQ(w->mouseMarks.size(), 8u);
  EXPECT_EQ(w->mouseMarks[0].kind, kMarkPen);
  EXPECT_EQ(w->mouseMarks[1].kind, kMarkBreak);
  EXPECT_EQ(w->mouseMarks[3].kind, kMarkNext);
  EXPECT_FALSE(w->EraseMouseMarks({200, 200}));
  EXPECT_TRUE(w->EraseMouseMarks({115, 102}));
  ASSERT_EQ(w->mouseMarks.size(), 4u);
  EXPECT_EQ(w->mouseMarks[0].kind, kMarkPen);
  EXPECT_NEAR(D(w->mouseMarks[1].point.x), 1, 1e-12);
  EXPECT_TRUE(w->ClearMouseMarkList());
  EXPECT_FALSE(w->ClearMouseMarkList());

  // A stroke in the background's colour (a new 2D window's silver, 19) shows in colour 0
  // on the screen, drawn at once or again; on paper it keeps its own colour.
  w->ColourSlots[0] = w->ColourSlots[13] = 19;
  const plat::Colour silver = w->GetColour(19), shown = w->GetColour(0);
  ASSERT_NE(silver, shown);
  Mouse(*w, MouseEvent::LButtonUp, 160, 100);
  w->TrackMouseMarks({100, 100});
  EXPECT_EQ(w->Surface().GetPixel(130, 100), shown);
  for (bool printing : {false, true}) {
    plat::Bitmap bmp(501, 501);
    plat::BitmapDC dc(bmp);
    w->Printing = printing;
    w->DrawRoughPolyline(dc);
    w->Printing = 0;
    EXPECT_EQ(bmp.GetPixel(130, 100), printing ? silver : shown) << printing;
  }
}

class AnimationTest : public CoreWindowTest {
 protected:
  void SetUp() override {
    CoreWindowTest::SetUp();
    w->Tables().lower[1] = TComplex(0);
    w->Tables().upper[1] = TComplex(10);
    w->SetVariable('A', 5);
  }
  void ExpectFrames(std::vector<long double> expected) {
    ASSERT_EQ(w->frameValues.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
      EXPECT_NEAR(D(w->frameValues[k]), D(expected[k]), 1e-12) << "frame " << k;
  }
};

TEST_F(AnimationTest, ContinuousAnimationStopsOnAReversesOnSpaceAndChangesSpeed) {
  Keys(*w, " SLA");
  w->AnimateParameter(1, false, false, 0);
  // Space: backwards by 0.1; S: steps of 0.125; L: back to 0.1; A: stop.
  ExpectFrames({4.9L, 4.775L, 4.675L});
  EXPECT_EQ(w->animating, 0);
  EXPECT_EQ(w->quietDrawing, 0);
}

TEST_F(AnimationTest, ContinuousAnimationAtTheEndsOfTheRange) {
  struct Case {
    bool reversing;
    long double start;
    std::vector<long double> frames;
  } cases[] = {{true, 9.95L, {9.95L, 9.85L}}, {false, 9.95L, {0, 0.1L}}, {true, 0.05L, {0.15L, 0.25L}}};
  for (const Case& c : cases) {
    w->frameValues.clear();
    w->SetVariable('A', c.start);
    Keys(*w, "QQA");
    w->AnimateParameter(1, c.reversing, false, 0);
    ExpectFrames(c.frames);
  }
  // Reversing from the lower end after Space.
  w->frameValues.clear();
  w->SetVariable('A', 0.05L);
  Keys(*w, " QA");
  w->AnimateParameter(1, true, false, 0);
  ExpectFrames({0.05L, 0.15L});
}

TEST_F(AnimationTest, AnimationWithAnEndStopsThere) {
  w->AnimateParameter(1, false, true, 5.25L);
  ExpectFrames({5.1L, 5.2L, 5.25L});
  // An empty slider range does nothing.
  w->frameValues.clear();
  w->Tables().upper[1] = TComplex(0);
  Keys(*w, "A");
  w->AnimateParameter(1, false, false, 0);
  EXPECT_TRUE(w->frameValues.empty());
  plat::FlushKeys(*w);
}

TEST_F(AnimationTest, SteppingChangesItsDelayAndDirection) {
  w->SetVariable('A', 3);
  w->steppingDelay = 100;
  Keys(*w, "SSSL A");
  w->PlayPrecomputedFrames(1, false, 10);
  ExpectFrames({3, 4, 5, 6, 7});
  EXPECT_EQ(w->steppingDelay, 50);
  // Reversing at the end of the steps.
  w->frameValues.clear();
  w->steppingDelay = 0;
  w->SetVariable('A', 9);
  Keys(*w, "QQQA");
  w->PlayPrecomputedFrames(1, true, 10);
  ExpectFrames({9, 10, 9});
}

TEST_F(AnimationTest, PrecomputedFramesPlayWithTheirDelayKeys) {
  w->frameDelay = 10;
  const std::string caption = w->GetCaption();
  Keys(*w, "QQQQLSSSA");
  w->AnimateTimeParameter(1, true, 3);
  EXPECT_EQ(w->frameDelay, 5);
  EXPECT_EQ(w->GetCaption(), caption);
  // "A" while the frames are drawn stops at once.
  Keys(*w, "A");
  w->AnimateTimeParameter(1, true, 3);
  EXPECT_EQ(w->frameDelay, 5);
}

}  // namespace
}  // namespace kv
