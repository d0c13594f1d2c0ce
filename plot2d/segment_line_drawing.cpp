// Segments (kind 205) and lines a·x + b·y = c (kind 208) of the 2D window,
// with their families; in windows whose points go through a mapping they
// are drawn as the mapped images of their points.
#include "plot2d/model/segments_lines.h"
#include "plot2d/plot_c_win.h"
#include "plotcore/dc_sink.h"
#include "plotcore/model/log_scale.h"

namespace kv {

namespace {

std::uint32_t PackedPen(int colour, int width) {
  return static_cast<std::uint32_t>(colour & 0xFFFF) | (static_cast<std::uint32_t>(width < 0 ? 0 : width) << 16);
}

// The values a segment or line of a window with logarithmic axes is cut
// to: those of the plotted rectangle shrunk by one pixel on every side, so
// that no end lies on the rectangle's frame.
TSegment2D LogClipRange(const TPlotCWin& w) { return ValueRangeOf(w.LogFrameInside(), w.LogWindowType); }

}  // namespace

int TPlotCWin::DrawSegmentEquation(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  const int colour = CheckColourIndex(e.penColour);
  const std::uint32_t packed = PackedPen(colour, e.penWidth);
  const TFamilyPlan family = FamilyPlan(e);
  if (e.familyOn) SetVariable(e.familyLetter, e.familyStart);
  const bool logAxes = LogWindowType > 0;
  const bool ordinary = !mappedFlag && !logAxes;
  bool anyVisible = false;
  for (int k = 0; k <= family.last; ++k) {
    TPoint2D p1, p2;
    if (const int code = EvaluateSegmentEnds(i, p1, p2); code != 0) return code;
    bool visible = true;
    if (ordinary) {
      visible = TViewMapping::ClipSegmentToRect(World.xmin, World.xmax, World.ymin, World.ymax, p1, p2, false);
    } else if (logAxes) {
      // The segment is straight in values: it is cut to the values the
      // axes show before its image is drawn.
      const TSegment2D r = LogClipRange(*this);
      visible = TViewMapping::ClipSegmentToRect(r.xmin, r.xmax, r.ymin, r.ymax, p1, p2, false);
    }
    // A member wholly outside the view is left out; the members after it
    // may well lie inside.
    anyVisible = anyVisible || visible;
    if (visible && ordinary) {
      DrawSegment(dc, p1, p2, 0, packed, e.penStyle, false, 1);
      StoreDrawnBox(e, p1, p2);
      e.notVertical = std::fabs(p1.x - p2.x) > 1e-16L ? 1 : 0;
      if (e.arrowMode > 0) {
        // While printing the heads keep the length they have on the screen.
        if (!Printing) e.arrowLength() = UnitsPerPixelX * (e.arrowSize + 10);
        const long double head = e.arrowLength();
        if ((e.arrowMode == 2 || e.arrowMode == 3) && IsInView(p2))
          DrawSegment(dc, p1, p2, head, packed, e.penStyle, false, 3);
        if ((e.arrowMode == 1 || e.arrowMode == 3) && IsInView(p1))
          DrawSegment(dc, p2, p1, head, packed, e.penStyle, false, 3);
      }
    } else if (visible) {
      DrawMappedSegment(dc, p1, p2, packed, e.penStyle);
    }
    if (e.familyOn) AddToVariable(e.familyLetter, family.step);
    if (family.stepped)
      if (const int key = ShowFamilyMember(dc, k + 1, e.familyDelay); key != 0) return key;
  }
  return anyVisible ? 0 : 9;
}

void TPlotCWin::DrawMappedSegment(plat::DC& dc, const TPoint2D& a, const TPoint2D& b, std::uint32_t packedPen,
                                  int style) {
  const plat::Pen old = dc.SelectPen(PenOf(packedPen, style));
  BeginCurveRecording(kMappedSegmentSteps + 10);
  TDcSink sink(*this, dc);
  bool running = false;
  for (int k = 0; k <= kMappedSegmentSteps; ++k) {
    TPoint2D q = MappedSegmentPoint(a, b, k);
    if (!MapWorldPoint(q) || !IsInView(q)) {
      running = false;
      continue;
    }
    if (running) {
      sink.LineTo(q);
    } else {
      sink.MoveTo(q);
    }
    running = true;
  }
  EndCurveRecording(static_cast<int>(packedPen & 0xFFFFu), static_cast<int>(packedPen >> 16), style);
  dc.SelectPen(old);
}

int TPlotCWin::DrawLineEquation(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  const int colour = CheckColourIndex(e.penColour);
  const std::uint32_t packed = PackedPen(colour, e.penWidth);
  const long double reach = LineReach(World);
  const TFamilyPlan family = FamilyPlan(e);
  if (e.familyOn) SetVariable(e.familyLetter, e.familyStart);
  const bool logAxes = LogWindowType > 0;
  int key = 0;
  for (int k = 0; k <= family.last && key == 0; ++k) {
    long double a = 0, b = 0, c = 0;
    TPoint2D p1, p2;
    bool drawable = EvaluateReal(e.trees[0].get(), a) && EvaluateReal(e.trees[1].get(), b) &&
                    EvaluateReal(e.trees[2].get(), c) && LineEnds(a, b, c, reach, p1, p2);
    if (drawable && logAxes) {
      // The line is straight in values: its chord through the values the
      // axes show.
      const TSegment2D r = LogClipRange(*this);
      drawable = TViewMapping::ClipSegmentToRect(r.xmin, r.xmax, r.ymin, r.ymax, p1, p2, true);
    } else if (drawable && !mappedFlag) {
      const TSegment2D v = ShrinkByPixel(World, UnitsPerPixelX, UnitsPerPixelY);
      drawable = TViewMapping::ClipSegmentToRect(v.xmin, v.xmax, v.ymin, v.ymax, p1, p2, true);
    }
    if (drawable && (logAxes || !mappedFlag)) {
      if (!mappedFlag) DrawSegment(dc, p1, p2, 0, packed, e.penStyle, false, 1);
      e.SetLineEnds(p1, p2);
      e.kindFlag = 1;
      e.notVertical = std::fabs(b) > 1e-16L ? 1 : 0;
      StoreDrawnBox(e, p1, p2);
    }
    // A range window draws the piece its domain window stored.
    if (mappedFlag && e.kindFlag) DrawMappedSegment(dc, e.LineEnd1(), e.LineEnd2(), packed, e.penStyle);
    if (e.familyOn) AddToVariable(e.familyLetter, family.step);
    // Any key ends the family.
    if (family.stepped) key = ShowFamilyMember(dc, k + 1, e.familyDelay, true);
    if (key == 0) key = KeyPressed();
  }
  return key;
}

}  // namespace kv
