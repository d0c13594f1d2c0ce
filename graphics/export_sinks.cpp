#include "graphics/export_sinks.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/view_mapping.h"
#include "graphics/zor_wing.h"

namespace kv {

void TExportSink::Arc(const TPoint2D& c, long double r, long double a1, long double a2, long double unitsPerPixel,
                      const TSegment2D& clip, const TExportPen& pen) {
  // About one point every two pixels of arc, at least a few.
  const long double length = std::fabs(a2 - a1) * r / (unitsPerPixel > 0 ? unitsPerPixel : 1);
  const int n = std::clamp(static_cast<int>(length / 2), 8, 2000);
  auto at = [&](int k) {
    const long double a = a1 + (a2 - a1) * k / n;
    return TPoint2D{c.x + r * std::cos(a), c.y + r * std::sin(a)};
  };
  std::vector<TPoint2D> piece;
  auto flush = [&] {
    if (piece.size() >= 2) Stroke(piece.data(), static_cast<int>(piece.size()) - 1, pen);
    piece.clear();
  };
  TPoint2D from = at(0);
  for (int k = 1; k <= n; ++k) {
    const TPoint2D to = at(k);
    TPoint2D p = from;
    TPoint2D q = to;
    from = to;
    if (!TViewMapping::ClipSegmentToRect(clip.xmin, clip.xmax, clip.ymin, clip.ymax, p, q, false)) {
      flush();
      continue;
    }
    // A step that enters the rectangle starts a new piece.
    if (!piece.empty() && (p.x != piece.back().x || p.y != piece.back().y)) flush();
    if (piece.empty()) piece.push_back(p);
    piece.push_back(q);
  }
  flush();
}

namespace {

// The pixel where a text's baseline starts, measured in dc's font.
plat::Point Baseline(plat::DC& dc, const TExportText& t) {
  const plat::Size e = dc.GetTextExtent(t.text);
  return TextBaselinePoint(t.anchor.x, t.anchor.y, e.cx, e.cy, t.font.escapement, t.hAlign, t.vAlign);
}

}  // namespace

// ---- EPS ----

void TEpsSink::Line(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) {
  writer_.WriteEpsLine(a, b, pen.colour, pen.width, pen.style);
}

void TEpsSink::PixelLine(plat::Point a, plat::Point b, const TExportPen& pen) {
  Line(w_.PixelToWorldPoint(a), w_.PixelToWorldPoint(b), pen);
}

void TEpsSink::Polyline(const TPoint2D* points, int last, const TExportPen& pen) {
  // A recorded curve is one solid path whatever its pen: its samples lie a
  // pixel or two apart, and dashes would restart at every one of them.
  writer_.WriteEpsPolyline(points, last, pen.colour, pen.width);
}

void TEpsSink::GappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, const TExportPen& pen,
                              int mode) {
  writer_.WriteEpsGappedPolyline(points, flags, last, pen.colour, pen.width, pen.style, mode);
}

void TEpsSink::Polygon(const TPoint2D* points, int count, bool hollow, plat::Colour fill, int width,
                       plat::Colour stroke) {
  writer_.WriteEpsPolygon(points, count, hollow, fill, width, stroke);
}

void TEpsSink::Hatch(const TPoint2D* points, int count, plat::Colour colour, int) {
  writer_.WriteEpsPolygon(points, count, false, colour, 0, colour);
}

void TEpsSink::Circle(const TPoint2D& centre, int radiusPixels, int width, std::optional<plat::Colour> fill,
                      std::optional<plat::Colour> stroke) {
  writer_.WriteEpsCircle(centre, radiusPixels * w_.UnitsPerPixelX, width, fill, stroke);
}

void TEpsSink::Marker(const TPoint2D& p, int style, int r, plat::Colour colour, int) {
  writer_.WriteEpsMarker(p, style, r, colour);
}

void TEpsSink::Text(plat::DC& dc, const TExportText& t) {
  const plat::Point b = Baseline(dc, t);
  writer_.WriteEpsTextWithFont(w_.PixelToWorldPoint(b), t.text, t.colour, t.font.Face(), t.pointSize,
                               t.font.italic != 0, t.font.escapement);
}

void TEpsSink::Rect(const plat::Rect& box, bool hollow, plat::Colour fill, int lineWidth, plat::Colour stroke,
                    int radius) {
  const TPoint2D p1{w_.PixelToWorldX(box.left), w_.PixelToWorldY(box.top)};
  const TPoint2D p2{w_.PixelToWorldX(box.right), w_.PixelToWorldY(box.bottom)};
  writer_.WriteEpsRoundRect(p1, p2, hollow, fill, lineWidth, stroke, radius * w_.UnitsPerPixelX);
}

void TEpsSink::Arrow(const TExportArrow& a) {
  if (!a.filled) {
    writer_.WriteEpsLine(a.c1, a.tip, a.pen.colour, a.pen.width, a.pen.style);
    writer_.WriteEpsLine(a.tip, a.c2, a.pen.colour, a.pen.width, a.pen.style);
    return;
  }
  // A filled head is outlined one pixel wide, whatever the pen.
  const TPoint2D head[3] = {a.c1, a.tip, a.c2};
  writer_.WriteEpsPolygon(head, 3, false, a.pen.colour, 1, a.pen.colour);
}

// ---- SVG ----

std::vector<plat::Point>& TSvgSink::Pixels(const TPoint2D* points, int count) {
  pixels_.resize(static_cast<std::size_t>(count < 0 ? 0 : count));
  for (int k = 0; k < count; ++k) w_.WorldToPixel(points[k], pixels_[static_cast<std::size_t>(k)]);
  return pixels_;
}

void TSvgSink::Line(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) {
  plat::Point p, q;
  w_.WorldToPixel(a, p);
  w_.WorldToPixel(b, q);
  writer_.WriteSvgLine(p, q, pen.colour, pen.width, pen.style);
}

void TSvgSink::PixelLine(plat::Point a, plat::Point b, const TExportPen& pen) {
  writer_.WriteSvgLine(a, b, pen.colour, pen.width, pen.style);
}

void TSvgSink::Stroke(const TPoint2D* points, int last, const TExportPen& pen) {
  if (last < 1) return;
  const std::vector<plat::Point>& px = Pixels(points, last + 1);
  writer_.WriteSvgPath(px.data(), last, pen.colour, pen.width, {}, pen.style);
}

void TSvgSink::Polyline(const TPoint2D* points, int last, const TExportPen& pen) {
  if (last < 1) return;
  // One path, solid, with the width as given (see TEpsSink::Polyline).
  const std::vector<plat::Point>& px = Pixels(points, last + 1);
  writer_.WriteSvgPath(px.data(), last, pen.colour, pen.width);
}

void TSvgSink::GappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, const TExportPen& pen,
                              int mode) {
  if (last < 1) return;
  const std::vector<plat::Point>& px = Pixels(points, last + 1);
  writer_.WriteSvgGappedPolyline(px.data(), flags, last, pen.colour, pen.width, mode);
}

void TSvgSink::Polygon(const TPoint2D* points, int count, bool hollow, plat::Colour fill, int width,
                       plat::Colour stroke) {
  if (count < 1) return;
  const std::vector<plat::Point>& px = Pixels(points, count);
  writer_.WriteSvgPolygon(px.data(), count, hollow, fill, width, stroke, 0);
}

void TSvgSink::Hatch(const TPoint2D* points, int count, plat::Colour colour, int hatchStyle) {
  if (count < 1) return;
  const std::vector<plat::Point>& px = Pixels(points, count);
  writer_.WriteSvgPolygon(px.data(), count, false, colour, 0, colour, hatchStyle);
}

void TSvgSink::Circle(const TPoint2D& centre, int radiusPixels, int width, std::optional<plat::Colour> fill,
                      std::optional<plat::Colour> stroke) {
  plat::Point p;
  w_.WorldToPixel(centre, p);
  writer_.WriteSvgCircle(p.x, p.y, radiusPixels, stroke, width, fill, 0);
}

void TSvgSink::Marker(const TPoint2D& p, int style, int r, plat::Colour colour, int) {
  plat::Point d;
  // Markers outside the client area are left out.
  if (w_.WorldToPixel(p, d)) writer_.WriteSvgMarker(d.x, d.y, style, r, colour);
}

void TSvgSink::Text(plat::DC& dc, const TExportText& t) {
  const plat::Point b = Baseline(dc, t);
  writer_.WriteSvgText(b.x, b.y, t.text, t.colour, t.font.Face(), t.pointSize, t.font.weight, t.font.italic != 0,
                       t.font.escapement);
}

void TSvgSink::Rect(const plat::Rect& box, bool hollow, plat::Colour fill, int lineWidth, plat::Colour stroke,
                    int radius) {
  writer_.WriteSvgRect(box.left, box.top, box.Width(), box.Height(), hollow, fill, lineWidth, stroke, radius, radius);
}

void TSvgSink::Arrow(const TExportArrow& a) {
  plat::Point p[3];
  w_.WorldToPixel(a.c1, p[0]);
  w_.WorldToPixel(a.tip, p[1]);
  w_.WorldToPixel(a.c2, p[2]);
  if (!a.filled) {
    writer_.WriteSvgLine(p[0], p[1], a.pen.colour, a.pen.width, a.pen.style);
    writer_.WriteSvgLine(p[1], p[2], a.pen.colour, a.pen.width, a.pen.style);
    return;
  }
  writer_.WriteSvgPolygon(p, 3, false, a.pen.colour, 1, a.pen.colour, 0);
}

// ---- PiCTeX ----

void TPictexSink::Line(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) {
  writer_.WritePictexLineStyle(pen.style, false);
  writer_.WritePictexLine(a, b, 0);
  writer_.WritePictexLineStyle(pen.style, true);
}

void TPictexSink::Rule(const TPoint2D& a, const TPoint2D& b, const TExportPen& pen) {
  writer_.WritePictexLineStyle(pen.style, false);
  writer_.WritePictexRule(a, b);
  writer_.WritePictexLineStyle(pen.style, true);
}

void TPictexSink::PixelLine(plat::Point a, plat::Point b, const TExportPen& pen) {
  Line(w_.PixelToWorldPoint(a), w_.PixelToWorldPoint(b), pen);
}

void TPictexSink::Polyline(const TPoint2D* points, int last, const TExportPen& pen) {
  writer_.WritePictexLineStyle(pen.style, false);
  writer_.WritePictexPolyline(points, last);
  writer_.WritePictexLineStyle(pen.style, true);
}

void TPictexSink::GappedPolyline(const TPoint2D* points, const std::uint8_t* flags, int last, const TExportPen&,
                                 int mode) {
  writer_.WritePictexGappedPolyline(points, flags, last, mode);
}

void TPictexSink::Polygon(const TPoint2D* points, int count, bool hollow, plat::Colour, int width,
                          plat::Colour stroke) {
  if (count < 2) return;
  if (!hollow) {
    ++leftOutFills_;
    return;
  }
  if (width < 0) return;
  std::vector<TPoint2D> outline(points, points + count);
  outline.push_back(points[0]);
  Polyline(outline.data(), count, {stroke, width, 0});
}

void TPictexSink::Hatch(const TPoint2D* points, int count, plat::Colour, int hatchStyle) {
  // A region PiCTeX cannot shade in either direction is left out, and
  // counted so that the file is not reported as complete.
  if (!writer_.WritePictexShadedPolygon(points, count, true, hatchStyle) &&
      !writer_.WritePictexShadedPolygon(points, count, false, hatchStyle))
    ++leftOutFills_;
}

void TPictexSink::Circle(const TPoint2D& centre, int, int, std::optional<plat::Colour> fill,
                         std::optional<plat::Colour>) {
  // A dot of the picture's script size, open when unfilled.
  writer_.WritePictexMarker(centre, 3, !fill.has_value());
}

void TPictexSink::Marker(const TPoint2D& p, int, int, plat::Colour, int pictexStyle) {
  writer_.WritePictexMarker(p, pictexStyle, false);
}

void TPictexSink::Text(plat::DC&, const TExportText& t) {
  writer_.WritePictexText(t.text, t.orientation, t.world, t.math);
}

void TPictexSink::Arrow(const TExportArrow& a) {
  const TPoint2D c1{a.c1.x - a.tip.x, a.c1.y - a.tip.y};
  const TPoint2D c2{a.c2.x - a.tip.x, a.c2.y - a.tip.y};
  writer_.WritePictexArrow(a.vector, a.tip, a.headLength, a.filled, true, c1, c2);
}

}  // namespace kv
