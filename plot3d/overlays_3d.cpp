// What the 3D window draws over its kept plot picture: the marks and lines
// of the open tool dialogs (slice lines, the intersection and trace points,
// secant, tangent and Frenet frame, the traced trajectory point with its
// velocity), the labels and the box's corner labels; and the course of the
// level window over a copy of that picture.  Because these live only in
// the composed picture, moving a tool's point never redraws the surfaces.
#include <cmath>

#include "entry/trace_dialog.h"
#include "entry/trace_traj_dialog.h"
#include "graphics/export_sink.h"
#include "plot3d/lifted_curve_sink.h"
#include "plot3d/model/level_curves.h"
#include "plot3d/plot_r_win.h"
#include "plotcore/dc_sink.h"
#include "plot3d/space_geometry.h"
#include "plot3d/variable_guard.h"

namespace kv {

namespace {

// Colour slots of the overlays.
constexpr int kCursorSlot = 1;
constexpr int kTangentSlot = 4;
constexpr int kSecantSlot = 5;
constexpr int kFrenetSlot = 9;

// Markers: style 9 (the tool point) with half-size 7, style 1 (a circle).
constexpr int kToolMarkStyle = 9;
constexpr int kToolMarkSize = 7;
constexpr int kCircleStyle = 1;
// The level window's points are drawn as space points of pen width 3.
constexpr int kCoursePointSize = 3;

TPoint3D Add(const TPoint3D& a, const TPoint3D& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// Restores the pen and brush of a DC when an overlay is drawn.
class TPenBrushScope {
 public:
  TPenBrushScope(plat::DC& dc, const plat::Pen& pen, const plat::Brush& brush)
      : dc_(dc), pen_(dc.SelectPen(pen)), brush_(dc.SelectBrush(brush)) {}
  ~TPenBrushScope() {
    dc_.SelectBrush(brush_);
    dc_.SelectPen(pen_);
  }
  TPenBrushScope(const TPenBrushScope&) = delete;
  TPenBrushScope& operator=(const TPenBrushScope&) = delete;

 private:
  plat::DC& dc_;
  plat::Pen pen_;
  plat::Brush brush_;
};

}  // namespace

void TPlotRWin::OpenGraphTraceDialog() { ShowGraphTraceDialog("TRACE3", {kKindSpaceCurve}); }

void TPlotRWin::SyncTraceOverlays() {
  // The overlays follow the dialogs once these exist.
  TTraceOverlay& t = Overlays.trace;
  if (GraphTraceDialog()) t = {};
  if (TTraceDlg* d = ShownGraphTraceDialog(); d && d->TracedEquation() >= 0 && d->State().defined) {
    const TTraceState& st = d->State();
    t.shown = true;
    t.p1 = st.point;
    t.p2 = st.reference;
    t.t1 = st.t;
    t.t2 = st.tRef;
    t.secant = st.secant;
    t.tangent1 = st.velocity;
    t.tangent2 = st.referenceVelocity;
    t.normal1 = st.normal;
    t.secantOn = d->IsSecantChecked();
    t.tangentOn = d->IsTangentChecked() && (t.secantOn ? st.referenceDerivativeDefined : st.derivativeDefined);
    t.frenetOn = d->IsFrenetChecked() && st.curvatureValid;
    BoldTrace = clearTangent;
  }
  TTrajectoryTraceOverlay& r = Overlays.trajectoryTrace;
  if (CurveTraceDialog()) r = {};
  if (TTraceTrajDlg* d = ShownCurveTraceDialog()) {
    r.shown = true;
    r.hasItem = d->HasTrace();
    r.pen = d->TracePen();
    r.point = d->Trace().point;
    r.vector = d->Trace().direction;
    BoldTrace = clearTangent;
  }
}

void TPlotRWin::DrawPlot(plat::DC& dc) {
  SyncTraceOverlays();
  const TToolOverlays& o = Overlays;
  if (o.slice.shown) DrawSliceLines(dc);
  {
    const int colour = CheckColourIndex(ColourSlots[kCursorSlot]);
    TPenBrushScope scope(dc, CreateColourPen(colour, 0, plat::PS_SOLID), dc.CurrentBrush());
    if (o.intersection.shown) DrawOverlayMarker(dc, o.intersection.point, kToolMarkStyle, kToolMarkSize, colour);
    if (o.trace.shown) DrawOverlayMarker(dc, o.trace.p1, kToolMarkStyle, kToolMarkSize, colour);
  }
  if (o.trace.shown) {
    if (o.trace.secantOn) DrawTraceLine(dc, false);
    if (o.trace.tangentOn) DrawTraceLine(dc, true);
    if (o.trace.frenetOn) DrawFrenetFrame(dc);
  }
  if (o.trajectoryTrace.shown && o.trajectoryTrace.hasItem) DrawTrajectoryTrace(dc);
  // Labels, texts and pictures of the window base, then the corner labels.
  TPlotQWin::DrawPlot(dc);
  DrawCornerLabels(dc);
}

void TPlotRWin::DrawSliceLines(plat::DC& dc) {
  const int j = Overlays.slice.equation;
  if (!IsValidIndex(j) || !IsSurfaceKind(Equation(j), true)) return;
  TVariableGuard guard(*this);
  const TEquation& e = Equation(j);
  TPenSpec spec;
  SetTriple16(spec, e.penColour, 2, static_cast<std::uint16_t>(e.penStyle));
  TPenBrushScope scope(dc, CreateStylePen(spec), dc.CurrentBrush());
  DrawParameterLine(dc, j, 1, 100, Overlays.slice.value1);
  DrawParameterLine(dc, j, 2, 100, Overlays.slice.value2);
}

void TPlotRWin::DrawTraceLine(plat::DC& dc, bool tangent) {
  const TTraceOverlay& t = Overlays.trace;
  const int r = MarkerSize(dc, 3);
  const int colour = CheckColourIndex(ColourSlots[tangent ? kTangentSlot : kSecantSlot]);
  const int width = BoldTrace ? 2 : 1;
  TPenBrushScope scope(dc, CreateColourPen(colour, width, plat::PS_SOLID), plat::SolidBrush(GetColour(colour)));
  TPoint3D s;
  TPoint3D w;
  if (!tangent) {
    s = t.p2;
    w = t.secant;
    DrawOverlayMarker(dc, t.p2, kCircleStyle, r, colour);
    if (t.t1 < t.t2) s = t.p1;
  } else if (!t.secantOn) {
    s = t.p1;
    w = t.tangent1;
  } else {
    s = t.p2;
    w = t.tangent2;
  }
  DrawSegment(dc, ProjectRotated(s), ProjectRotated(Add(s, w)), ArrowHeadLength(), PackPen(colour, width), 0, true,
              3);
}

void TPlotRWin::DrawFrenetFrame(plat::DC& dc) {
  const TTraceOverlay& t = Overlays.trace;
  const int colour = CheckColourIndex(ColourSlots[kFrenetSlot]);
  const int width = OwnFrenetWidth ? FrenetWidth : (BoldTrace ? 2 : 1);
  TPenBrushScope scope(dc, CreateColourPen(colour, width, plat::PS_SOLID), plat::SolidBrush(GetColour(colour)));
  TPoint3D tangent = t.tangent1;
  TPoint3D normal = t.normal1;
  if (!Normalize3D(tangent) || !Normalize3D(normal)) return;
  TPoint3D binormal;
  Cross3D(binormal, tangent, normal);
  const TPoint2D origin = ProjectRotated(t.p1);
  for (const TPoint3D& v : {tangent, normal, binormal})
    DrawSegment(dc, origin, ProjectRotated(Add(t.p1, v)), ArrowHeadLength(), PackPen(colour, width), 0, true, 3);
}

void TPlotRWin::DrawTrajectoryTrace(plat::DC& dc) {
  const TTrajectoryTraceOverlay& t = Overlays.trajectoryTrace;
  const int r = MarkerSize(dc, 3);
  const int width = BoldTrace ? 2 : 1;
  TPenSpec spec;
  SetTriple16(spec, t.pen.colour, static_cast<std::uint16_t>(width), t.pen.style);
  const int colour = CheckColourIndex(t.pen.colour);
  TPenBrushScope scope(dc, CreateStylePen(spec), plat::SolidBrush(GetColour(colour)));
  const TPoint3D q = Add(t.point, t.vector);
  const TPoint2D a = ProjectRotated(t.point);
  const TPoint2D b = ProjectRotated(q);
  if (!IsPointHidden(t.point)) DrawOverlayMarker(dc, t.point, kCircleStyle, r, colour);
  const std::uint32_t pen = PackPen(t.pen.colour, width);
  // The shaft leaves out its hidden pieces; a hidden tip gets no head.
  DrawSegment3D(dc, t.point, q, pen, t.pen.style, false, false, 40, 0);
  if (IsInView(b) && !IsPointHidden(q)) DrawSegment(dc, a, b, ArrowHeadLength(), pen, t.pen.style, true, 2);
}

void TPlotRWin::DrawOverlayMarker(plat::DC& dc, const TPoint3D& p, int style, int r, int colour) {
  const TPoint2D image = ProjectRotated(p);
  plat::Point px;
  if (!WorldToPixel(image, px) || px.x < 0 || px.y < 0 || px.x >= ClientWidth || px.y >= ClientHeight) return;
  MarkWorldPoint(dc, image, style, r, DrawingColourOf(colour));
}

void TPlotRWin::PaintFromBuffer(plat::DC& dc) {
  TCourseOverlay& c = Overlays.course;
  if (!c.shown || BackBuffers[0].IsNull()) return;
  BackBuffers[2] = BackBuffers[0];
  if (c.mouseMode != kCmMouseCursor || !IsValidIndex(c.surface)) return;
  const int i = c.surface;
  {
    plat::BitmapDC course(BackBuffers[2]);
    course.SetCaps(dc.Caps());
    // The level window's points, as the point drawer draws a space point:
    // a filled circle, left out outside the box and behind a surface.
    {
      const int r = MarkerSize(course, kCoursePointSize);
      const plat::Colour colour = DrawingColourOf(c.colour);
      TPenBrushScope scope(course, CreateColourPen(c.colour, 1, plat::PS_SOLID), plat::SolidBrush(colour));
      for (const TPoint3D& m : c.marks) {
        TPoint2D image;
        if (ProjectIfVisible(m, image) && !IsPointHidden(m)) MarkWorldPoint(course, image, kCircleStyle, r, colour);
      }
    }
    TVariableGuard guard(*this);
    // The view (box, observer, frame) is the window's again afterwards.
    const TView3D view = View3D;
    TEquation& e = Equation(i);
    // A surface wholly below or above the plane z = 0 gets a box that
    // reaches it while the course is drawn.
    const TPoint3D lo = e.boxMin();
    const TPoint3D hi = e.boxMax();
    if (e.boxMax().z < 1e-13L) e.boxMax().z = 0.1L;
    if (e.boxMin().z + 1e-13L > 0) e.boxMin().z = -0.1L;
    FitBoxToGraphs();
    // The level curve through the cursor point, at its height on the
    // surface.
    TPenSpec spec;
    SetTriple16(spec, static_cast<std::uint16_t>(c.colour), 1, 0);
    const plat::Pen oldPen = course.SelectPen(CreateStylePen(spec));
    const long double level = c.cursor.z;
    TPlaneFunction f = LevelFunctionOf(Engine(), e, {kLevelAxisZ, level});
    TTracerSettings settings = TracerSettings();
    const long double w = std::max<long double>(hi.x - lo.x, 1e-9L);
    const long double h = std::max<long double>(hi.y - lo.y, 1e-9L);
    settings.view = {lo.x - 0.01L * w, hi.x + 0.01L * w, lo.y - 0.01L * h, hi.y + 0.01L * h};
    settings.pixelsPerUnitX = settings.pixelsPerUnitY = 400 / std::max(w, h);
    BeginCurveRecording(4000);
    TLiftedCurveSink sink(*this, course, [level](const TPoint2D& q, TPoint3D& p) {
      p = {q.x, q.y, level};
      return true;
    });
    TraceImplicitCurveFrom(f, settings, {c.cursor.x, c.cursor.y}, sink);
    EndCurveRecording(c.colour, 1, 0);
    course.SelectPen(oldPen);
    e.boxMin() = lo;
    e.boxMax() = hi;
    View3D = view;
  }
  dc.BitBlt(0, 0, ClientWidth, ClientHeight, BackBuffers[2], 0, 0);
}

}  // namespace kv
