// The 3D window exports through the same runs: the surface
// z = sin(xx+yy)/(xx+yy) as EPS and SVG that Ghostscript and rsvg-convert
// render like the screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "plot3_test_util.h"
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
