// Platform-internal: the rasteriser's shapes.  Thin lines walked pixel by
// pixel, coverage masks that shapes are rasterised into and then combined
// with the image in one pass, wide outlines and polygon fills through the
// toolkit's rasteriser (cut to the area first), and the scanline fill of
// polygons with whole-pixel corners.  Only the BitmapDC sources include
// this header.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QPolygonF>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/raster_paint.h"

namespace plat::raster {

// ---- thin lines ----
//
// The part of a line that WalkLine (below) visits when an end lies outside
// the box: the first and last step i0..i1 and the minor offset m and the
// remainder rem at i0.  False when no pixel of the line lies in the box.
inline bool Bounds(int sMaj, int sMin, i64 major, i64 minor, i64 maj0, i64 min0, i64 majLo, i64 majHi, i64 minLo,
                   i64 minHi, i64& i0, i64& i1, i64& m, i64& rem) {
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
  if (mHi < 0) return false;
  // Lines of fewer than 2^30 pixels within 2^30 of the box, as every line
  // on an image is, keep the products below 2^62: 64-bit division then.
  constexpr i64 kNarrow = i64{1} << 30;
  const bool narrow = major < kNarrow && mHi < kNarrow && mLo > -kNarrow;
  if (minor == 0) {
    if (mLo > 0) return false;
  } else if (narrow) {
    if (mLo > 0) i0 = std::max(i0, CeilDiv64(2 * major * mLo - major + 1, 2 * minor));
    i1 = std::min(i1, FloorDiv64(2 * major * (mHi + 1) - major, 2 * minor));
  } else {
    if (mLo > 0) i0 = std::max(i0, CeilDiv(i128{2} * major * mLo - major + 1, i128{2} * minor));
    i1 = std::min(i1, FloorDiv(i128{2} * major * (mHi + 1) - major, i128{2} * minor));
  }
  if (i0 > i1) return false;
  if (narrow) {
    const i64 start = 2 * i0 * minor + major - 1;
    m = start / (2 * major);
    rem = start % (2 * major);
  } else {
    const i128 start = i128{2} * i0 * minor + major - 1;
    m = static_cast<i64>(start / (2 * major));
    rem = static_cast<i64>(start % (2 * major));
  }
  return true;
}

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
  i64 m = 0;
  i64 rem = major - 1;
  // With both ends in the box every pixel is, and the walk starts at offset 0.
  if (!(box.Contains(a.x, a.y) && box.Contains(b.x, b.y)) &&
      !Bounds(sMaj, sMin, major, minor, maj0, min0, majLo, majHi, minLo, minHi, i0, i1, m, rem))
    return;
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
inline i64 LineSteps(Point a, Point b) {
  return std::max(std::abs(i64{b.x} - a.x), std::abs(i64{b.y} - a.y));
}

// The thin line of the selected pen straight into the image bits.
inline void ThinLine(Canvas& c, Point a, Point b, const PenPaint& pen, i64 phase) {
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
void ThinOutline(Coverage& cov, const std::vector<Point>& pts, bool closed, const PenPaint& pen);

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
QPolygonF ClipPolygon(QPolygonF poly, double x0, double y0, double x1, double y1);

// Cuts a segment to a rectangle (Liang-Barsky); false when nothing is left.
bool ClipSegment(QPointF& a, QPointF& b, double x0, double y0, double x1, double y1);

// Wide pen: round caps and joins, centred on the pixel centres of the path.
void WideOutline(Coverage& cov, const std::vector<QPointF>& pts, bool closed, int width);

// Combines a coverage mask with the image: pen pixels in the pen colour
// (gaps in the background colour when opaque), fill pixels with the brush,
// all through the raster operation.
void Composite(Canvas& c, const Coverage& cov, const PenPaint& pen, const BrushPaint& brush, int rop);

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

std::vector<QPointF> ToPointsF(const std::vector<Point>& pts);

// Rows of one colour over the box (no clip polygon); a box over the whole
// image is filled as one block of memory.
void FillRows(Canvas& c, const Box& box, QRgb colour);

}  // namespace plat::raster
