// Grid lines through the ticks, crosses at the grid points and circle arcs.
// Grid lines and crosses go to the PiCTeX or SVG file instead of the device
// context while one of these formats records; an EPS run draws them on the
// screen only.
#include <algorithm>
#include <cmath>

#include "graphics/zor_wing.h"
#include "core/constants.h"

namespace kv {

bool TZORWing::ClipToAlternateRange(bool inX, TPoint2D& a, TPoint2D& b) const {
  if (!UseAlternate) return true;
  if (inX) {
    if (a.x < Alternate.xmin) a.x = Alternate.xmin;
    if (b.x > Alternate.xmax) b.x = Alternate.xmax;
    return Alternate.xmin <= b.x && a.x <= Alternate.xmax;
  }
  if (a.y < Alternate.ymin) a.y = Alternate.ymin;
  if (b.y > Alternate.ymax) b.y = Alternate.ymax;
  return Alternate.ymin <= b.y && a.y <= Alternate.ymax;
}

void TZORWing::DrawGrid(plat::DC& dc, const TTickRange& range, const plat::Pen& gridPen,
                        const plat::Pen& majorPrintPen, const TPenSpec& displaySpec, const TPenSpec& printSpec) {
  if (!(GridBits & kGridRectangular)) return;
  const TSegment2D& r = UseAlternate ? Alternate : World;
  const long double ex = 0.002L * HalfX;
  const long double ey = 0.002L * HalfY;
  const bool q1 = GridBits & kGridQuadrant1;
  const bool q2 = GridBits & kGridQuadrant2;
  const bool q3 = GridBits & kGridQuadrant3;
  const bool q4 = GridBits & kGridQuadrant4;
  const plat::Pen oldPen = dc.CurrentPen();
  TExportSink* sink = ActiveSink();
  if (sink && !sink->TakesGrid()) sink = nullptr;

  auto drawLine = [&](const TPoint2D& a, const TPoint2D& b, std::int32_t k, int frequency) {
    const bool major = frequency == 1 || (frequency != 0 && k % frequency == 0);
    const bool printMajor = Printing && major;
    if (sink) {
      // The line style of the PiCTeX grid is set around the whole grid.
      TExportPen pen = ExportPenOf(printMajor ? printSpec : displaySpec);
      if (sink->Format() == TExportFormat::Pictex) pen.style = 0;
      sink->Rule(a, b, pen);
    } else {
      dc.SelectPen(printMajor ? majorPrintPen : gridPen);
      DrawWorldLine(dc, a, b, false);
    }
  };
  // Lines whose index lies outside the range are outside the view: the
  // loops stop at the range, so a tick origin far from the view costs
  // nothing.
  auto horizontal = [&](long double x1, long double x2, std::int32_t kFrom, std::int32_t kTo) {
    TPoint2D a{x1, 0};
    TPoint2D b{x2, 0};
    if (!ClipToAlternateRange(true, a, b)) return;
    for (std::int64_t k = kFrom; k <= kTo; ++k) {
      const long double y = TickOriginY + k * TickIntervalY;
      if (y > r.ymin) drawLine({a.x, y}, {b.x, y}, static_cast<std::int32_t>(k), LabelFrequencyY);
    }
  };
  auto vertical = [&](long double y1, long double y2, std::int32_t kFrom, std::int32_t kTo) {
    TPoint2D a{0, y1};
    TPoint2D b{0, y2};
    if (!ClipToAlternateRange(false, a, b)) return;
    for (std::int64_t k = kFrom; k <= kTo; ++k) {
      const long double x = TickOriginX + k * TickIntervalX;
      if (x > r.xmin) drawLine({x, a.y}, {x, b.y}, static_cast<std::int32_t>(k), LabelFrequencyX);
    }
  };

  if ((q3 || q4) && range.bottom < 0)
    horizontal(q3 ? r.xmin + ex : 0, q4 ? r.xmax - ex : 0, range.bottom, std::min(0, range.top));
  if ((q1 || q2) && range.top > 0)
    horizontal(q2 ? r.xmin + ex : 0, q1 ? r.xmax - ex : 0, std::max(0, range.bottom), range.top);
  if ((q2 || q3) && range.left < 0)
    vertical(q3 ? r.ymin + ey : 0, q2 ? r.ymax - ey : 0, range.left, std::min(0, range.right));
  if ((q1 || q4) && range.right > 0)
    vertical(q4 ? r.ymin + ey : 0, q1 ? r.ymax - ey : 0, std::max(0, range.left), range.right);
  dc.SelectPen(oldPen);
}

void TZORWing::DrawGridPoints(plat::DC& dc, const TTickRange& range, const plat::Pen& pen, int colourIndex) {
  if (!RasterShown) return;
  const int h = WholePixels(std::fabs(UnitsPerPixelX * PointMarkLength / 2) * PixelsPerUnitX);
  const int v = WholePixels(std::fabs(UnitsPerPixelY * PointMarkLength / 2) * PixelsPerUnitY);
  const plat::Pen oldPen = dc.SelectPen(pen);
  const plat::Colour colour = GetColour(colourIndex);
  TExportSink* sink = ActiveSink();
  if (sink && !sink->TakesGrid()) sink = nullptr;
  for (std::int64_t k = range.bottom; k <= range.top; ++k) {
    const long double y = TickOriginY + k * TickIntervalY;
    const int py = WorldToPixelY(y);
    for (std::int64_t j = range.left; j <= range.right; ++j) {
      const long double x = TickOriginX + j * TickIntervalX;
      const int px = WorldToPixelX(x);
      if (sink && sink->Format() == TExportFormat::Svg) {
        // Like the screen's cross: at the clamped pixel, inside or not.
        sink->PixelCross({px, py}, h, colour);
      } else if (sink) {
        sink->Marker({x, y}, 0, h, colour, 0);  // a small dot in PiCTeX
      } else {
        dc.MoveTo(px - h, py);
        dc.LineTo(px + h + 1, py);
        dc.MoveTo(px, py - v);
        dc.LineTo(px, py + v + 1);
      }
    }
  }
  dc.SelectPen(oldPen);
}

bool TZORWing::DrawCircleArc(plat::DC& dc, const TPoint2D& c, long double r, long double a1, long double a2) {
  const int left = RoundToInt(WorldToDeviceX(c.x - r));
  const int top = RoundToInt(WorldToDeviceY(c.y + r));
  const int right = RoundToInt(WorldToDeviceX(c.x + r)) + 1;
  const int bottom = RoundToInt(WorldToDeviceY(c.y - r)) + 1;
  if (std::fabs(a2 - a1 - 2 * Pi) < kTolerance) {
    const plat::Brush oldBrush = dc.SelectBrush(plat::NullBrush());
    dc.Ellipse(left, top, right, bottom);
    dc.SelectBrush(oldBrush);
    return true;
  }
  dc.Arc(left, top, right, bottom, RoundToInt(WorldToDeviceX(c.x + r * std::cos(a1))),
         RoundToInt(WorldToDeviceY(c.y + r * std::sin(a1))), RoundToInt(WorldToDeviceX(c.x + r * std::cos(a2))),
         RoundToInt(WorldToDeviceY(c.y + r * std::sin(a2))));
  return true;
}

}  // namespace kv
