// The vector exports of the 2D window end to end: the export commands with
// their file and set-up dialogs, and the files read by the programs made to
// read them, compared with the screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/constants.h"
#include "graphics/axis_settings.h"
#include "graphics/eps_writer.h"
#include "plot2_test_util.h"
#include "support/export_readers.h"
#include "graphics/recording_dc.h"
#include "shell/text_helpers.h"
#include "support/recording_sink.h"

namespace kv::test2d {
namespace {

namespace pt = plat::testing;
using kvtest::ScratchFolder;

bool Saw(const std::string& caption, const std::string& text) {
  for (const auto& m : pt::Messages())
    if (m.caption == caption && m.text == text) return true;
  return false;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Export2Test : public Plot2Test {
 protected:
  // Axes with labels, the grid, x·sin(x), tan(x) with its gaps, a hatched
  // area under x·sin(x) between 1 and 3 and a trajectory in steps far
  // shorter than a pixel.
  TPlot2Win* Scene() {
    TPlot2Win* w = MakeWindow();
    w->GridBits = kGridRectangular | kGridQuadrant1 | kGridQuadrant2 | kGridQuadrant3 | kGridQuadrant4;
    w->LabelsShown = 1;
    xsin = w->AppendEquation(kKindExplicit, {"", "xsin(x)"});
    tan = w->AppendEquation(kKindExplicit, {"", "tan(x)"});
    const int zero = w->AppendEquation(kKindExplicit, {"", "0"});
    TShadeRecord s;
    s.graphA = static_cast<std::int16_t>(xsin);
    s.graphB = static_cast<std::int16_t>(zero);
    s.intervalFlag = 1;
    s.from = 1;
    s.to = 3;
    s.colour = 5;
    s.packedCode = static_cast<std::int16_t>(PackShadeCode(3, 0, 0));
    w->shadings.push_back(s);
    traj = w->AppendEquation(kKindOde, {"-y", "x"});
    w->Equation(traj).penColour = 12;  // not the hatching's
    w->AddTrajectoryItem(traj, {3, 0, 0}, kMethodRungeKutta, 0.001L, 6300, 1);
    w->InvalidatePlot();
    Settle(w);
    return w;
  }
  // Runs the export command with the file dialog answered by the path and
  // the set-up dialog (if any) by the script; whether "Erfolg" was shown.
  static bool Export(TPlot2Win* w, int command, const std::string& path,
                     pt::DialogScript setup = [](plat::Dialog& d) { d.Press(plat::IDOK); }) {
    pt::ClearMessages();
    pt::ExpectFileDialog(path);
    if (command == kCmExportSvg) pt::ExpectDialog("SVG", setup);
    if (command == kCmExportPictex) pt::ExpectDialog("PICTEX", setup);
    w->Command(command);
    Settle(w);
    return Saw("Erfolg", command == kCmExportEps   ? "EPS Datei gespeichert"
                         : command == kCmExportSvg ? "SVG Datei gespeichert"
                                                   : "PiCTeX Datei gespeichert");
  }
  int xsin = -1;
  int tan = -1;
  int traj = -1;
};

TEST_F(Export2Test, TheFileMenuHasTheExportPopup) {
  TPlot2Win* w = MakeWindow();
  for (int id : {kCmExportPictex, kCmExportEps, kCmExportSvg}) {
    EXPECT_TRUE(w->HasMenuItem(id)) << id;
    EXPECT_TRUE(w->IsMenuItemEnabled(id)) << id;
  }
  EXPECT_EQ(w->MenuItemText(kCmExportSvg), "&SVG Datei ...");
}

TEST_F(Export2Test, GhostscriptRendersTheEpsLikeTheScreen) {
  if (!kvtest::HaveProgram("gs")) GTEST_SKIP() << "Ghostscript (gs) is not installed; scripts/setup installs it";
  TPlot2Win* w = Scene();
  ScratchFolder dir;
  const std::string eps = dir.File("scene.eps");
  ASSERT_TRUE(Export(w, kCmExportEps, eps));
  const std::string text = ReadText(eps);
  EXPECT_EQ(text.substr(0, 25), "%!PS-Adobe-3.0 EPSF-3.0\r\n");
  EXPECT_EQ(text.substr(text.size() - 7), "%%EOF\r\n");
  EXPECT_NE(text.find("%%Creator: (ZORkin 2D plotter)"), std::string::npos);
  EXPECT_NE(text.find("%%Title: (Unbenannt1.kv2)"), std::string::npos);
  std::string log;
  const plat::Bitmap page = kvtest::RenderEps(eps, 96, log);
  ASSERT_FALSE(page.IsNull()) << log;
  EXPECT_EQ(log.find("Error"), std::string::npos) << log;
  const plat::Bitmap& screen = w->Surface();
  if (std::getenv("KURVATO_KEEP_EXPORTS")) screen.WritePngFile(dir.File("screen.png"));
  EXPECT_NEAR(page.Width(), screen.Width(), 2);
  EXPECT_NEAR(page.Height(), screen.Height(), 2);
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, xsin), page, 2), 0.9);
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, tan), page, 2), 0.9);
}

TEST_F(Export2Test, RsvgRendersTheSvgLikeTheScreen) {
  if (!kvtest::HaveProgram("rsvg-convert"))
    GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed; scripts/setup installs it";
  TPlot2Win* w = Scene();
  ScratchFolder dir;
  const std::string svg = dir.File("scene.svg");
  ASSERT_TRUE(Export(w, kCmExportSvg, svg));
  const std::string text = ReadText(svg);
  EXPECT_NE(text.find("<title>ZORkin 2D plotter</title>\r\n"), std::string::npos);
  EXPECT_NE(text.find("url(#fpat000)"), std::string::npos);  // the hatched area
  EXPECT_EQ(text.substr(text.size() - 8), "</svg>\r\n");
  // The trajectory's path holds a point per pixel it passes.
  const std::size_t at = text.find("stroke=\"" + FormatHexColour(EntryColour(*w, traj)) + "\"");
  ASSERT_NE(at, std::string::npos);
  const std::size_t d = text.rfind("<path d=\"", at) + 9;
  std::istringstream path(text.substr(d, text.find('"', d) - d));
  std::vector<std::string> xy;
  for (std::string word; path >> word;)
    if (word != "M" && word != "L") xy.push_back(word);
  int repeats = 0;
  for (std::size_t k = 2; k + 1 < xy.size(); k += 2) repeats += xy[k] == xy[k - 2] && xy[k + 1] == xy[k - 1];
  EXPECT_EQ(repeats, 0);
  EXPECT_GT(xy.size() / 2, 200u);
  EXPECT_LT(xy.size() / 2, 1.5 * 2 * Pi * 3 * static_cast<double>(w->PixelsPerUnitX));
  std::string log;
  const plat::Bitmap picture = kvtest::RenderSvg(svg, log);
  ASSERT_FALSE(picture.IsNull()) << log;
  const plat::Bitmap& screen = w->Surface();
  EXPECT_EQ(picture.Width(), screen.Width());
  EXPECT_EQ(picture.Height(), screen.Height());
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, xsin), picture, 2), 0.9);
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, tan), picture, 2), 0.9);
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, traj), picture, 2), 0.9);
}

// The open arrow heads of the axes take their shape from the window, as
// its plot file brought it.
TEST_F(Export2Test, ThePictexArrowsHaveTheShapeThePlotFileKeeps) {
  TPlot2Win* a = MakeWindow();
  a->ArrowShapeBeta = 0.25L;
  a->ArrowWidthRatio = 0.7L;
  ScratchFolder dir;
  a->FileData.FileName = dir.File("pfeile.kv2");
  ASSERT_TRUE(a->WriteFile());
  TPlot2Win* b = MakeWindow();
  b->FileData.FileName = a->FileData.FileName;
  ASSERT_EQ(b->OpenFile(), 0);
  b->AxesShown = 1;
  b->ArrowsShown = 1;
  b->FilledArrowHeads = 0;
  ASSERT_TRUE(Export(b, kCmExportPictex, dir.File("pfeile.tex")));
  const std::string tex = ReadText(dir.File("pfeile.tex"));
  EXPECT_NE(tex.find("cm> [0.250,0.700] from"), std::string::npos);
  EXPECT_EQ(tex.find("[0.500,0.900]"), std::string::npos);
}

// A freehand stroke stands in every file in its own colour; each shading
// ("Zwischen" with pattern 3, "Über" with pattern 0) is one PiCTeX shade,
// and one PiCTeX cannot shade (pattern 1) is reported as left out.
TEST_F(Export2Test, TheFilesHoldTheFreehandStrokeAndEveryShading) {
  TPlot2Win* w = Scene();
  w->shadings.push_back({static_cast<std::int16_t>(xsin), kShadeAbove});
  const plat::Colour ink = plat::Rgb(201, 17, 93);
  w->mouseMarks = {{{}, {ink, 2, 0}, kMarkPen}, {{-3, 2}, {}, kMarkBreak}, {{-2, 3}, {}, kMarkNext}, {{-1, 2}, {}, kMarkNext},
                   {{-0.9999L, 2.0001L}, {}, kMarkNext}};
  ScratchFolder dir;
  int n = 0;
  auto file = [&](int command, bool complete) {
    const std::string path = dir.File(std::to_string(++n));
    EXPECT_EQ(Export(w, command, path), complete) << command;
    return ReadText(path);
  };
  EXPECT_NE(file(kCmExportEps, true).find(FormatEpsColour(ink) + " setrgbcolor"), std::string::npos);
  EXPECT_NE(file(kCmExportSvg, true).find("stroke=\"" + FormatHexColour(ink) + "\""), std::string::npos);
  const std::string tex = file(kCmExportPictex, true);
  EXPECT_NE(tex.find("\\plot \r\n-3.00000 2.00000\r\n-2.00000 3.00000\r\n-0.99990 2.00010\r\n"), std::string::npos)
      << "the stroke ends where the mouse stopped, even within the pixel of its last point";
  std::size_t grids = 0, shades = 0;
  for (std::size_t at = 0; (at = tex.find("\\setshadegrid", at + 1)) != std::string::npos;) ++grids;
  for (std::size_t at = 0; (at = tex.find("\\vshade", at + 1)) != std::string::npos;) ++shades;
  EXPECT_EQ(grids, 2u);
  EXPECT_EQ(shades, 2u);
  w->shadings.back().packedCode = static_cast<std::int16_t>(PackShadeCode(1, 0, 0));
  file(kCmExportPictex, false);
  EXPECT_TRUE(Saw("?", "PiCTeX Datei ohne gefüllte Flächen gespeichert"));

  // A stroke in the background's colour, which fills the EPS and SVG
  // pictures, is drawn in the axes' colour there, as on the screen.
  const plat::Colour background = w->GetColour(w->ColourSlots[0]);
  const plat::Colour axes = w->GetColourAvoidingBackground(w->ColourSlots[0]);
  struct Form {
    int command;
    std::string background, axes;  // how the file names the two colours as a pen's
  } forms[] = {
      {kCmExportEps, FormatEpsColour(background) + " setrgbcolor", FormatEpsColour(axes) + " setrgbcolor"},
      {kCmExportSvg, "stroke=\"" + FormatHexColour(background) + "\"", "stroke=\"" + FormatHexColour(axes) + "\""},
  };
  auto count = [](const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  for (const Form& f : forms) {
    w->mouseMarks.clear();
    const std::string without = file(f.command, true);
    w->mouseMarks = {{{}, {background, 2, 0}, kMarkPen}, {{-3, 2}, {}, kMarkBreak}, {{-2, 3}, {}, kMarkNext}};
    const std::string with = file(f.command, true);
    EXPECT_EQ(count(with, f.background), count(without, f.background)) << f.command << ": the stroke vanishes";
    EXPECT_EQ(count(with, f.axes), count(without, f.axes) + 1) << f.command;
  }
}

TEST_F(Export2Test, PdflatexCompilesThePictexFileInEachDocumentForm) {
  std::string log;
  if (!kvtest::HaveProgram("pdflatex") || kvtest::RunProgram("kpsewhich pictex.sty", log) != 0)
    GTEST_SKIP() << "pdflatex with the pictex package is not installed; scripts/setup installs them";
  TPlot2Win* w = Scene();
  struct Case {
    int mode;
    std::string document;
  };
  // LaTeX2e standalone: the file fills box 1.  To insert: the picture
  // alone in a document that loads the package.
  const Case cases[] = {
      {1, "\\documentclass{article}\n\\begin{document}\n\\input{scene.tex}\n\\box1\n\\end{document}\n"},
      {3, "\\documentclass{article}\n\\usepackage{pictex}\n\\font\\fiverm = cmr5\n\\begin{document}\n"
          "\\input{scene.tex}\n\\end{document}\n"},
  };
  for (const Case& c : cases) {
    ScratchFolder dir;
    ASSERT_TRUE(Export(w, kCmExportPictex, dir.File("scene.tex"), [&](plat::Dialog& d) {
      d.SetCheck(251, false);
      d.SetCheck(251 + c.mode, true);
      d.Press(plat::IDOK);
    }));
    EXPECT_EQ(w->PictexMode, c.mode);
    std::ofstream(dir.File("doc.tex"), std::ios::binary) << c.document;
    const int rc = kvtest::RunProgram("cd '" + dir.Path().string() +
                                          "' && pdflatex -interaction=nonstopmode -halt-on-error doc.tex",
                                      log);
    EXPECT_EQ(rc, 0) << "mode " << c.mode << "\n" << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File("doc.pdf")));
  }
}

TEST_F(Export2Test, CancellingADialogWritesNothingAndLeavesTheFlagsClear) {
  TPlot2Win* w = Scene();
  ScratchFolder dir;
  const plat::Bitmap before = w->Surface();
  struct Case {
    int command;
    bool cancelFile;
  };
  const Case cases[] = {{kCmExportEps, true},     {kCmExportSvg, true},     {kCmExportPictex, true},
                        {kCmExportSvg, false},    {kCmExportPictex, false}};
  for (const Case& c : cases) {
    pt::ClearMessages();
    const std::string path = dir.File("cancelled");
    if (c.cancelFile) {
      pt::ExpectFileDialog(std::nullopt);
    } else {
      pt::ExpectFileDialog(path);
      pt::ExpectDialog(c.command == kCmExportSvg ? "SVG" : "PICTEX", [](plat::Dialog& d) { d.Press(plat::IDCANCEL); });
    }
    w->Command(c.command);
    Settle(w);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(pt::Messages().empty());
    EXPECT_FALSE(w->Recording());
    EXPECT_EQ(w->Sink, nullptr);
    EXPECT_EQ(w->Surface(), before);
  }
}

TEST_F(Export2Test, AfterARunTheFlagsAreClearAndTheWriterIsFreed) {
  TPlot2Win* w = Scene();
  ScratchFolder dir;
  const plat::Bitmap before = w->Surface();
  for (int command : {kCmExportPictex, kCmExportEps, kCmExportSvg}) {
    ASSERT_TRUE(Export(w, command, dir.File("run" + std::to_string(command))));
    EXPECT_FALSE(w->Recording());
    EXPECT_EQ(w->Sink, nullptr);
    // The run draws off the screen.
    EXPECT_EQ(w->Surface(), before);
  }
  // The creator texts keep their value; a second run writes a fresh header.
  EXPECT_EQ(w->EpsCreator, "ZORkin 2D plotter");
  const std::string svg = ReadText(dir.File("run" + std::to_string(kCmExportSvg)));
  EXPECT_EQ(svg.find("<?xml"), 0u);
  EXPECT_EQ(svg.find("<?xml", 1), std::string::npos);
}

TEST_F(Export2Test, AFileThatCannotBeWrittenIsReportedAndLeavesNothingBehind) {
  TPlot2Win* w = Scene();
  // A folder that does not exist, and one where no file can be created.
  for (const std::string& path : {std::string("/nonexistent-folder/scene.eps"), std::string("/proc/scene.eps")}) {
    EXPECT_FALSE(Export(w, kCmExportEps, path)) << path;
    EXPECT_TRUE(Saw("?", "Datei ist nicht zu speichern")) << path;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(w->Recording());
  }
}

TEST_F(Export2Test, TheSetupDialogsRefuseValuesOutOfRangeAndRememberWhatWasTyped) {
  TPlot2Win* w = Scene();
  ScratchFolder dir;
  w->PictexWidthCm = 8;
  w->PictexMode = 0;
  struct Case {
    std::string width;
    std::string box;
    int mode;
    bool accepted;
  };
  const Case cases[] = {{"0.09", "1", 0, false}, {"0.1", "1", 0, true}, {"8", "256", 1, false},
                        {"8", "256", 2, true},   {"8", "-1", 0, false}, {"8", "-1", 3, true},
                        {"inf", "1", 1, false}};
  int n = 0;
  for (const Case& c : cases) {
    pt::ClearMessages();
    pt::ExpectFileDialog(dir.File("t" + std::to_string(++n) + ".tex"));
    bool refused = false;
    pt::ExpectDialog("PICTEX", [&](plat::Dialog& d) {
      EXPECT_FALSE(d.IsItemVisible(213));  // no space distance asked
      d.SetItemText(211, c.width);
      d.SetItemText(212, c.box);
      for (int k = 0; k < 4; ++k) d.SetCheck(251 + k, k == c.mode);
      const std::size_t shown = pt::Messages().size();
      d.Press(plat::IDOK);
      refused = pt::Messages().size() > shown;  // the dialog stays open
      if (refused) d.Press(plat::IDCANCEL);
    });
    w->Command(kCmExportPictex);
    Settle(w);
    EXPECT_EQ(!refused, c.accepted) << c.width << " " << c.box << " " << c.mode;
    EXPECT_EQ(Saw("?", "jenseits der Grenzen"), !c.accepted);
    // OK stored the width and mode before the check, refused or not.
    EXPECT_EQ(w->PictexWidthCm, std::stold(c.width)) << c.width;
    EXPECT_EQ(w->PictexMode, c.mode);
  }
  // SVG: 9 is refused, 10 accepted.
  for (const auto& [value, accepted] : {std::pair{"9", false}, std::pair{"10", true}}) {
    pt::ClearMessages();
    pt::ExpectFileDialog(dir.File(std::string("t") + value + ".svg"));
    bool refused = false;
    pt::ExpectDialog("SVG", [&](plat::Dialog& d) {
      EXPECT_EQ(d.GetItemText(211), std::to_string(w->ClientWidth));
      d.SetItemText(211, value);
      const std::size_t shown = pt::Messages().size();
      d.Press(plat::IDOK);
      refused = pt::Messages().size() > shown;  // the dialog stays open
      if (refused) d.Press(plat::IDCANCEL);
    });
    w->Command(kCmExportSvg);
    Settle(w);
    EXPECT_EQ(!refused, accepted);
    if (accepted) {
      EXPECT_NE(ReadText(dir.File(std::string("t") + value + ".svg")).find("width=\"10\""), std::string::npos);
    }
  }
}

// A window that cannot write PiCTeX, as the stereogram window.
class NoPictexWin : public TPlot2Win {
 public:
  using TPlot2Win::TPlot2Win;
  bool CanExportPictex() override { return false; }
};

TEST(ExportEnablers, APictexRefusingWindowDisablesOnlyThatCommand) {
  auto* w = new NoPictexWin(nullptr, "Unbenannt1.kv2");
  w->FileVersion = 33;
  ASSERT_TRUE(w->Create());
  EXPECT_FALSE(w->QueryCommand(kCmExportPictex).enabled);
  EXPECT_TRUE(w->QueryCommand(kCmExportEps).enabled);
  EXPECT_TRUE(w->QueryCommand(kCmExportSvg).enabled);
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

}  // namespace
}  // namespace kv::test2d

namespace kv::test2d {
namespace {

// A sampled curve with break flags goes to the export with mode 1 and to
// the screen by the same segment rule.
TEST_F(Export2Test, PolylinesWithBreaksGoToTheExportAndTheScreen) {
  TPlot2Win* w = MakeWindow();
  const TPoint2D points[7] = {{-3, 0}, {-2, 1}, {-1, 0}, {0, 1}, {1, 0}, {2, 1}, {3, 0}};
  const std::uint8_t flags[7] = {1, 1, 0, 0, 0, 1, 1};
  kvtest::RecordingDC dc;
  kvtest::RecordingSink& eps = kvtest::StartRecording(*w, TExportFormat::Eps);
  TPenSpec pen;
  pen.colour = 2;
  w->DrawPolylineAll(dc, points, flags, 6, pen);
  EXPECT_EQ(eps.calls, (std::vector<std::string>{"Gapped 6 mode 1"}));
  kvtest::StopRecording(*w);
  // Segments 0-1, 2-3 and 5-6 on the screen.
  const auto lines = dc.Of(kvtest::DrawCall::Line);
  ASSERT_EQ(lines.size(), 3u);
  plat::Point a, b;
  w->WorldToPixel(points[2], a);
  w->WorldToPixel(points[3], b);
  EXPECT_EQ(lines[1].points, (std::vector<plat::Point>{a, b}));
}

}  // namespace
}  // namespace kv::test2d
