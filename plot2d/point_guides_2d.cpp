// Guide lines of point entries in the 2D window: from the point to the
// axes and to the origin, and for a point given in polar form the arc of
// its angle, each solid, dashed or thick as the entry's style code says.
#include <cmath>

#include "plot2d/model/guide_lines.h"
#include "plot2d/model/trace_marks.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {

// Pen style code (as entries keep it: 0 solid, 2 dashed) and width of a
// guide look.
struct TLookPen {
  int style;
  int width;
};
TLookPen PenOfLook(int look) {
  switch (look) {
    case kGuideDashed:
      return {2, 1};
    case kGuideThick:
      return {0, 2};
    default:
      return {0, 1};
  }
}

}  // namespace

void TPlotCWin::DrawSampledItem(plat::DC& dc, int i) {
  if (!IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  if (e.kind != kKindPoint || e.subKind <= 0 || mappedFlag) return;
  // The point as the point drawer has just written it back: a point
  // entered as one complex number or in polar form ends its guides there.
  const TPoint2D point{e.startValue(), e.rollRadius()};
  // The arc of a polar point runs over the angle as entered.
  const bool polar = e.polarInput != 0 && e.kindFlag == 0;
  long double a = 0;
  long double b = 0;
  if (polar && (!EvaluateReal(e.trees[0].get(), a) || !EvaluateReal(e.trees[1].get(), b))) return;
  // Dashes show the background between them.
  const plat::Colour oldBk = dc.SetBkColor(GetColour(ColourSlots[0]));
  auto packed = [&e](int width) {
    return static_cast<std::uint32_t>(e.penColour) | (static_cast<std::uint32_t>(width) << 16);
  };
  for (const TGuideLine& g : GuideLines(point, e.subKind)) {
    const TLookPen pen = PenOfLook(g.look);
    DrawSegment(dc, g.from, g.to, 0, packed(pen.width), pen.style, true, 1);
  }
  const int arc = GuideStyleDigits(e.subKind)[kGuideArc];
  if (polar && arc > 0) {
    // The arc is dashed or solid, never thick.
    const TLookPen pen = PenOfLook(arc == kGuideDashed ? kGuideDashed : kGuideSolid);
    const int n = e.curvePoints[0] > 0 ? e.curvePoints[0] : 150;
    const std::vector<TPoint2D> pts = ArcChordPoints({0, 0}, a, 0, b, n);
    for (std::size_t k = 1; k < pts.size(); ++k)
      DrawSegment(dc, pts[k - 1], pts[k], 0, packed(pen.width), pen.style, true, 1);
  }
  dc.SetBkColor(oldBk);
}

}  // namespace kv
