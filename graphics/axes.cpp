// The coordinate system of a graphics window in one pass: grid, polar
// sectors, both axes with arrow heads, ticks and numbers, the axis labels
// and the tick-density notice.  While an export records, each figure also
// goes to the writer of the recording format (see zor_wing.h).
#include <algorithm>
#include <cmath>

#include "graphics/zor_wing.h"
#include "platform/resources.h"
#include "core/constants.h"

namespace kv {

namespace {

// Colour slots the axes use.
constexpr std::size_t kBackgroundSlot = 0;
constexpr std::size_t kAxisSlot = 3;
constexpr std::size_t kGridSlot = 10;

// A tick or number at 0 counts as the origin below this.
constexpr long double kOriginTolerance = 1e-13L;

// At most this many polar circles: a tick interval far below the view's
// size (from a file) must not make the pass draw millions of them.
constexpr long double kMaxPolarCircles = 100000;

bool IsQuadrantOneGrid(std::int16_t gridBits) { return gridBits % 32 == 17; }

// k mod n = 0 with a frequency below 1 taken as 1.
bool IsLabelled(std::int64_t k, int frequency) { return frequency <= 1 || k % frequency == 0; }

std::uint16_t U16(int v) { return static_cast<std::uint16_t>(v); }

}  // namespace

void TZORWing::GridSettingsApplied() {
  GridChanged();
  UpdateTickMetrics();
  Modified = 1;
  SettingsChanged = 1;
  Invalidate(false);
}

void TZORWing::DrawAxes(plat::DC& dc) {
  if (!AxesShown && !RasterShown && GridBits == 0) return;
  const plat::Pen oldPen = dc.CurrentPen();
  const bool monochrome = Printing && !ColourPrinter;
  const int factor = ScaleLineWidths ? LineWidthFactor : 1;

  const int axisIndex = monochrome ? 0 : ColourSlots[kAxisSlot];
  const plat::Colour axisColour = DrawingColourOf(ColourSlots[kAxisSlot]);
  const int axisWidth = (Printing ? AxisWidthPrint : AxisWidthDisplay) * factor;
  const TPenSpec axisSpec{U16(axisIndex), U16(axisWidth), 0};
  const plat::Pen axisPen{plat::PS_SOLID, axisWidth, axisColour};
  const plat::Brush axisBrush = plat::SolidBrush(axisColour);

  // A grid in the background colour would be invisible.
  if (ColourSlots[kGridSlot] == ColourSlots[kBackgroundSlot]) ColourSlots[kGridSlot] = 0;
  const int gridIndex = monochrome ? 0 : ColourSlots[kGridSlot];
  const plat::Colour gridColour = DrawingColourOf(ColourSlots[kGridSlot]);
  const int w1 = GridWidthDisplay * factor;
  const int w2 = GridWidthPrint * factor;
  TPenSpec gridSpec1{U16(gridIndex), U16(w1), 0};
  TPenSpec gridSpec2 = gridSpec1;
  plat::Pen gridPen1{plat::PS_SOLID, w1, gridColour};
  plat::Pen gridPen2 = gridPen1;
  const bool dots = GridBits & kGridAsDots;
  if (dots) {
    gridSpec1.style = gridSpec2.style = 1;
    gridPen1.style = gridPen2.style = plat::PS_DOT;
  } else if (Printing || ScaleLineWidths) {
    gridPen2.width = w2;
    gridSpec2.width = U16(w2);
  }

  TTickRange range;
  AutoTickSpacing(range);
  // A PiCTeX file draws the whole grid, lines and polar sectors, dotted.
  TExportSink* sink = dots ? ActiveSink() : nullptr;
  if (sink) sink->LineStyle(1, false);
  DrawGrid(dc, range, gridPen1, gridPen2, gridSpec1, gridSpec2);
  DrawPolarSectors(dc, gridPen1, gridSpec1);
  if (sink) sink->LineStyle(1, true);
  DrawGridPoints(dc, range, gridPen1, gridSpec1.colour);
  DrawAxisWithTicks(dc, true, range, axisPen, axisBrush, axisSpec);
  DrawAxisWithTicks(dc, false, range, axisPen, axisBrush, axisSpec);
  DrawAxisLabels(dc);
  DrawTickDensityNotice(dc);
  dc.SelectPen(oldPen);
  SettingsChanged = 0;
}

void TZORWing::DrawPolarSectors(plat::DC& dc, const plat::Pen& gridPen, const TPenSpec& spec) {
  if (!(GridBits & kGridPolarSectors)) return;
  const TSegment2D& r = UseAlternate ? Alternate : World;
  long double a1 = 0;
  long double a2 = 0;
  const bool originInside = AngleRangeOfRect(r.xmin, r.xmax, r.ymin, r.ymax, 0, 0, a1, a2);
  long double rmin = 0;
  long double rmax = 0;
  DistanceRangeOfRect(r.xmin, r.xmax, r.ymin, r.ymax, 0, 0, Centre.x, Centre.y, rmin, rmax);
  const plat::Pen oldPen = dc.SelectPen(gridPen);
  // Sectors are grid lines: the EPS page leaves them to the screen.
  TExportSink* sink = ActiveSink();
  if (sink && !sink->TakesGrid()) sink = nullptr;

  // The line style of the PiCTeX grid is set around the whole grid.
  TExportPen pen = ExportPenOf(spec);
  if (sink && sink->Format() == TExportFormat::Pictex) pen.style = 0;

  // Circles and rays end one pixel beyond the view, where the screen's
  // clipping ends them.
  const TSegment2D grown{r.xmin - UnitsPerPixelX, r.xmax + UnitsPerPixelX, r.ymin - UnitsPerPixelY,
                         r.ymax + UnitsPerPixelY};
  const long double step = TickIntervalX;
  if (step > kTolerance && (rmax - rmin) / step < kMaxPolarCircles) {
    const long double last = std::floor(rmax / step) + 1;
    for (long double i = std::floor(rmin / step) + 1; i <= last; ++i) {
      const long double radius = i * step;
      if (rmin < radius && radius < rmax) {
        if (sink)
          sink->Arc({0, 0}, radius, a1, a2, UnitsPerPixelX, grown, pen);
        else
          DrawCircleArc(dc, {0, 0}, radius, a1, a2);
      }
    }
  }

  if (PolarSectors >= 1) {
    const long double d = 2 * Pi / PolarSectors;
    if (originInside) a2 = 2 * Pi;
    long double j = std::floor(a1 / d) + 1;
    const long double jLast = std::floor(a2 / d);
    if (j == 1 && AxisChoice % 2 == 0) j = 0;  // no x axis of its own: draw the ray at angle 0
    for (; j <= jLast; ++j) {
      TPoint2D p1{0, 0};
      TPoint2D p2{rmax * std::cos(j * d), rmax * std::sin(j * d)};
      if (!ClipSegmentToRect(grown.xmin, grown.xmax, grown.ymin, grown.ymax, p1, p2, false))
        continue;
      // Of the files only SVG takes the rays.
      if (sink && sink->Format() == TExportFormat::Svg) {
        sink->Line(p1, p2, pen);
      } else {
        DrawWorldLine(dc, p1, p2, false);
      }
    }
  }
  dc.SelectPen(oldPen);
}

void TZORWing::DrawAxisWithTicks(plat::DC& dc, bool xAxis, const TTickRange& range, const plat::Pen& axisPen,
                                 const plat::Brush& axisBrush, const TPenSpec& spec) {
  // One pass for either axis, in coordinates along the axis and across it.
  // The rules that differ by axis are the named values below.
  const TSegment2D& r = UseAlternate ? Alternate : World;
  auto at = [xAxis](long double along, long double across) {
    return xAxis ? TPoint2D{along, across} : TPoint2D{across, along};
  };
  auto along = [xAxis](TPoint2D& p) -> long double& { return xAxis ? p.x : p.y; };
  const long double alongMin = xAxis ? r.xmin : r.ymin;
  const long double alongMax = xAxis ? r.xmax : r.ymax;
  const long double acrossMin = xAxis ? r.ymin : r.xmin;
  const long double acrossMax = xAxis ? r.ymax : r.xmax;
  const long double halfTick = xAxis ? HalfTickY : HalfTickX;  // across the axis
  const long double t = Printing ? halfTick : 0;
  const bool atFrame = ScaleBits > 4;
  const bool numbers = ScaleBits & (xAxis ? kScaleNumbersX : kScaleNumbersY);
  // The y ticks follow "Striche" like the x ticks, and their own flag too.
  const bool ticks = TicksShown && (xAxis || TicksShownY);
  // Axis choices: 1 the x axis, 2 the y axis, 3 both, 4 the positive x axis.
  const int ownChoice = xAxis ? 1 : 2;
  const int otherChoice = xAxis ? 2 : 1;
  const bool positiveOnly = xAxis && AxisChoice == 4;
  // On a logarithmic axis world 0 is the value 1, a number like any other.
  const bool logarithmic = xAxis ? LogarithmicX() : LogarithmicY();
  int p0 = 0;  // the axis's pixel row (x axis) or column (y axis)
  const bool inside = xAxis ? WorldToPixelYChecked(0, p0) : WorldToPixelXChecked(0, p0);
  bool onAxis = AxesShown && inside && (AxisChoice == ownChoice || AxisChoice == 3 || positiveOnly);
  const bool cross = AxesShown && (AxisChoice == otherChoice || AxisChoice == 3);

  const long double halfAlong = xAxis ? HalfX : HalfY;
  TPoint2D a = at(alongMin + 0.002L * halfAlong, 0);
  TPoint2D b = at(alongMax - 0.002L * halfAlong, 0);
  if ((IsQuadrantOneGrid(GridBits) || positiveOnly) && along(a) < 0) along(a) = 0;
  ClipToAlternateRange(xAxis, a, b);
  if (UseAlternate && (0 < acrossMin || 0 > acrossMax)) onAxis = false;

  const plat::Pen oldPen = dc.SelectPen(axisPen);
  if (onAxis) {
    if (TExportSink* sink = ActiveSink()) sink->Rule(a, b, ExportPenOf(spec));
    DrawWorldLine(dc, a, b, false);
    if (ArrowsShown) {
      const TPoint2D tip = xAxis ? TPoint2D{b.x - UnitsPerPixelX, b.y} : TPoint2D{b.x, b.y - UnitsPerPixelY};
      // The y arrow has the same length in pixels as the x arrow.
      const TPoint2D v = at(xAxis ? ArrowLength : Aspect * ArrowLength, 0);
      TPoint2D c1;
      TPoint2D c2;
      if (ArrowHeadPoints(v, ArrowLength, c1, c2)) {
        const plat::Brush oldBrush = dc.SelectBrush(axisBrush);
        DrawArrow(dc, {tip.x + c1.x, tip.y + c1.y}, tip, {tip.x + c2.x, tip.y + c2.y}, FilledArrowHeads != 0, spec, v,
                  ArrowLength);
        dc.SelectBrush(oldBrush);
      }
    }
  }

  // The pixel run of a tick across the axis: from its side towards the
  // smaller world values to one pixel past the other side (rows grow
  // downwards, columns to the right), within the alternate range.
  const int s = xAxis ? -1 : 1;
  const int half = WholePixels(halfTick * (xAxis ? PixelsPerUnitY : PixelsPerUnitX));
  int from = p0 - s * half;
  int to = p0 + s * (half + 1);
  if (UseAlternate) {
    int pixelMin = 0;
    int pixelMax = 0;
    if (xAxis) {
      WorldToPixelYChecked(acrossMin, pixelMin);
      WorldToPixelYChecked(acrossMax, pixelMax);
    } else {
      WorldToPixelXChecked(acrossMin, pixelMin);
      WorldToPixelXChecked(acrossMax, pixelMax);
    }
    from = s > 0 ? std::max(from, pixelMin) : std::min(from, pixelMin);
    to = s > 0 ? std::min(to, pixelMax) : std::max(to, pixelMax);
  }

  const plat::LogFont oldFont = dc.SelectFont(FontSlots[kAxisNumberFontSlot]);
  const long double tickOrigin = xAxis ? TickOriginX : TickOriginY;
  const long double tickInterval = xAxis ? TickIntervalX : TickIntervalY;
  const int frequency = xAxis ? LabelFrequencyX : LabelFrequencyY;
  std::int64_t k = xAxis ? range.left : range.bottom;
  const std::int64_t last = xAxis ? range.right : range.top;
  if (IsQuadrantOneGrid(GridBits) && k < 0) k = 0;
  if (positiveOnly && k < 0) k = 1;
  for (; k <= last; ++k) {
    const long double v = tickOrigin + k * tickInterval;
    if (ticks && onAxis && (std::fabs(v) > kOriginTolerance || AxisChoice == ownChoice) && AxisKind == 0) {
      dc.SelectPen(axisPen);
      TPoint2D q1 = at(v, -halfTick);
      TPoint2D q2 = at(v, halfTick);
      const bool left = ClipToAlternateRange(!xAxis, q1, q2);
      if (TExportSink* sink = ActiveSink(); sink && left) sink->Rule(q1, q2, ExportPenOf(spec));
      if (xAxis) {
        const int column = WorldToPixelX(v);
        dc.MoveTo(column, from);
        dc.LineTo(column, to);
      } else {
        const int row = WorldToPixelY(v);
        dc.MoveTo(from, row);
        dc.LineTo(to, row);
      }
    }
    if (numbers && ticks && (onAxis || atFrame) && IsLabelled(k, frequency) &&
        (std::fabs(v) > kOriginTolerance || !cross || logarithmic)) {
      const TPoint2D anchor = at(v, atFrame ? (UseAlternate ? acrossMin - t : acrossMin) : -halfTick);
      if (xAxis) {
        ExportXAxisNumbers(dc, anchor, atFrame, onAxis, kAxisNumberFontSlot);
      } else {
        ExportYAxisNumbers(dc, anchor, atFrame, onAxis, kAxisNumberFontSlot);
      }
    }
  }
  if (xAxis && OriginMark && !atFrame) DrawOriginMark(dc);
  dc.SelectFont(oldFont);
  dc.SelectPen(oldPen);
}

void TZORWing::ExportXAxisNumbers(plat::DC& dc, const TPoint2D& anchor, bool atFrame, bool onAxis, int fontSlot) {
  if (!atFrame && !onAxis) return;
  // 4 pixels into the view at the frame, 4 pixels below the tick at the axis.
  const int dir = (atFrame && !UseAlternate) ? 1 : -1;
  const TPoint2D p{anchor.x, anchor.y + dir * 4 * UnitsPerPixelY};
  const std::string text = FormatXAxisNumber(anchor.x);
  if (TExportSink* sink = ActiveSink()) {
    plat::Point d;
    WorldToPixel(p, d);
    TExportText t = SlotText(text, d, p, plat::Rgb(0, 0, 0), fontSlot, 0, dir);
    t.orientation = dir == 1 ? "[b]" : "[t]";
    t.math = true;
    sink->Text(dc, t);
    return;
  }
  DrawTextAtWorld(dc, text, p, 0, dir, 0, fontSlot);
}

void TZORWing::ExportYAxisNumbers(plat::DC& dc, const TPoint2D& anchor, bool atFrame, bool onAxis, int fontSlot) {
  if (!atFrame && !onAxis) return;
  if (anchor.y < World.ymin) return;
  const int dir = (atFrame && !UseAlternate) ? 1 : -1;
  const TPoint2D p{anchor.x + dir * 4 * UnitsPerPixelX, anchor.y};
  const std::string text = FormatYAxisNumber(anchor.y);
  if (TExportSink* sink = ActiveSink()) {
    plat::Point d;
    WorldToPixel(p, d);
    TExportText t = SlotText(text, d, p, plat::Rgb(0, 0, 0), fontSlot, dir, 0);
    t.orientation = dir == 1 ? "[l]" : "[r]";
    t.math = true;
    sink->Text(dc, t);
    return;
  }
  DrawTextAtWorld(dc, text, p, dir, 0, 0, fontSlot);
}

void TZORWing::DrawOriginMark(plat::DC& dc) {
  DrawTextAtWorld(dc, "O", {-HalfTickX, -HalfTickY}, -1, -1, 0, kAxisNumberFontSlot);
}

void TZORWing::DrawAxisLabels(plat::DC& dc) {
  if (!LabelsShown || !AxesShown) return;
  const TSegment2D& r = UseAlternate ? Alternate : World;
  const plat::LogFont oldFont = dc.SelectFont(FontSlots[kAxisLabelFontSlot]);
  // PiCTeX places the names by its orientations; the other formats take
  // them from the text boxes.
  TExportSink* sink = ActiveSink();
  if (sink && sink->Format() != TExportFormat::Pictex) sink = nullptr;
  auto pictexName = [&](const std::string& name, const TPoint2D& p, const char* orientation) {
    TExportText t = SlotText(name, {}, p, 0, kAxisLabelFontSlot, 1, -1);
    t.orientation = orientation;
    t.math = true;
    sink->Text(dc, t);
  };

  if ((!UseAlternate || r.ymin < 0) && !LogarithmicY()) {
    const bool above = ScaleBits == 1 || ScaleBits == 3;  // x numbers below the axis
    const int dir = above ? 1 : -1;
    const TPoint2D p{r.xmax - 4 * UnitsPerPixelX,
                     above ? HalfTickY + 4 * UnitsPerPixelY : -HalfTickY - 4 * UnitsPerPixelY};
    if (sink) {
      pictexName(AxisNames[0], p, above ? "[b]" : "[t]");
    } else {
      DrawTextAtWorld(dc, AxisNames[0], p, -1, dir, 0, kAxisLabelFontSlot);
    }
  }
  if ((!UseAlternate || r.xmin < 0) && !LogarithmicX()) {
    const bool right = ScaleBits == 2 || ScaleBits == 3;  // y numbers left of the axis
    const int dir = right ? 1 : -1;
    const TPoint2D p{right ? HalfTickX + 4 * UnitsPerPixelX : -HalfTickX - 4 * UnitsPerPixelX,
                     r.ymax - 2 * UnitsPerPixelY};
    if (sink) {
      pictexName(AxisNames[1], p, right ? "[lt]" : "[rt]");
    } else {
      DrawTextAtWorld(dc, AxisNames[1], p, dir, -1, 0, kAxisLabelFontSlot);
    }
  }
  dc.SelectFont(oldFont);
}

void TZORWing::DrawTickDensityNotice(plat::DC& dc) {
  if (TickNoticeState != 1) return;
  const unsigned oldAlign = dc.SetTextAlign(plat::TA_BOTTOM | plat::TA_RIGHT);
  dc.SetTextColor(GetColour(NoticeColourIndex));
  dc.SetBkMode(plat::OPAQUE);
  dc.SetBkColor(GetColour(ColourSlots[kBackgroundSlot]));
  dc.TextOut(ClientWidth - 2, ClientHeight - 2, plat::res::String(14));
  dc.SetTextAlign(oldAlign);
  TickNoticeState = 2;
}

}  // namespace kv
