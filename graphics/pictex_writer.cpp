#include "graphics/pictex_writer.h"

#include <cmath>
#include <utility>
#include <vector>

#include "graphics/export_text.h"
#include "graphics/gapped_polyline.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr const char* kCrLf = "\r\n";
// The plot list is written out before it would pass this size.
constexpr std::size_t kPlotBufferSize = 64000;
constexpr long double kEps = 1e-13L;

// Shade-grid spans for hatch styles 2 and up, cycling.
constexpr int kShadeSpans[23] = {5, 1, 7, 8, 14, 17, 11, 9, 19, 4, 6, 18, 3, 11, 12, 22, 2, 13, 15, 20, 21, 23, 16};

std::string Fixed(long double v, int width, int decimals) { return FormatNumber(v, width, decimals); }

}  // namespace

std::string TPictexWriter::Number(long double v) const { return FormatNumber(v, setup_.decimals + 2, setup_.decimals); }

bool TPictexWriter::InView(const TPoint2D& p) const {
  const TSegment2D& w = setup_.world;
  return p.x >= w.xmin && p.x <= w.xmax && p.y >= w.ymin && p.y <= w.ymax;
}

bool TPictexWriter::WritePreamble(const TPictexSetup& s) {
  setup_ = s;
  if (setup_.decimals < 0) setup_.decimals = 0;
  if (setup_.clientWidth < 2) setup_.clientWidth = 2;
  if (setup_.clientHeight < 2) setup_.clientHeight = 2;
  const int mode = s.mode;
  std::string t;
  if (mode == 0 || mode == 1) t += "\\font\\fiverm = cmr5\r\n";
  if (mode == 1) t += "\\input prepictex\r\n";
  if (mode == 0 || mode == 1 || mode == 2) t += "\\input pictex\r\n";
  if (mode == 1) t += "\\input postpictex\r\n";
  if (mode == 0 || mode == 1) t += "\\setbox" + std::to_string(s.boxNumber) + "=\\vbox{\r\n";
  t += "\\beginpicture\r\n";
  const TSegment2D& w = setup_.world;
  const long double hx = (w.xmax - w.xmin) / 2;
  const long double hy = (w.ymax - w.ymin) / 2;
  const std::string xu = Number(hx != 0 ? s.widthCm * 0.5L / hx : 1);
  const std::string yu =
      Number(hy != 0 ? s.widthCm * setup_.clientHeight * 0.5L / (hy * setup_.clientWidth) : 1);
  long double u = 0;
  ParseLongDouble(u, xu);
  const bool exact = !(std::fabs(u * 2 * hx / s.widthCm - 1) > 0.1L);
  t += "\\setcoordinatesystem units <" + xu + "cm," + yu + "cm>\r\n";
  out_ += t;
  WritePictexPhantom({w.xmin, w.ymin});
  WritePictexPhantom({w.xmin, w.ymax});
  WritePictexPhantom({w.xmax, w.ymin});
  WritePictexPhantom({w.xmax, w.ymax});
  out_ += "\\setlinear\r\n";
  plot_.clear();
  pointCount_ = 0;
  plotOpen_ = false;
  return exact;
}

long double TPictexWriter::TextLineHeight() const {
  constexpr long double kLineCm = 12.0L / 72.27L * 2.54L;
  const long double hy = (setup_.world.ymax - setup_.world.ymin) / 2;
  const long double yUnitCm = setup_.widthCm * setup_.clientHeight * 0.5L / (hy * setup_.clientWidth);
  return yUnitCm > 0 ? kLineCm / yUnitCm : 0;
}

void TPictexWriter::WriteEnd() {
  if (plotOpen_) EndPictexPlot();
  if (patternOpen_) EndPictexPattern();
  out_ += "\\endpicture";
  if (setup_.mode == 0 || setup_.mode == 1) out_ += "}";
  out_ += kCrLf;
  plot_.clear();
  plot_.shrink_to_fit();
}

void TPictexWriter::WritePictexShadeSymbol() { out_ += "\\setshadesymbol <z,z,z,z> ({\\fiverm .})\r\n"; }

void TPictexWriter::WritePictexLine(const TPoint2D& a, const TPoint2D& b, int dotStyle) {
  const long double dx = std::fabs(a.x - b.x);
  const long double dy = std::fabs(a.y - b.y);
  if ((dx + dy) * 5 < setup_.unitsPerPixelX) return;
  if (dotStyle > 0) out_ += "\\setdots <" + std::to_string(dotStyle) + "pt>\r\n";
  if (dx >= 1e-16L && dy >= 1e-16L) {
    out_ += "\\plot " + Coordinates(a) + " " + Coordinates(b) + " /\r\n";
  } else {
    WritePictexRule(a, b);
  }
  if (dotStyle > 0) out_ += "\\setsolid\r\n";
}

void TPictexWriter::WritePictexRule(const TPoint2D& a, const TPoint2D& b) {
  if (!InView(a) || !InView(b)) return;
  out_ += "\\putrule from " + Coordinates(a) + " to " + Coordinates(b) + kCrLf;
}

void TPictexWriter::BeginPictexPlot() {
  plot_ = "\\plot \r\n";
  pointCount_ = 0;
  plotOpen_ = true;
}

void TPictexWriter::AddPictexPlotPoint(const TPoint2D& p) {
  plot_ += Coordinates(p);
  plot_ += kCrLf;
  ++pointCount_;
  // The list goes on in the emptied buffer; the buffer grows as far as a
  // point needs, so no line is ever cut.
  if (plot_.size() + 100 > kPlotBufferSize) {
    out_ += plot_;
    plot_.clear();
  }
}

void TPictexWriter::EndPictexPlot() {
  plot_ += "/\r\n";
  if (pointCount_ > 1) out_ += plot_;
  plot_.clear();
  pointCount_ = 0;
  plotOpen_ = false;
}

void TPictexWriter::WritePictexPolyline(const TPoint2D* points, int last) {
  BeginPictexPlot();
  for (int i = 0; i <= last; ++i) AddPictexPlotPoint(points[i]);
  EndPictexPlot();
}

void TPictexWriter::WritePictexGappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, int mode) {
  if (last < 1) return;
  std::vector<std::int32_t> runs;
  BreakRuns(runs, flags, last);
  bool open = false;
  for (int i = 1; i <= last; ++i) {
    if (GappedSegmentDrawn(runs, i, mode)) {
      if (!open) {
        BeginPictexPlot();
        AddPictexPlotPoint(points[i - 1]);
        open = true;
      }
      AddPictexPlotPoint(points[i]);
    } else if (open) {
      EndPictexPlot();
      open = false;
    }
  }
  if (open) EndPictexPlot();
}

bool TPictexWriter::WritePictexShadeGrid(int style) {
  if (style == 1) return false;
  std::string span = "0.2";
  if (style != 0) {
    const int k = style < 0 ? 24 : kShadeSpans[(style - 2) % 23];
    span = Fixed(1.96L - 0.04L * k, 9, 7);
  }
  out_ += "\\setshadegrid span <" + span + "pt>\r\n";
  return true;
}

bool TPictexWriter::WritePictexShadedPolygon(const TPoint2D* points, int n, bool vertical, int style) {
  if (n < 3) return false;
  std::vector<TPoint2D> p(points, points + n);
  if (!vertical)
    for (TPoint2D& q : p) std::swap(q.x, q.y);
  auto at = [&](long long k) -> const TPoint2D& { return p[static_cast<std::size_t>(((k % n) + n) % n)]; };
  int m = 0;
  long double xmin = p[0].x;
  long double xmax = p[0].x;
  for (int k = 1; k < n; ++k) {
    if (p[static_cast<std::size_t>(k)].x < xmin) {
      xmin = p[static_cast<std::size_t>(k)].x;
      m = k;
    }
    if (p[static_cast<std::size_t>(k)].x > xmax) xmax = p[static_cast<std::size_t>(k)].x;
  }
  if (xmax < xmin + kEps) return false;
  // Ends of the run of leftmost points, forwards and backwards from m.
  long long a = m;
  for (int k = 0; k < n && at(a + 1).x < xmin + kEps; ++k) ++a;
  long long b = m + n;
  for (int k = 0; k < n && at(b - 1).x < xmin + kEps; ++k) --b;
  // Two reversals of the x direction: one monotone upper and one lower
  // boundary.
  bool increasing = at(a + 1).x > at(a).x;
  int reversals = 0;
  for (int k = 1; k <= n; ++k) {
    const long double dx = at(a + k + 1).x - at(a + k).x;
    if ((increasing && dx < -kEps) || (!increasing && dx > kEps)) {
      ++reversals;
      increasing = !increasing;
    }
  }
  auto walk = [&](long long start, int dir) {
    std::vector<TPoint2D> w;
    w.reserve(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) w.push_back(at(start + dir * k));
    return w;
  };
  const bool upperBack = at(b - 1).y > at(a + 1).y;
  std::vector<TPoint2D> L, U;
  if (vertical) {
    L = upperBack ? walk(a, 1) : walk(a, -1);
    U = upperBack ? walk(b, -1) : walk(b, 1);
  } else {
    L = upperBack ? walk(b, 1) : walk(b, -1);
    U = upperBack ? walk(a, -1) : walk(a, 1);
  }
  auto length = [&](const std::vector<TPoint2D>& w) {
    int len = 0;
    while (len < n && w[static_cast<std::size_t>(len)].x + kEps < xmax) ++len;
    return len;
  };
  const int lenL = length(L);
  const int lenU = length(U);
  if (lenL < 1 || lenU < 1 || reversals != 2) return false;
  if (!WritePictexShadeGrid(style)) return false;

  auto interpolate = [](const TPoint2D& p0, const TPoint2D& p1, long double x) {
    const long double w = p1.x - p0.x;
    const long double slope = w > 1e-16L ? (p1.y - p0.y) / w : 0;
    return p0.y + (x - p0.x) * slope;
  };
  struct Triple {
    long double x, lo, hi;
  };
  std::vector<Triple> triples;
  triples.push_back({L[0].x, L[0].y, U[0].y});
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < static_cast<std::size_t>(lenL) && j < static_cast<std::size_t>(lenU)) {
    const TPoint2D& l = L[i + 1];
    const TPoint2D& u = U[j + 1];
    const bool uDue = u.x < l.x + kEps;
    const bool lDue = l.x < u.x + kEps;
    if ((lDue && l.x < L[i].x + kEps) || (uDue && u.x < U[j].x + kEps)) return false;
    Triple t{};
    if (lDue && uDue) {
      ++i;
      ++j;
      t = {L[i].x, L[i].y, U[j].y};
    } else if (lDue) {
      ++i;
      t = {L[i].x, L[i].y, interpolate(U[j], U[j + 1], L[i].x)};
    } else {
      ++j;
      t = {U[j].x, interpolate(L[i], L[i + 1], U[j].x), U[j].y};
    }
    if (t.lo > t.hi || std::fabs(t.x - triples.back().x) < 1e-4L) return false;
    triples.push_back(t);
  }
  std::string s = vertical ? "\\vshade" : "\\hshade";
  for (const Triple& t : triples) s += " " + Fixed(t.x, 8, 6) + " " + Fixed(t.lo, 8, 6) + " " + Fixed(t.hi, 8, 6) + kCrLf;
  s += " /\r\n";
  out_ += s;
  return true;
}

void TPictexWriter::WritePictexArrow(const TPoint2D& v, const TPoint2D& t, long double headLength, bool filled,
                                     bool haveCorners, const TPoint2D& c1, const TPoint2D& c2) {
  if (!filled) {
    const long double hx = (setup_.world.xmax - setup_.world.xmin) / 2;
    const long double len = hx != 0 ? headLength * setup_.widthCm / (hx * 2) : 0;
    out_ += "\\arrow <" + Fixed(len, 5, 3) + "cm> [" + Fixed(setup_.arrowBeta, 5, 3) + "," + Fixed(setup_.arrowGamma, 5, 3) + "] from " +
            Fixed(t.x - v.x, 7, 5) + " " + Fixed(t.y - v.y, 7, 5) + " to " + Fixed(t.x, 7, 5) + " " +
            Fixed(t.y, 7, 5) + kCrLf;
    return;
  }
  if (!haveCorners) return;
  const TPoint2D tri[3] = {t, {t.x + c1.x, t.y + c1.y}, {t.x + c2.x, t.y + c2.y}};
  if (!WritePictexShadedPolygon(tri, 3, true, 0)) WritePictexShadedPolygon(tri, 3, false, 0);
}

std::string TPictexWriter::PictexMarkerSymbol(int style, bool open) const {
  std::string s = "\\put {";
  if (style < 1) return s + "\\fiverm .} at ";
  s += "$";
  if (style == 1 || style == 2) s += "\\scriptscriptstyle";
  if (style == 3 || style == 4) s += "\\scriptstyle";
  s += open ? "\\circ$} at " : "\\bullet$} at ";
  return s;
}

void TPictexWriter::WritePictexMarker(const TPoint2D& p, int style, bool open) {
  out_ += PictexMarkerSymbol(style, open) + Coordinates(p) + kCrLf;
}

void TPictexWriter::WritePictexText(std::string_view text, std::string_view orientation, const TPoint2D& p,
                                    bool math) {
  std::string s = "\\put {";
  if (math) s += "$";
  s += EscapeTex(text, math);
  if (math) s += "$";
  s += "} ";
  if (!orientation.empty()) {
    s += orientation;
    s += " ";
  }
  s += "at " + Coordinates(p) + kCrLf;
  out_ += s;
}

void TPictexWriter::WritePictexLineStyle(int style, bool solid) {
  if (style <= 0) return;
  if (solid) {
    out_ += "\\setsolid\r\n";
    return;
  }
  switch (style) {
    case 1:
      out_ += "\\setdots<2pt>\r\n";
      break;
    case 2:
      out_ += "\\setdashes\r\n";
      break;
    case 3:
      out_ += "\\setdashpattern<3pt,2pt,10pt,2pt>\r\n";
      break;
    case 4:
      out_ += "\\setdashpattern<3pt,2pt,10pt,2pt,3pt,2pt>\r\n";
      break;
    default:
      out_ += "\\setsolid\r\n";
      break;
  }
}

void TPictexWriter::WritePictexCoordinates(const TPoint2D& p) { out_ += Coordinates(p) + kCrLf; }

void TPictexWriter::WritePictexPhantom(const TPoint2D& p) {
  out_ += "\\put {\\phantom{.}} at ";
  WritePictexCoordinates(p);
}

void TPictexWriter::WritePictexMultiput() { out_ += "\\multiput {.} at\r\n"; }

void TPictexWriter::BeginPictexPattern() {
  pattern_.clear();
  patternOpen_ = true;
}

void TPictexWriter::AddPictexPatternPoint(const TPoint2D& p) {
  if (patternOpen_) pattern_ += Coordinates(p) + kCrLf;
}

void TPictexWriter::EndPictexPattern() {
  if (patternOpen_ && !pattern_.empty()) out_ += "\\multiput {\\phantom{.}} at\r\n" + pattern_ + "/\r\n";
  pattern_.clear();
  patternOpen_ = false;
}

void TPictexWriter::WriteComment(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  out_ += "%" + line + kCrLf;
}

}  // namespace kv
