// Marks the 2D paint pass draws over the graphs: the nodes of the
// Lagrange polynomial being edited, and the marks of the trace dialogs
// (secant, tangent, osculating circle; the traced trajectory point with its
// velocity).  Each goes to the export being recorded, else to the screen.
#include <cmath>

#include "plot2d/model/trace_marks.h"
#include "plot2d/model/lagrange.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {
constexpr int kCircleStyle = 1;
}  // namespace

long double TPlotCWin::TraceArrowHead() const {
  const long double unit = ArrowLength > 0 ? ArrowLength : ShortTickLength * UnitsPerPixelX;
  return 2 * unit;
}

int TPlotCWin::TraceMarkWidth() const { return clearTangent ? 2 : 1; }

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

void TPlotCWin::DrawLagrangeNodes(plat::DC& dc, int i) {
  if (!IsValidIndex(i) || !IsLagrangePolynomial(Equation(i))) return;
  const TEquation& e = Equation(i);
  const int r = MarkerSize(dc, e.fieldRows);
  const int colour = CheckColourIndex(e.penColour);
  const plat::Colour c = GetColour(colour);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, 1, 0));
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(c));
  TPoint2D nodes[kMaxLagrangeNodes];
  const int n = LagrangeNodes(e, nodes);
  TExportSink* sink = ActiveSink();
  for (int k = 0; k <= n; ++k) {
    if (!IsInView(nodes[k])) continue;
    if (sink) {
      sink->Marker(nodes[k], kCircleStyle, r, c, kCircleStyle);
    } else {
      DrawMarkerAtWorld(dc, nodes[k], kCircleStyle, r);
    }
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

}  // namespace kv
