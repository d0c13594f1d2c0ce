// The analysis layer's drawers of the kinds that are no sampled graphs:
// implicit curves with their families, points and point sequences as
// markers, and short curves of coordinate formulas as polylines.
#include <memory>
#include <string>

#include "entry/model/coordinate_curve.h"
#include "entry/model/derived_items.h"
#include "entry/model/point_items.h"
#include "entry/plot11_win.h"
#include "graphics/export_sink.h"

namespace kv {

int TPlot11Win::DrawEquation(plat::DC& dc, int i) {
  if (!IsValidIndex(i)) return 0;
  switch (Equation(i).kind) {
    case kKindImplicit:
      return DrawImplicitEquation(dc, i);
    case kKindPoint:
    case kKindPointSequence:
      return DrawPointItem(dc, i);
    default:
      return TPlot1Win::DrawEquation(dc, i);
  }
}

// ---- implicit curves ----

namespace {

template <class T>
void AppendBytes(std::string& key, const T& v) {
  key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

}  // namespace

std::string TPlot11Win::ImplicitTraceKey(int i) {
  const TEquation& e = Equation(i);
  std::string key = e.formulaText[2];
  key += '\0';
  for (std::size_t k = 2; k < 6; ++k) AppendBytes(key, e.trees[k].get());
  const TTracerSettings t = TracerSettings();
  for (long double v : {t.view.xmin, t.view.xmax, t.view.ymin, t.view.ymax, t.pixelsPerUnitX, t.pixelsPerUnitY,
                        t.stepPixels, t.closeTolerance, e.familyStart, e.familyEnd})
    AppendBytes(key, v);
  for (long v : {static_cast<long>(t.gridPixels), t.stepLimit, static_cast<long>(t.criticalAngle),
                 static_cast<long>(AreaWidth()), static_cast<long>(AreaHeight()), static_cast<long>(e.familyOn),
                 static_cast<long>(e.familyLetter), static_cast<long>(e.familySteps),
                 static_cast<long>(e.kindFlag), static_cast<long>(e.restricted)})
    AppendBytes(key, v);
  for (const TPoint3D& p : e.values) {
    AppendBytes(key, p.x);
    AppendBytes(key, p.y);
    AppendBytes(key, p.z);
  }
  // The formulas may use any parameter; x and y are the tracer's own.
  for (int k = 0; k < tok::kVariableCount; ++k) {
    if (k == tok::VariableOf('X') || k == tok::VariableOf('Y')) continue;
    const TComplex v = Variable(k);
    AppendBytes(key, v.re);
    AppendBytes(key, v.im);
  }
  return key;
}

int TPlot11Win::DrawImplicitEquation(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  // A range window shows the images of the domain's curves, not the
  // implicit equation in its own plane.
  if (MapsPlane()) return 0;
  // The curve is traced only when its redraw is requested or what it was
  // traced under has changed; otherwise the runs of the last trace are
  // drawn again.
  const std::string traceKey = ImplicitTraceKey(i);
  const bool retrace = e.webToAxis || !e.traced || e.traced->key != traceKey;
  auto traced = std::make_shared<TTracedCurve>();
  traced->key = traceKey;
  // The tracer searches the whole view on a grid, so one pass per member
  // finds nearly every branch.  "Fortwährend" searches on, each pass on a
  // shifted grid adding what the earlier ones missed, until the stop key;
  // what it found is kept as the trace.
  const bool continuous = retrace && e.kindFlag && SearchesUntilStopKey(dc);
  const TFamilyPlan family = FamilyPlan(e);
  if (e.familyOn) SetVariable(e.familyLetter, e.familyStart);
  int key = 0;
  for (int k = 0; k <= family.last && key == 0; ++k) {
    if (continuous) {
      TTracedRuns& runs = traced->members.emplace_back();
      TContinuedSearch search;
      while (key == 0) {
        const std::size_t had = runs.size();
        key = DrawImplicitCurve(dc, i, &runs, &search);
        // The screen shows what each pass added while the search goes on.
        if (runs.size() > had && IsCreated()) {
          plat::ClientDC client(*this);
          DrawTracedRuns(client, i, TTracedRuns(runs.begin() + static_cast<std::ptrdiff_t>(had), runs.end()));
        }
        if (key == 0 && StopKeyPressed()) key = 'A';
      }
      // The key ends this search and the members after it, not the plot.
      key = 0;
      break;
    }
    if (retrace) {
      key = DrawImplicitCurve(dc, i, &traced->members.emplace_back());
    } else if (static_cast<std::size_t>(k) < e.traced->members.size()) {
      DrawTracedRuns(dc, i, e.traced->members[static_cast<std::size_t>(k)]);
    }
    if (key == 0 && family.stepped) key = ShowFamilyMember(dc, k + 1, e.familyDelay);
    if (key == 0 && !animating && StopKeyPressed()) key = 'A';
    if (e.familyOn) AddToVariable(e.familyLetter, family.step);
  }
  // A trace the stop key cut short is not kept: the next drawing traces.
  // A continued search ends only so; what it found is the trace.
  if (retrace) e.traced = key == 0 ? std::shared_ptr<const TTracedCurve>(std::move(traced)) : nullptr;
  e.webToAxis = 0;  // the request to trace it again is served
  return key;
}

bool TPlot11Win::SearchesUntilStopKey(plat::DC& dc) {
  if (quietDrawing || animating || Printing || Recording() || !IsCreated()) return false;
  const plat::Bitmap* surface = dc.Surface();
  return surface && (surface == &BackBuffers[0] || surface == &BackBuffers[1]);
}

// ---- points and point sequences ----

int TPlot11Win::DrawPointItem(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  // The letter the drawing sets (a trace point's X or T, a sequence's
  // running letter) has its value back when the drawing ends.
  int letter = PointItemLetter(e);
  long double t = 0;
  if (e.derivation == kDerivedTracePoint) {
    // A trace point stands at the parameter its builder keeps in the
    // fourth text.
    if (TextToValue(e.formulaText[kTracePointParameterText], t) != 0) return 1;
    const bool explicitSource = IsValidIndex(e.source1) && Equation(e.source1).kind == kKindExplicit;
    letter = explicitSource ? 'X' : 'T';
  }
  struct TKeptLetter {
    TPlot11Win& w;
    int letter;
    TComplex value;
    ~TKeptLetter() {
      if (letter != 0) w.SetComplexVariable(letter, value);
    }
  } kept{*this, letter, letter != 0 ? Variable(letter) : TComplex()};
  if (e.derivation == kDerivedTracePoint) SetVariable(letter, t);
  const int kind = PointItemKind(e);
  const int colourIndex = CheckColourIndex(e.penColour);
  const plat::Colour colour = DrawingColourOf(colourIndex);
  const bool hollow = e.penStyle > 0;
  const plat::Colour background = GetColour(ColourSlots[0]);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colourIndex, 1, 0));
  const plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(hollow ? background : colour));
  const int r = MarkerSize(dc, e.penWidth);
  // Slot 146 for every point item whose guide flag is set and whose role
  // word is positive; what it draws is the window kind's.
  const bool guides = e.interpolated && e.subKind > 0 && !MapsPlane();

  auto drawMember = [&] {
    const int count = PointItemCount(e);
    for (int k = 0; k < count; ++k) {
      if (!PointSampleInBounds(e, k)) continue;
      TPoint3D p;
      if (!EvaluatePointItem(e, Engine(), k, p)) continue;
      TPoint2D image{p.x, p.y};
      // A space point behind a surface keeps its guide lines (they hide
      // piece by piece) but shows no marker.
      bool hidden = false;
      if (kind > 300) {
        if (!ProjectIfVisible(p, image)) continue;
        hidden = e.kind == kKindPoint3D && IsPointHidden(p);
      } else if (!MapWorldPoint(image) || !IsInView(image)) {
        continue;
      }
      if (guides) {
        DrawSampledItem(dc, i);
        dc.SelectPen(CreateColourPen(colourIndex, 1, 0));
      }
      if (hidden) continue;
      TExportSink* sink = ActiveSink();
      if (sink && sink->Format() == TExportFormat::Pictex) {
        sink->Marker(image, 1, r, colour, 1);
      } else if (sink) {
        sink->Circle(image, r, 1, hollow ? std::optional<plat::Colour>() : std::optional<plat::Colour>(colour),
                     colour);
      } else {
        DrawMarkerAtWorld(dc, image, 1, r);
      }
    }
  };

  const TFamilyPlan family = FamilyPlan(e);
  if (e.familyOn) SetVariable(e.familyLetter, e.familyStart);
  int key = 0;
  for (int k = 0; k <= family.last && key == 0; ++k) {
    drawMember();
    if (family.stepped) key = ShowFamilyMember(dc, k + 1, e.familyDelay);
    if (key == 0 && !animating && StopKeyPressed()) key = 'A';
    if (e.familyOn) AddToVariable(e.familyLetter, family.step);
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
  return key;
}

// ---- sampled curves ----

void TPlot11Win::BuildCurveGrid(plat::DC& dc, TExprNode* x, TExprNode* y, long double t0, long double t1, long n,
                                const TPenSpec& pen) {
  const std::vector<TPoint3D> samples = SampleCoordinateCurve(Engine(), x, y, nullptr, t0, t1, n);
  std::vector<TPoint2D> points;
  points.reserve(samples.size());
  for (const TPoint3D& s : samples) {
    TPoint2D p{s.x, s.y};
    if (MapWorldPoint(p) && IsInView(p)) points.push_back(p);
  }
  if (points.size() < 3) return;
  const std::vector<std::uint8_t> flags(points.size(), 1);
  const plat::Pen old = dc.SelectPen(CreateStylePen(pen));
  DrawPolylineAll(dc, points.data(), flags.data(), static_cast<int>(points.size()) - 1, pen);
  dc.SelectPen(old);
}

void TPlot11Win::BuildSurfaceGrid(plat::DC& dc, TExprNode* x, TExprNode* y, TExprNode* z, long double t0,
                                  long double t1, long n, const TPenSpec& pen, bool hiddenTest) {
  const std::vector<TPoint3D> samples = SampleCoordinateCurve(Engine(), x, y, z, t0, t1, n);
  std::vector<TPoint2D> points;
  std::vector<std::uint8_t> flags;
  // Where a stretch inside the box begins: a curve that leaves the box and
  // comes back is not joined across the outside by a straight chord.
  std::vector<std::size_t> starts;
  points.reserve(samples.size());
  flags.reserve(samples.size());
  bool inside = false;
  for (const TPoint3D& s : samples) {
    TPoint2D p;
    if (!ProjectIfVisible(s, p)) {
      inside = false;
      continue;
    }
    if (!inside) starts.push_back(points.size());
    inside = true;
    points.push_back(p);
    flags.push_back(hiddenTest && IsPointHidden(s) ? 0 : 1);
  }
  if (points.size() < 3) return;
  starts.push_back(points.size());
  const plat::Pen old = dc.SelectPen(CreateStylePen(pen));
  for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
    const auto from = starts[k];
    const int last = static_cast<int>(starts[k + 1] - from) - 1;
    DrawPolylineAll(dc, points.data() + from, flags.data() + from, last, pen);
  }
  dc.SelectPen(old);
}

}  // namespace kv
