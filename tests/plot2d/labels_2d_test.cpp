// Labels, term labels, pictures and metafiles in the 2D window as a user
// meets them: the mouse modes that place and move them, the binding to a
// point, the term dialog and the text term labels show, saving and
// reopening, the SVG export, and the metafile of the plot compared with
// the screen and read by Inkscape.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "graphics/label_geometry.h"
#include "platform/clipboard.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "plot2_test_util.h"
#include "support/export_readers.h"
#include "support/recording_sink.h"

namespace kv::test2d {
namespace {

namespace pt = plat::testing;
using plat::MouseEvent;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Labels2Test : public Plot2Test {
 protected:
  // Right button in the mouse mode, with the dialog answered by the script.
  static void RightClick(TPlot2Win* w, int mode, plat::Point p, const std::string& dialog, pt::DialogScript script) {
    w->Command(mode);
    if (!dialog.empty()) pt::ExpectDialog(dialog, std::move(script));
    w->EvRButtonDown(0, p);
    Settle(w);
  }
  static void LeftDrag(TPlot2Win* w, plat::Point from, plat::Point to) {
    pt::InjectMouse(*w, {MouseEvent::Move, plat::MK_LBUTTON, to.x, to.y});
    pt::InjectMouse(*w, {MouseEvent::LButtonUp, 0, to.x, to.y});
    w->EvLButtonDown(plat::MK_LBUTTON, from);
    Settle(w);
  }
  static plat::Point Anchor(TPlot2Win* w, const TTextLabel& l) {
    TTextLabel a = l;
    w->TextToAbsolute(a);
    return {RoundToInt(w->WorldToDeviceX(a.anchorX)), RoundToInt(w->WorldToDeviceY(a.anchorY))};
  }
};

TEST_F(Labels2Test, TextModePlacesMovesAndBindsLabels) {
  TPlot2Win* w = MakeWindow();
  const int point = w->AppendEquation(kKindPoint, {});
  w->Equation(point).startValue() = 2;
  w->Equation(point).rollRadius() = 1;
  w->InvalidatePlot();
  // Right click in "&Text": the label dialog; "Andere" offers the point.
  RightClick(w, kCmMouseText, {100, 80}, "NEWTEXT", [](plat::Dialog& d) {
    EXPECT_TRUE(d.IsItemVisible(253));
    ASSERT_EQ(d.ListCount(299), 1);
    d.SetItemText(211, "Hallo");
    d.SetCheck(252, false);
    d.SetCheck(253, true);
    d.Press(1);
  });
  ASSERT_EQ(w->TextLabels.size(), 1u);
  EXPECT_EQ(w->TextLabels[0].binding, point);
  EXPECT_EQ(Anchor(w, w->TextLabels[0]), (plat::Point{100, 80}));
  const plat::Colour black = plat::Rgb(0, 0, 0);
  EXPECT_GT(kvtest::CountColour(w->Surface(), black), 0);
  bool drawn = false;
  for (int y = 80; y < 95 && !drawn; ++y)
    for (int x = 100; x < 130 && !drawn; ++x) drawn = w->Surface().GetPixel(x, y) == black;
  EXPECT_TRUE(drawn);
  // The label follows its point.
  w->Equation(point).startValue() = 3;
  EXPECT_EQ(Anchor(w, w->TextLabels[0]).x, 100 + RoundToInt(w->PixelsPerUnitX));
  w->Equation(point).startValue() = 2;
  // Left button: drag it.
  LeftDrag(w, {104, 86}, {204, 126});
  EXPECT_EQ(Anchor(w, w->TextLabels[0]), (plat::Point{200, 120}));
  // "Text anzeigen/verbergen" hides it from the screen.
  w->Command(kCmToggleTexts);
  Settle(w);
  EXPECT_EQ(w->TextLabels[0].visible, 0);
}

TEST_F(Labels2Test, EquationLabelsAreDraggedInTheTextModes) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindExplicit, {"", "x^2"});
  w->AddEquationLabel();
  Settle(w);
  ASSERT_EQ(w->equationLabels.size(), 1u);
  const TPoint2D a = w->equationLabels[0].anchor;
  const plat::Point at{RoundToInt(w->WorldToDeviceX(a.x)), RoundToInt(w->WorldToDeviceY(a.y))};
  w->Command(kCmMousePaste);  // picks labels as well
  LeftDrag(w, {at.x + 2, at.y + 2}, {at.x + 102, at.y + 52});
  const TPoint2D b = w->equationLabels[0].anchor;
  EXPECT_EQ(RoundToInt(w->WorldToDeviceX(b.x)), at.x + 100);
  EXPECT_EQ(RoundToInt(w->WorldToDeviceY(b.y)), at.y + 50);
  // Hidden equation labels are not picked.
  w->ToggleItemLabels();
  LeftDrag(w, {at.x + 102, at.y + 52}, {at.x + 200, at.y + 52});
  EXPECT_EQ(w->equationLabels[0].anchor.x, b.x);
}

TEST_F(Labels2Test, TermModeShowsValuesOfTermsAndDeletesWithLoeschen) {
  TPlot2Win* w = MakeWindow();
  RightClick(w, kCmMouseTerms, {120, 100}, "NEWTEXT1", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "0");
    EXPECT_EQ(d.GetItemText(223), "3");
    EXPECT_TRUE(d.IsChecked(273));
    d.SetItemText(211, "1/4");
    d.SetItemText(220, "2");
    d.SetItemText(224, "1");
    d.SetCheck(274, true);
    d.SetItemText(222, "P");
    d.SetCheck(276, true);
    d.Press(1);
  });
  ASSERT_EQ(w->TermLabels.size(), 1u);
  ASSERT_EQ(w->TermBlocks.size(), 1u);
  EXPECT_EQ(w->TermLabels[0].termIndex, kTermIndexBase);
  EXPECT_EQ(w->TermLabels[0].text, "X");
  EXPECT_EQ(w->GetTextString(w->TermLabels[0]), "P(0.250; 2.0)");
  EXPECT_TRUE(w->TextLabels.empty());
  EXPECT_TRUE(w->QueryCommand(kCmDeleteTexts).enabled);

  // The text follows its terms: one term with the term shown.
  TTermBlock& b = w->TermBlocks[0];
  b.show = {1, 0, 0, 0, 1};
  b.terms[0] = "-1/2";
  EXPECT_EQ(w->GetTextString(w->TermLabels[0]), "-1/2 = -0.500");
  b.hyphenChar = 150;
  EXPECT_EQ(w->GetTextString(w->TermLabels[0]), "\u20131/2 = \u20130.500");
  b.hyphenChar = 0;
  b.terms[0] = "1/";
  EXPECT_EQ(w->GetTextString(w->TermLabels[0]), "1/ = ?");

  // Decimals out of range keep the dialog open with message 17; a term
  // that does not compile gives its compiler message.
  Settle(w);
  const plat::Point at = Anchor(w, w->TermLabels[0]);
  pt::ExpectDialog("NEWTEXT1", [](plat::Dialog& d) {
    d.SetItemText(211, "2");
    d.SetItemText(223, "16");
    d.Press(1);
    EXPECT_NE(d.Result(), plat::IDOK);
    d.SetItemText(223, "-1");
    d.Press(1);
    EXPECT_NE(d.Result(), plat::IDOK);
    d.SetItemText(223, "2");
    d.SetItemText(211, "2+");
    d.Press(1);
    EXPECT_NE(d.Result(), plat::IDOK);
    d.Press(2);
  });
  w->EvRButtonDown(0, {at.x + 3, at.y + 3});
  ASSERT_EQ(pt::Messages().size(), 3u);
  EXPECT_EQ(pt::Messages()[0].text, "jenseits der Grenzen");
  EXPECT_EQ(pt::Messages()[1].text, "jenseits der Grenzen");
  EXPECT_EQ(w->TermBlocks[0].terms[0], "1/");
  // "Löschen" removes the term label.
  pt::ExpectDialog("NEWTEXT1", [](plat::Dialog& d) { d.Press(52); });
  w->EvRButtonDown(0, {at.x + 3, at.y + 3});
  EXPECT_TRUE(w->TermLabels.empty());
}

TEST_F(Labels2Test, PasteModeInsertsPicturesFromTheClipboardAndDragsThem) {
  TPlot2Win* w = MakeWindow();
  plat::clipboard::Clear();
  const plat::DeviceCaps caps = plat::ClientDC(*w).Caps();
  plat::EmfDC dc(caps, MetafileFrame(caps, 80, 40, 1), plat::EmfDescription("Zeichner", "Bild"));
  dc.FillRect({0, 0, 80, 40}, plat::SolidBrush(plat::Rgb(255, 128, 0)));
  ASSERT_TRUE(plat::clipboard::SetMetafile(dc.Close()));
  RightClick(w, kCmMousePaste, {50, 60}, "", nullptr);
  ASSERT_EQ(w->Pictures.size(), 1u);
  EXPECT_EQ(w->Surface().GetPixel(90, 80), plat::Rgb(255, 128, 0));
  LeftDrag(w, {60, 70}, {160, 170});
  EXPECT_EQ(w->Surface().GetPixel(190, 180), plat::Rgb(255, 128, 0));
  EXPECT_NE(w->Surface().GetPixel(90, 80), plat::Rgb(255, 128, 0));
}

TEST_F(Labels2Test, LabelsTermsAndPicturesAreThereAgainAfterSaveAndOpen) {
  TPlot2Win* a = MakeWindow();
  RightClick(a, kCmMouseText, {100, 80}, "NEWTEXT", [](plat::Dialog& d) {
    d.SetItemText(211, "gespeichert");
    d.SetItemText(214, "30");
    d.SetCheck(252, false);
    d.SetCheck(251, true);
    d.Press(1);
  });
  RightClick(a, kCmMouseTerms, {200, 200}, "NEWTEXT1", [](plat::Dialog& d) {
    d.SetItemText(211, "3/4");
    d.Press(1);
  });
  plat::clipboard::Clear();
  const plat::DeviceCaps caps = plat::ClientDC(*a).Caps();
  plat::EmfDC dc(caps, MetafileFrame(caps, 30, 30, 1), plat::EmfDescription("Zeichner", "Bild"));
  dc.FillRect({0, 0, 30, 30}, plat::SolidBrush(plat::Rgb(0, 128, 128)));
  ASSERT_TRUE(plat::clipboard::SetMetafile(dc.Close()));
  RightClick(a, kCmMousePaste, {300, 50}, "", nullptr);
  const std::string path = kvtest::MakeTempDir("labels") + "beschriftet.kv2";
  a->FileData.FileName = path;
  ASSERT_TRUE(a->WriteFile());

  TPlot2Win* b = MakeWindow();
  b->FileData.FileName = path;
  ASSERT_EQ(b->OpenFile(), 0);
  Settle(b);
  ASSERT_EQ(b->TextLabels.size(), 1u);
  EXPECT_EQ(b->TextLabels[0].text, "gespeichert");
  EXPECT_EQ(b->TextLabels[0].font.escapement, 300);
  EXPECT_EQ(b->TextLabels[0].binding, kBindFrame);
  ASSERT_EQ(b->TermLabels.size(), 1u);
  EXPECT_EQ(b->GetTextString(b->TermLabels[0]), "0.750");
  ASSERT_EQ(b->Pictures.size(), 1u);
  EXPECT_EQ(b->Pictures[0].metafile, a->Pictures[0].metafile);
  EXPECT_EQ(b->Surface().GetPixel(310, 60), plat::Rgb(0, 128, 128));
}

// The scene of the export tests: axes with labels, the grid, x·sin(x),
// tan(x) with its gaps, and a label.
class Metafile2Test : public Labels2Test {
 protected:
  TPlot2Win* Scene() {
    TPlot2Win* w = MakeWindow();
    w->GridBits = kGridRectangular | kGridQuadrant1 | kGridQuadrant2 | kGridQuadrant3 | kGridQuadrant4;
    w->LabelsShown = 1;
    xsin = w->AppendEquation(kKindExplicit, {"", "xsin(x)"});
    tan = w->AppendEquation(kKindExplicit, {"", "tan(x)"});
    TTextLabel l;
    l.text = "Beschriftung";
    l.font = w->FontSlots[4];
    l.pointSize = static_cast<std::int16_t>(w->FontPointSizes[4]);
    l.anchorX = -4;
    l.anchorY = 3;
    w->TextLabels = {l};
    w->InvalidatePlot();
    Settle(w);
    return w;
  }
  int xsin = -1;
  int tan = -1;
};

TEST_F(Labels2Test, TheMenusOfferTheLabelAndMetafileCommands) {
  TPlot2Win* w = MakeWindow();
  for (int id : {kCmCopyMetafile, kCmEmfFile, kCmHighResolution}) EXPECT_TRUE(w->IsMenuItemEnabled(id)) << id;
  for (int id : {kCmDeleteTexts, kCmToggleTexts}) EXPECT_FALSE(w->IsMenuItemEnabled(id)) << id;
  EXPECT_FALSE(w->IsMenuItemChecked(kCmHighResolution));
  w->Command(kCmHighResolution);
  EXPECT_TRUE(w->IsMenuItemChecked(kCmHighResolution));
  // Strg+C copies the plot as a metafile.
  bool ctrlC = false;
  for (const auto& a : plat::res::FindAccelerators("PLOT2MENU")->entries)
    ctrlC = ctrlC || (a.key == 'C' && a.id == kCmCopyMetafile);
  EXPECT_TRUE(ctrlC);
  plat::clipboard::Clear();
  w->Command(kCmCopyMetafile);
  EXPECT_TRUE(plat::clipboard::HasMetafile());
}

TEST_F(Metafile2Test, PlayedBackTheMetafileShowsTheCurvesWhereTheScreenDoes) {
  TPlot2Win* w = Scene();
  const plat::EnhMetafile m = w->RecordMetafile(1);
  ASSERT_FALSE(m.IsNull());
  const plat::Bitmap& screen = w->Surface();
  const plat::Bitmap picture = plat::RenderEnhMetafile(m, screen.Width(), screen.Height());
  ASSERT_FALSE(picture.IsNull());
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, xsin), picture, 2), 0.9);
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, tan), picture, 2), 0.9);
  // The label is recorded as text (UTF-16 in the metafile).
  const std::u16string text = u"Beschriftung";
  const auto& bits = m.Bits();
  const std::string needle(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  EXPECT_NE(std::string(bits.begin(), bits.end()).find(needle), std::string::npos);
  // Nine times the resolution: the same picture, nine times the pixels.
  const plat::EnhMetafile high = w->RecordMetafile(kHighResolutionScale);
  EXPECT_EQ(high.Header().frame.right, 9 * m.Header().frame.right);
  const plat::Bitmap fine = plat::RenderEnhMetafile(high, screen.Width(), screen.Height());
  EXPECT_GT(kvtest::MatchedShare(screen, EntryColour(*w, xsin), fine, 3), 0.9);
}

TEST_F(Metafile2Test, LabelsGoIntoTheSvgExport) {
  TPlot2Win* w = Scene();
  kvtest::ScratchFolder dir;
  const std::string svg = dir.File("scene.svg");
  pt::ExpectFileDialog(svg);
  pt::ExpectDialog("SVG", [](plat::Dialog& d) { d.Press(plat::IDOK); });
  w->Command(kCmExportSvg);
  const std::string text = ReadText(svg);
  EXPECT_NE(text.find("> Beschriftung </text>"), std::string::npos);
}

// A TeX picture of the default 8 cm sets the equation labels in the
// document's font: one below the other, a TeX line (12 pt) apart at least,
// however small the screen's line is against the picture.
TEST_F(Labels2Test, EquationLabelsOfAPictexFileStandATeXLineApart) {
  TPlot2Win* w = MakeWindow();
  for (const char* f : {"-4", "-3.5", "-4.5"}) {
    w->AppendEquation(kKindExplicit, {"", f});
    w->AddEquationLabel();
  }
  Settle(w);
  kvtest::ScratchFolder dir;
  const std::string tex = dir.File("labels.tex");
  pt::ExpectFileDialog(tex);
  pt::ExpectDialog("PICTEX", [](plat::Dialog& d) { d.Press(plat::IDOK); });
  w->Command(kCmExportPictex);
  std::istringstream in(ReadText(tex));
  double yUnitCm = 0;
  std::vector<double> ys;
  for (std::string line; std::getline(in, line);) {
    double xu = 0, yu = 0, x = 0, y = 0;
    if (std::sscanf(line.c_str(), "\\setcoordinatesystem units <%lfcm,%lfcm>", &xu, &yu) == 2) yUnitCm = yu;
    const std::size_t at = line.find("} [lt] at ");
    if (line.rfind("\\put {y = ", 0) == 0 && at != std::string::npos &&
        std::sscanf(line.c_str() + at + 10, "%lf %lf", &x, &y) == 2)
      ys.push_back(y);
  }
  ASSERT_GT(yUnitCm, 0);
  ASSERT_EQ(ys.size(), 3u);
  const double teXLineCm = 12 / 72.27 * 2.54;
  for (std::size_t k = 1; k < ys.size(); ++k)
    EXPECT_GE((ys[k - 1] - ys[k]) * yUnitCm, teXLineCm - 1e-3) << "label " << k;
}

TEST_F(Metafile2Test, InkscapeImportsTheMetafileFile) {
  if (!kvtest::HaveProgram("inkscape")) GTEST_SKIP() << "Inkscape is not installed; scripts/setup installs it";
  TPlot2Win* w = Scene();
  kvtest::ScratchFolder dir;
  const std::string emf = dir.File("scene.emf");
  pt::ExpectFileDialog(emf);
  w->Command(kCmEmfFile);
  ASSERT_TRUE(std::filesystem::exists(emf));
  const std::string png = dir.File("scene.png");
  std::string log;
  const int code = kvtest::RunProgram("HOME='" + dir.Path().string() + "' inkscape --export-type=png --export-filename='" +
                                          png + "' '" + emf + "'",
                                      log);
  EXPECT_EQ(code, 0) << log;
  ASSERT_TRUE(std::filesystem::exists(png)) << log;
  EXPECT_GT(std::filesystem::file_size(png), 1000u);
}

}  // namespace
}  // namespace kv::test2d
