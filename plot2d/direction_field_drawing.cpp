// Direction fields of the differential equations (kinds 210 and 211) and
// the drawing of a dy/dx equation: its solutions, then its field.
#include <cmath>

#include "graphics/export_sink.h"
#include "plot2d/model/direction_field.h"
#include "plot2d/plot_c_win.h"

namespace kv {

int TPlotCWin::DrawDirectionField(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  const int tenths = FieldLengthTenths(e, Engine());
  if (dimension != 2 || e.fieldMode < 1 || tenths < 2) return 0;
  if (!Printing) {
    // The element length follows the window's (outer) width, so the field
    // looks alike in a small and a large window.
    const plat::Rect outer = IsCreated() ? GetWindowRect() : plat::Rect{0, 0, AreaWidth(), AreaHeight()};
    const int width = outer.right - outer.left > 0 ? outer.right - outer.left : AreaWidth();
    e.elementLength = FieldElementLength(tenths, width, UnitsPerPixelX, e.fieldMode);
  }
  const int colour = CheckColourIndex(e.subKind);
  const std::uint32_t packed =
      static_cast<std::uint32_t>(colour & 0xFFFF) | (static_cast<std::uint32_t>(std::max<int>(e.penWidth, 0)) << 16);

  TPoint2D anchor = Centre;
  if (LogWindowType > 0) {
    // The part of the world that carries values.
    e.lowerBound = {Alternate.xmin, Alternate.ymin};
    e.upperBound = {Alternate.xmax, Alternate.ymax};
    anchor = {(Alternate.xmin + Alternate.xmax) / 2, (Alternate.ymin + Alternate.ymax) / 2};
  } else if (!mappedFlag) {
    e.lowerBound = {World.xmin + 1e-16L, World.ymin + 1e-16L};
    e.upperBound = {World.xmax - 1e-16L, World.ymax - 1e-16L};
  }
  // A range window keeps the box its domain window's pass wrote.
  const TFieldGrid grid =
      FieldGrid(anchor, e.lowerBound, e.upperBound, e.fieldRows, HalfX, HalfY, AreaWidth(), AreaHeight());
  int key = 0;
  ForEachFieldPoint(
      grid, [&](const TPoint2D& p) { DrawFieldElement(dc, i, p, packed, e.penStyle); },
      [&] {
        // Any key ends the field after the column.
        key = KeyPressed();
        return key != 0;
      });
  return key;
}

void TPlotCWin::DrawFieldElement(plat::DC& dc, int i, const TPoint2D& p, std::uint32_t packedPen, int style) {
  TEquation& e = Equation(i);
  // On logarithmic axes the world point holds exponents: the equation is
  // evaluated at the values, and its direction carried onto the axes.
  TPoint2D at = p;
  if (LogWindowType > 0) {
    if (AxisKind & 1) at.x = LogAxisToValue(p.x);
    if (AxisKind & 2) at.y = LogAxisToValue(p.y);
  }
  TPoint2D d;
  if (!FieldDirection(e, Engine(), at, d)) return;
  if (LogWindowType > 0 && !ScaleVectorForLogAxes(at, d)) return;
  TPoint2D shown = p;
  if (MapsPlane()) {
    // A short piece of the direction, mapped: the direction of the image.
    if (!ScaleToLength2D(d, 0.1L * UnitsPerPixelX)) return;
    TPoint2D q{p.x + d.x, p.y + d.y};
    if (!MapWorldPoint(shown) || !MapWorldPoint(q)) return;
    d = {q.x - shown.x, q.y - shown.y};
  }
  if (e.kind == kKindOde && e.restricted && !FieldRestrictionHolds(e, Engine(), at)) return;
  TFieldElementSettings s;
  s.view = UseAlternate ? Alternate : World;
  s.viewMode = ViewMode;
  s.aspect = Aspect;
  s.elementLength = e.elementLength;
  s.fieldMode = e.fieldMode;
  const TFieldElement el = FieldElement(shown, d, s);
  if (el.kind == TFieldElementKind::Segment) {
    // PiCTeX gets the direction segments solid.
    const TExportSink* sink = ActiveSink();
    const int lineStyle = sink && sink->Format() == TExportFormat::Pictex ? 0 : style;
    DrawSegment(dc, el.from, el.to, 0, packedPen, lineStyle, false, 1);
  } else if (el.kind == TFieldElementKind::Arrow) {
    DrawSegment(dc, el.from, el.to, el.head, packedPen, style, false, 3);
  }
}

int TPlotCWin::DrawDyDxEquation(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  const TFamilyPlan family = FamilyPlan(e);
  if (e.familyOn) SetVariable(e.familyLetter, e.familyStart);
  int result = 0;
  for (int k = 0; k <= family.last && result == 0; ++k) {
    std::string none;
    for (TEquationItem& item : e.items) {
      result = DrawAnalysis(dc, i, item, none, -1, 4);
      if (result != 0) break;
    }
    if (result == 0) result = DrawDirectionField(dc, i);
    if (e.familyOn) AddToVariable(e.familyLetter, family.step);
    // A key read in the pause ends the family, as the field's own poll does.
    if (result == 0 && family.stepped) result = ShowFamilyMember(dc, k + 1, e.familyDelay, true);
  }
  return result;
}

}  // namespace kv
