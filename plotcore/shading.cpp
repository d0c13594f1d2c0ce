// Shading of regions above, below or between graphs, the inequalities of
// implicit curves, and the random darts thrown into their regions, drawn by
// the window with the geometry of plotcore/model/shading_geometry.h.
#include <algorithm>
#include <cmath>

#include "graphics/export_sink.h"
#include "plotcore/plot0_win.h"
#include "platform/app.h"
#include "shell/text_helpers.h"

namespace kv {

void TPlot0Win::RefreshBoundShading(TShadeRecord& s) { kv::RefreshBoundShading(Engine(), s); }

bool TPlot0Win::ShadeSpan(const TShadeRecord& s, long double x, long double& yLow, long double& yHigh) {
  if (!IsValidIndex(s.graphA)) return false;
  TEquation* b = IsValidIndex(s.graphB) ? &Equation(s.graphB) : nullptr;
  return kv::ShadeSpan(Engine(), s, Equation(s.graphA), b, World, x, yLow, yHigh);
}

TShadeArea TPlot0Win::ShadeArea() const {
  TShadeArea a;
  a.world = World;
  a.pixelsPerUnitX = PixelsPerUnitX;
  a.pixelsPerUnitY = PixelsPerUnitY;
  a.originX = AreaOriginX();
  a.originY = AreaOriginY();
  a.width = AreaWidth();
  a.height = AreaHeight();
  return a;
}

void TPlot0Win::ShadeColumn(plat::DC& dc, int x, int top, int bottom, int pattern, plat::Colour colour) {
  if (fillInsteadOfHatch) {
    dc.MoveTo(x, top);
    dc.LineTo(x, bottom + 1);
    return;
  }
  for (int y = top; y <= bottom; ++y)
    if (HatchPixel(pattern, x, y)) dc.SetPixel(x, y, colour);
}

int TPlot0Win::ShadeRecord(plat::DC& dc, TShadeRecord& s) {
  RefreshBoundShading(s);
  if (!IsValidIndex(s.graphA) || (s.graphB >= 0 && !IsValidIndex(s.graphB)) || s.graphB < kShadeBelow) return 0;
  int first, last;
  if (!ShadeColumns(ShadeArea(), s, first, last)) return 0;
  const int pattern = SplitPackedCode(s.packedCode).pattern;
  const plat::Colour colour = DrawingColourOf(s.colour);
  const plat::Pen old = dc.SelectPen(plat::Pen{plat::PS_SOLID, 1, colour});
  // The region's outline for the vector exports: lower edge forwards, upper
  // edge backwards, so that PiCTeX shades it as one region over x.
  std::vector<TPoint2D> upper, lower;
  TExportSink* sink = ActiveSink();
  const bool record = sink != nullptr;
  const TShadeArea area = ShadeArea();
  for (int x = first; x <= last; ++x) {
    if (((x - first) & 127) == 127 && StopKeyPressed()) {
      dc.SelectPen(old);
      return 'A';
    }
    const long double wx = PixelToWorldX(x);
    long double lo, hi;
    if (!ShadeSpan(s, wx, lo, hi)) continue;
    int top, bottom;
    if (!ShadeRows(area, lo, hi, top, bottom)) continue;
    if (record) {
      // The exports get the span itself, cut to the view, not its pixel
      // rows: the outline keeps the region's true size.
      upper.push_back({wx, std::min(hi, World.ymax)});
      lower.push_back({wx, std::max(lo, World.ymin)});
    } else {
      ShadeColumn(dc, x, top, bottom, pattern, colour);
    }
  }
  dc.SelectPen(old);
  if (record && !upper.empty()) {
    std::vector<TPoint2D> outline(lower);
    outline.insert(outline.end(), upper.rbegin(), upper.rend());
    sink->Hatch(outline.data(), static_cast<int>(outline.size()), colour, fillInsteadOfHatch ? -1 : pattern);
  }
  return 0;
}

void TPlot0Win::FillCombinedRegions(plat::DC& dc) {
  if (shadings.empty()) return;
  for (TShadeRecord& s : shadings) RefreshBoundShading(s);
  const TShadeRecord& head = shadings.front();
  const int pattern = SplitPackedCode(head.packedCode).pattern;
  const plat::Colour colour = DrawingColourOf(head.colour);
  const plat::Pen old = dc.SelectPen(plat::Pen{plat::PS_SOLID, 1, colour});
  const TShadeArea area = ShadeArea();
  for (int x = AreaOriginX(); x <= AreaOriginX() + AreaWidth(); ++x) {
    const long double wx = PixelToWorldX(x);
    long double lo = World.ymin;
    long double hi = World.ymax;
    bool inAll = true;
    for (const TShadeRecord& s : shadings) {
      if (s.intervalFlag && !(wx >= std::min(s.from, s.to) && wx <= std::max(s.from, s.to))) {
        inAll = false;
        break;
      }
      long double a, b;
      if (!ShadeSpan(s, wx, a, b)) {
        inAll = false;
        break;
      }
      lo = std::max(lo, a);
      hi = std::min(hi, b);
    }
    int top, bottom;
    if (inAll && hi >= lo && ShadeRows(area, lo, hi, top, bottom)) ShadeColumn(dc, x, top, bottom, pattern, colour);
  }
  dc.SelectPen(old);
}

int TPlot0Win::ShadeAll(plat::DC& dc) {
  if (shadings.empty()) return 0;
  if (fillInsteadOfHatch) dc.SetROP2(RopOfDrawingMode());
  int r = 0;
  if (shadeIntersection) {
    FillCombinedRegions(dc);
  } else {
    for (TShadeRecord& s : shadings)
      if ((r = ShadeRecord(dc, s)) != 0) break;
  }
  dc.SetROP2(plat::R2_COPYPEN);
  return r;
}

// ---- inequalities and darts ----

bool TPlot0Win::PointSatisfiesInequalities(long double x, long double y, int i) {
  auto holds = [&](int k) { return SatisfiesInequality(Engine(), Equation(k), x, y, dimension == 3); };
  auto isInequality = [&](int k) { return IsInequality(Equation(k)); };
  if (i >= 0) return IsValidIndex(i) && isInequality(i) && holds(i);
  for (int k = 0; k <= equationCount; ++k)
    if (isInequality(k) && !holds(k)) return false;
  return true;
}

bool TPlot0Win::ThrowDartsInWindow(TPoint2D& mean, int region, bool showPoints, plat::DC* dc,
                                   long double* area) {
  const long count = std::max<long>(dartCount, 1);
  const plat::Colour colour = DrawingColourOf(ColourSlots[static_cast<std::size_t>(regionColour) % kColourSlotCount]);
  long hits = 0;
  long double sx = 0, sy = 0;
  long thrown = 0;
  for (; thrown < count; ++thrown) {
    // "A" ends the throwing; the darts thrown so far give the estimate.
    if ((thrown & 4095) == 4095 && StopKeyPressed()) break;
    const long double x = RandomInRange(World.xmin, World.xmax);
    const long double y = RandomInRange(World.ymin, World.ymax);
    if (!PointSatisfiesInequalities(x, y, region)) continue;
    ++hits;
    sx += x;
    sy += y;
    if (showPoints && dc) {
      plat::Point p;
      if (!WorldToPixel(TPoint2D{x, y}, p)) continue;
      // A recorded export gets each hit as a box of one pixel.
      if (TExportSink* sink = ActiveSink()) {
        sink->Rect({p.x, p.y, p.x + 1, p.y + 1}, false, colour, -1, colour, 0);
      } else {
        dc->SetPixel(p.x, p.y, colour);
      }
    }
  }
  // The share of hits estimates the region's part of the view.
  if (area) *area = (World.xmax - World.xmin) * (World.ymax - World.ymin) * hits / std::max(thrown, 1L);
  if (hits == 0) return false;
  mean = {sx / hits, sy / hits};
  return true;
}

int TPlot0Win::ThrowDarts(plat::DC& dc, long counters[2], int i) {
  counters[0] = counters[1] = 0;
  const long count = std::max<long>(dartCount, 1);
  const int colourIndex = IsValidIndex(i) ? Equation(i).subValue : ColourSlots[static_cast<std::size_t>(regionColour) % kColourSlotCount];
  const plat::Colour colour = DrawingColourOf(colourIndex);
  for (long k = 0; k < count; ++k) {
    if ((k & 4095) == 4095 && StopKeyPressed()) return 'A';
    const TPoint2D p{RandomInRange(World.xmin, World.xmax), RandomInRange(World.ymin, World.ymax)};
    ++counters[0];
    if (!PointSatisfiesInequalities(p.x, p.y, i)) continue;
    ++counters[1];
    plat::Point px;
    if (WorldToPixel(p, px)) dc.SetPixel(px.x, px.y, colour);
  }
  return 0;
}

void TPlot0Win::DotLattice(plat::DC& dc, int x0, int y0, int i, plat::Colour colour) {
  // A copy drawn at a scale keeps the lattice's spacing on the picture.
  const int spacing = 3 * (ScaleLineWidths && LineWidthFactor > 1 ? LineWidthFactor : 1);
  const bool doubled = FrameWidth > 0;
  const int left = AreaOriginX();
  const int top = AreaOriginY();
  const int right = left + AreaWidth();
  const int bottom = top + AreaHeight();
  const TComplex saved[3] = {Variable('X'), Variable('Y'), Variable('Z')};
  for (int px = x0; px < right; px += spacing) {
    if (px < left) continue;
    const long double x = PixelToWorldX(px);
    for (int py = y0; py < bottom; py += spacing) {
      if (py < top || !PointSatisfiesInequalities(x, PixelToWorldY(py), i)) continue;
      dc.SetPixel(px, py, colour);
      if (doubled) dc.SetPixel(px + 1, py + 1, colour);
    }
  }
  for (int k = 0; k < 3; ++k) SetComplexVariable("XYZ"[k], saved[k]);
}

void TPlot0Win::DotInequalities(plat::DC& dc) {
  bool any = false;
  for (int k = 0; k <= equationCount && !any; ++k) {
    const TEquation& e = Equation(k);
    any = e.kind == kKindImplicit && e.subKind != 0 && e.visible;
  }
  if (!any) return;
  const plat::Colour colour = DrawingColourOf(ColourSlots[static_cast<std::size_t>(regionColour) % kColourSlotCount]);
  // The common region starts at a random one of the first five offsets,
  // so that its dots do not always hide those of the single regions.
  const int a = plat::Rand() % 5;
  const int b = plat::Rand() % 5;
  DotLattice(dc, AreaOriginX() + kLatticeStartX[a], AreaOriginY() + kLatticeStartY[b], -1, colour);
}

}  // namespace kv
