// Drawing primitives of the plot layer: segments with arrow heads, points,
// the curve recorder of the EPS, SVG and PiCTeX exports, and the freehand
// strokes.  Every figure goes to the export that records and to the device
// context only when none does.
#include <algorithm>
#include <cmath>

#include "plotcore/dc_sink.h"

namespace kv {

namespace {

// Runs longer than this are written in pieces while they are recorded, so a
// long trajectory never holds an unbounded buffer.
constexpr std::size_t kRecordedRunFlush = 2000;

}  // namespace

plat::Pen TPlotWin::PenOf(std::uint32_t packedPen, int style) const {
  return CreateColourPen(static_cast<int>(packedPen & 0xFFFFu), static_cast<int>(packedPen >> 16), style);
}

TSegment2D TPlotWin::LogFrameInside() const {
  return {Alternate.xmin + UnitsPerPixelX, Alternate.xmax - UnitsPerPixelX, Alternate.ymin + UnitsPerPixelY,
          Alternate.ymax - UnitsPerPixelY};
}

bool TPlotWin::ClipToLogFrame(TPoint2D& a, TPoint2D& b) const {
  if (LogWindowType <= 0 || (IsInView(a) && IsInView(b))) return true;
  const TSegment2D r = LogFrameInside();
  return ClipSegmentToRect(r.xmin, r.xmax, r.ymin, r.ymax, a, b, false);
}

void TPlotWin::DrawSegmentOnDc(plat::DC& dc, TPoint2D a, TPoint2D b) {
  if (!Recording()) {
    DrawWorldLine(dc, a, b, true);
    return;
  }
  const TPoint2D b0 = b;
  if (!ClipSegmentToView(a, b)) {
    MarkCurveBreak();
    return;
  }
  if (!recording_.active) return;
  const auto& runs = recording_.runs;
  const bool continues = !runs.empty() && !runs.back().empty() && recording_.last == a;
  if (!continues) {
    MarkCurveBreak();
    RecordCurvePoint(a);
  }
  RecordCurvePoint(b);
  // A step that left the view ends its run there.
  if (!(b0 == b)) MarkCurveBreak();
}

void TPlotWin::DrawSegment(plat::DC& dc, const TPoint2D& a, const TPoint2D& b, long double head,
                           std::uint32_t packedPen, int style, bool clip, int mode) {
  const int colour = static_cast<int>(packedPen & 0xFFFFu);
  const int width = static_cast<int>(packedPen >> 16);
  TPenSpec spec;
  SetTriple16(spec, static_cast<std::uint16_t>(colour), static_cast<std::uint16_t>(width),
              static_cast<std::uint16_t>(style));
  if (mode & 1) {
    TPoint2D p = a;
    TPoint2D q = b;
    const bool visible = !clip || ClipSegmentToView(p, q);
    if (visible) {
      if (TExportSink* sink = ActiveSink()) {
        sink->Line(p, q, ExportPenOf(spec));
      } else {
        const plat::Pen old = dc.SelectPen(CreateStylePen(spec));
        DrawWorldLine(dc, p, q, false);
        dc.SelectPen(old);
      }
    }
  }
  if (mode > 1 && head > 0 && IsInView(b)) {
    TPoint2D c1, c2;
    const TPoint2D v{b.x - a.x, b.y - a.y};
    if (ArrowHeadPoints(v, head, c1, c2)) {
      // The corners come relative to the tip.
      c1 = {b.x + c1.x, b.y + c1.y};
      c2 = {b.x + c2.x, b.y + c2.y};
      const plat::Pen pen = CreateStylePen(spec);
      const plat::Pen oldPen = dc.SelectPen(pen);
      const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(pen.colour));
      DrawArrow(dc, c1, b, c2, FilledArrowHeads != 0, spec, v, head);
      dc.SelectBrush(oldBrush);
      dc.SelectPen(oldPen);
    }
  }
}

void TPlotWin::PlotPoint(plat::DC& dc, const TPoint2D& p, int colour, int style) {
  if (!IsInView(p)) return;
  const plat::Colour c = DrawingColourOf(colour);
  // A single pixel has no figure in SVG and EPS; PiCTeX writes its dot.
  TExportSink* sink = ActiveSink();
  if (sink && (style > 0 || sink->Format() == TExportFormat::Pictex)) {
    sink->Marker(p, style, MarkerHalfSize, c, style);
    return;
  }
  if (style <= 0) {
    plat::Point px;
    if (WorldToPixel(p, px)) dc.SetPixel(px.x, px.y, c);
    return;
  }
  const plat::Pen oldPen = dc.SelectPen(plat::Pen{plat::PS_SOLID, 1, c});
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(c));
  DrawMarkerAtWorld(dc, p, style, MarkerHalfSize);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

// ---- curve recording ----

void TPlotWin::BeginCurveRecording(long n) {
  recording_.runs.clear();
  recording_.held = false;
  recording_.active = Recording();
  if (!recording_.active) return;
  recording_.runs.emplace_back();
  const long room = n < 0 ? 0 : (n + 1 > static_cast<long>(kRecordedRunFlush) ? static_cast<long>(kRecordedRunFlush) : n + 1);
  recording_.runs.back().reserve(static_cast<std::size_t>(room));
}

void TPlotWin::RecordCurvePoint(const TPoint2D& p) {
  if (!recording_.active) return;
  if (recording_.runs.empty()) recording_.runs.emplace_back();
  auto& run = recording_.runs.back();
  recording_.last = p;
  // Integration steps are far shorter than a pixel: a point that adds no
  // pixel to the stroke is held back.  Points outside the drawing area
  // share its clamped edge pixels and are always kept.
  plat::Point px;
  const bool inside = WorldToPixel(p, px);
  if (inside && recording_.lastInside && !run.empty() && px == recording_.lastPixel) {
    recording_.held = true;
    return;
  }
  recording_.held = false;
  recording_.lastPixel = px;
  recording_.lastInside = inside;
  run.push_back(p);
  if (run.size() >= kRecordedRunFlush) {
    // A full run is closed and the next starts at its last point.
    recording_.runs.emplace_back();
    recording_.runs.back().push_back(p);
  }
}

void TPlotWin::CloseCurveRun() {
  if (!recording_.held) return;
  recording_.held = false;
  auto& run = recording_.runs.back();
  // The held point lies on the pixel of the run's last point: it takes that
  // point's place, except the run's first, which stays where it began.
  if (run.size() > 1) run.back() = recording_.last;
  else run.push_back(recording_.last);
}

void TPlotWin::MarkCurveBreak() {
  if (!recording_.active) return;
  CloseCurveRun();
  if (!recording_.runs.empty() && recording_.runs.back().empty()) return;
  recording_.runs.emplace_back();
}

void TPlotWin::EndCurveRecording(int colour, int width, int style) {
  if (!recording_.active) return;
  // The curve's width, at least 1.
  EndCurveRecording(TExportPen{DrawingColourOf(colour), width < 1 ? 1 : width, style});
}

void TPlotWin::EndCurveRecording(const TExportPen& pen) {
  if (!recording_.active) return;
  CloseCurveRun();
  if (TExportSink* sink = ActiveSink()) {
    for (const auto& run : recording_.runs)
      if (run.size() > 1) sink->Polyline(run.data(), static_cast<int>(run.size()) - 1, pen);
  }
  recording_.runs.clear();
  recording_.active = false;
}

// ---- freehand strokes ----

void TPlotWin::DrawRoughPolyline(plat::DC& dc) {
  if (mouseMarks.empty()) return;
  // Each pen's strokes are recorded as that pen's runs while an export
  // runs, in the colour they have on the export's picture.
  TExportPen pen{StrokeColourOn(dc, GetColour(ColourSlots[13])), mouseMarkPenWidth, 0};
  const plat::Pen old = dc.SelectPen(CreateRgbPen(pen.colour, pen.width, pen.style));
  const long room = static_cast<long>(mouseMarks.size());
  BeginCurveRecording(room);
  TPoint2D last;
  bool have = false;
  for (const TMouseMark& m : mouseMarks) {
    if (m.kind == kMarkPen) {
      EndCurveRecording(pen);
      pen = {StrokeColourOn(dc, m.pen.colour), std::max<int>(m.pen.width, 1), m.pen.style};
      dc.SelectPen(CreateRgbPen(pen.colour, m.pen.width, m.pen.style));
      BeginCurveRecording(room);
      have = false;
    } else if (m.kind == kMarkBreak) {
      last = m.point;
      have = true;
    } else {
      if (have) DrawSegmentOnDc(dc, last, m.point);
      last = m.point;
      have = true;
    }
  }
  EndCurveRecording(pen);
  dc.SelectPen(old);
}

plat::Colour TPlotWin::StrokeColourOn(plat::DC& dc, plat::Colour c) const {
  // A DC without a pixel surface is a printer's or a metafile's.
  if (Printing || !dc.Surface() || c != GetColour(ColourSlots[0])) return c;
  return GetColourAvoidingBackground(ColourSlots[0]);
}

bool TPlotWin::ClearMouseMarkList() {
  const bool had = !mouseMarks.empty();
  mouseMarks.clear();
  return had;
}

}  // namespace kv
