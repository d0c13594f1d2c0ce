// Marks the 2D paint pass draws over the graphs: the nodes of the
// Lagrange polynomial being edited, and the marks of the trace dialogs
// (secant, tangent, osculating circle; the traced trajectory point with its
// velocity).  Each goes to the export being recorded, else to the screen.
#include <cmath>

#include "entry/trace_dialog.h"
#include "entry/trace_traj_dialog.h"
#include "plot2d/model/trace_marks.h"
#include "plot2d/model/lagrange.h"
#include "graphics/geometry.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {
constexpr int kCircleStyle = 1;
constexpr int kSecantSlot = 5;   // "&Sekante ..."
constexpr int kTangentSlot = 4;  // "&Tangente ..."
constexpr int kArcChords = 50;
constexpr long double kTiny = 1e-16L;
constexpr int kPointSlot = 1;
constexpr int kPointStyle = 9;
constexpr int kPointSize = 7;

std::uint32_t Packed(int colour, int width) {
  return static_cast<std::uint32_t>(colour) | (static_cast<std::uint32_t>(width) << 16);
}
TPoint2D Plane(const TPoint3D& p) { return {p.x, p.y}; }

}  // namespace

void TPlotCWin::OpenGraphTraceDialog() {
  ShowGraphTraceDialog("TRACE", {kKindExplicit, kKindPolar, kKindParametric});
}

void TPlotCWin::DrawTraceOverlays(plat::DC& dc) {
  if (TTraceDlg* d = ShownGraphTraceDialog()) {
    const TTraceState& st = d->State();
    if (st.defined && d->TracedEquation() >= 0) {
      // The traced point.
      const int colour = CheckColourIndex(ColourSlots[kPointSlot]);
      const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, 1, 0));
      TPoint2D p = Plane(st.point);
      const bool mapped = (LogWindowType <= 0 && selectedMapping < 0) || MapWorldPoint(p);
      if (mapped && IsInView(p)) MarkWorldPoint(dc, p, kPointStyle, kPointSize, GetColour(colour));
      dc.SelectPen(oldPen);
    }
    const bool secant = d->IsSecantChecked();
    if (secant) DrawTraceLine(dc, 0, st, true, d->Degree());
    if (d->IsTangentChecked()) DrawTraceLine(dc, 1, st, secant, d->Degree());
    if (!secant && !d->IsTangentChecked()) d->ClearSlopeText();
  }
  if (TTraceTrajDlg* d = ShownCurveTraceDialog(); d && d->HasTrace()) {
    // On logarithmic axes the traced point (in values) is drawn at its image.
    TTrajectoryTrace t = d->Trace();
    TPoint2D p = Plane(t.point);
    if (LogWindowType <= 0 || MapWorldPoint(p)) {
      t.point = {p.x, p.y, 0};
      DrawTrajectoryTrace(dc, t, d->TraceColour());
    }
  }
}

long double TPlotCWin::TraceArrowHead() const {
  const long double unit = ArrowLength > 0 ? ArrowLength : ShortTickLength * UnitsPerPixelX;
  return 2 * unit;
}

// 1, or 2 with bold marks.  In high-resolution output the pens' rule
// multiplies the width by the output scale factor; the marks are then as
// wide as the factor, bold or not.
int TPlotCWin::TraceMarkWidth() const { return clearTangent && !ScaleLineWidths ? 2 : 1; }

void TPlotCWin::DrawArcChords(plat::DC& dc, const TPoint2D& c, long double r, long double a0, long double a1, int n) {
  const std::vector<TPoint2D> pts = ArcChordPoints(c, r, a0, a1, n);
  TExportSink* sink = ActiveSink();
  for (std::size_t k = 1; k < pts.size(); ++k) {
    TPoint2D p = pts[k - 1];
    TPoint2D q = pts[k];
    if (!ClipSegmentToView(p, q)) continue;
    if (sink) {
      const plat::Pen& pen = dc.CurrentPen();
      sink->Line(p, q, TExportPen{pen.colour, pen.width, 0});
    } else {
      DrawWorldLine(dc, p, q, false);
    }
  }
}

void TPlotCWin::DrawTraceLine(plat::DC& dc, int mode, const TTraceState& st, bool secantChecked, int degree) {
  if (!st.defined) return;
  const bool tangent = mode == 1;
  if (tangent && !(secantChecked ? st.referenceDerivativeDefined : st.derivativeDefined)) return;
  const int colour = CheckColourIndex(ColourSlots[tangent ? kTangentSlot : kSecantSlot]);
  const int width = TraceMarkWidth();
  const plat::Colour c = GetColour(colour);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, width, 0));
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(c));
  TPoint2D from;
  TPoint2D dir;
  if (!tangent) {
    // The reference is marked; the secant runs from the earlier of the two
    // parameters (for a graph the order does not matter).
    const TPoint2D ref = Plane(st.reference);
    if (IsInView(ref)) MarkWorldPoint(dc, ref, kCircleStyle, 1, c);
    from = st.t < st.tRef ? Plane(st.point) : ref;
    dir = Plane(st.secant);
  } else if (!secantChecked) {
    from = Plane(st.point);
    dir = Plane(st.velocity);
  } else {
    from = Plane(st.reference);
    dir = Plane(st.referenceVelocity);
  }
  if (std::fabs(dir.x) + std::fabs(dir.y) > kTiny) {
    const TPoint2D end{from.x + dir.x, from.y + dir.y};
    if (st.kind == kKindExplicit || !IsInView(end)) {
      // The whole line, inside the view less a pixel on every side.
      TPoint2D a = from;
      TPoint2D b = end;
      if (ClipSegmentToRect(World.xmin + UnitsPerPixelX, World.xmax - UnitsPerPixelX, World.ymin + UnitsPerPixelY,
                            World.ymax - UnitsPerPixelY, a, b, true))
        DrawSegment(dc, a, b, 0, Packed(colour, width), 0, false, 1);
    } else {
      DrawSegment(dc, from, end, TraceArrowHead(), Packed(colour, width), 0, false, 3);
    }
  }
  // The osculating circle at the traced point.
  TPoint2D centre;
  long double radius = 0;
  if (tangent && degree > 1 && st.curvatureValid &&
      OsculatingCircle(Plane(st.point), Plane(st.velocity), st.curvature, centre, radius)) {
    long double a0 = 0;
    long double a1 = 0;
    AngleRangeOfRect(World.xmin, World.xmax, World.ymin, World.ymax, centre.x, centre.y, a0, a1);
    DrawArcChords(dc, centre, radius, a0, a1, kArcChords);
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

void TPlotCWin::DrawTrajectoryTrace(plat::DC& dc, const TTrajectoryTrace& t, int colourIndex) {
  const int colour = CheckColourIndex(colourIndex);
  const int width = TraceMarkWidth();
  const plat::Colour c = GetColour(colour);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, width, 0));
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(c));
  const TPoint2D p = Plane(t.point);
  const TPoint2D q{p.x + t.direction.x, p.y + t.direction.y};
  const int r = MarkerSize(dc, 3);
  if (IsInView(q)) MarkWorldPoint(dc, q, kCircleStyle, r, c);
  DrawSegment(dc, p, q, TraceArrowHead(), Packed(colour, width), 0, true, IsInView(q) ? 3 : 1);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

void TPlotCWin::DrawLagrangeNodes(plat::DC& dc, int i) {
  if (!IsValidIndex(i) || !IsLagrangePolynomial(Equation(i))) return;
  const TEquation& e = Equation(i);
  const int r = MarkerSize(dc, e.fieldRows);
  const int colour = CheckColourIndex(e.penColour);
  const plat::Colour c = GetColour(colour);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, TraceMarkWidth(), 0));
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(c));
  TPoint2D nodes[kMaxLagrangeNodes];
  const int n = LagrangeNodes(e, nodes);
  for (int k = 0; k <= n; ++k)
    if (IsInView(nodes[k])) MarkWorldPoint(dc, nodes[k], kCircleStyle, r, c);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

}  // namespace kv
