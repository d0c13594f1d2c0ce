// The mouse in the 3D window: picking the surface point under the mouse
// and starting a trajectory there, by the mouse mode.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/plot3_test_util.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

// A window whose trajectory dialog has its equation chosen.
class TrajectoryWin : public TPlot3Win {
 public:
  using TPlot3Win::TPlot3Win;
  int trajectoryEquation = -1;
  int densityReads = 0;
  int refreshes = 0;
  int ActiveTrajectoryEquation() const override { return trajectoryEquation; }
  void ReadTrajectoryDensity() override { ++densityReads; }
  void TrajectoryStartsChanged() override { ++refreshes; }
};

class Picking3D : public kvtest::PlotWindowTest<TrajectoryWin> {
 protected:
  TrajectoryWin* w = nullptr;
  int dome = -1;
  int floor = -1;
  int field = -1;
  void SetUp() override {
    PlotWindowTest::SetUp();
    w = MakeWindow("Unbenannt1.kv3");
    dome = Surface("1-(xx+yy)/4");
    floor = Surface("-1");
    field = w->AppendEquation(kKindOde3D, {"1", "0", "0"});
    w->trajectoryEquation = field;
    w->RepaintNow(false);
    Settle(w);
  }
  int Surface(const char* f) {
    const int i = w->AppendEquation(kKindSurface, {"", "", f});
    w->Equation(i).lowerBound = {-2, -2};
    w->Equation(i).upperBound = {2, 2};
    w->UpdateBox(i);
    return i;
  }
  plat::Point PixelOf(const TPoint3D& p) const {
    plat::Point px;
    w->WorldToPixel(w->ProjectRotated(p), px);
    return px;
  }
  // One grid cell of the surfaces: 4 / 36.
  static constexpr double kCell = 4.0 / 36;
  void ExpectNear(const TPoint3D& got, const TPoint3D& want) {
    EXPECT_NEAR(D(got.x), D(want.x), kCell);
    EXPECT_NEAR(D(got.y), D(want.y), kCell);
    EXPECT_NEAR(D(got.z), D(want.z), kCell);
  }
};

TEST_F(Picking3D, TheNearestVisibleSurfaceUnderTheMouseIsPicked) {
  const TPoint3D top{0.5L, -0.3L, 1 - (0.25L + 0.09L) / 4};
  TPoint3D out{7, 7, 7};
  ASSERT_EQ(w->PickSurfacePoint(PixelOf(top), out), 0);
  ExpectNear(out, top);
  // Where the ray passes both, the dome is nearer; with the dome hidden the
  // floor below it is found.
  const TPoint3D rim{1.2L, 1.4L, 1 - (1.44L + 1.96L) / 4};
  ASSERT_EQ(w->PickSurfacePoint(PixelOf(rim), out), 0);
  ExpectNear(out, rim);
  w->Equation(dome).visible = 0;
  ASSERT_EQ(w->PickSurfacePoint(PixelOf(rim), out), 0);
  EXPECT_NEAR(D(out.z), -1, 1e-9);
  // Nothing under a corner of the window: 9, the point untouched.
  w->Equation(dome).visible = 1;
  out = {7, 7, 7};
  EXPECT_EQ(w->PickSurfacePoint({1, 1}, out), 9);
  EXPECT_EQ(out, (TPoint3D{7, 7, 7}));
  // In cubic mode the picture plane lies in box coordinates.
  w->Command(kCm3Cubic);
  w->RepaintNow(false);
  ASSERT_EQ(w->PickSurfacePoint(PixelOf(top), out), 0);
  ExpectNear(out, top);
  // Straight from above the ray has no x or y part.
  w->Command(kCm3Cubic);
  w->SetObserver({0.5L, -0.3L, 30});
  w->FitWindowToBox();
  ASSERT_EQ(w->PickSurfacePoint(PixelOf(top), out), 0);
  ExpectNear(out, top);
}

TEST_F(Picking3D, AClickInTrajectoryModeStartsATrajectoryAtThePickedPoint) {
  const TPoint3D at{-0.6L, 0.8L, 1 - (0.36L + 0.64L) / 4};
  const plat::Point px = PixelOf(at);
  auto items = [&] { return w->Equation(field).items.size(); };
  // Other modes do nothing with a left click.
  for (int mode : {kCmMouseText, kCmMouseCoordinates}) {
    w->MouseMode = static_cast<std::int16_t>(mode);
    w->EvLButtonDown(0, px);
    EXPECT_EQ(items(), 0u) << mode;
  }
  w->MouseMode = kCmMouseTrajectories;
  w->EvLButtonDown(0, px);
  ASSERT_EQ(items(), 1u);
  ExpectNear(w->Equation(field).items.front().start, at);
  EXPECT_EQ(w->densityReads, 1);
  EXPECT_EQ(w->refreshes, 1);
  EXPECT_EQ(w->View3D.ShowProgress, 0);
  // The right button starts the same without reading the density.
  w->EvRButtonDown(0, px);
  ASSERT_EQ(items(), 2u);
  ExpectNear(w->Equation(field).items.front().start, at);
  EXPECT_EQ(w->densityReads, 1);
  // Beside every surface, or without a trajectory equation, nothing starts.
  EXPECT_EQ(w->StartTrajectoryAtPoint({1, 1}, true), 9);
  w->trajectoryEquation = -1;
  EXPECT_EQ(w->StartTrajectoryAtPoint(px, true), 9);
  EXPECT_EQ(items(), 2u);
}

TEST_F(Picking3D, TheRightButtonRecentresInCoordinateMode) {
  w->MouseMode = kCmMouseCoordinates;
  const plat::Point p{100, 80};
  TPoint2D world;
  w->PixelToWorld(p, world);
  w->EvLButtonDown(0, p);
  EXPECT_NE(D(w->Centre.x), D(world.x)) << "the left button does nothing";
  w->EvRButtonDown(0, p);
  EXPECT_NEAR(D(w->Centre.x), D(world.x), 1e-9);
  EXPECT_NEAR(D(w->Centre.y), D(world.y), 1e-9);
}

}  // namespace
}  // namespace kv
