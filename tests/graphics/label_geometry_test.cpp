// The geometry of placed objects: turned label boxes, label angles, the
// frame of a recorded metafile and the fitting of pasted pictures.
#include <gtest/gtest.h>

#include "graphics/label_geometry.h"
#include "shell/text_helpers.h"

namespace kv {
namespace {

TEST(LabelGeometry, HitTestOfStraightAndTurnedBoxes) {
  // A box of 100 x 20 pixels.  Turned by 30 degrees its far end rises to
  // about (87, -50); its bottom-left corner moves to about (10, 17).
  const plat::Size box{100, 20};
  struct Case {
    plat::Point offset;
    int tenths;
    bool inside;
  };
  const Case cases[] = {
      {{50, 10}, 0, true},     {{0, 10}, 0, false},  {{100, 10}, 0, false}, {{50, 0}, 0, false},
      {{50, 20}, 0, false},    {{99, 19}, 0, true},  {{80, -35}, 300, true}, {{60, -20}, 300, true},
      {{80, 10}, 300, false},  {{-5, 5}, 300, false}, {{5, -30}, 900, true}, {{30, 5}, 900, false},
      {{-50, -5}, 1800, true}, {{50, 5}, 1800, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(InsideTurnedBox(c.offset, box, c.tenths), c.inside)
        << c.offset.x << "," << c.offset.y << " at " << c.tenths;
  const auto corners = TurnedBoxCorners({10, 100}, box, 300);
  EXPECT_EQ(corners[0], (plat::Point{10, 100}));
  EXPECT_EQ(corners[1], (plat::Point{97, 50}));
  EXPECT_EQ(corners[2], (plat::Point{107, 67}));
  EXPECT_EQ(corners[3], (plat::Point{20, 117}));
}

TEST(LabelGeometry, AnglesAreTenthsBelowAFullTurn) {
  const std::pair<long long, int> cases[] = {{45, 450},   {450, 900},  {400, 400}, {0, 0},       {360, 0},
                                             {-30, 3300}, {-360, 0},   {359, 3590}, {-721, 3590},
                                             {4000000000LL, 400}, {-4000000000LL, 3200}};
  for (const auto& [degrees, tenths] : cases) EXPECT_EQ(LabelAngleFromDegrees(degrees), tenths) << degrees;
}

TEST(LabelGeometry, MetafileFrameFollowsTheScreenAndTheScale) {
  plat::DeviceCaps caps;
  caps.horzRes = 1024;
  caps.vertRes = 768;
  caps.horzSizeMm = 320;
  caps.vertSizeMm = 240;
  const plat::Rect normal = MetafileFrame(caps, 800, 600, 1);
  const plat::Rect high = MetafileFrame(caps, 800, 600, 9);
  EXPECT_EQ(normal, (plat::Rect{0, 0, 25000, 18750}));
  EXPECT_EQ(high.right, RoundToInt(800.0L * 320 * 9 * 100 / 1024));
  EXPECT_EQ(high.bottom, 9 * normal.bottom);
  // The frame back in screen pixels is the client size.
  EXPECT_EQ(PictureNaturalSize(normal, caps), (plat::Size{800, 600}));
  EXPECT_EQ(PictureNaturalSize(plat::Rect{0, 0, 0, -5}, caps), (plat::Size{1, 1}));
}

TEST(LabelGeometry, PastedPicturesAreFittedIntoTheClient) {
  struct Case {
    plat::Size natural;
    plat::Point at;
    plat::Size fitted;
  };
  const Case cases[] = {
      {{1000, 500}, {600, 0}, {200, 100}},    // too wide: shrunk to the room on the right
      {{100, 50}, {600, 0}, {100, 50}},       // fits
      {{100, 400}, {0, 400}, {50, 200}},      // too high: shrunk to the room below
      {{1000, 1000}, {700, 500}, {100, 100}}, // both
      {{1000, 500}, {799, 599}, {1, 1}},      // at the corner: still a pixel
  };
  for (const Case& c : cases) EXPECT_EQ(FitPictureAt(c.natural, c.at, 800, 600), c.fitted) << c.natural.cx;
}

}  // namespace
}  // namespace kv
