// The 3D window exports through the same runs: the surface
// z = sin(xx+yy)/(xx+yy) as EPS and SVG that Ghostscript and rsvg-convert
// render like the screen; an EPS file marks the lines of meshes and
// curves, the axes and the box as its sections; an empty window's symbol
// keeps its axis names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "plot3_test_util.h"
#include "support/eps_sections.h"
#include "support/export_readers.h"

namespace kv::test3d {
namespace {

namespace pt = plat::testing;

// Pixels of the picture that are not the colour.
int Painted(const plat::Bitmap& b, plat::Colour background) { return CountOther(b, background); }

TEST_F(Plot3Test, TheSurfaceExportsAsEpsAndSvgThatTheReadersRender) {
  const bool gs = kvtest::HaveProgram("gs");
  const bool rsvg = kvtest::HaveProgram("rsvg-convert");
  if (!gs && !rsvg) GTEST_SKIP() << "neither Ghostscript nor rsvg-convert is installed; scripts/setup installs them";
  TPlot3Win* w = MakeWindow();
  Enter(w, 1001, "EQUA301");  // the example: z = sin(xx+yy)/(xx+yy)
  ASSERT_EQ(w->equationCount, 0);
  ASSERT_EQ(w->Equation(0).formulaText[2], "sin(xx+yy)/(xx+yy)");
  Settle(w);
  const plat::Bitmap& screen = w->Surface();
  const plat::Colour background = w->GetColour(w->ColourSlots[0]);
  const int onScreen = Painted(screen, background);
  ASSERT_GT(onScreen, screen.Width() * screen.Height() / 10);
  kvtest::ScratchFolder dir;
  std::string log;

  if (gs) {
    const std::string eps = dir.File("surface.eps");
    pt::ExpectFileDialog(eps);
    w->Command(kCmExportEps);
    Settle(w);
    ASSERT_TRUE(std::filesystem::exists(eps));
    const plat::Bitmap page = kvtest::RenderEps(eps, 96, log);
    ASSERT_FALSE(page.IsNull()) << log;
    // The painted cells cover about as much of the page as of the screen.
    EXPECT_NEAR(Painted(page, background), onScreen, onScreen / 5);
  }
  if (rsvg) {
    const std::string svg = dir.File("surface.svg");
    pt::ExpectFileDialog(svg);
    pt::ExpectDialog("SVG", [](plat::Dialog& d) { d.Press(plat::IDOK); });
    w->Command(kCmExportSvg);
    Settle(w);
    ASSERT_TRUE(std::filesystem::exists(svg));
    const plat::Bitmap picture = kvtest::RenderSvg(svg, log);
    ASSERT_FALSE(picture.IsNull()) << log;
    EXPECT_EQ(picture.Width(), screen.Width());
    EXPECT_NEAR(Painted(picture, background), onScreen, onScreen / 5);
  }
  EXPECT_FALSE(w->Recording());
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::size_t Count(const std::string& text, const std::string& pattern) {
  const std::regex r(pattern);
  return static_cast<std::size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), r), {}));
}

// A filled and a hollow point and the open tools' marks (trace cross, circles
// at the secant's second point and the trajectory point) go into each file.
TEST_F(Plot3Test, PointsAndToolMarksExportAsTheScreenShowsThem) {
  TPlot3Win* w = MakeWindow();
  w->AddPoint3D(1, 1, 1);
  const int hollow = w->AddPoint3D(-1, 1, -1);
  w->Equation(hollow).penStyle = 1;
  w->Equation(hollow).penWidth = 4;
  w->UpdateBox(hollow);
  TToolOverlays& o = w->Overlays;
  o.trace.shown = o.trace.secantOn = true;
  o.trace.p1 = {0.5L, 0.5L, 0.25L};
  o.trace.p2 = {-0.5L, 0.5L, -0.25L};
  o.trajectoryTrace.shown = o.trajectoryTrace.hasItem = true;
  o.trajectoryTrace.point = {0.3L, -0.3L, 0.6L};
  w->RepaintNow(true);
  plat::Point px;
  ASSERT_TRUE(w->ProjectToPixel({-1, 1, -1}, px));
  EXPECT_EQ(w->Surface().GetPixel(px.x, px.y), w->GetColour(w->ColourSlots[0])) << "a hollow point's centre";
  kvtest::ScratchFolder dir;
  std::vector<std::string> f;
  for (int command : {kCmExportEps, kCmExportSvg, kCmExportPictex}) {
    pt::ExpectFileDialog(dir.File(std::to_string(command)));
    if (command != kCmExportEps)
      pt::ExpectDialog(command == kCmExportSvg ? "SVG" : "PICTEX", [](plat::Dialog& d) { d.Press(plat::IDOK); });
    w->Command(command);
    f.push_back(ReadAll(dir.File(std::to_string(command))));
  }
  EXPECT_EQ(Count(f[0], " 0 360 arc"), 4u);
  EXPECT_EQ(Count(f[0], "begin circle fill"), 3u);
  EXPECT_EQ(Count(f[1], "<circle "), 2u);
  EXPECT_EQ(Count(f[1], "<circle [^>]*fill=\"none\""), 1u);
  EXPECT_EQ(Count(f[1], "<ellipse "), 2u);
  EXPECT_EQ(Count(f[2], "scriptscriptstyle\\\\bullet"), 4u);
  EXPECT_EQ(Count(f[2], "\\{\\$\\\\bullet"), 1u);
}

// Surface meshes and space curves mark each of their lines, the axes and
// the box their own sections: every line of the mesh and the curve starts
// with "begin one slice" and its polyline, then each axis with "draw axis"
// and its line (the three meet in the origin), then "begin view box" and
// the twelve edges of the box.
TEST_F(Plot3Test, TheEpsFileMarksEachMeshLineEachAxisAndTheBox) {
  TPlot3Win* w = MakeWindow();
  Enter(w, kCm3NewExplicit, "EQUA301");
  Enter(w, kCm3NewCurve, "EQUA304");
  ASSERT_EQ(w->equationCount, 1);
  TEquation& surface = w->Equation(0);
  const TEquation& curve = w->Equation(1);
  surface.divisions[0] = 4;
  surface.divisions[1] = 3;
  surface.curvePoints[0] = surface.curvePoints[1] = 20;
  w->UpdateItemExtent(0);
  w->Command(kCm3SlowDrawing);  // "Langsam zeichnen": the surface as a mesh
  w->AxesShown = 1;
  w->View3D.BoxVisible = 1;
  w->View3D.HideEdges = 0;
  Settle(w);

  kvtest::ScratchFolder dir;
  const std::string path = dir.File("mesh.eps");
  pt::ExpectFileDialog(path);
  w->Command(kCmExportEps);
  Settle(w);
  const std::vector<kvtest::EpsSection> sections = kvtest::EpsSections(ReadAll(path));

  // Five lines at fixed v and four at fixed u, then the curve.
  std::vector<std::string> expected(5 + 4 + 1, "begin one slice");
  expected.insert(expected.end(), 3, "draw axis");
  expected.push_back("begin view box");
  ASSERT_EQ(kvtest::EpsMarks(sections), expected);
  for (std::size_t k = 1; k <= 10; ++k) {
    SCOPED_TRACE(k);
    const auto paths = kvtest::EpsPaths(sections[k]);
    ASSERT_FALSE(paths.empty()) << "no polyline after the mark";
    const int points = k <= 9 ? 20 : curve.curvePoints[0];
    EXPECT_GE(paths.front().size(), 2u);
    EXPECT_LE(paths.front().size(), static_cast<std::size_t>(points) + 1);
  }
  // Each axis section starts with its axis, one straight line; the three
  // meet in the origin.
  EXPECT_EQ(kvtest::EpsAxesFault(sections, 11), "");
  // The box: twelve lines between eight corners, three at each.
  EXPECT_EQ(kvtest::EpsBoxFault(sections[14]), "");
  EXPECT_FALSE(w->Recording());
}

// An empty window exports its symbol of the axes with the three names.
TEST_F(Plot3Test, TheEmptyWindowExportsTheNamesOfItsAxes) {
  TPlot3Win* w = MakeWindow();
  ASSERT_LT(w->equationCount, 0);
  kvtest::ScratchFolder dir;
  const std::string eps = dir.File("empty.eps");
  pt::ExpectFileDialog(eps);
  w->Command(kCmExportEps);
  Settle(w);
  const std::string svg = dir.File("empty.svg");
  pt::ExpectFileDialog(svg);
  pt::ExpectDialog("SVG", [](plat::Dialog& d) { d.Press(plat::IDOK); });
  w->Command(kCmExportSvg);
  Settle(w);
  const std::string epsText = ReadAll(eps);
  const std::string svgText = ReadAll(svg);
  for (const std::string& name : w->AxisNames) {
    EXPECT_NE(epsText.find("(" + name + ") show"), std::string::npos) << name << "\n" << epsText;
    EXPECT_NE(svgText.find("> " + name + " </text>"), std::string::npos) << name << "\n" << svgText;
  }
}

// PiCTeX has no filled areas: a surface of painted cells is left out of the
// file, and the user is told so instead of a plain success.  Cells drawn as
// a transparent net are written as lines.
TEST_F(Plot3Test, APictexFileWithoutThePaintedCellsSaysSo) {
  TPlot3Win* w = MakeWindow();
  Enter(w, 1001, "EQUA301");
  Settle(w);
  kvtest::ScratchFolder dir;
  auto exportTo = [&](const std::string& name) {
    const std::string path = dir.File(name);
    pt::ClearMessages();
    pt::ExpectFileDialog(path);
    pt::ExpectDialog("PICTEX", [](plat::Dialog& d) { d.Press(plat::IDOK); });
    w->Command(kCmExportPictex);
    Settle(w);
    EXPECT_TRUE(std::filesystem::exists(path));
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string filled = exportTo("filled.tex");
  ASSERT_EQ(pt::Messages().size(), 1u);
  EXPECT_EQ(pt::Messages()[0].text, "PiCTeX Datei ohne gefüllte Flächen gespeichert");
  EXPECT_NE(filled.find("z = sin(xx+yy)/(xx+yy)"), std::string::npos) << filled;

  w->Equation(0).densityFlag = 1;  // the cells as a transparent net
  const std::string net = exportTo("net.tex");
  ASSERT_EQ(pt::Messages().size(), 1u);
  EXPECT_EQ(pt::Messages()[0].text, "PiCTeX Datei gespeichert");
  EXPECT_GT(net.size(), filled.size() + 1000) << "the net's lines are missing";
  EXPECT_NE(net.find("\\plot"), std::string::npos) << net.substr(0, 2000);
  EXPECT_FALSE(w->Recording());
}

}  // namespace
}  // namespace kv::test3d
