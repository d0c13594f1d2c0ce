#include "graphics/eps_writer.h"

#include <cmath>

#include "graphics/export_text.h"
#include "graphics/gapped_polyline.h"
#include "core/constants.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string Width(int width) { return FormatNumber(width * 0.16L, 4, 2); }

// Whole points: the integer part, plus one when that is less.
long double RoundUp(long double v) {
  const long double t = std::trunc(v);
  return t < v ? t + 1 : t;
}

// A PostScript name: characters that end a name token become '-'.
std::string FontName(std::string_view face) {
  std::string name;
  CopyBlanksToDashes(name, face);
  for (char& c : name)
    if (c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' ||
        c == '/' || c == '%' || static_cast<unsigned char>(c) < 33 || static_cast<unsigned char>(c) > 126)
      c = '-';
  if (name.empty()) name = "Helvetica";
  return name;
}

}  // namespace

std::string FormatEpsColour(plat::Colour c) {
  return FormatNumber(plat::RedOf(c) / 255.0L, 6, 4) + " " + FormatNumber(plat::GreenOf(c) / 255.0L, 6, 4) + " " +
         FormatNumber(plat::BlueOf(c) / 255.0L, 6, 4);
}

plat::Point TextBaselinePoint(int x, int y, int width, int height, int escapement, int hAlign, int vAlign) {
  long double fh = (1 - hAlign) * 0.5L;
  long double fv = (vAlign + 1) * 0.5L;
  long double a = 0;
  if (escapement != 0) {
    a = escapement * Pi / 180 / 10;
    fh *= std::cos(a);
    fv *= std::sin(a);
  }
  const int x0 = RoundToInt(x - fh * width);
  const int y0 = RoundToInt(y - fv * height);
  const int k = 7 * height / 9;
  if (escapement == 0) return {x0, y0 + k};
  return {RoundToInt(x0 + k * std::sin(a)), RoundToInt(y0 + k * std::cos(a))};
}

void TEpsWriter::SetupPage(const TEpsPageSetup& s) {
  const int cw = s.clientWidth < 2 ? 2 : s.clientWidth;
  const int ch = s.clientHeight < 2 ? 2 : s.clientHeight;
  const int ppi = s.pixelsPerInch > 0 ? s.pixelsPerInch : 96;
  world_ = s.world;
  unitsPerPixelX_ = s.unitsPerPixelX;
  const long double w = (cw - 1) * 72.0L / ppi;
  const long double h = w * (ch - 1) / (cw - 1);
  pageWidth_ = RoundUp(w);
  pageHeight_ = RoundUp(h);
  pointsPerPixel_ = 72.0L / ppi;
  const long double hx = (world_.xmax - world_.xmin) / 2;
  const long double hy = (world_.ymax - world_.ymin) / 2;
  scaleX_ = hx != 0 ? pageWidth_ * 0.5L / hx : 1;
  scaleY_ = hy != 0 ? pageHeight_ * 0.5L / hy : 1;
  auto n = [this](long double factor) {
    int v = static_cast<int>(std::trunc(factor * pointsPerPixel_));
    return v < 2 ? 2 : v;
  };
  auto statement = [](std::initializer_list<int> numbers) {
    std::string s = "[";
    bool first = true;
    for (int v : numbers) {
      if (!first) s += ' ';
      s += std::to_string(v);
      first = false;
    }
    return s + "] 0 setdash";
  };
  const int d1 = n(4.3L), d2 = n(7.8L), d3 = n(2.5L), d4 = n(3.7L);
  dash_[0] = statement({});
  dash_[1] = statement({d1, d1});
  dash_[2] = statement({3 * d2, d2});
  dash_[3] = statement({d3, 2 * d3, 3 * d3, 2 * d3});
  dash_[4] = statement({d4, d4, 3 * d4, d4, d4, d4});
  latin1Fonts_.clear();
}

void TEpsWriter::WriteHeader(std::string_view creator, std::string_view title, std::string_view date) {
  std::string s = "%!PS-Adobe-3.0 EPSF-3.0\r\n";
  s += "%%BoundingBox: 0 0 " + std::to_string(static_cast<long long>(pageWidth_)) + " " +
       std::to_string(static_cast<long long>(pageHeight_)) + kCrLf;
  s += "%%Creator: (" + EscapePostScript(creator) + ")" + kCrLf;
  s += "%%Title: (" + EscapePostScript(title) + ")" + kCrLf;
  s += "%%CreationDate:(" + EscapePostScript(date) + ")" + kCrLf;
  s += "%%Pages: 1\r\n%%Page: 1 1\r\n";
  s += Width(1) + " setlinewidth" + kCrLf;
  out_ += s;
}

TPoint2D TEpsWriter::WorldToEpsPoint(const TPoint2D& p) const {
  return {scaleX_ * (p.x - world_.xmin), scaleY_ * (p.y - world_.ymin)};
}

std::string TEpsWriter::Coordinates(const TPoint2D& world) const {
  const TPoint2D q = WorldToEpsPoint(world);
  return FormatNumber(q.x, 5, 3) + " " + FormatNumber(q.y, 5, 3);
}

void TEpsWriter::WriteEpsPath(const TPoint2D* points, int last, bool closed) {
  std::string s = "newpath\r\n";
  s += Coordinates(points[0]) + " moveto" + kCrLf;
  for (int i = 1; i <= last; ++i) s += Coordinates(points[i]) + " lineto" + kCrLf;
  if (closed) s += Coordinates(points[0]) + " lineto" + kCrLf;
  out_ += s;
}

void TEpsWriter::WriteEpsTemplatePath(const TPoint2D* points, int last, std::string_view tmpl) {
  std::string s = "newpath\r\n";
  for (int i = 0; i <= last; ++i) {
    const bool move = static_cast<std::size_t>(i) < tmpl.size() && tmpl[static_cast<std::size_t>(i)] == 'M';
    s += Coordinates(points[i]) + (move ? " moveto" : " lineto") + kCrLf;
  }
  out_ += s;
}

void TEpsWriter::WriteEpsPolyline(const TPoint2D* points, int last, plat::Colour colour, int width) {
  if (last < 1) return;
  WriteEpsPath(points, last, false);
  out_ += FormatEpsColour(colour) + " setrgbcolor\r\n" + Width(width) + " setlinewidth\r\n" + dash_[0] + kCrLf +
          "stroke\r\n";
}

void TEpsWriter::WriteEpsTemplatePolyline(const TPoint2D* points, int last, plat::Colour colour, int width,
                                          std::string_view tmpl) {
  if (last < 1) return;
  WriteEpsTemplatePath(points, last, tmpl);
  out_ += FormatEpsColour(colour) + " setrgbcolor\r\n" + Width(width) + " setlinewidth\r\n" + dash_[0] + kCrLf +
          "stroke\r\n";
}

void TEpsWriter::WriteEpsLine(const TPoint2D& a, const TPoint2D& b, plat::Colour colour, int width, int style) {
  if (style < 0 || style > 4) return;
  out_ += FormatEpsColour(colour) + " setrgbcolor\r\n" + Width(width) + " setlinewidth\r\n" +
          dash_[static_cast<std::size_t>(style)] + kCrLf + "newpath\r\n" + Coordinates(a) + " moveto\r\n" +
          Coordinates(b) + " lineto\r\nstroke\r\n";
}

void TEpsWriter::WriteEpsGappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last,
                                        plat::Colour colour, int width, int style, int mode) {
  if (last < 1) return;
  if (style < 0 || style > 4) style = 0;
  std::vector<std::int32_t> runs;
  BreakRuns(runs, flags, last);
  std::string s = "newpath\r\n";
  bool down = false;
  for (int i = 1; i <= last; ++i) {
    if (GappedSegmentDrawn(runs, i, mode)) {
      if (!down) s += Coordinates(points[i - 1]) + " moveto" + kCrLf;
      down = true;
      s += Coordinates(points[i]) + " lineto" + kCrLf;
    } else {
      down = false;
    }
  }
  s += Width(width) + " setlinewidth\r\n" + dash_[static_cast<std::size_t>(style)] + kCrLf + FormatEpsColour(colour) +
       " setrgbcolor\r\nstroke\r\n";
  out_ += s;
}

void TEpsWriter::WriteEpsCircle(const TPoint2D& centre, long double radius, int width,
                                std::optional<plat::Colour> fill, std::optional<plat::Colour> outline) {
  if (!fill && !outline) return;
  if (fill) WriteExportLine("begin circle fill");
  std::string s = "newpath\r\n" + Coordinates(centre) + " " + FormatNumber(radius * scaleX_, 5, 3) + " 0 360 arc\r\n";
  if (fill) s += "gsave\r\n" + FormatEpsColour(*fill) + " setrgbcolor\r\nfill\r\ngrestore\r\n";
  if (outline)
    s += Width(width) + " setlinewidth\r\n" + dash_[0] + kCrLf + FormatEpsColour(*outline) + " setrgbcolor\r\nstroke\r\n";
  out_ += s;
}

void TEpsWriter::WriteEpsPolygon(const TPoint2D* points, int count, bool white, plat::Colour fill, int width,
                                 plat::Colour outline) {
  if (count < 1 || (white && width < 0)) return;
  if (width == 0) width = 1;
  WriteEpsPath(points, count - 1, true);
  std::string s = "gsave\r\n" + FormatEpsColour(white ? plat::Rgb(255, 255, 255) : fill) +
                  " setrgbcolor\r\nfill\r\ngrestore\r\n" + dash_[0] + kCrLf;
  if (width > 0) s += FormatEpsColour(outline) + " setrgbcolor\r\n" + Width(width) + " setlinewidth\r\nstroke\r\n";
  out_ += s;
}

void TEpsWriter::WriteEpsRoundRect(const TPoint2D& p1, const TPoint2D& p2, bool white, plat::Colour fill, int width,
                                   plat::Colour outline, long double r) {
  if (white && width < 0) return;
  if (width == 0) width = 1;
  const TPoint2D q0 = WorldToEpsPoint({p1.x, p2.y});
  const TPoint2D q1 = WorldToEpsPoint({p1.x + r, p2.y + r});
  const TPoint2D q2 = WorldToEpsPoint({p2.x - r, p1.y - r});
  const TPoint2D q3 = WorldToEpsPoint({p2.x, p1.y});
  auto f = [](long double v) { return FormatNumber(v, 5, 3); };
  const std::string R = f(r * scaleX_);
  const bool round = r > 1e-13L;
  std::string s = "newpath\r\n";
  s += f(q3.x) + " " + f(q2.y) + " moveto\r\n";
  if (round) s += f(q2.x) + " " + f(q2.y) + " " + R + " 0 90 arc\r\n";
  s += f(q1.x) + " " + f(q3.y) + " lineto\r\n";
  if (round) s += f(q1.x) + " " + f(q2.y) + " " + R + " 90 180 arc\r\n";
  s += f(q0.x) + " " + f(q1.y) + " lineto\r\n";
  if (round) s += f(q1.x) + " " + f(q1.y) + " " + R + " 180 270 arc\r\n";
  s += f(q2.x) + " " + f(q0.y) + " lineto\r\n";
  if (round) s += f(q2.x) + " " + f(q1.y) + " " + R + " 270 360 arc\r\n";
  s += f(q3.x) + " " + f(q2.y) + " lineto\r\n";
  s += "gsave\r\n" + FormatEpsColour(white ? plat::Rgb(255, 255, 255) : fill) + " setrgbcolor\r\nfill\r\ngrestore\r\n" +
       dash_[0] + kCrLf;
  if (width > 0) s += FormatEpsColour(outline) + " setrgbcolor\r\n" + Width(width) + " setlinewidth\r\nstroke\r\n";
  out_ += s;
}

void TEpsWriter::WriteEpsMarker(const TPoint2D& p, int style, int sizePixels, plat::Colour c) {
  const long double d = sizePixels * unitsPerPixelX_;
  const long double X = p.x;
  const long double Y = p.y;
  auto triangle = [&](TPoint2D a, TPoint2D b, TPoint2D e) {
    const TPoint2D t[3] = {a, b, e};
    WriteEpsPolygon(t, 3, false, c, 1, c);
  };
  const TPoint2D plus[4] = {{X, Y - d}, {X, Y + d}, {X - d, Y}, {X + d, Y}};
  const TPoint2D cross[4] = {{X - d, Y - d}, {X + d, Y + d}, {X - d, Y + d}, {X + d, Y - d}};
  switch (style) {
    case 0:
      WriteEpsRoundRect({X - d, Y + d}, {X + d, Y - d}, false, c, 1, c, 0);
      break;
    case 1:
      WriteEpsCircle(p, d, 1, c, c);
      break;
    case 2:
      triangle({X - d, Y - d}, {X + d, Y - d}, {X, Y + d});
      break;
    case 3:
      triangle({X - d, Y + d}, {X + d, Y + d}, {X, Y - d});
      break;
    case 4:
      triangle({X - d, Y - d}, {X - d, Y + d}, {X + d, Y});
      break;
    case 5:
      triangle({X + d, Y - d}, {X + d, Y + d}, {X - d, Y});
      break;
    case 6:
    case 9:
      WriteEpsTemplatePolyline(plus, 3, c, 2, "MLML");
      break;
    case 7: {
      const TPoint2D q[9] = {plus[0], plus[1], plus[2], plus[3], {X - d, Y - d},
                             {X + d, Y - d}, {X + d, Y + d}, {X - d, Y + d}, {X - d, Y - d}};
      WriteEpsTemplatePolyline(q, 8, c, 2, "MLMLMLLLL");
      break;
    }
    case 8:
      WriteEpsTemplatePolyline(cross, 3, c, 2, "MLML");
      break;
    case 10: {
      const TPoint2D q[9] = {cross[0], cross[1], cross[2], cross[3], {X - d, Y - d},
                             {X - d, Y + d}, {X + d, Y + d}, {X + d, Y - d}, {X - d, Y - d}};
      WriteEpsTemplatePolyline(q, 8, c, 2, "MLMLMLLLL");
      break;
    }
    case 11: {
      const TPoint2D q[6] = {{X, Y}, {X, Y + 3 * d}, {X, Y}, {X + d, Y + d}, {X, Y}, {X - d, Y + d}};
      WriteEpsTemplatePolyline(q, 5, c, 2, "MLMLML");
      break;
    }
    case 12: {
      const TPoint2D q[6] = {{X, Y}, {X, Y - 3 * d}, {X, Y}, {X + d, Y - d}, {X, Y}, {X - d, Y - d}};
      WriteEpsTemplatePolyline(q, 5, c, 2, "MLMLML");
      break;
    }
    case 13: {
      const TPoint2D q[4] = {{X, world_.ymin}, {X, world_.ymax}, {world_.xmin, Y}, {world_.xmax, Y}};
      WriteEpsTemplatePolyline(q, 3, c, 2, "MLML");
      break;
    }
    default:
      break;
  }
}

void TEpsWriter::WriteExportLine(std::string_view text) {
  // A comment ends at the line end: line breaks in the text would start
  // PostScript code.
  std::string line(text);
  for (char& ch : line)
    if (ch == '\r' || ch == '\n') ch = ' ';
  out_ += "%" + line + kCrLf;
}

void TEpsWriter::WriteEpsTextWithFont(const TPoint2D& baseline, std::string_view text, plat::Colour colour,
                                      std::string_view face, int pointSize, bool italic, int escapement) {
  std::string font = FontName(face);
  if (italic) font += "-Italic";
  std::string s;
  if (NeedsLatin1(text)) {
    // The standard fonts use StandardEncoding; a copy with the Latin-1
    // encoding shows umlauts and the degree sign, defined once per file.
    const std::string latin = font + "-Latin1";
    if (latin1Fonts_.insert(latin).second)
      s += "/" + font +
           " findfont dup length dict begin {1 index /FID ne {def} {pop pop} ifelse} forall /Encoding "
           "ISOLatin1Encoding def currentdict end /" +
           latin + " exch definefont pop\r\n";
    font = latin;
  }
  s += "/" + font + " findfont\r\n";
  s += std::to_string(pointSize) + " scalefont setfont\r\n";
  s += Coordinates(baseline) + " moveto\r\n";
  if (escapement != 0) s += std::to_string(escapement / 10) + " rotate\r\n";
  s += FormatEpsColour(colour) + " setrgbcolor\r\n";
  s += "(" + EscapePostScript(text) + ") show\r\n";
  if (escapement != 0) s += std::to_string(-escapement / 10) + " rotate\r\n";
  out_ += s;
}

}  // namespace kv
