// The camera of the 3D window (where the box corners land on the screen
// for a given observer, the picture fitted around the box, the observer
// dialog) and the box that follows the graphs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "plot3d/observer_dialog.h"
#include "plot3d/plot3_test_util.h"
#include "plot3d/space_geometry.h"
#include "core/binary_stream.h"
#include "core/constants.h"
#include "entry/model/plot_file_blocks.h"
#include "shell/model/settings_file.h"
#include "shell/text_helpers.h"

namespace kv {
namespace {

using test3d::Plot3Test;

bool HasMessage(const std::string& text) {
  for (const auto& m : plat::testing::Messages())
    if (m.text == text) return true;
  return false;
}

// The screen pixel of P seen from E towards M, by the formulas of the
// central projection: d = E - P, depth = V · d, V = E - M, r = |(Vx, Vy)|,
// rho = |V|; x = (rho²/r)(dx Vy - dy Vx)/depth, y = (rho/r)(Vx (dx Vz -
// dz Vx) + Vy (dy Vz - dz Vy))/depth, then the view's world-to-pixel map.
plat::Point ExpectedPixel(const TPlotRWin& w, const TPoint3D& e, const TPoint3D& m, const TPoint3D& p) {
  const long double vx = e.x - m.x, vy = e.y - m.y, vz = e.z - m.z;
  const long double r = std::sqrt(vx * vx + vy * vy);
  const long double rho = std::sqrt(vx * vx + vy * vy + vz * vz);
  const long double dx = e.x - p.x, dy = e.y - p.y, dz = e.z - p.z;
  const long double depth = vx * dx + vy * dy + vz * dz;
  const long double x = rho * rho / r * (dx * vy - dy * vx) / depth;
  const long double y = rho / r * (vx * (dx * vz - dz * vx) + vy * (dy * vz - dz * vy)) / depth;
  // The view's rounding: one up only for a fraction above a half.
  return {w.AreaOriginX() + RoundToInt((x - w.World.xmin) * w.PixelsPerUnitX),
          w.AreaOriginY() + RoundToInt((w.World.ymax - y) * w.PixelsPerUnitY)};
}

plat::Point ActualPixel(const TPlotRWin& w, const TPoint3D& p) {
  plat::Point px;
  w.WorldToPixel(w.ProjectRotated(p), px);
  return px;
}

// A window whose box is (0,0,0)-(2,2,2), holding one point so that it is
// not empty.
TPlot3Win* BoxWindow(TPlot3Win* w) {
  w->AppendEquation(kKindPoint3D, {"1", "1", "1"});
  w->View3D.BoxMin = {0, 0, 0};
  w->View3D.BoxMax = {2, 2, 2};
  w->View3D.BoxCentre = {1, 1, 1};
  SetupViewBoxScale(w->View3D);
  return w;
}

TEST_F(Plot3Test, TheIsometricObserverSeesTheBoxCornersWhereTheFormulasPutThem) {
  TPlot3Win* w = BoxWindow(MakeWindow());
  w->Command(kCm3Isometric);
  Settle(w);
  const TPoint3D e = w->View3D.Observer;
  EXPECT_EQ(e, (TPoint3D{48000, 48000, 48000}));
  const TPoint3D m{1, 1, 1};
  for (int ix = 0; ix < 2; ++ix)
    for (int iy = 0; iy < 2; ++iy)
      for (int iz = 0; iz < 2; ++iz) {
        const TPoint3D p{2.0L * ix, 2.0L * iy, 2.0L * iz};
        const plat::Point want = ExpectedPixel(*w, e, m, p);
        const plat::Point got = ActualPixel(*w, p);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_TRUE(w->IsInView(w->ProjectRotated(p))) << "the fitted view shows every corner";
      }
  // Seen along the diagonal: the nearest and the farthest corner lie on the
  // centre, the three corners on the axes 120° apart around it, z on top.
  const plat::Point c = ActualPixel(*w, m);
  for (const TPoint3D& p : {TPoint3D{0, 0, 0}, TPoint3D{2, 2, 2}}) {
    EXPECT_LE(std::abs(ActualPixel(*w, p).x - c.x), 1);
    EXPECT_LE(std::abs(ActualPixel(*w, p).y - c.y), 1);
  }
  const plat::Point ax = ActualPixel(*w, {2, 0, 0});
  const plat::Point ay = ActualPixel(*w, {0, 2, 0});
  const plat::Point az = ActualPixel(*w, {0, 0, 2});
  const double rx = std::hypot(ax.x - c.x, ax.y - c.y);
  const double ry = std::hypot(ay.x - c.x, ay.y - c.y);
  const double rz = std::hypot(az.x - c.x, az.y - c.y);
  EXPECT_NEAR(rx, rz, 1.5);
  EXPECT_NEAR(ry, rz, 1.5);
  EXPECT_LE(std::abs(az.x - c.x), 1);
  EXPECT_LT(az.y, c.y);
  EXPECT_NEAR(ax.y, ay.y, 1);
  // The box fills the view but for a margin of a twentieth on each side
  // in the tighter direction.
  const TSegment2D r = ProjectedBoxRect(w->View3D, {0, 0, 0}, {2, 2, 2});
  const double spanX = static_cast<double>((r.xmax - r.xmin) * w->PixelsPerUnitX / w->AreaWidth());
  const double spanY = static_cast<double>((r.ymax - r.ymin) * w->PixelsPerUnitY / w->AreaHeight());
  EXPECT_NEAR(std::max(spanX, spanY), 1 / 1.1, 0.02);
}

TEST_F(Plot3Test, TiltingTheObserverUpMovesTheCornersWhereTheTiltFormulaSays) {
  TPlot3Win* w = BoxWindow(MakeWindow());
  w->Command(kCm3Isometric);
  Settle(w);
  const TPoint3D m{1, 1, 1};
  TPoint3D e = w->View3D.Observer;
  for (int n = 0; n < 5; ++n) {
    // φ moves 2.5 % of the way to the pole; the horizontal distance stays.
    const long double r = std::hypot(e.x - m.x, e.y - m.y);
    long double phi = std::atan((e.z - m.z) / r);
    phi += 0.025L * (HalfPi - phi);
    e.z = m.z + std::tan(phi) * r;
    w->Command(kCm3RotateUp);
    Settle(w);
    EXPECT_NEAR(static_cast<double>(w->View3D.Observer.z), static_cast<double>(e.z), 1e-6);
    for (const TPoint3D& p : {TPoint3D{0, 0, 0}, TPoint3D{2, 0, 0}, TPoint3D{0, 2, 2}, TPoint3D{2, 2, 0}}) {
      const plat::Point want = ExpectedPixel(*w, e, m, p);
      const plat::Point got = ActualPixel(*w, p);
      EXPECT_LE(std::abs(got.x - want.x), 0);
      EXPECT_LE(std::abs(got.y - want.y), 0);
    }
  }
  EXPECT_EQ(w->View3D.ObserverSet, 1);
  EXPECT_EQ(w->Modified, 1);
}

TEST_F(Plot3Test, TheObserverDialogMovesTheObserverAndRefusesPlacesTooNearOrTooFar) {
  TPlot3Win* w = BoxWindow(MakeWindow());
  w->Command(kCm3ObserverDialog);
  TObsDlg* d = w->ObserverDlg;
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->IsHidden());
  EXPECT_EQ(d->GetItemText(231), "x =");
  EXPECT_EQ(std::stold(d->GetItemText(212)), 80.0L);

  struct Case {
    const char* x;
    const char* y;
    const char* z;
    const char* message;  // nullptr: accepted
    TPoint3D want;
  };
  const Case cases[] = {
      {"100", "100", "0", nullptr, {100, 100, 0}},
      {"1", "1", "50", "zu nah", {100, 100, 0}},      // over the box
      {"0.5", "2", "-9", "zu nah", {100, 100, 0}},     // bounds included
      {"40000", "40000", "0", "zu weit", {100, 100, 0}},
      {"2*30", "8^2+16", "sqrt(3600)", nullptr, {60, 80, 60}},  // formulas are read
      {"x+", "1", "1", "", {60, 80, 60}},              // the number reader's own message
  };
  for (const Case& c : cases) {
    plat::testing::ClearMessages();
    d->SetItemText(211, c.x);
    d->SetItemText(212, c.y);
    d->SetItemText(213, c.z);
    d->Press(kObsApply);
    EXPECT_EQ(w->View3D.Observer, c.want) << c.x;
    if (c.message == nullptr) {
      EXPECT_TRUE(plat::testing::Messages().empty());
    } else if (*c.message) {
      EXPECT_TRUE(HasMessage(c.message)) << c.x;
    } else {
      EXPECT_EQ(plat::testing::Messages().size(), 1u);
    }
  }
  EXPECT_EQ(w->View3D.ObserverSet, 1);

  // Spherical coordinates in degrees.
  d->SetCheck(kObsSpherical, true);
  d->Press(kObsSpherical);
  EXPECT_EQ(d->GetItemText(232), "theta =");
  d->SetCheck(kObsDegrees, true);
  d->SetItemText(211, "10");
  d->SetItemText(212, "90");
  d->SetItemText(213, "90");
  d->Press(kObsApply);
  EXPECT_NEAR(static_cast<double>(w->View3D.Observer.x), 0, 1e-12);
  EXPECT_NEAR(static_cast<double>(w->View3D.Observer.y), 10, 1e-12);
  EXPECT_NEAR(static_cast<double>(w->View3D.Observer.z), 0, 1e-12);
  EXPECT_LT(TaxicabDistance3D(w->View3D.ObserverInBox, TPoint3D{-0.5L, 4.5L, -0.5L}), 1e-12L);
  d->Press(kObsDegrees);
  EXPECT_NEAR(static_cast<double>(std::stold(d->GetItemText(213))), 90, 1e-3) << "shown in degrees";

  // "Schließen" hides the dialog; it keeps its state.
  d->Press(plat::IDCANCEL);
  EXPECT_TRUE(d->IsHidden());
  EXPECT_EQ(w->ObserverDlg, d);
  w->Command(kCm3ObserverDialog);
  EXPECT_FALSE(d->IsHidden());
  EXPECT_TRUE(d->IsChecked(kObsSpherical));
}

TEST_F(Plot3Test, TheBoxFollowsTheGraphs) {
  TPlot3Win* w = MakeWindow();
  // A point (2, 3, 4): its extent ± 0.25, widened by a tenth.
  Enter(w, kCm3NewCartesianPoint, "EQUA309", [](plat::Dialog& d) {
    d.SetItemText(211, "2");
    d.SetItemText(212, "3");
    d.SetItemText(213, "4");
    d.Press(plat::IDOK);
  });
  ASSERT_EQ(w->equationCount, 0);
  // The first point brought the axes; without them the box is the point's.
  ASSERT_TRUE(w->AxesShown);
  w->Command(kCmToggleAxes);
  w->UpdateBox(0);
  const TView3D& v = w->View3D;
  auto near = [](const TPoint3D& p, const TPoint3D& q) { return TaxicabDistance3D(p, q) < 1e-12L; };
  EXPECT_TRUE(near(v.BoxMin, {1.7L, 2.7L, 3.7L}));
  EXPECT_TRUE(near(v.BoxMax, {2.3L, 3.3L, 4.3L}));
  EXPECT_TRUE(near(v.BoxCentre, {2, 3, 4}));
  EXPECT_FALSE(IsInBox2D(v, v.Observer)) << "the observer stays off the ground plan";

  // A segment (0,0,0)-(1,0,0): its extent, widened twice.
  const int s = w->AppendEquation(kKindSegment3D, {"0", "0", "0", "1", "", "0", "0"});
  w->ComputeItemExtent(s);
  EXPECT_TRUE(near(w->Equation(s).boxMin(), {-0.1L, -0.6L, -0.6L}));
  EXPECT_TRUE(near(w->Equation(s).boxMax(), {1.1L, 0.6L, 0.6L}));
  w->UpdateBox(s);
  EXPECT_TRUE(near(w->Equation(s).boxMin(), {-0.22L, -0.72L, -0.72L}));
  EXPECT_TRUE(near(w->Equation(s).boxMax(), {1.22L, 0.72L, 0.72L}));
  EXPECT_TRUE(near(v.BoxMin, {-0.22L, -0.72L, -0.72L}));
  EXPECT_TRUE(near(v.BoxMax, {2.3L, 3.3L, 4.3L}));
  const TPoint3D centre = v.BoxCentre;
  EXPECT_FALSE(w->FitBoxToGraphs()) << "nothing changed";
  EXPECT_EQ(v.BoxCentre, centre);

  // A curve that never evaluates ends with ± 0.6.
  const int c = w->AppendEquation(kKindSpaceCurve, {"sqrt(0-1-t*t)", "ln(0-1)", "1/0"});
  w->ComputeItemExtent(c);
  EXPECT_TRUE(near(w->Equation(c).boxMin(), {-0.6L, -0.6L, -0.6L}));
  EXPECT_TRUE(near(w->Equation(c).boxMax(), {0.6L, 0.6L, 0.6L}));

  // The surface: the box takes in its sampled extent.
  Enter(w, kCm3NewExplicit, "EQUA301");
  const TEquation& f = w->Equation(w->equationCount);
  EXPECT_EQ(f.samples.size(), 37u * 37u);
  EXPECT_LE(v.BoxMin.x, f.boxMin().x);
  EXPECT_GE(v.BoxMax.z, f.boxMax().z);
  EXPECT_NEAR(static_cast<double>(f.boxMax().x), static_cast<double>(Pi + 0.1L * (2 * Pi - 0.00001L)), 1e-9);
  // Every sample lies within the window's box.
  for (const TPoint3D& p : f.samples) EXPECT_TRUE(InBox3D(v, p));
}

// The window's file as an older version wrote it: no slider tables (up to
// version 31) and no freehand marks (up to 23; the window has none, no notes
// and no picture, so their empty count ends the file).
std::vector<std::uint8_t> AsOlderVersion(const std::vector<std::uint8_t>& bytes, std::int32_t version) {
  ByteReader r(bytes);
  TCommonHeader h;
  EXPECT_EQ(ReadCommonHeader(r, kFileType3D, h), THeaderResult::Ok);
  h.Version = version;
  ByteWriter out;
  WriteCommonHeader(out, h);
  ByteWriter settings;
  WritePlotSettings(settings, TPlotSettingsBlock{});
  const std::size_t tables = kCommonHeaderSize + settings.Size() - 2 * 4 * kSliderTableEntries;
  const std::size_t marks = bytes.size() - 4;
  EXPECT_EQ(bytes[marks] | bytes[marks + 1] | bytes[marks + 2] | bytes[marks + 3], 0);
  out.Bytes(bytes.data() + kCommonHeaderSize, tables - kCommonHeaderSize);
  out.Bytes(bytes.data() + tables + 2 * 4 * kSliderTableEntries, marks - tables - 2 * 4 * kSliderTableEntries);
  return out.Data();
}

// A file older than version 12 has its box fitted to its graphs when it is
// read; from version 12 on the file's own box is kept.
TEST_F(Plot3Test, AnOldFileHasItsBoxFittedToItsGraphs) {
  TPlot3Win* w = MakeWindow();
  w->AppendEquation(kKindPoint3D, {"2", "3", "4"});
  w->CompileEquation(0);
  w->View3D.BoxMin = {-50, -50, -50};
  w->View3D.BoxMax = {50, 50, 50};
  const std::string dir = kvtest::MakeTempDir("box3d");
  w->FileData.FileName = dir + "/now.kv3";
  ASSERT_TRUE(w->WriteFile());
  std::vector<std::uint8_t> now;
  ASSERT_TRUE(ReadWholeFile(w->FileData.FileName, now));
  struct Case {
    std::int32_t version;
    TPoint3D boxMin, boxMax;
  } cases[] = {
      {11, {1.7L, 2.7L, 3.7L}, {2.3L, 3.3L, 4.3L}},
      {12, {-50, -50, -50}, {50, 50, 50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    const std::string path = dir + "/v" + std::to_string(c.version) + ".kv3";
    ASSERT_TRUE(WriteFileAtomically(path, AsOlderVersion(now, c.version)));
    TPlot3Win* r = MakeWindow();
    r->FileData.FileName = path;
    ASSERT_EQ(r->ReadFile(), 0);
    ASSERT_EQ(r->loadedFileVersion, c.version);
    EXPECT_LT(TaxicabDistance3D(r->View3D.BoxMin, c.boxMin), 1e-12L);
    EXPECT_LT(TaxicabDistance3D(r->View3D.BoxMax, c.boxMax), 1e-12L);
  }
}

TEST_F(Plot3Test, WithoutAnyIncludedGraphTheBoxStaysAsItWas) {
  TPlot3Win* w = MakeWindow();
  const int i = w->AppendEquation(kKindPoint3D, {"5", "5", "5"});
  w->Equation(i).visible = 0;
  w->UpdateBox(i);
  EXPECT_FALSE(w->FitBoxToGraphs());
  EXPECT_EQ(w->View3D.BoxMin, (TPoint3D{0, 0, 0}));
  EXPECT_EQ(w->View3D.BoxMax, (TPoint3D{2, 2, 2}));
  EXPECT_EQ(w->View3D.Observer, (TPoint3D{60, 80, 60}));
  EXPECT_TRUE(w->IsInView(w->ProjectRotated(TPoint3D{2, 2, 2})));
}

TEST_F(Plot3Test, WithAxesShownEveryExtentHoldsTheOrigin) {
  TPlot3Win* w = MakeWindow();
  w->AxesShown = 1;
  Enter(w, kCm3NewCartesianPoint, "EQUA309", [](plat::Dialog& d) {
    d.SetItemText(211, "5");
    d.SetItemText(212, "6");
    d.SetItemText(213, "7");
    d.Press(plat::IDOK);
  });
  const TEquation& e = w->Equation(0);
  EXPECT_EQ(e.boxMin(), (TPoint3D{0, 0, 0}));
  EXPECT_TRUE(InBox3D(w->View3D, TPoint3D{}));
  // The fitted view shows the axes to their ends.
  EXPECT_TRUE(w->IsInView(w->ProjectRotated(w->View3D.AxisEnd)));
}

TEST_F(Plot3Test, SurfaceGridsFollowTheirDivisionsAndTheirExtent) {
  TPlot3Win* w = MakeWindow();
  const int i = w->AppendEquation(kKindSurface, {"", "", "1/(x+1)"});
  TEquation& e = w->Equation(i);
  e.lowerBound = {-1, 0};
  e.upperBound = {1, 1};
  e.divisions = {4, 2, 36};
  w->SampleSurfaceGrid(i);
  ASSERT_EQ(e.samples.size(), 15u);
  // Undefined at x = -1: stored as (u, v, 0).
  EXPECT_EQ(e.samples[0 * 3 + 1], (TPoint3D{-1, 0.5L, 0}));
  EXPECT_EQ(e.samples[4 * 3 + 2], (TPoint3D{1, 1, 0.5L}));
  EXPECT_EQ(e.boxMax().z, 2);
  // A given extent clamps the points a hair beyond it.
  e.automaticExtent = 0;
  e.boxMin() = {-1, 0, 0};
  e.boxMax() = {1, 1, 0.4L};
  w->SampleSurfaceGrid(i);
  EXPECT_EQ(e.samples[4 * 3 + 2].z, 0.4L + 1e-13L);
  EXPECT_EQ(e.samples[0 * 3 + 1].z, 0);
  // Far more divisions than a fixed buffer of 6000 points would hold.
  e.automaticExtent = 1;
  e.divisions = {150, 150, 36};
  w->SampleSurfaceGrid(i);
  EXPECT_EQ(e.samples.size(), 151u * 151u);
  e.divisions = {0, 10, 36};
  w->SampleSurfaceGrid(i);
  EXPECT_TRUE(e.samples.empty());
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

using test3d::Plot3Test;

// The equation captions stand in the top-left corner, a line apart; a
// smaller or larger window and "Fenster anpassen" keep them there.  A file
// brings them where they were saved, whatever size the window had.
TEST_F(Plot3Test, CaptionsKeepTheirPixelsWhenTheWindowIsResizedAndFitted) {
  TPlot3Win* w = MakeWindow();
  Enter(w, kCm3NewExplicit, "EQUA301");
  Enter(w, kCm3NewExplicit, "EQUA301");
  ASSERT_EQ(w->equationLabels.size(), 2u);
  const auto pixels = [&] {
    std::vector<std::pair<int, int>> out;
    for (const TEquationLabel& l : w->equationLabels)
      out.push_back({RoundToInt(w->WorldToDeviceX(l.anchor.x)), RoundToInt(w->WorldToDeviceY(l.anchor.y))});
    return out;
  };
  const auto start = pixels();
  EXPECT_LT(start[0].second, 10);
  EXPECT_GT(start[1].second, start[0].second);
  for (const auto& [width, height] : {std::pair{600, 300}, {400, 700}, {900, 450}}) {
    w->MoveWindow(20, 40, width, height);
    Settle(w);
    const auto now = pixels();
    for (std::size_t k = 0; k < now.size(); ++k) {
      EXPECT_NEAR(now[k].first, start[k].first, 1) << width << " x " << height;
      EXPECT_NEAR(now[k].second, start[k].second, 1) << width << " x " << height;
    }
    w->Command(kCm3FitWindow);
    Settle(w);
    EXPECT_EQ(pixels(), now) << "fitted at " << width << " x " << height;
  }

  // Read into a window of another size, a file shows captions and box as saved.
  w->equationLabels[1].anchor = w->PixelToWorldPoint({300, 200});
  w->InvalidatePlot();
  Settle(w);
  const std::string path = kvtest::MakeTempDir("captions") + "beschriftet.kv3";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());
  const plat::Bitmap saved = w->Surface();
  TPlot3Win* other = MakeWindow();
  other->MoveWindow(30, 60, 500, 350);
  Settle(other);
  other->FileData.FileName = path;
  ASSERT_EQ(other->OpenFile(), 0);
  Settle(other);
  EXPECT_TRUE(other->Surface() == saved);
}

}  // namespace
}  // namespace kv
