// The state shared by every device context, and BitmapDC, which draws on a
// 32-bit image with exact pixels: thin lines are walked straight on the
// image bits, shapes are rasterised into a coverage mask (with QPainter
// where a path has to be filled) and combined with the image through the
// raster operation in one pass.  No QPainter stays open between calls, so
// several DCs can draw on one bitmap.
#include "platform/dc.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>  // row fills and copies, 16 bytes at a time
#endif

#include "platform/bitmap.h"
#include "platform/bitmap_impl.h"
#include "platform/font_mapping.h"

namespace plat {

// ============================================================================
// Device capabilities
// ============================================================================

int DeviceCaps::Get(int index) const {
  switch (index) {
    case HORZSIZE: return horzSizeMm;
    case VERTSIZE: return vertSizeMm;
    case HORZRES: return horzRes;
    case VERTRES: return vertRes;
    case BITSPIXEL: return bitsPixel;
    case RASTERCAPS: return rasterCaps;
    case LOGPIXELSX: return logPixelsX;
    case LOGPIXELSY: return logPixelsY;
    case PHYSICALWIDTH: return physicalWidth;
    case PHYSICALHEIGHT: return physicalHeight;
    case PHYSICALOFFSETX: return physicalOffsetX;
    case PHYSICALOFFSETY: return physicalOffsetY;
    default: return 0;
  }
}

// ============================================================================
// DC: state shared by every target
// ============================================================================

struct DC::Saved {
  Pen pen;
  Brush brush;
  LogFont font;
  Colour textColour;
  Colour bkColour;
  int bkMode;
  int rop2;
  unsigned textAlign;
  int polyFillMode;
  Point cp;
  Clip clip;
};

namespace {

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// Sizes of rectangles in 64 bits: the difference of two ints may not fit
// an int.
std::int64_t WidthOf(const Rect& r) { return std::int64_t{r.right} - r.left; }
std::int64_t HeightOf(const Rect& r) { return std::int64_t{r.bottom} - r.top; }

// A rectangle with left <= right and top <= bottom.
Rect Normalised(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return Rect{ClampToInt(l), ClampToInt(t), ClampToInt(r), ClampToInt(b)};
}

}  // namespace

DC::DC() = default;
DC::~DC() = default;

Pen DC::SelectPen(const Pen& pen) { return std::exchange(pen_, pen); }
Brush DC::SelectBrush(const Brush& brush) { return std::exchange(brush_, brush); }
LogFont DC::SelectFont(const LogFont& font) { return std::exchange(font_, font); }
Colour DC::SetTextColor(Colour c) { return std::exchange(textColour_, c & 0xFFFFFF); }
Colour DC::SetBkColor(Colour c) { return std::exchange(bkColour_, c & 0xFFFFFF); }

// Invalid modes are refused (0) and leave the state alone.
int DC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(bkMode_, mode);
}

int DC::SetROP2(int rop) {
  if (rop < R2_BLACK || rop > R2_WHITE) return 0;
  return std::exchange(rop2_, rop);
}

unsigned DC::SetTextAlign(unsigned align) { return std::exchange(textAlign_, align); }

int DC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return std::exchange(polyFillMode_, mode);
}

int DC::SaveDC() {
  saved_.push_back(Saved{pen_, brush_, font_, textColour_, bkColour_, bkMode_, rop2_, textAlign_,
                         polyFillMode_, cp_, clip_});
  return static_cast<int>(saved_.size());
}

// `saved` > 0 names the level SaveDC returned; < 0 counts back from the
// last save (-1 is the last one).  Levels above the restored one are gone.
bool DC::RestoreDC(int saved) {
  const std::int64_t count = static_cast<std::int64_t>(saved_.size());
  const std::int64_t level = saved > 0 ? saved : count + 1 + static_cast<std::int64_t>(saved);
  if (saved == 0 || level < 1 || level > count) return false;
  Saved& s = saved_[static_cast<std::size_t>(level - 1)];
  pen_ = s.pen;
  brush_ = s.brush;
  font_ = s.font;
  textColour_ = s.textColour;
  bkColour_ = s.bkColour;
  bkMode_ = s.bkMode;
  rop2_ = s.rop2;
  textAlign_ = s.textAlign;
  polyFillMode_ = s.polyFillMode;
  cp_ = s.cp;
  clip_ = std::move(s.clip);
  saved_.resize(static_cast<std::size_t>(level - 1));
  DoClipChanged();
  return true;
}

Point DC::MoveTo(int x, int y) { return std::exchange(cp_, Point{x, y}); }

void DC::LineTo(int x, int y) {
  DoLine(cp_, Point{x, y});
  cp_ = Point{x, y};
}

void DC::Polyline(const std::vector<Point>& points) {
  if (points.size() >= 2) DoPolyline(points);
}

void DC::DoPolyline(const std::vector<Point>& pts) {
  for (std::size_t i = 1; i < pts.size(); ++i) DoLine(pts[i - 1], pts[i]);
}

void DC::Rectangle(int left, int top, int right, int bottom) {
  DoRectangle(Normalised(left, top, right, bottom));
}

void DC::Ellipse(int left, int top, int right, int bottom) {
  DoEllipse(Normalised(left, top, right, bottom));
}

void DC::Polygon(const std::vector<Point>& points) {
  if (points.size() >= 2) DoPolygon(points);
}

void DC::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  DoArc(Normalised(left, top, right, bottom), Point{xStart, yStart}, Point{xEnd, yEnd}, false);
}

void DC::Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  DoArc(Normalised(left, top, right, bottom), Point{xStart, yStart}, Point{xEnd, yEnd}, true);
}

void DC::FillRect(const Rect& r, const Brush& brush) {
  const Rect n = Normalised(r.left, r.top, r.right, r.bottom);
  if (WidthOf(n) > 0 && HeightOf(n) > 0) DoFillRect(n, brush);
}

void DC::PatBlt(int x, int y, int width, int height, unsigned rop) {
  const Rect n = Normalised(x, y, std::int64_t{x} + width, std::int64_t{y} + height);
  if (WidthOf(n) > 0 && HeightOf(n) > 0) DoPatBlt(n, rop);
}

// With TA_UPDATECP the text starts at the current position, which then
// moves past it.
void DC::TextOut(int x, int y, const std::string& text) {
  if (text.empty()) return;
  if (!(textAlign_ & TA_UPDATECP)) {
    DoTextOut(Point{x, y}, text);
    return;
  }
  DoTextOut(cp_, text);
  const int cx = DoTextExtent(text).cx;
  const unsigned horizontal = textAlign_ & TA_CENTER;
  if (horizontal == TA_LEFT) cp_.x = ClampToInt(std::int64_t{cp_.x} + cx);
  if (horizontal == TA_RIGHT) cp_.x = ClampToInt(std::int64_t{cp_.x} - cx);
}

Size DC::GetTextExtent(const std::string& text) const { return DoTextExtent(text); }
DC::TextMetrics DC::GetTextMetrics() const { return DoTextMetrics(); }

// Sizes must be positive; mirrored copies are not supported.
void DC::BitBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                unsigned rop) {
  if (width <= 0 || height <= 0) return;
  DoBitBlt(Normalised(x, y, std::int64_t{x} + width, std::int64_t{y} + height), source,
           Normalised(sx, sy, std::int64_t{sx} + width, std::int64_t{sy} + height), rop);
}

void DC::StretchBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                    int swidth, int sheight, unsigned rop) {
  if (width <= 0 || height <= 0 || swidth <= 0 || sheight <= 0) return;
  DoBitBlt(Normalised(x, y, std::int64_t{x} + width, std::int64_t{y} + height), source,
           Normalised(sx, sy, std::int64_t{sx} + swidth, std::int64_t{sy} + sheight), rop);
}

void DC::SelectClipRect(const Rect& r) {
  clip_.kind = Clip::Rectangle;
  clip_.rect = Normalised(r.left, r.top, r.right, r.bottom);
  clip_.polygon.clear();
  DoClipChanged();
}

void DC::SelectClipPolygon(const std::vector<Point>& points) {
  clip_.kind = Clip::Polygon;
  clip_.rect = Rect{};
  clip_.polygon = points;
  DoClipChanged();
}

void DC::ClearClip() {
  clip_ = Clip{};
  DoClipChanged();
}

int DC::GetDeviceCaps(int index) const { return Caps().Get(index); }

// ============================================================================
// BitmapDC helpers
// ============================================================================

namespace {

using i64 = std::int64_t;
__extension__ using i128 = __int128;

constexpr double kPi = std::numbers::pi;
constexpr int kMaxPenWidth = 10000;

// A pixel area: columns x0..x1-1, rows y0..y1-1.
struct Box {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
  int W() const { return x1 - x0; }
  int H() const { return y1 - y0; }
  bool Contains(i64 x, i64 y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

Box MakeBox(i64 x0, i64 y0, i64 x1, i64 y1) {
  return Box{ClampToInt(x0), ClampToInt(y0), ClampToInt(x1), ClampToInt(y1)};
}

Box Intersect(const Box& a, const Box& b) {
  Box r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
  if (r.Empty()) return Box{};
  return r;
}

// Quotients saturate to the 64-bit range; callers only compare them with
// step counts that are far smaller.
i64 Saturate(i128 q) {
  const i128 lo = std::numeric_limits<i64>::min(), hi = std::numeric_limits<i64>::max();
  return static_cast<i64>(q < lo ? lo : q > hi ? hi : q);
}

i64 FloorDiv(i128 a, i128 b) {  // b > 0
  i128 q = a / b;
  if ((a % b) != 0 && a < 0) --q;
  return Saturate(q);
}

i64 CeilDiv(i128 a, i128 b) {  // b > 0
  i128 q = a / b;
  if ((a % b) != 0 && a > 0) ++q;
  return Saturate(q);
}

// ---- raster operations on 0xRRGGBB values ----

QRgb ApplyRop2(int rop, QRgb pen, QRgb dst) {
  std::uint32_t r;
  switch (rop) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(pen | dst); break;
    case R2_MASKNOTPEN: r = ~pen & dst; break;
    case R2_NOTCOPYPEN: r = ~pen; break;
    case R2_MASKPENNOT: r = pen & ~dst; break;
    case R2_NOT: r = ~dst; break;
    case R2_XORPEN: r = pen ^ dst; break;
    case R2_NOTMASKPEN: r = ~(pen & dst); break;
    case R2_MASKPEN: r = pen & dst; break;
    case R2_NOTXORPEN: r = ~(pen ^ dst); break;
    case R2_NOP: r = dst; break;
    case R2_MERGENOTPEN: r = ~pen | dst; break;
    case R2_MERGEPENNOT: r = pen | ~dst; break;
    case R2_MERGEPEN: r = pen | dst; break;
    case R2_WHITE: r = 0xFFFFFF; break;
    default: r = pen; break;  // R2_COPYPEN
  }
  return r | 0xFF000000u;
}

// Ternary raster operations: bit k of `code` is the result for pattern bit
// (k >> 2) & 1, source bit (k >> 1) & 1 and destination bit k & 1.
std::uint32_t ApplyRop3(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (code) {
    case 0xCC: return s;          // SRCCOPY
    case 0xEE: return s | d;      // SRCPAINT
    case 0x88: return s & d;      // SRCAND
    case 0x66: return s ^ d;      // SRCINVERT
    case 0x33: return ~s;         // NOTSRCCOPY
    case 0x55: return ~d;         // DSTINVERT
    case 0xF0: return p;          // PATCOPY
    case 0x5A: return p ^ d;      // PATINVERT
    case 0x00: return 0;          // BLACKNESS
    case 0xFF: return ~0u;        // WHITENESS
    case 0xAA: return d;
    default: break;
  }
  std::uint32_t r = 0;
  for (unsigned k = 0; k < 8; ++k)
    if ((code >> k) & 1) r |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
  return r;
}

bool Rop3UsesSource(unsigned code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool Rop3UsesPattern(unsigned code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// ---- styled thin pens ----
//
// Patterns in pixels along the line, starting with a dash:
//   PS_DASH        18 on, 6 off
//   PS_DOT          3 on, 3 off
//   PS_DASHDOT      9 on, 6 off, 3 on, 6 off
//   PS_DASHDOTDOT   9 on, 3 off, 3 on, 3 off, 3 on, 3 off
// The pattern runs on across the segments of a polyline or shape outline
// and across LineTo calls that continue where the last line ended.

struct DashPattern {
  int period = 0;
  std::uint32_t on = 0;  // bit i: pixel i of the period is drawn
};

template <std::size_t N>
constexpr DashPattern MakeDash(const int (&runs)[N]) {
  DashPattern p;
  bool on = true;
  for (int run : runs) {
    for (int k = 0; k < run; ++k, ++p.period)
      if (on) p.on |= 1u << p.period;
    on = !on;
  }
  return p;
}

constexpr int kDashRuns[] = {18, 6};
constexpr int kDotRuns[] = {3, 3};
constexpr int kDashDotRuns[] = {9, 6, 3, 6};
constexpr int kDashDotDotRuns[] = {9, 3, 3, 3, 3, 3};
constexpr DashPattern kDash = MakeDash(kDashRuns);
constexpr DashPattern kDot = MakeDash(kDotRuns);
constexpr DashPattern kDashDot = MakeDash(kDashDotRuns);
constexpr DashPattern kDashDotDot = MakeDash(kDashDotDotRuns);

bool DashOn(const DashPattern* d, i64 pos) {
  return !d || ((d->on >> static_cast<int>(pos % d->period)) & 1);
}

// Everything a primitive needs to know about the selected pen.
struct PenPaint {
  bool visible = false;
  int width = 1;
  const DashPattern* dash = nullptr;  // null: solid
  QRgb fg = 0;
  QRgb bk = 0;
  bool opaqueGaps = false;  // gaps take the background colour (OPAQUE mode)
  int rop = R2_COPYPEN;
};

PenPaint MakePenPaint(const Pen& pen, Colour bk, int bkMode, int rop) {
  PenPaint p;
  p.visible = pen.style != PS_NULL && rop != R2_NOP;
  p.width = std::clamp(pen.width, 1, kMaxPenWidth);
  if (p.width == 1) {
    switch (pen.style) {
      case PS_DASH: p.dash = &kDash; break;
      case PS_DOT: p.dash = &kDot; break;
      case PS_DASHDOT: p.dash = &kDashDot; break;
      case PS_DASHDOTDOT: p.dash = &kDashDotDot; break;
      default: break;  // anything else draws solid
    }
  }
  p.fg = QRgbOf(pen.colour);
  p.bk = QRgbOf(bk);
  p.opaqueGaps = bkMode == OPAQUE;
  p.rop = rop;
  return p;
}

// ---- brushes ----

// 8 x 8 hatch patterns aligned to the device origin.
bool HatchOn(int hatch, int x, int y) {
  const int a = x & 7;
  const int b = y & 7;
  switch (hatch) {
    case HS_VERTICAL: return a == 0;
    case HS_FDIAGONAL: return ((a - b) & 7) == 0;  // '\'
    case HS_BDIAGONAL: return ((a + b) & 7) == 7;  // '/'
    case HS_CROSS: return a == 0 || b == 0;
    case HS_DIAGCROSS: return ((a - b) & 7) == 0 || ((a + b) & 7) == 7;
    default: return b == 0;  // HS_HORIZONTAL
  }
}

struct BrushPaint {
  enum Kind { None, Solid, Hatched } kind = None;
  QRgb colour = 0;
  QRgb bk = 0;
  int hatch = 0;
  bool opaqueGaps = true;
  // The brush colour at a pixel; false where the brush leaves it alone.
  bool At(int x, int y, QRgb& out) const {
    if (kind == Solid) {
      out = colour;
      return true;
    }
    if (kind == Hatched) {
      if (HatchOn(hatch, x, y)) {
        out = colour;
        return true;
      }
      out = bk;
      return opaqueGaps;
    }
    return false;
  }
};

// opaqueGaps: hatch gaps get the background colour (shapes in OPAQUE mode,
// and always for pattern blits).
BrushPaint MakeBrushPaint(const Brush& brush, Colour bk, bool opaqueGaps) {
  BrushPaint b;
  if (brush.style == BS_SOLID) b.kind = BrushPaint::Solid;
  if (brush.style == BS_HATCHED) b.kind = BrushPaint::Hatched;
  b.colour = QRgbOf(brush.colour);
  b.bk = QRgbOf(bk);
  b.hatch = brush.hatch;
  b.opaqueGaps = opaqueGaps;
  return b;
}

// ---- the pixels one call may change ----

struct Canvas {
  QRgb* bits = nullptr;
  qsizetype stride = 0;           // pixels per row
  Box box;                        // the image, cut down to the clip bounds
  const uchar* mask = nullptr;    // polygon clip over `box`; 0 = clipped away
  qsizetype maskStride = 0;
  bool InClip(int x, int y) const {
    return !mask || mask[(y - box.y0) * maskStride + (x - box.x0)];
  }
  QRgb& At(int x, int y) { return bits[y * stride + x]; }
  void Put(int x, int y, QRgb c, int rop) {
    QRgb& d = At(x, y);
    d = rop == R2_COPYPEN ? c : ApplyRop2(rop, c, d);
  }
};

// ---- thin lines ----
//
// Calls plot(x, y, i) for the pixels of the line from a to b without b,
// i counting pixels from a.  Only pixels inside `box` are visited, and the
// pixels outside are skipped arithmetically, so lines far off the image
// cost nothing.  The minor coordinate of pixel i is a + i * slope rounded
// to the nearest pixel, ties towards a.
template <class Plot>
void WalkLine(Point a, Point b, const Box& box, Plot&& plot) {
  const i64 dx = i64{b.x} - a.x;
  const i64 dy = i64{b.y} - a.y;
  if ((dx == 0 && dy == 0) || box.Empty()) return;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const i64 major = xMajor ? std::abs(dx) : std::abs(dy);
  const i64 minor = xMajor ? std::abs(dy) : std::abs(dx);
  const int sMaj = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const i64 maj0 = xMajor ? a.x : a.y;
  const i64 min0 = xMajor ? a.y : a.x;
  const i64 majLo = xMajor ? box.x0 : box.y0, majHi = (xMajor ? box.x1 : box.y1) - 1;
  const i64 minLo = xMajor ? box.y0 : box.x0, minHi = (xMajor ? box.y1 : box.x1) - 1;

  i64 i0 = 0, i1 = major - 1;
  if (sMaj > 0) {
    i0 = std::max(i0, majLo - maj0);
    i1 = std::min(i1, majHi - maj0);
  } else {
    i0 = std::max(i0, maj0 - majHi);
    i1 = std::min(i1, maj0 - majLo);
  }
  // Minor offsets m(i) = floor((2 i minor + major - 1) / (2 major)) grow
  // with i; keep the steps whose offset lies inside the box.
  const i64 mLo = sMin > 0 ? minLo - min0 : min0 - minHi;
  const i64 mHi = sMin > 0 ? minHi - min0 : min0 - minLo;
  if (mHi < 0) return;
  if (minor == 0) {
    if (mLo > 0) return;
  } else {
    if (mLo > 0) i0 = std::max(i0, CeilDiv(i128{2} * major * mLo - major + 1, i128{2} * minor));
    i1 = std::min(i1, FloorDiv(i128{2} * major * (mHi + 1) - major, i128{2} * minor));
  }
  if (i0 > i1) return;

  const i128 start = i128{2} * i0 * minor + major - 1;
  i64 m = static_cast<i64>(start / (2 * major));
  i64 rem = static_cast<i64>(start % (2 * major));
  const i64 twoMajor = 2 * major, twoMinor = 2 * minor;
  for (i64 i = i0; i <= i1; ++i) {
    const i64 pj = maj0 + sMaj * i;
    const i64 pn = min0 + sMin * m;
    if (xMajor)
      plot(static_cast<int>(pj), static_cast<int>(pn), i);
    else
      plot(static_cast<int>(pn), static_cast<int>(pj), i);
    rem += twoMinor;
    if (rem >= twoMajor) {
      rem -= twoMajor;
      ++m;
    }
  }
}

// Pixels a thin line from a to b (without b) covers.
i64 LineSteps(Point a, Point b) {
  return std::max(std::abs(i64{b.x} - a.x), std::abs(i64{b.y} - a.y));
}

// ---- shape coverage ----
//
// Shapes are first rasterised into a coverage mask over the area of the
// image they can touch, then combined with the image in one pass.  Each
// pixel is changed at most once per call, so an XOR shape drawn twice
// leaves the image as it was, and the pen outline always wins over the
// fill.

enum : std::uint8_t { kPenOn = 1, kPenGap = 2, kFill = 4 };

struct Coverage {
  Box box;
  std::vector<std::uint8_t>& v;  // the device context's buffer, reused
  Coverage(const Box& b, std::vector<std::uint8_t>& storage) : box(b), v(storage) {
    v.assign(static_cast<std::size_t>(b.W()) * static_cast<std::size_t>(b.H()), 0);
  }
  std::uint8_t& At(int x, int y) {
    return v[static_cast<std::size_t>(y - box.y0) * box.W() + static_cast<std::size_t>(x - box.x0)];
  }
  void Mark(i64 x, i64 y, std::uint8_t bit) {
    if (box.Contains(x, y)) At(static_cast<int>(x), static_cast<int>(y)) |= bit;
  }
  void MarkRow(i64 y, i64 from, i64 to, std::uint8_t bit) {  // columns from..to
    if (y < box.y0 || y >= box.y1) return;
    from = std::max<i64>(from, box.x0);
    to = std::min<i64>(to, box.x1 - 1);
    for (i64 x = from; x <= to; ++x) At(static_cast<int>(x), static_cast<int>(y)) |= bit;
  }
};

// Thin outline through `pts` (closed when asked), dash pattern running on
// from segment to segment.
void ThinOutline(Coverage& cov, const std::vector<Point>& pts, bool closed, const PenPaint& pen) {
  i64 phase = 0;
  const std::size_t n = pts.size();
  if (n < 2) return;
  const std::size_t segments = closed ? n : n - 1;
  for (std::size_t k = 0; k < segments; ++k) {
    const Point a = pts[k];
    const Point b = pts[(k + 1) % n];
    WalkLine(a, b, cov.box, [&](int x, int y, i64 i) {
      cov.At(x, y) |= DashOn(pen.dash, phase + i) ? kPenOn : kPenGap;
    });
    phase += LineSteps(a, b);
  }
}

// Renders with QPainter (no antialiasing) into the mask; `draw` works in
// device coordinates.
template <class Draw>
void PaintCoverage(Coverage& cov, std::uint8_t bit, Draw&& draw) {
  QImage layer(cov.box.W(), cov.box.H(), QImage::Format_Alpha8);
  if (layer.isNull()) return;
  layer.fill(0);
  {
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(-cov.box.x0, -cov.box.y0);
    draw(p);
  }
  for (int y = 0; y < cov.box.H(); ++y) {
    const uchar* src = layer.constScanLine(y);
    std::uint8_t* dst = &cov.v[static_cast<std::size_t>(y) * cov.box.W()];
    for (int x = 0; x < cov.box.W(); ++x)
      if (src[x]) dst[x] |= bit;
  }
}

// Cuts a polygon to a rectangle (Sutherland-Hodgman) so that far-away
// vertices never reach the rasteriser.  Winding numbers of the points
// inside the rectangle are kept, so both fill rules still hold.
QPolygonF ClipPolygon(QPolygonF poly, double x0, double y0, double x1, double y1) {
  auto cut = [&poly](auto inside, auto intersect) {
    QPolygonF out;
    const qsizetype n = poly.size();
    for (qsizetype i = 0; i < n; ++i) {
      const QPointF cur = poly[i];
      const QPointF prev = poly[(i + n - 1) % n];
      const bool ci = inside(cur), pi = inside(prev);
      if (ci) {
        if (!pi) out << intersect(prev, cur);
        out << cur;
      } else if (pi) {
        out << intersect(prev, cur);
      }
    }
    poly = out;
  };
  auto atX = [](double x) {
    return [x](QPointF a, QPointF b) {
      return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
    };
  };
  auto atY = [](double y) {
    return [y](QPointF a, QPointF b) {
      return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
    };
  };
  cut([x0](QPointF p) { return p.x() >= x0; }, atX(x0));
  cut([x1](QPointF p) { return p.x() <= x1; }, atX(x1));
  cut([y0](QPointF p) { return p.y() >= y0; }, atY(y0));
  cut([y1](QPointF p) { return p.y() <= y1; }, atY(y1));
  return poly;
}

// Cuts a segment to a rectangle (Liang-Barsky); false when nothing is left.
bool ClipSegment(QPointF& a, QPointF& b, double x0, double y0, double x1, double y1) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - x0, x1 - a.x(), a.y() - y0, y1 - a.y()};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const QPointF from = a;
  a = QPointF(from.x() + t0 * dx, from.y() + t0 * dy);
  b = QPointF(from.x() + t1 * dx, from.y() + t1 * dy);
  return true;
}

// Wide pen: round caps and joins, centred on the pixel centres of the path.
void WideOutline(Coverage& cov, const std::vector<QPointF>& pts, bool closed, int width) {
  if (pts.size() < 2) return;
  const double margin = width / 2.0 + 2;
  const double x0 = cov.box.x0 - margin, y0 = cov.box.y0 - margin;
  const double x1 = cov.box.x1 + margin, y1 = cov.box.y1 + margin;
  PaintCoverage(cov, kPenOn, [&](QPainter& p) {
    p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const std::size_t n = pts.size();
    const std::size_t segments = closed ? n : n - 1;
    for (std::size_t k = 0; k < segments; ++k) {
      QPointF a = pts[k] + QPointF(0.5, 0.5);
      QPointF b = pts[(k + 1) % n] + QPointF(0.5, 0.5);
      if (a == b) continue;
      // A cut end gets a cap, but only outside the area that is drawn.
      if (ClipSegment(a, b, x0, y0, x1, y1)) p.drawLine(a, b);
    }
  });
}

// ---- polygon fill by scanlines ----
//
// The fill of a polygon with whole-pixel corners, pixel for pixel as the
// toolkit's rasteriser fills it without antialiasing (the shapes above go
// through it): rows are sampled at their centres, edge crossings are kept
// in 16.16 fixed point and stepped by their slope (truncated), and a pixel
// belongs to the fill when the winding of the crossings whose whole part is
// at or left of it passes the fill rule.  The polygon must lie inside the
// image, so that nothing has to be cut.

struct ScanEdge {
  i64 x;       // 16.16, at row `top`
  i64 dx;      // per row
  int top, bottom;
  int winding;
};

struct Crossing {
  i64 x;  // whole pixels
  int winding;
};

// Calls span(y, from, to) for the pixels from..to-1 of row y.
template <class Span>
void ScanPolygon(const std::vector<Point>& pts, bool windingRule, std::vector<ScanEdge>& edges,
                 std::vector<Crossing>& crossings, Span&& span) {
  const std::size_t n = pts.size();
  i64 minY = pts[0].y, maxY = pts[0].y;
  for (const Point& p : pts) {
    minY = std::min<i64>(minY, p.y);
    maxY = std::max<i64>(maxY, p.y);
  }
  // Rows whose centres the polygon spans (26.6 coordinates, as the
  // rasteriser takes them).
  const i64 rowTop = (minY * 64 + 32) >> 6;
  const i64 rowBottom = (maxY * 64 - 32) >> 6;
  if (rowTop > rowBottom) return;
  edges.clear();
  for (std::size_t k = 0; k < n; ++k) {
    Point a = pts[k];
    Point b = pts[(k + 1) % n];
    int winding = 1;
    if (a.y > b.y) {
      std::swap(a, b);
      winding = -1;
    }
    const i64 ax = i64{a.x} * 64, ay = i64{a.y} * 64, bx = i64{b.x} * 64, by = i64{b.y} * 64;
    const i64 top = std::max(rowTop, (ay + 32) >> 6);
    const i64 bottom = std::min(rowBottom, (by - 32) >> 6);
    if (top > bottom) continue;
    const i64 aFP = 32768 + ax * 1024;
    ScanEdge e{aFP, 0, static_cast<int>(top), static_cast<int>(bottom), winding};
    if (bx != ax) {
      const double slope = static_cast<double>(bx - ax) / static_cast<double>(by - ay);
      e.dx = static_cast<i64>(slope * 65536.);
      e.x = aFP + ((e.dx * ((top << 16) + 32768 - ay * 1024)) >> 16);
    }
    edges.push_back(e);
  }
  const int mask = windingRule ? ~0 : 1;
  for (i64 y = rowTop; y <= rowBottom; ++y) {
    crossings.clear();
    for (ScanEdge& e : edges) {
      if (y < e.top || y > e.bottom) continue;
      crossings.push_back({e.x >> 16, e.winding});
      e.x += e.dx;
    }
    // Few crossings per row: insertion sort.
    for (std::size_t i = 1; i < crossings.size(); ++i)
      for (std::size_t j = i; j > 0 && crossings[j].x < crossings[j - 1].x; --j) std::swap(crossings[j], crossings[j - 1]);
    int winding = 0;
    i64 from = 0;
    for (const Crossing& c : crossings) {
      if ((winding & mask) && c.x > from) span(static_cast<int>(y), static_cast<int>(from), static_cast<int>(c.x));
      from = c.x;
      winding += c.winding;
    }
  }
}

std::vector<QPointF> ToPointsF(const std::vector<Point>& pts) {
  std::vector<QPointF> out;
  out.reserve(pts.size());
  for (const Point& p : pts) out.emplace_back(p.x, p.y);
  return out;
}

// ---- ellipses ----
//
// The pixels of the ellipse inscribed in the box [l, r) x [t, b): a pixel
// belongs to it when its centre lies inside the ellipse through the outer
// box edges.  The middle row(s) always reach the left and right columns and
// every row has at least its middle pixel(s), so the shape touches all four
// sides of the box even when it is very flat or very narrow, and never
// leaves it.  Rows are intervals that shrink away from the middle, so the
// border (pixels with a 4-neighbour outside) is a thin 8-connected curve.
struct EllipseShape {
  i64 l, t, r, b;

  bool Span(i64 y, i64& lo, i64& hi) const {
    if (y < t || y >= b) return false;
    const i64 w = r - l, h = b - t;
    if ((h % 2 == 1 && y == (t + b - 1) / 2) || (h % 2 == 0 && (y == (t + b) / 2 - 1 || y == (t + b) / 2))) {
      lo = l;
      hi = r - 1;
      return true;
    }
    // Doubled coordinates: X = 2x + 1 - (l + r), Y = 2y + 1 - (t + b);
    // inside when (X / w)^2 + (Y / h)^2 <= 1.
    const long double Y = static_cast<long double>(2 * y + 1 - (t + b));
    const long double q = 1.0L - (Y / h) * (Y / h);
    i64 X = q > 0 ? static_cast<i64>(std::floor(static_cast<long double>(w) * std::sqrt(q))) : -1;
    // X has the parity of w + 1 (pixel centres).
    if (X >= 0 && ((X - (w + 1)) % 2 != 0)) --X;
    if (X < 0) X = (w % 2 == 1) ? 0 : 1;  // the middle pixel(s)
    lo = (-X + l + r - 1) / 2;
    hi = (X + l + r - 1) / 2;
    return true;
  }

  // Border and interior of one row, given the rows above and below.
  template <class Border, class Inner>
  void Row(i64 y, Border&& border, Inner&& inner) const {
    i64 lo, hi;
    if (!Span(y, lo, hi)) return;
    i64 alo, ahi, blo, bhi;
    const bool above = Span(y - 1, alo, ahi);
    const bool below = Span(y + 1, blo, bhi);
    if (!above || !below) {
      border(lo, hi);
      return;
    }
    const i64 ilo = std::max({lo + 1, alo, blo});
    const i64 ihi = std::min({hi - 1, ahi, bhi});
    if (ilo > ihi) {
      border(lo, hi);
      return;
    }
    border(lo, ilo - 1);
    border(ihi + 1, hi);
    inner(ilo, ihi);
  }

  // Direction of a pixel centre from the centre of the box, in doubled
  // coordinates with y pointing up (counter-clockwise as seen on the
  // screen).
  void VectorOf(i64 x, i64 y, i64& vx, i64& vy) const {
    vx = 2 * x + 1 - (l + r);
    vy = -(2 * y + 1 - (t + b));
  }
};

double AngleOf(i64 vx, i64 vy) {
  double a = std::atan2(static_cast<double>(vy), static_cast<double>(vx));
  if (a < 0) a += 2 * kPi;
  return a;
}

// The direction from the centre of the box towards a point (its pixel
// centre); a point at the centre counts as pointing right.
struct Ray {
  i64 vx = 1, vy = 0;
  double angle = 0;
};

Ray RayTo(const EllipseShape& e, Point p) {
  Ray r;
  e.VectorOf(p.x, p.y, r.vx, r.vy);
  if (r.vx == 0 && r.vy == 0) r.vx = 1;
  r.angle = AngleOf(r.vx, r.vy);
  return r;
}

bool OnRay(const Ray& ray, i64 vx, i64 vy) {
  const i128 cross = i128{ray.vx} * vy - i128{ray.vy} * vx;
  const i128 dot = i128{ray.vx} * vx + i128{ray.vy} * vy;
  return cross == 0 && dot > 0;
}

// The region of the plane from the start ray counter-clockwise to the end
// ray.  Pixels exactly on a ray are decided with integer arithmetic, so
// two arcs that share a ray never both draw, or both miss, its pixels.
struct Sweep {
  bool full = true;
  Ray start, end;
  double extent = 2 * kPi;

  double Offset(double angle) const {
    double d = angle - start.angle;
    while (d < 0) d += 2 * kPi;
    while (d >= 2 * kPi) d -= 2 * kPi;
    return d;
  }
  // Angle of the direction (vx, vy) from the start ray, in [0, 2 pi).
  double OffsetOf(i64 vx, i64 vy) const {
    if (OnRay(start, vx, vy)) return 0;
    if (OnRay(end, vx, vy)) return extent;
    return Offset(AngleOf(vx, vy));
  }
  // The centre itself belongs to every sweep.
  bool Contains(i64 vx, i64 vy, bool withEnd) const {
    if (full || (vx == 0 && vy == 0)) return true;
    if (OnRay(start, vx, vy)) return true;
    if (OnRay(end, vx, vy)) return withEnd;
    return Offset(AngleOf(vx, vy)) < extent;
  }
};

Sweep MakeSweep(const Ray& s, const Ray& e) {
  Sweep w;
  w.start = s;
  w.end = e;
  if (OnRay(s, e.vx, e.vy)) return w;
  w.full = false;
  w.extent = w.Offset(e.angle);
  if (w.extent <= 0) w.extent = 2 * kPi;
  return w;
}

// The path of a thin outline: the ellipse through the pixel centres of the
// box's outer pixels, in device pixel coordinates.
struct EllipsePath {
  double cx, cy, a, b;
  explicit EllipsePath(const Rect& r)
      : cx((static_cast<double>(r.left) + r.right - 1) / 2),
        cy((static_cast<double>(r.top) + r.bottom - 1) / 2),
        a((static_cast<double>(r.right) - r.left - 1) / 2),
        b((static_cast<double>(r.bottom) - r.top - 1) / 2) {}
  // Parameter of the point where the ray at `angle` meets the ellipse.
  double ParamOf(double angle) const {
    if (a <= 0 || b <= 0) return angle;
    return std::atan2(a * std::sin(angle), b * std::cos(angle));
  }
  QPointF At(double param) const { return QPointF(cx + a * std::cos(param), cy - b * std::sin(param)); }
  // Points along the arc, close enough for a smooth wide stroke.
  std::vector<QPointF> Samples(double fromParam, double extent) const {
    const double perimeter = 2 * kPi * std::sqrt((a * a + b * b) / 2);
    const int n = std::clamp(static_cast<int>(perimeter * extent / (2 * kPi) / 2), 8, 20000);
    std::vector<QPointF> out;
    out.reserve(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) out.push_back(At(fromParam + extent * k / n));
    return out;
  }
};

Point RoundPoint(QPointF p) {
  return Point{ClampToInt(static_cast<i64>(std::floor(p.x() + 0.5))),
               ClampToInt(static_cast<i64>(std::floor(p.y() + 0.5)))};
}

// Pixel-ordered outlines are only built for shapes up to this size (dash
// patterns need the order); larger dashed ellipses draw solid.
constexpr i64 kMaxOrderedEllipse = 32768;

}  // namespace

// ============================================================================
// BitmapDC
// ============================================================================

struct BitmapDC::Impl {
  // Clip state for the current image size; rebuilt when either changes.
  bool clipValid = false;
  int clipW = -1, clipH = -1;
  Box clipBox;             // image cut down to the clip bounds
  QImage clipMask;         // polygon clip over clipBox (Alpha8), else null
  bool regionValid = false;
  QRegion region;          // the same for QPainter (text)

  // Dash pattern continuity between LineTo calls.
  bool haveLast = false;
  Point lastEnd;
  Pen lastPen;
  i64 dashPos = 0;

  // Buffers kept from one shape to the next.
  std::vector<std::uint8_t> coverage;
  std::vector<ScanEdge> edges;
  std::vector<Crossing> crossings;

  // The Qt font of the selected record.
  bool haveFont = false;
  LogFont font;
  QFont qfont;

  void UpdateClip(int w, int h, const Clip& clip) {
    if (clipValid && w == clipW && h == clipH) return;
    clipValid = true;
    regionValid = false;
    clipW = w;
    clipH = h;
    clipMask = QImage();
    const Box image{0, 0, w, h};
    if (clip.kind == Clip::None) {
      clipBox = image;
    } else if (clip.kind == Clip::Rectangle) {
      clipBox = Intersect(image, MakeBox(clip.rect.left, clip.rect.top, clip.rect.right, clip.rect.bottom));
    } else {
      // A polygon region (winding rule): pixels whose centres lie inside
      // the polygon through the given corner points.
      clipBox = Box{};
      if (clip.polygon.size() < 3) return;
      i64 x0 = clip.polygon[0].x, y0 = clip.polygon[0].y, x1 = x0, y1 = y0;
      for (const Point& p : clip.polygon) {
        x0 = std::min<i64>(x0, p.x);
        y0 = std::min<i64>(y0, p.y);
        x1 = std::max<i64>(x1, p.x);
        y1 = std::max<i64>(y1, p.y);
      }
      clipBox = Intersect(image, MakeBox(x0, y0, x1, y1));
      if (clipBox.Empty()) return;
      QPolygonF poly;
      for (const Point& p : clip.polygon) poly << QPointF(p.x, p.y);
      poly = ClipPolygon(poly, clipBox.x0 - 1, clipBox.y0 - 1, clipBox.x1 + 1, clipBox.y1 + 1);
      clipMask = QImage(clipBox.W(), clipBox.H(), QImage::Format_Alpha8);
      if (clipMask.isNull()) {
        clipBox = Box{};
        return;
      }
      clipMask.fill(0);
      QPainter p(&clipMask);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.translate(-clipBox.x0, -clipBox.y0);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPolygon(poly, Qt::WindingFill);
    }
  }

  bool Visible(int x, int y) const {
    if (!clipBox.Contains(x, y)) return false;
    return clipMask.isNull() || clipMask.constScanLine(y - clipBox.y0)[x - clipBox.x0];
  }

  // `overwrite`: the caller is about to write every pixel of that box.  When
  // it is the whole image, an image shared with other bitmaps is replaced by
  // a fresh one instead of being copied first.
  Canvas Prepare(QImage& img, const Clip& clip, const Rect* overwrite = nullptr) {
    UpdateClip(img.width(), img.height(), clip);
    if (overwrite && clipMask.isNull() && !img.isDetached() && clipBox.x0 == 0 && clipBox.y0 == 0 &&
        clipBox.x1 == img.width() && clipBox.y1 == img.height() && overwrite->left <= 0 && overwrite->top <= 0 &&
        overwrite->right >= img.width() && overwrite->bottom >= img.height())
      img = QImage(img.width(), img.height(), img.format());
    Canvas c;
    c.box = clipBox;
    if (c.box.Empty()) return c;
    c.bits = reinterpret_cast<QRgb*>(img.bits());  // detaches a shared image
    c.stride = img.bytesPerLine() / 4;
    if (!clipMask.isNull()) {
      c.mask = clipMask.constBits();
      c.maskStride = clipMask.bytesPerLine();
    }
    return c;
  }

  // The clip as a QPainter region (rows of the mask for a polygon).
  const QRegion& Region() {
    if (regionValid) return region;
    regionValid = true;
    region = QRegion();
    if (clipBox.Empty()) return region;
    if (clipMask.isNull()) {
      region = QRegion(clipBox.x0, clipBox.y0, clipBox.W(), clipBox.H());
      return region;
    }
    std::vector<QRect> rects;
    for (int y = 0; y < clipBox.H(); ++y) {
      const uchar* m = clipMask.constScanLine(y);
      for (int x = 0; x < clipBox.W();) {
        if (!m[x]) {
          ++x;
          continue;
        }
        int e = x;
        while (e < clipBox.W() && m[e]) ++e;
        rects.emplace_back(clipBox.x0 + x, clipBox.y0 + y, e - x, 1);
        x = e;
      }
    }
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
  }

  enum EllipseKind { Whole, ArcOnly, PieShape };
  void DrawEllipse(BitmapDC& dc, const Rect& box, Point start, Point end, EllipseKind kind);

  const QFont& FontFor(const LogFont& lf) {
    if (!haveFont || !(font == lf)) {
      qfont = QFontFromLogFont(lf);
      font = lf;
      haveFont = true;
    }
    return qfont;
  }
};

namespace {

// Combines a coverage mask with the image: pen pixels in the pen colour
// (gaps in the background colour when opaque), fill pixels with the brush,
// all through the raster operation.
void Composite(Canvas& c, const Coverage& cov, const PenPaint& pen, const BrushPaint& brush,
               int rop) {
  for (int y = cov.box.y0; y < cov.box.y1; ++y) {
    const std::uint8_t* m = &cov.v[static_cast<std::size_t>(y - cov.box.y0) * cov.box.W()];
    for (int x = cov.box.x0; x < cov.box.x1; ++x) {
      const std::uint8_t v = m[x - cov.box.x0];
      if (!v || !c.InClip(x, y)) continue;
      QRgb colour;
      if (v & kPenOn) {
        colour = pen.fg;
      } else if (v & kPenGap) {
        if (!pen.opaqueGaps) continue;
        colour = pen.bk;
      } else if (!brush.At(x, y, colour)) {
        continue;
      }
      c.Put(x, y, colour, rop);
    }
  }
}

// n pixels of one colour, and n pixels copied opaque (alpha 0xFF), 16 bytes
// at a time where the processor has SSE2.
void FillPixels(QRgb* d, std::size_t n, QRgb colour) {
  std::size_t k = 0;
#if defined(__SSE2__)
  const __m128i v = _mm_set1_epi32(static_cast<int>(colour));
  for (; k + 4 <= n; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), v);
#endif
  for (; k < n; ++k) d[k] = colour;
}

void CopyPixelsOpaque(QRgb* d, const QRgb* s, std::size_t n) {
  std::size_t k = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; k + 4 <= n; k += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), _mm_or_si128(p, alpha));
  }
#endif
  for (; k < n; ++k) d[k] = s[k] | 0xFF000000u;
}

// Rows of one colour over the box (no clip polygon); a box over the whole
// image is filled as one block of memory.
void FillRows(Canvas& c, const Box& box, QRgb colour) {
  if (box.Empty()) return;
  if (box.x0 == 0 && box.W() == c.stride) {
    FillPixels(&c.At(0, box.y0), static_cast<std::size_t>(c.stride) * static_cast<std::size_t>(box.H()), colour);
    return;
  }
  for (int y = box.y0; y < box.y1; ++y) FillPixels(&c.At(box.x0, y), static_cast<std::size_t>(box.W()), colour);
}

// The thin line of the selected pen straight into the image bits.
void ThinLine(Canvas& c, Point a, Point b, const PenPaint& pen, i64 phase) {
  if (!pen.dash && pen.rop == R2_COPYPEN && !c.mask) {
    const QRgb colour = pen.fg;
    WalkLine(a, b, c.box, [&c, colour](int x, int y, i64) { c.At(x, y) = colour; });
    return;
  }
  WalkLine(a, b, c.box, [&](int x, int y, i64 i) {
    if (!c.InClip(x, y)) return;
    if (DashOn(pen.dash, phase + i))
      c.Put(x, y, pen.fg, pen.rop);
    else if (pen.opaqueGaps)
      c.Put(x, y, pen.bk, pen.rop);
  });
}

}  // namespace

// Ellipses, arcs and pies.  A thin outline is the border of the pixel
// ellipse (see EllipseShape); an arc keeps the border pixels whose centres
// lie from the start ray counter-clockwise up to, but not including, the
// end ray (a pie includes both rays and joins them to the centre).  The
// null pen shrinks a filled shape by a pixel to the right and bottom, like
// Rectangle.
void BitmapDC::Impl::DrawEllipse(BitmapDC& dc, const Rect& box, Point start, Point end, EllipseKind kind) {
  const PenPaint pen = MakePenPaint(dc.CurrentPen(), dc.GetBkColor(), dc.GetBkMode(), dc.GetROP2());
  const BrushPaint brush = MakeBrushPaint(dc.CurrentBrush(), dc.GetBkColor(), dc.GetBkMode() == OPAQUE);
  haveLast = false;
  if (dc.GetROP2() == R2_NOP) return;
  const bool ellipse = kind == Whole;
  const bool pie = kind == PieShape;
  const bool filled = ellipse || pie;
  const bool hasPen = dc.CurrentPen().style != PS_NULL;
  if (!hasPen && !filled) return;
  EllipseShape shape{box.left, box.top, box.right, box.bottom};
  if (!hasPen) {
    shape.r -= 1;
    shape.b -= 1;
  }
  if (shape.r <= shape.l || shape.b <= shape.t) return;
  Canvas c = Prepare(ImageOf(dc.target_), dc.CurrentClip());
  const i64 m = hasPen ? pen.width / 2 + 2 : 0;
  const Box area = Intersect(c.box, MakeBox(shape.l - m, shape.t - m, shape.r + m, shape.b + m));
  if (area.Empty()) return;

  const Ray rs = RayTo(shape, start);
  const Ray re = RayTo(shape, end);
  const Sweep sweep = ellipse ? Sweep{} : MakeSweep(rs, re);
  const bool fillBrush = filled && brush.kind != BrushPaint::None;
  const bool thin = hasPen && pen.width <= 1;

  Coverage cov(area, coverage);
  const i64 rowFrom = std::max<i64>(shape.t, area.y0);
  const i64 rowTo = std::min<i64>(shape.b, area.y1);
  for (i64 y = rowFrom; y < rowTo; ++y) {
    // Marks the pixels of a run within the row that lie in the sweep.
    auto mark = [&](i64 lo, i64 hi, std::uint8_t bit, bool withEnd) {
      if (sweep.full) return cov.MarkRow(y, lo, hi, bit);
      lo = std::max<i64>(lo, area.x0);
      hi = std::min<i64>(hi, area.x1 - 1);
      for (i64 x = lo; x <= hi; ++x) {
        i64 vx, vy;
        shape.VectorOf(x, y, vx, vy);
        if (sweep.Contains(vx, vy, withEnd)) cov.At(static_cast<int>(x), static_cast<int>(y)) |= bit;
      }
    };
    auto inner = [&](i64 lo, i64 hi) {
      if (fillBrush) mark(lo, hi, kFill, true);
    };
    // Border pixels belong to the outline of a thin pen; otherwise they
    // are filled like the inside.
    auto border = [&](i64 lo, i64 hi) {
      if (thin)
        mark(lo, hi, kPenOn, pie);
      else
        inner(lo, hi);
    };
    shape.Row(y, border, inner);
  }

  // A dashed thin outline: order the border pixels along the curve from
  // the start ray and apply the pattern in that order.
  if (thin && pen.dash && shape.r - shape.l <= kMaxOrderedEllipse &&
      shape.b - shape.t <= kMaxOrderedEllipse) {
    struct Px {
      double offset;
      int x, y;
    };
    std::vector<Px> order;
    for (i64 y = shape.t; y < shape.b; ++y) {
      shape.Row(
          y,
          [&](i64 lo, i64 hi) {
            for (i64 x = lo; x <= hi; ++x) {
              i64 vx, vy;
              shape.VectorOf(x, y, vx, vy);
              if (sweep.Contains(vx, vy, pie))
                order.push_back({sweep.OffsetOf(vx, vy), static_cast<int>(x), static_cast<int>(y)});
            }
          },
          [](i64, i64) {});
    }
    std::sort(order.begin(), order.end(), [](const Px& a, const Px& b) { return a.offset < b.offset; });
    for (std::size_t k = 0; k < order.size(); ++k) {
      if (!area.Contains(order[k].x, order[k].y)) continue;
      std::uint8_t& v = cov.At(order[k].x, order[k].y);
      v = static_cast<std::uint8_t>((v & ~kPenOn) | (DashOn(pen.dash, static_cast<i64>(k)) ? kPenOn : kPenGap));
    }
  }

  const EllipsePath path(Rect{box.left, box.top, box.right, box.bottom});
  const Point centre = RoundPoint(QPointF(path.cx, path.cy));
  const Point ps = RoundPoint(path.At(path.ParamOf(rs.angle)));
  const Point pe = RoundPoint(path.At(path.ParamOf(re.angle)));
  if (thin && pie && !sweep.full) {
    // The two radii, from the end of the arc to the centre and back out.
    for (const auto& seg : {std::pair{pe, centre}, std::pair{centre, ps}}) {
      WalkLine(seg.first, seg.second, area, [&](int x, int y, i64) { cov.At(x, y) |= kPenOn; });
      cov.Mark(seg.second.x, seg.second.y, kPenOn);
    }
  }
  if (hasPen && pen.width > 1) {
    const double from = sweep.full ? 0 : path.ParamOf(rs.angle);
    double extent = 2 * kPi;
    if (!sweep.full) {
      extent = path.ParamOf(re.angle) - from;
      while (extent <= 0) extent += 2 * kPi;
    }
    std::vector<QPointF> pts = path.Samples(from, extent);
    const bool closedPie = pie && !sweep.full;
    if (closedPie) pts.push_back(QPointF(path.cx, path.cy));
    WideOutline(cov, pts, closedPie, pen.width);
  }
  Composite(c, cov, pen, brush, dc.GetROP2());
}

BitmapDC::BitmapDC(Bitmap& target)
    : target_(target), caps_(ScreenCaps()), impl_(std::make_unique<Impl>()) {}

BitmapDC::~BitmapDC() = default;

DeviceCaps BitmapDC::Caps() const { return caps_; }

void BitmapDC::DoClipChanged() { impl_->clipValid = false; }

// Pixels outside the clip region are left alone (and read as invalid),
// as outside the bitmap.
Colour BitmapDC::SetPixel(int x, int y, Colour c) {
  QImage& img = ImageOf(target_);
  impl_->UpdateClip(img.width(), img.height(), CurrentClip());
  if (!impl_->Visible(x, y)) return 0xFFFFFFFF;
  reinterpret_cast<QRgb*>(img.scanLine(y))[x] = QRgbOf(c);
  return c & 0xFFFFFF;
}

Colour BitmapDC::GetPixel(int x, int y) const {
  const QImage& img = ImageOf(std::as_const(target_));
  impl_->UpdateClip(img.width(), img.height(), CurrentClip());
  if (!impl_->Visible(x, y)) return 0xFFFFFFFF;
  return ColourOf(reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]);
}

void BitmapDC::DoLine(Point from, Point to) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  Impl& d = *impl_;
  const bool continues = d.haveLast && d.lastEnd == from && d.lastPen == CurrentPen();
  const i64 phase = continues ? d.dashPos : 0;
  d.haveLast = true;
  d.lastEnd = to;
  d.lastPen = CurrentPen();
  d.dashPos = (phase + LineSteps(from, to)) % (2 * 3 * 4 * 24);  // a multiple of all periods
  if (!pen.visible) return;
  Canvas c = d.Prepare(ImageOf(target_), CurrentClip());
  if (c.box.Empty()) return;
  if (pen.width <= 1) {
    ThinLine(c, from, to, pen, phase);
    return;
  }
  BitmapDC::DoPolyline({from, to});
}

void BitmapDC::DoPolyline(const std::vector<Point>& pts) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  impl_->haveLast = false;
  if (!pen.visible || pts.size() < 2) return;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip());
  if (c.box.Empty()) return;
  if (pen.width <= 1) {
    i64 phase = 0;
    for (std::size_t k = 1; k < pts.size(); ++k) {
      ThinLine(c, pts[k - 1], pts[k], pen, phase);
      phase += LineSteps(pts[k - 1], pts[k]);
    }
    return;
  }
  // Wide: one mask for the whole line, so joints are drawn once.
  i64 x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
  for (const Point& p : pts) {
    x0 = std::min<i64>(x0, p.x);
    y0 = std::min<i64>(y0, p.y);
    x1 = std::max<i64>(x1, p.x);
    y1 = std::max<i64>(y1, p.y);
  }
  const i64 m = pen.width / 2 + 2;
  const Box box = Intersect(c.box, MakeBox(x0 - m, y0 - m, x1 + m + 1, y1 + m + 1));
  if (box.Empty()) return;
  Coverage cov(box, impl_->coverage);
  WideOutline(cov, ToPointsF(pts), false, pen.width);
  Composite(c, cov, pen, BrushPaint{}, pen.rop);
}

// Outline on columns left..right-1 and rows top..bottom-1, brush inside.
// With the null pen the filled area is one pixel smaller in both
// directions, as the classic interface does it.
void BitmapDC::DoRectangle(const Rect& r) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), GetBkMode() == OPAQUE);
  impl_->haveLast = false;
  if (GetROP2() == R2_NOP) return;
  const bool hasPen = CurrentPen().style != PS_NULL;
  const i64 fr = hasPen ? r.right : i64{r.right} - 1;
  const i64 fb = hasPen ? r.bottom : i64{r.bottom} - 1;
  if (WidthOf(r) <= 0 || HeightOf(r) <= 0) return;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip());
  const i64 m = hasPen ? pen.width / 2 + 2 : 0;
  const Box box = Intersect(c.box, MakeBox(r.left - m, r.top - m, i64{r.right} + m, i64{r.bottom} + m));
  if (box.Empty()) return;
  Coverage cov(box, impl_->coverage);
  const i64 rowFrom = std::max<i64>(r.top, box.y0);
  if (brush.kind != BrushPaint::None)
    for (i64 y = rowFrom; y < std::min<i64>(fb, box.y1); ++y) cov.MarkRow(y, r.left, fr - 1, kFill);
  if (hasPen) {
    const int R = r.right - 1, B = r.bottom - 1;
    const std::vector<Point> corners{{r.left, r.top}, {R, r.top}, {R, B}, {r.left, B}};
    if (pen.width > 1) {
      WideOutline(cov, ToPointsF(corners), true, pen.width);
    } else if (WidthOf(r) <= 1 || HeightOf(r) <= 1) {
      for (i64 y = rowFrom; y <= std::min<i64>(B, box.y1 - 1); ++y) cov.MarkRow(y, r.left, R, kPenOn);
    } else {
      ThinOutline(cov, corners, true, pen);
    }
  }
  Composite(c, cov, pen, brush, GetROP2());
}

void BitmapDC::DoPolygon(const std::vector<Point>& pts) {
  const PenPaint pen = MakePenPaint(CurrentPen(), GetBkColor(), GetBkMode(), GetROP2());
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), GetBkMode() == OPAQUE);
  impl_->haveLast = false;
  if (GetROP2() == R2_NOP) return;
  const bool hasPen = CurrentPen().style != PS_NULL;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip());
  i64 x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
  for (const Point& p : pts) {
    x0 = std::min<i64>(x0, p.x);
    y0 = std::min<i64>(y0, p.y);
    x1 = std::max<i64>(x1, p.x);
    y1 = std::max<i64>(y1, p.y);
  }
  const i64 m = hasPen ? pen.width / 2 + 2 : 1;
  const Box box = Intersect(c.box, MakeBox(x0 - m, y0 - m, x1 + m + 1, y1 + m + 1));
  if (box.Empty()) return;
  const bool fill = brush.kind != BrushPaint::None && pts.size() >= 3;
  // The common case (the cells of a 3D surface): a solid fill and a solid
  // thin pen copied inside the image without a clip polygon.  Spans of the
  // fill go straight into the bits, then the outline over them: the pixels
  // the mask and composite below would give.
  if (GetROP2() == R2_COPYPEN && !c.mask && (!fill || brush.kind == BrushPaint::Solid) &&
      (!hasPen || (pen.width <= 1 && !pen.dash)) && c.box.Contains(x0, y0) && c.box.Contains(x1, y1)) {
    if (fill) {
      const QRgb colour = brush.colour;
      ScanPolygon(pts, GetPolyFillMode() == WINDING, impl_->edges, impl_->crossings,
                  [&c, colour](int y, int from, int to) {
                    FillPixels(&c.At(from, y), static_cast<std::size_t>(to - from), colour);
                  });
    }
    if (hasPen) {
      for (std::size_t k = 0; k < pts.size(); ++k)
        WalkLine(pts[k], pts[(k + 1) % pts.size()], box, [&c, &pen](int x, int y, i64) { c.At(x, y) = pen.fg; });
    }
    return;
  }
  Coverage cov(box, impl_->coverage);
  // The fill covers the pixels whose centres lie inside the polygon through
  // the corner points, so a filled square (0,0)-(10,10) covers 0..9; the
  // outline runs through the vertex pixels themselves.
  if (fill) {
    QPolygonF poly;
    for (const Point& p : pts) poly << QPointF(p.x, p.y);
    poly = ClipPolygon(poly, box.x0 - 1, box.y0 - 1, box.x1 + 1, box.y1 + 1);
    const Qt::FillRule rule = GetPolyFillMode() == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    PaintCoverage(cov, kFill, [&](QPainter& p) {
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPolygon(poly, rule);
    });
  }
  if (hasPen) {
    if (pen.width > 1)
      WideOutline(cov, ToPointsF(pts), true, pen.width);
    else
      ThinOutline(cov, pts, true, pen);
  }
  Composite(c, cov, pen, brush, GetROP2());
}

void BitmapDC::DoEllipse(const Rect& r) { impl_->DrawEllipse(*this, r, {}, {}, Impl::Whole); }

void BitmapDC::DoArc(const Rect& box, Point start, Point end, bool pie) {
  impl_->DrawEllipse(*this, box, start, end, pie ? Impl::PieShape : Impl::ArcOnly);
}

// The brush over the rectangle, no outline, no raster operation; hatch
// gaps take the background colour.
void BitmapDC::DoFillRect(const Rect& r, const Brush& b) {
  const BrushPaint brush = MakeBrushPaint(b, GetBkColor(), true);
  if (brush.kind == BrushPaint::None) return;
  const bool solid = brush.kind == BrushPaint::Solid;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip(), solid ? &r : nullptr);
  const Box box = Intersect(c.box, MakeBox(r.left, r.top, r.right, r.bottom));
  if (solid && !c.mask) {
    FillRows(c, box, brush.colour);
    return;
  }
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x) {
      QRgb colour;
      if (c.InClip(x, y) && brush.At(x, y, colour)) c.At(x, y) = colour;
    }
}

// Pattern operations: the current brush (hatch gaps in the background
// colour) combined with the destination.  Operations that need a source
// are ignored here, and so are pattern operations with the null brush.
void BitmapDC::DoPatBlt(const Rect& r, unsigned rop) {
  const unsigned code = (rop >> 16) & 0xFF;
  if (Rop3UsesSource(code)) return;
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), true);
  if (Rop3UsesPattern(code) && brush.kind == BrushPaint::None) return;
  const bool fill = code == 0xF0 && brush.kind == BrushPaint::Solid;
  Canvas c = impl_->Prepare(ImageOf(target_), CurrentClip(), fill ? &r : nullptr);
  const Box box = Intersect(c.box, MakeBox(r.left, r.top, r.right, r.bottom));
  // A solid pattern copied: whole rows of one colour.
  if (code == 0xF0 && brush.kind == BrushPaint::Solid && !c.mask) {
    FillRows(c, box, brush.colour | 0xFF000000u);
    return;
  }
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x) {
      if (!c.InClip(x, y)) continue;
      QRgb p = 0;
      brush.At(x, y, p);
      QRgb& d = c.At(x, y);
      d = ApplyRop3(code, p, 0, d) | 0xFF000000u;
    }
}

// Nearest-pixel copy from the source rectangle onto the destination
// rectangle, cut to both images and the clip.  The source may be the
// target itself: the source image is held as it was before the copy.
void BitmapDC::DoBitBlt(const Rect& dest, const Bitmap& source, const Rect& src, unsigned rop) {
  const unsigned code = (rop >> 16) & 0xFF;
  const BrushPaint brush = MakeBrushPaint(CurrentBrush(), GetBkColor(), true);
  if (Rop3UsesPattern(code) && brush.kind == BrushPaint::None) return;
  if (WidthOf(dest) <= 0 || HeightOf(dest) <= 0 || WidthOf(src) <= 0 || HeightOf(src) <= 0) return;
  const QImage from = ImageOf(source);  // shares the data; the target detaches on write
  const bool needSource = Rop3UsesSource(code);
  if (needSource && from.isNull()) return;
  const bool copy = code == 0xCC && WidthOf(dest) == WidthOf(src) && HeightOf(dest) == HeightOf(src);
  QImage& to = ImageOf(target_);
  // A copy of a whole image of the same size onto the whole target, without
  // a clip: the target shares the source's pixels (copied on a later write).
  // Every image here holds opaque pixels (alpha 0xFF), so sharing gives the
  // pixels a copy would.
  if (copy && CurrentClip().kind == Clip::None && dest.left == 0 && dest.top == 0 && src.left == 0 &&
      src.top == 0 && WidthOf(src) == from.width() && HeightOf(src) == from.height() &&
      from.width() == to.width() && from.height() == to.height() && from.format() == to.format()) {
    to = from;
    impl_->clipValid = false;
    return;
  }
  const bool covered = copy && src.left >= 0 && src.top >= 0 && src.right <= from.width() && src.bottom <= from.height();
  Canvas c = impl_->Prepare(to, CurrentClip(), covered ? &dest : nullptr);
  const Box box = Intersect(c.box, MakeBox(dest.left, dest.top, dest.right, dest.bottom));
  if (box.Empty()) return;
  const int fromW = from.width();
  const int fromH = from.height();
  // An unstretched copy without a clip polygon: row copies.
  if (copy && !c.mask) {
    const i64 dx = i64{src.left} - dest.left;
    const i64 dy = i64{src.top} - dest.top;
    // The destination columns and rows whose source pixels exist.
    const Box rows = Intersect(box, MakeBox(-dx, -dy, fromW - dx, fromH - dy));
    for (int y = rows.y0; y < rows.y1; ++y) {
      const QRgb* s = reinterpret_cast<const QRgb*>(from.constScanLine(static_cast<int>(y + dy))) + (rows.x0 + dx);
      CopyPixelsOpaque(&c.At(rows.x0, y), s, static_cast<std::size_t>(rows.W()));
    }
    return;
  }

  // Source column and row of each destination pixel (pixel centres mapped).
  auto mapAxis = [](int d, i64 d0, i64 dn, i64 s0, i64 sn) {  // d >= d0
    return Saturate(i128{s0} + i128{2 * (d - d0) + 1} * sn / (i128{2} * dn));
  };
  std::vector<i64> sxs(static_cast<std::size_t>(box.W()));
  for (int x = box.x0; x < box.x1; ++x)
    sxs[static_cast<std::size_t>(x - box.x0)] = mapAxis(x, dest.left, WidthOf(dest), src.left, WidthOf(src));
  for (int y = box.y0; y < box.y1; ++y) {
    const i64 sy = mapAxis(y, dest.top, HeightOf(dest), src.top, HeightOf(src));
    if (needSource && (sy < 0 || sy >= fromH)) continue;
    const QRgb* srow = needSource ? reinterpret_cast<const QRgb*>(from.constScanLine(static_cast<int>(sy))) : nullptr;
    for (int x = box.x0; x < box.x1; ++x) {
      if (!c.InClip(x, y)) continue;
      QRgb s = 0;
      if (needSource) {
        const i64 sx = sxs[static_cast<std::size_t>(x - box.x0)];
        if (sx < 0 || sx >= fromW) continue;
        s = srow[sx];
      }
      QRgb p = 0;
      brush.At(x, y, p);
      QRgb& d = c.At(x, y);
      d = ApplyRop3(code, p, s, d) | 0xFF000000u;
    }
  }
}

// Text in the selected font and text colour (raster operations do not
// apply), aligned to the reference point and turned by the escapement
// around it.  OPAQUE mode first fills the text cell with the background
// colour.
void BitmapDC::DoTextOut(Point at, const std::string& text) {
  QImage& img = ImageOf(target_);
  Impl& d = *impl_;
  d.UpdateClip(img.width(), img.height(), CurrentClip());
  if (d.clipBox.Empty()) return;
  const QFont& font = d.FontFor(CurrentFont());
  const QString s = TextForFont(CurrentFont(), text);
  const QFontMetrics fm(font);
  const int width = fm.horizontalAdvance(s);
  const int ascent = fm.ascent();
  const int descent = fm.descent();

  const unsigned align = GetTextAlign();
  double x = 0;
  if ((align & TA_CENTER) == TA_CENTER)
    x = -width / 2.0;
  else if ((align & TA_CENTER) == TA_RIGHT)
    x = -width;
  double baseline = ascent;
  if ((align & TA_BASELINE) == TA_BASELINE)
    baseline = 0;
  else if ((align & TA_BASELINE) == TA_BOTTOM)
    baseline = -descent;

  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  if (CurrentClip().kind != Clip::None) p.setClipRegion(d.Region());
  p.translate(at.x, at.y);
  p.rotate(-CurrentFont().escapement / 10.0);
  if (GetBkMode() == OPAQUE)
    p.fillRect(QRectF(x, baseline - ascent, width, ascent + descent), QColor(QRgbOf(GetBkColor())));
  p.setFont(font);
  p.setPen(QColor(QRgbOf(GetTextColor())));
  p.drawText(QPointF(x, baseline), s);
}

Size BitmapDC::DoTextExtent(const std::string& text) const {
  const QFontMetrics fm(impl_->FontFor(CurrentFont()));
  return Size{fm.horizontalAdvance(TextForFont(CurrentFont(), text)), fm.ascent() + fm.descent()};
}

DC::TextMetrics BitmapDC::DoTextMetrics() const {
  const QFontMetrics fm(impl_->FontFor(CurrentFont()));
  TextMetrics m;
  m.ascent = fm.ascent();
  m.descent = fm.descent();
  m.height = m.ascent + m.descent;
  m.aveCharWidth = fm.averageCharWidth();
  return m;
}

}  // namespace plat
