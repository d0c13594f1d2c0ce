// The EPS, SVG and PiCTeX writers on their own: the rules of each figure,
// and one fixed scene per writer compared byte for byte with golden files
// (CR LF line ends included).  Set KURVATO_UPDATE_GOLDEN=1 to rewrite them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/eps_writer.h"
#include "graphics/export_text.h"
#include "graphics/gapped_polyline.h"
#include "graphics/pictex_writer.h"
#include "graphics/svg_writer.h"

namespace kv {
namespace {

const plat::Colour kBlack = plat::Rgb(0, 0, 0);
const plat::Colour kRed = plat::Rgb(255, 0, 0);
const plat::Colour kGreen = plat::Rgb(0, 255, 0);

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      out.push_back(text.substr(start) + "<no CR LF>");
      break;
    }
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

// ---- gapped polylines ----

struct GapCase {
  std::vector<std::uint8_t> flags;
  int mode;
  std::vector<std::int32_t> runs;
  std::vector<int> drawn;  // i of the drawn segments i-1 .. i
};

TEST(GappedPolyline, RunNumbersAndTheSegmentRule) {
  const GapCase cases[] = {
      {{0, 0, 0, 0, 0}, 1, {0, 1, 0, 1, 0}, {1, 3}},
      {{1, 1, 0, 0, 0, 1, 1}, 1, {-1, -1, 0, 1, 0, -1, -1}, {1, 3, 6}},
      {{1, 1, 0, 0, 0, 1, 1}, 0, {-1, -1, 0, 1, 0, -1, -1}, {1, 2, 3, 4, 5, 6}},
      {{1, 1, 0, 0, 0, 1, 1}, 2, {-1, -1, 0, 1, 0, -1, -1}, {1, 6}},
      {{1}, 1, {-1}, {}},
  };
  for (const GapCase& c : cases) {
    std::vector<std::int32_t> runs;
    const int last = static_cast<int>(c.flags.size()) - 1;
    BreakRuns(runs, c.flags.data(), last);
    EXPECT_EQ(runs, c.runs);
    std::vector<int> drawn;
    for (int i = 1; i <= last; ++i)
      if (GappedSegmentDrawn(runs, i, c.mode)) drawn.push_back(i);
    EXPECT_EQ(drawn, c.drawn) << "mode " << c.mode;
  }
}

// ---- text escapes ----

TEST(ExportText, EachFormatGetsTextsItCanRead) {
  EXPECT_EQ(EscapeXml("a<b & \"c\" > 'd'"), "a&lt;b &amp; &quot;c&quot; &gt; &apos;d&apos;");
  EXPECT_EQ(EscapeXml("x\x01y"), "x?y");
  EXPECT_EQ(EscapeXml("5 °C"), "5 °C");  // UTF-8 stays as it is
  EXPECT_EQ(EscapePostScript("f(x) = a\\b"), "f\\(x\\) = a\\\\b");
  EXPECT_EQ(EscapePostScript("5 °, ä – b"), "5 \\260, \\344 - b");
  EXPECT_TRUE(NeedsLatin1("ä"));
  EXPECT_FALSE(NeedsLatin1("abc"));
  EXPECT_EQ(EscapeTex("50% & $x_1$ #{}", false), "50\\% \\& \\$x\\_1\\$ \\#\\{\\}");
  EXPECT_EQ(EscapeTex("a\\b~c^d", true), "a{\\tt\\char92}b{\\tt\\char126}c{\\tt\\char94}d");
  EXPECT_EQ(EscapeTex("Größe 5°", false), "Gr\\\"o\\ss{}e 5$^\\circ$");
  EXPECT_EQ(EscapeTex("ä 5°", true), "\\hbox{\\\"a} 5^\\circ");
  EXPECT_EQ(EscapeTex("€", false), "?");
  plat::LocalTime t;
  t.year = 2025;
  t.month = 3;
  t.day = 3;
  EXPECT_EQ(GermanLongDate(t), "Montag, 3. März 2025");
  t.year = 2024;
  t.month = 2;
  t.day = 29;
  EXPECT_EQ(GermanLongDate(t), "Donnerstag, 29. Februar 2024");
}

// ---- EPS ----

TEpsPageSetup Page(int w, int h, int dpi) {
  TEpsPageSetup s;
  s.clientWidth = w;
  s.clientHeight = h;
  s.pixelsPerInch = dpi;
  s.world = {-5, 5, -3.75L, 3.75L};
  s.unitsPerPixelX = 10.0L / (w - 1);
  return s;
}

TEST(EpsWriter, PageSizeAndDashStatementsFollowTheScreen) {
  struct Case {
    int w, h, dpi;
    long double pw, ph;
    std::vector<std::string> dashes;
  };
  const Case cases[] = {
      {801, 601, 96, 600, 450, {"[] 0 setdash", "[3 3] 0 setdash", "[15 5] 0 setdash", "[2 4 6 4] 0 setdash",
                                "[2 2 6 2 2 2] 0 setdash"}},
      {640, 480, 96, 480, 360, {}},
      {801, 601, 72, 800, 600, {"[] 0 setdash", "[4 4] 0 setdash", "[21 7] 0 setdash", "[2 4 6 4] 0 setdash",
                                "[3 3 9 3 3 3] 0 setdash"}},
      {1, 1, 96, 1, 1, {}},  // a client below 2 pixels counts as 2
  };
  for (const Case& c : cases) {
    TEpsWriter e;
    e.SetupPage(Page(c.w, c.h, c.dpi));
    EXPECT_EQ(e.PageWidth(), c.pw) << c.w;
    EXPECT_EQ(e.PageHeight(), c.ph) << c.w;
    for (int s = 0; s < static_cast<int>(c.dashes.size()); ++s) EXPECT_EQ(e.DashStatement(s), c.dashes[s]);
  }
}

TEST(EpsWriter, FiguresAreWrittenByTheirTemplates) {
  TEpsWriter e;
  e.SetupPage(Page(641, 481, 96));  // 480 x 360 points
  e.WriteEpsLine({-5, -3.75L}, {5, 3.75L}, kBlack, 1, 0);
  EXPECT_EQ(Lines(e.Text()), (std::vector<std::string>{"0.0000 0.0000 0.0000 setrgbcolor", "0.16 setlinewidth",
                                                        "[] 0 setdash", "newpath", "0.000 0.000 moveto",
                                                        "480.000 360.000 lineto", "stroke"}));
  e.Text().clear();
  e.WriteEpsLine({0, 0}, {1, 1}, kGreen, 3, 5);
  e.WriteEpsLine({0, 0}, {1, 1}, kGreen, 3, -1);
  const TPoint2D one[1] = {{0, 0}};
  e.WriteEpsPolyline(one, 0, kGreen, 1);
  EXPECT_EQ(e.Text(), "");
  e.WriteEpsLine({0, 0}, {1, 1}, kGreen, 3, 1);
  EXPECT_EQ(Lines(e.Text())[0], "0.0000 1.0000 0.0000 setrgbcolor");
  EXPECT_EQ(Lines(e.Text())[1], "0.48 setlinewidth");

  // A filled circle without outline: comment, path, fill, no stroke.
  e.Text().clear();
  e.WriteEpsCircle({0, 0}, 1, 1, kRed, std::nullopt);
  EXPECT_EQ(Lines(e.Text()), (std::vector<std::string>{"%begin circle fill", "newpath",
                                                        "240.000 180.000 48.000 0 360 arc", "gsave",
                                                        "1.0000 0.0000 0.0000 setrgbcolor", "fill", "grestore"}));
  e.Text().clear();
  e.WriteEpsCircle({0, 0}, 1, 1, std::nullopt, kRed);
  EXPECT_EQ(e.Text().find("gsave"), std::string::npos);
  EXPECT_EQ(e.Text().find("%begin"), std::string::npos);
  e.Text().clear();
  e.WriteEpsCircle({0, 0}, 1, 1, std::nullopt, std::nullopt);
  EXPECT_EQ(e.Text(), "");

  // Rectangles: no arcs without a radius; width 0 outlined with 0.16;
  // white with a negative width writes nothing.
  e.WriteEpsRoundRect({-1, 1}, {1, -1}, false, kRed, 0, kBlack, 0);
  const auto rect = Lines(e.Text());
  EXPECT_EQ(rect[1], "288.000 228.000 moveto");
  EXPECT_EQ(std::count(rect.begin(), rect.end(), "0.16 setlinewidth"), 1);
  EXPECT_EQ(e.Text().find("arc"), std::string::npos);
  e.Text().clear();
  e.WriteEpsRoundRect({-1, 1}, {1, -1}, false, kRed, 1, kBlack, 0.5L);
  EXPECT_EQ(Lines(e.Text())[1], "288.000 204.000 moveto");  // right edge, r below the top
  EXPECT_EQ(Lines(e.Text())[2], "264.000 204.000 24.000 0 90 arc");
  e.Text().clear();
  e.WriteEpsRoundRect({-1, 1}, {1, -1}, true, kRed, -1, kBlack, 0);
  const TPoint2D tri[3] = {{0, 0}, {1, 0}, {0, 1}};
  e.WriteEpsPolygon(tri, 3, true, kRed, -1, kBlack);
  e.WriteEpsMarker({0, 0}, 14, 3, kRed);
  EXPECT_EQ(e.Text(), "");

  // The cross-hair spans the view.
  e.WriteEpsMarker({1, 1}, 13, 3, kRed);
  const auto hair = Lines(e.Text());
  EXPECT_EQ(hair[1], "288.000 0.000 moveto");
  EXPECT_EQ(hair[2], "288.000 360.000 lineto");
  EXPECT_EQ(hair[3], "0.000 228.000 moveto");
  EXPECT_EQ(hair[4], "480.000 228.000 lineto");
  EXPECT_EQ(hair[6], "0.32 setlinewidth");

  // Rotated italic text, escaped.
  e.Text().clear();
  e.WriteEpsTextWithFont({0, 0}, "f(x)", kBlack, "Times New Roman", 10, true, 455);
  EXPECT_EQ(Lines(e.Text()), (std::vector<std::string>{"/Times-New-Roman-Italic findfont", "10 scalefont setfont",
                                                        "240.000 180.000 moveto", "45 rotate",
                                                        "0.0000 0.0000 0.0000 setrgbcolor", "(f\\(x\\)) show",
                                                        "-45 rotate"}));
  // Umlauts use a Latin-1 copy of the font, defined once.
  e.Text().clear();
  e.WriteEpsTextWithFont({0, 0}, "ä", kBlack, "Arial", 10, false, 0);
  e.WriteEpsTextWithFont({0, 0}, "ö", kBlack, "Arial", 10, false, 0);
  std::size_t definitions = 0;
  for (std::size_t k = e.Text().find("definefont"); k != std::string::npos; k = e.Text().find("definefont", k + 1))
    ++definitions;
  EXPECT_EQ(definitions, 1u);
  EXPECT_NE(e.Text().find("/Arial-Latin1 findfont"), std::string::npos);
}

TEST(EpsWriter, TextStandsOnItsBaseline) {
  // Left and top at the anchor: the baseline 7/9 of the height below it.
  EXPECT_EQ(TextBaselinePoint(100, 50, 40, 18, 0, 1, -1), (plat::Point{100, 64}));
  // Centred below: half the width to the left, the top at the anchor.
  EXPECT_EQ(TextBaselinePoint(100, 50, 40, 18, 0, 0, -1), (plat::Point{80, 64}));
  // Ending at the anchor, standing on it.
  EXPECT_EQ(TextBaselinePoint(100, 50, 40, 18, 0, -1, 1), (plat::Point{60, 46}));
  // Turned by 90 degrees the baseline offset goes to the right.
  EXPECT_EQ(TextBaselinePoint(100, 50, 40, 18, 900, 1, -1), (plat::Point{114, 50}));
}

// ---- SVG ----

TEST(SvgWriter, HeaderElementsPatternsAndTexts) {
  TSvgWriter s;
  s.WriteHeader(640, 480, "ZORkin <2D>");
  const auto head = Lines(s.Text());
  ASSERT_EQ(head.size(), 9u);
  EXPECT_EQ(head[0], "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>");
  EXPECT_EQ(head[3], "width=\"640\" height=\"480\"");
  EXPECT_EQ(head[4], "viewBox=\"0 0 640 480\" preserveAspectRatio=\"defer xMidYMid\"");
  EXPECT_EQ(head[8], "<title>ZORkin &lt;2D&gt;</title>");

  s.Text().clear();
  s.WriteSvgLine({1, 2}, {3, 4}, kRed, 0, 2);
  EXPECT_EQ(s.Text(),
            "<line x1=\"1\" y1=\"2\" x2=\"3\" y2=\"4\" stroke=\"#ff0000\" stroke-width=\"1px\" "
            "stroke-dasharray=\"20,8\" />\r\n");
  s.Text().clear();
  const plat::Point two[2] = {{10, 20}, {30, 40}};
  s.WriteSvgPath(two, 1, kBlack, 0);
  EXPECT_EQ(s.Text(), "<path d=\"M 10 20 L 30 40\" fill=\"none\" stroke=\"#000000\" stroke-width=\"0px\" />\r\n");

  // Pattern ids count per document; after 999 the fill stays solid.
  s.Text().clear();
  const plat::Point tri[3] = {{0, 0}, {10, 0}, {0, 10}};
  s.WriteSvgPolygon(tri, 3, false, kRed, 1, kRed, 3);
  s.WriteSvgPolygon(tri, 3, false, kRed, 1, kRed, 5);
  EXPECT_NE(s.Text().find("<pattern id=\"fpat000\" patternUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" width=\"10\""),
            std::string::npos);
  EXPECT_NE(s.Text().find("fill=\"url(#fpat001)\""), std::string::npos);
  for (int k = 2; k < 999; ++k) s.WriteSvgPolygon(tri, 3, false, kRed, 1, kRed, 2);
  s.Text().clear();
  s.WriteSvgPolygon(tri, 3, false, kRed, 1, kRed, 2);
  EXPECT_EQ(s.Text(), "<polygon fill=\"#ff0000\" stroke=\"#ff0000\" stroke-width=\"1px\" points=\"0,0 10,0 0,10\" />\r\n");

  // Rotated text in a group; font size in pixels; escaped.
  s.Text().clear();
  s.WriteSvgText(50, 60, "a<b", kBlack, "Arial", 10, 700, true, 900);
  EXPECT_EQ(Lines(s.Text()),
            (std::vector<std::string>{"<g transform=\"translate(50,60) rotate(-90)\">",
                                      "<text x=\"0\" y=\"0\" font-family=\"Arial\" font-size=\"13\" font-weight=\"700\" "
                                      "font-style=\"italic\" fill=\"#000000\" text-anchor=\"start\"> a&lt;b </text>",
                                      "</g>"}));
  // Marker 6 is two elements, 14 none.
  s.Text().clear();
  s.WriteSvgMarker(5, 5, 6, 2, kRed);
  EXPECT_EQ(Lines(s.Text()).size(), 2u);
  s.Text().clear();
  s.WriteSvgMarker(5, 5, 14, 2, kRed);
  s.WriteSvgRect(0, 0, 5, 5, true, kRed, -1, kRed, 0, 0);
  s.WriteSvgCircle(0, 0, 5, std::nullopt, 1, std::nullopt, 0);
  EXPECT_EQ(s.Text(), "");
}

// ---- PiCTeX ----

TPictexSetup TeX(int mode) {
  TPictexSetup t;
  t.mode = mode;
  t.boxNumber = 1;
  t.widthCm = 8;
  t.decimals = 5;
  t.world = {-5, 5, -3.75L, 3.75L};
  t.clientWidth = 401;
  t.clientHeight = 301;
  t.unitsPerPixelX = 0.025L;
  return t;
}

TEST(PictexWriter, PreambleOfEachModeAndTheEnd) {
  struct Case {
    int mode;
    std::string start;
    std::string end;
  };
  const Case cases[] = {
      {0, "\\font\\fiverm = cmr5\r\n\\input pictex\r\n\\setbox1=\\vbox{\r\n\\beginpicture\r\n", "\\endpicture}\r\n"},
      {1,
       "\\font\\fiverm = cmr5\r\n\\input prepictex\r\n\\input pictex\r\n\\input postpictex\r\n\\setbox1=\\vbox{\r\n"
       "\\beginpicture\r\n",
       "\\endpicture}\r\n"},
      {2, "\\input pictex\r\n\\beginpicture\r\n", "\\endpicture\r\n"},
      {3, "\\beginpicture\r\n", "\\endpicture\r\n"},
  };
  for (const Case& c : cases) {
    TPictexWriter p;
    EXPECT_TRUE(p.WritePreamble(TeX(c.mode)));
    EXPECT_EQ(p.Text().substr(0, c.start.size()), c.start);
    // hx = 5 and 8 cm: 0.80000 cm per unit in x.
    EXPECT_NE(p.Text().find("\\setcoordinatesystem units <0.80000cm,"), std::string::npos);
    p.WriteEnd();
    EXPECT_EQ(p.Text().substr(p.Text().size() - c.end.size()), c.end);
  }
  // A unit the decimals cannot hold within 10 %.
  TPictexWriter p;
  TPictexSetup t = TeX(3);
  t.decimals = 0;
  EXPECT_FALSE(p.WritePreamble(t));
}

TEST(PictexWriter, LinesRulesListsAndMarkers) {
  TPictexWriter p;
  p.WritePreamble(TeX(3));
  p.Text().clear();
  p.WritePictexLine({0, 0}, {0.004L, 0}, 2);  // under a fifth of a pixel
  EXPECT_EQ(p.Text(), "");
  p.WritePictexLine({0, 0}, {1, 0}, 2);
  EXPECT_EQ(p.Text(), "\\setdots <2pt>\r\n\\putrule from 0.00000 0.00000 to 1.00000 0.00000\r\n\\setsolid\r\n");
  p.Text().clear();
  p.WritePictexLine({0, 0}, {9, 0}, 2);  // an end outside the view
  EXPECT_EQ(p.Text(), "\\setdots <2pt>\r\n\\setsolid\r\n");
  p.Text().clear();
  p.WritePictexLine({0, 0}, {1, 1}, 0);
  EXPECT_EQ(p.Text(), "\\plot 0.00000 0.00000 1.00000 1.00000 /\r\n");
  p.Text().clear();
  const TPoint2D pts[3] = {{0, 0}, {1, 1}, {2, 0}};
  p.WritePictexPolyline(pts, 0);
  const std::uint8_t flags[3] = {1, 0, 1};
  p.WritePictexGappedPolyline(pts, flags, 2, 1);  // every segment skipped
  EXPECT_EQ(p.Text(), "");
  p.WritePictexPolyline(pts, 2);
  EXPECT_EQ(p.Text(), "\\plot \r\n0.00000 0.00000\r\n1.00000 1.00000\r\n2.00000 0.00000\r\n/\r\n");
  p.Text().clear();
  p.WritePictexMarker({1, 2}, 3, false);
  EXPECT_EQ(p.Text(), "\\put {$\\scriptstyle\\bullet$} at 1.00000 2.00000\r\n");
  EXPECT_EQ(p.PictexMarkerSymbol(0, false), "\\put {\\fiverm .} at ");
  EXPECT_EQ(p.PictexMarkerSymbol(1, true), "\\put {$\\scriptscriptstyle\\circ$} at ");
  // A point pattern stands after what was written while it was open; an
  // empty one writes nothing.
  p.Text().clear();
  p.BeginPictexPattern();
  p.EndPictexPattern();
  p.BeginPictexPattern();
  p.AddPictexPatternPoint({1, 2});
  p.WritePictexMarker({1, 2}, 0, false);
  p.AddPictexPatternPoint({-1, 0.5L});
  p.EndPictexPattern();
  EXPECT_EQ(p.Text(), "\\put {\\fiverm .} at 1.00000 2.00000\r\n"
                      "\\multiput {\\phantom{.}} at\r\n1.00000 2.00000\r\n-1.00000 0.50000\r\n/\r\n");
  p.Text().clear();
  p.WritePictexText("x_1 & 50%", "[lt]", {0, 0}, true);
  EXPECT_EQ(p.Text(), "\\put {$x\\_1 \\& 50\\%$} [lt] at 0.00000 0.00000\r\n");
}

TEST(PictexWriter, LongPointListsAreWrittenInPiecesAndNeverOverflow) {
  TPictexWriter p;
  TPictexSetup t = TeX(3);
  t.world = {-1e60L, 1e60L, -1e60L, 1e60L};
  p.WritePreamble(t);
  p.Text().clear();
  std::vector<TPoint2D> pts;
  for (int k = 0; k < 2000; ++k) pts.push_back({k * 1e57L, -k * 1e57L});  // lines of about 140 bytes
  p.WritePictexPolyline(pts.data(), 1999);
  EXPECT_EQ(std::count(p.Text().begin(), p.Text().end(), '\n'), 2002);
  EXPECT_EQ(p.Text().substr(p.Text().size() - 3), "/\r\n");
}

TEST(PictexWriter, ShadeGridAndShadedPolygons) {
  struct Span {
    int style;
    std::string line;
  };
  const Span spans[] = {{0, "\\setshadegrid span <0.2pt>\r\n"},   {2, "\\setshadegrid span <1.7600000pt>\r\n"},
                        {3, "\\setshadegrid span <1.9200000pt>\r\n"}, {6, "\\setshadegrid span <1.4000000pt>\r\n"},
                        {24, "\\setshadegrid span <1.3200000pt>\r\n"}, {25, "\\setshadegrid span <1.7600000pt>\r\n"},
                        {-1, "\\setshadegrid span <1.0000000pt>\r\n"}};
  for (const Span& s : spans) {
    TPictexWriter p;
    EXPECT_TRUE(p.WritePictexShadeGrid(s.style));
    EXPECT_EQ(p.Text(), s.line);
  }
  TPictexWriter p;
  p.WritePreamble(TeX(3));
  p.Text().clear();
  EXPECT_FALSE(p.WritePictexShadeGrid(1));
  const TPoint2D up[3] = {{0, 1}, {-0.3L, 0}, {0.3L, 0}};
  EXPECT_FALSE(p.WritePictexShadedPolygon(up, 3, true, 1));  // hatch style 1 never shades
  p.Text().clear();
  // A head pointing up shades vertically.
  p.WritePictexArrow({0, 1}, {0, 1}, 1, true, true, {-0.3L, -1}, {0.3L, -1});
  EXPECT_EQ(Lines(p.Text()), (std::vector<std::string>{"\\setshadegrid span <0.2pt>",
                                                        "\\vshade -0.300000 0.000000 0.000000",
                                                        " 0.000000 0.000000 1.000000", " 0.300000 0.000000 0.000000",
                                                        " /"}));
  // One pointing right fails as \vshade and is written as \hshade, the
  // first shade-grid line staying.
  p.Text().clear();
  p.WritePictexArrow({1, 0}, {1, 0}, 1, true, true, {-1, 0.3L}, {-1, -0.3L});
  const auto right = Lines(p.Text());
  EXPECT_EQ(std::count(right.begin(), right.end(), "\\setshadegrid span <0.2pt>"), 2);
  EXPECT_EQ(right[2].substr(0, 7), "\\hshade");
  // An upper boundary with a vertical step cannot be shaded vertically.
  p.Text().clear();
  const TPoint2D step[6] = {{0, 0}, {2, 0}, {2, 2}, {1, 2}, {1, 1}, {0, 1}};
  EXPECT_FALSE(p.WritePictexShadedPolygon(step, 6, true, 0));
  EXPECT_EQ(p.Text().find("vshade"), std::string::npos);
  // An open arrow is an \arrow command.
  p.Text().clear();
  p.WritePictexArrow({1, 0}, {2, 1}, 0.5L, false, false, {}, {});
  EXPECT_EQ(p.Text(), "\\arrow <0.400cm> [0.500,0.900] from 1.00000 1.00000 to 2.00000 1.00000\r\n");
  // Its shape is the window's, as a plot file may have brought it.
  TPictexSetup shaped = TeX(3);
  shaped.arrowBeta = 0.25L;
  shaped.arrowGamma = 0.7L;
  p.WritePreamble(shaped);
  p.Text().clear();
  p.WritePictexArrow({1, 0}, {2, 1}, 0.5L, false, false, {}, {});
  EXPECT_EQ(p.Text().substr(0, 30), "\\arrow <0.400cm> [0.250,0.700]");
}

// ---- golden scenes ----

std::filesystem::path GoldenDir() { return KURVATO_GOLDEN_DIR; }

void CompareWithGolden(const std::string& name, const std::string& text) {
  const std::filesystem::path path = GoldenDir() / name;
  if (std::getenv("KURVATO_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << text;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  std::ostringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(text, golden.str()) << name;
}

// The same small scene for each writer: a 401 x 301 client at 96 pixels
// per inch showing [-5, 5] x [-3.75, 3.75].
const TPoint2D kCurve[6] = {{-4, -2}, {-3, -1}, {-2, 0.5L}, {-1, 1}, {0, 0.5L}, {1, -1}};
const std::uint8_t kFlags[6] = {1, 1, 0, 0, 0, 1};
const TPoint2D kArea[4] = {{1, 0}, {3, 0}, {3, 2}, {1, 1}};

TEST(ExportGolden, EpsScene) {
  TEpsWriter e;
  TEpsPageSetup s = Page(401, 301, 96);
  e.SetupPage(s);
  e.WriteHeader("ZORkin 2D plotter", "Unbenannt1.kv2", "Montag, 3. März 2025");
  e.WriteEpsRoundRect({-5, 3.75L + 0.025L}, {5 + 0.025L, -3.75L}, false, plat::Rgb(255, 255, 255), -1, kBlack, 0);
  e.WriteEpsLine({-5, 0}, {5, 0}, kBlack, 1, 0);
  e.WriteEpsLine({0, -3.75L}, {0, 3.75L}, kBlack, 1, 3);
  e.WriteEpsPolyline(kCurve, 5, kRed, 2);
  e.WriteEpsGappedPolyline(kCurve, kFlags, 5, plat::Rgb(0, 0, 255), 1, 0, 1);
  // A dashed one keeps its dashes.
  e.WriteEpsGappedPolyline(kArea, kFlags, 3, kGreen, 2, 2, 1);
  e.WriteEpsPolygon(kArea, 4, false, kGreen, 0, kGreen);
  e.WriteEpsCircle({2, -2}, 0.25L, 1, kRed, kBlack);
  for (int m = 0; m <= 13; ++m) e.WriteEpsMarker({-4.5L + 0.6L * m, -3}, m, 3, kBlack);
  e.WriteExportLine("labels");
  e.WriteEpsTextWithFont({0.1L, 3.4L}, "y", kBlack, "Arial", 10, false, 0);
  e.WriteEpsTextWithFont({4.5L, 0.1L}, "x (cm)", kBlack, "Times New Roman", 12, true, 900);
  e.WriteTrailer();
  CompareWithGolden("scene.eps", e.Text());
}

TEST(ExportGolden, SvgScene) {
  TSvgWriter s;
  s.SetClientSize(401, 301);
  s.WriteHeader(401, 301, "ZORkin 2D plotter");
  s.WriteSvgRect(0, 0, 401, 301, false, plat::Rgb(255, 255, 255), -1, kBlack, 0, 0);
  s.WriteSvgLine({0, 150}, {400, 150}, kBlack, 1, 0);
  s.WriteSvgLine({200, 0}, {200, 300}, kBlack, 1, 3);
  std::vector<plat::Point> px;
  for (const TPoint2D& p : kCurve) px.push_back({static_cast<int>(200 + 40 * p.x), static_cast<int>(150 - 40 * p.y)});
  s.WriteSvgPath(px.data(), 5, kRed, 2);
  s.WriteSvgGappedPolyline(px.data(), kFlags, 5, plat::Rgb(0, 0, 255), 1, 1);
  const plat::Point area[4] = {{240, 150}, {320, 150}, {320, 70}, {240, 110}};
  s.WriteSvgPolygon(area, 4, false, kGreen, 0, kGreen, 3);
  s.WriteSvgPolygon(area, 4, false, kGreen, 0, kGreen, 2);
  s.WriteSvgCircle(280, 230, 10, kBlack, 1, kRed, 0);
  for (int m = 0; m <= 13; ++m) s.WriteSvgMarker(20 + 24 * m, 270, m, 3, kBlack);
  s.WriteComment("labels -- axis names");
  s.WriteSvgText(204, 14, "y", kBlack, "Arial", 10, 400, false, 0);
  s.WriteSvgText(380, 146, "x & \"cm\"", kBlack, "Times New Roman", 12, 700, true, 900);
  s.WriteTrailer();
  CompareWithGolden("scene.svg", s.Text());
}

TEST(ExportGolden, PictexScenes) {
  for (int mode = 0; mode < 4; ++mode) {
    TPictexWriter p;
    p.WritePreamble(TeX(mode));
    p.WritePictexShadeSymbol();
    p.WritePictexRule({-5, 0}, {5, 0});
    p.WritePictexLineStyle(3, false);
    p.WritePictexRule({0, -3.75L}, {0, 3.75L});
    p.WritePictexLineStyle(3, true);
    p.WritePictexPolyline(kCurve, 5);
    p.WritePictexGappedPolyline(kCurve, kFlags, 5, 1);
    p.WritePictexShadedPolygon(kArea, 4, true, 3);
    p.WritePictexArrow({0.5L, 0}, {5, 0}, 0.5L, false, false, {}, {});
    p.WritePictexArrow({0, 0.5L}, {0, 3.75L}, 0.5L, true, true, {-0.15L, -0.5L}, {0.15L, -0.5L});
    for (int m = 0; m <= 5; ++m) p.WritePictexMarker({-4.5L + m, -3}, m, m % 2 == 1);
    p.WritePictexText("y", "[lt]", {0.1L, 3.6L}, true);
    p.WritePictexText("Fläche 50%", "[b]", {2, 2.2L}, false);
    p.WriteEnd();
    CompareWithGolden("scene-mode" + std::to_string(mode) + ".tex", p.Text());
  }
}

}  // namespace
}  // namespace kv
