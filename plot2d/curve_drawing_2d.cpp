// Explicit, polar and parametric curves of the 2D window: sampling with
// gaps where the formula is undefined or jumps, families, the velocity
// arrow of a parametric curve, the cobweb of an explicit curve and the
// markers that close a bounded graph at its ends.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "graphics/world_polyline.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "plot2d/plot_c_win.h"
#include "plotcore/model/curve_sampler.h"

namespace kv {

namespace {

constexpr long double kEdge = 1e-16L;

// Parameter -> point of a curve entry, for the sampler: (t, f(t)) of an
// explicit curve, (x(t), y(t)) of a polar or parametric one.  It keeps the
// points and slopes at the two ends of the interval for the end markers.
class CurveSource : public TCurveSource {
 public:
  // With exponents set the parameter of an explicit curve is the decimal
  // exponent of x (a logarithmic x axis): samples lie evenly on the axis.
  CurveSource(TPlotCWin& w, TEquation& e, int letter, long double lo, long double hi, bool exponents)
      : w_(w), e_(e), letter_(letter), lo_(lo), hi_(hi), exponents_(exponents) {}

  Result At(long double t, TPoint2D& p) override {
    const Result r = Evaluate(t, p);
    if (t == lo_) {
      startDefined = r != kUndefined;
      start = p;
    }
    if (t == hi_) {
      endDefined = r != kUndefined;
      end = p;
    }
    return r;
  }
  // The same for a block: the trees in the order Evaluate takes them, each
  // skipped where an earlier one is undefined.
  void AtBlock(const long double* t, int n, TPoint2D* p, Result* r) override {
    const auto size = static_cast<std::size_t>(n);
    for (auto* v : {&xs_, &ys_, &rs_}) v->resize(size);
    status_.resize(size);
    TExprNode* trees[3];
    long double* out[3];
    int count = 0;
    const bool explicitCurve = e_.kind == kKindExplicit;
    const bool restricted = !explicitCurve && e_.kind == kKindPolar && e_.restricted;
    if (!explicitCurve) {
      trees[count] = e_.trees[0].get();
      out[count++] = xs_.data();
    }
    trees[count] = e_.trees[1].get();
    out[count++] = ys_.data();
    if (restricted) {
      trees[count] = e_.trees[2].get();
      out[count++] = rs_.data();
    }
    // Exponents are sampled on a logarithmic x axis: the curve is taken at
    // their powers of ten, as At does.
    const long double* at = t;
    if (exponents_ && explicitCurve) {
      powers_.resize(size);
      for (int i = 0; i < n; ++i) powers_[static_cast<std::size_t>(i)] = std::pow(10.0L, t[i]);
      at = powers_.data();
    }
    w_.Engine().EvaluateBlockChain(trees, count, letter_, at, n, out, status_.data());
    // Without axes or a mapping that move them the points stay as they are.
    const TPointMap map = w_.PointMap();
    const bool mapped = map.logWindow || map.mapping;
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      Result result = kUndefined;
      if (status_[k] != kPointUndefined && (!restricted || rs_[k] > 0)) {
        // Copied as bytes, without a detour through the x87 unit.
        TPoint2D& q = p[i];
        std::memcpy(&q.x, explicitCurve ? &at[i] : &xs_[k], sizeof q.x);
        std::memcpy(&q.y, &ys_[k], sizeof q.y);
        bool ok = std::isfinite(q.x) && std::isfinite(q.y);
        if (ok && mapped) {
          w_.SetVariable(letter_, at[i]);  // a mapping formula may read the parameter
          ok = MapPoint(w_.Engine(), map, q);
        }
        if (ok) result = status_[k] == kPointJump ? kJump : kDefined;
      }
      r[i] = result;
    }
    for (int i = 0; i < n; ++i) {
      if (t[i] == lo_) {
        startDefined = r[i] != kUndefined;
        start = p[i];
      }
      if (t[i] == hi_) {
        endDefined = r[i] != kUndefined;
        end = p[i];
      }
    }
    w_.SetVariable(letter_, at[n - 1]);
  }
  void BeginProbe() override {
    detecting_ = w_.JumpDetection();
    if (detecting_) w_.SetJumpDetection(false);
  }
  void EndProbe() override {
    if (detecting_) w_.SetJumpDetection(true);
  }
  // The slope f' at t of an explicit curve (0 where undefined).
  long double SlopeAt(long double t) {
    TExprNode* d = e_.trees[5].get();
    if (e_.kind != kKindExplicit || !d) return 0;
    w_.SetVariable(letter_, t);
    if (!w_.Evaluate(d)) return 0;
    const long double s = d->value.re;
    return std::isfinite(s) ? s : 0;
  }

  bool startDefined = false;
  bool endDefined = false;
  TPoint2D start;
  TPoint2D end;

 private:
  Result Evaluate(long double t, TPoint2D& p) {
    w_.SetVariable(letter_, t);
    w_.ClearEvaluationError();
    TExprNode* y = e_.trees[1].get();
    if (e_.kind == kKindExplicit) {
      const long double x = exponents_ ? std::pow(10.0L, t) : t;
      if (exponents_) w_.SetVariable(letter_, x);
      if (!w_.Evaluate(y)) return kUndefined;
      p = {x, y->value.re};
    } else {
      TExprNode* x = e_.trees[0].get();
      if (!w_.Evaluate(x) || !w_.Evaluate(y)) return kUndefined;
      p = {x->value.re, y->value.re};
      if (e_.kind == kKindPolar && e_.restricted) {
        TExprNode* r = e_.trees[2].get();
        if (!r || !w_.Evaluate(r) || !(r->value.re > 0)) return kUndefined;
      }
    }
    const bool jumped = w_.EvaluationError();
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return kUndefined;
    if (!w_.MapWorldPoint(p)) return kUndefined;
    return jumped ? kJump : kDefined;
  }

  TPlotCWin& w_;
  TEquation& e_;
  int letter_;
  long double lo_;
  long double hi_;
  bool exponents_;
  bool detecting_ = false;
  std::vector<long double> xs_, ys_, rs_, powers_;
  std::vector<std::uint8_t> status_;
};

plat::Point PixelOf(const TPlotCWin& w, const TPoint2D& p) {
  return {w.WorldToPixelX(p.x), w.WorldToPixelY(p.y)};
}

}  // namespace

TEndMarkers TPlotCWin::EndMarkersOf(int i) const {
  const TEquation& e = Equation(i);
  TEndMarkers m;
  if (mappedFlag) return m;
  const bool has = (e.kind == kKindExplicit && e.bounded) || e.kind == kKindPolar ||
                   (e.kind == kKindParametric && e.arrowMode != 27);
  if (!has) return m;
  TEquation& v = const_cast<TEquation&>(e);
  m.startDot = static_cast<int>(v.endMarkerLeft());
  m.startArrow = static_cast<int>(v.endArrowLeft());
  m.endDot = static_cast<int>(v.endMarkerRight());
  m.endArrow = static_cast<int>(v.endArrowRight());
  return m;
}

int TPlotCWin::DrawCurveMember(plat::DC& dc, int i, long double lo, long double hi, long n, bool& startDefined,
                               bool& endDefined, TPoint2D& start, TPoint2D& end) {
  TEquation& e = Equation(i);
  int letter = 'T';
  if (e.kind == kKindExplicit) letter = 'X';
  if (e.kind == kKindParametric && e.arrowMode > 0 && e.arrowMode < tok::kVariableCount) letter = e.arrowMode;

  // Joins the samples on the screen (or records them for an export), or
  // shows each sample as a point under "&Punkte verbinden".
  class Sink : public TPolylineSink {
   public:
    Sink(TPlotCWin& w, plat::DC& dc, plat::Colour colour) : w_(w), dc_(dc), colour_(colour) {
      if (!w.samplesAsPoints && !w.Recording()) line_.emplace(dc, w);
    }
    void MoveTo(const TPoint2D& p) override {
      w_.MarkCurveBreak();
      Visit(p, false);
    }
    void LineTo(const TPoint2D& p) override { Visit(p, true); }
    bool Cancelled() override {
      if (line_) line_->Flush();  // a poll may show the picture
      if (w_.StopKeyPressed()) stopped = true;
      return stopped;
    }
    void Finish() {
      if (line_) line_->Flush();
    }
    bool stopped = false;

   private:
    void Visit(const TPoint2D& p, bool join) {
      if (line_) {
        if (join)
          line_->LineTo(p);
        else
          line_->MoveTo(p);
        return;
      }
      if (w_.samplesAsPoints) {
        if (w_.IsInView(p)) {
          if (w_.Recording()) {
            w_.MarkCurveBreak();
            w_.RecordCurvePoint(p);
          } else {
            const plat::Point px = PixelOf(w_, p);
            dc_.SetPixel(px.x, px.y, colour_);
          }
        }
      } else if (join && have_) {
        w_.DrawSegmentOnDc(dc_, last_, p);
      }
      last_ = p;
      have_ = true;
    }
    TPlotCWin& w_;
    plat::DC& dc_;
    plat::Colour colour_;
    TPoint2D last_;
    bool have_ = false;
    std::optional<TWorldPolyline> line_;  // on the screen
  };

  Sink sink(*this, dc, DrawingColourOf(CheckColourIndex(e.penColour)));
  CurveSource source(*this, e, letter, lo, hi, sampleExponents_);
  TSamplerSettings settings = SamplerSettings();
  settings.detectJumps = e.densityFlag == 0;
  // n steps: n + 1 samples, the last exactly at hi.
  SampleCurve(source, lo, hi, n + 1, settings, sink);
  sink.Finish();
  startDefined = source.startDefined;
  endDefined = source.endDefined;
  start = source.start;
  end = source.end;
  if (e.kind == kKindExplicit) {
    // The slopes at the ends point the end arrows along the graph.
    lastStartSlope_ = startDefined ? source.SlopeAt(lo) : 0;
    lastEndSlope_ = endDefined ? source.SlopeAt(hi) : 0;
  } else {
    lastStartSlope_ = 0;
    lastEndSlope_ = 0;
  }
  return sink.stopped ? 'A' : 0;
}

int TPlotCWin::DrawCurve(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  const int kind = e.kind;
  if (kind != kKindExplicit && kind != kKindPolar && kind != kKindParametric) return 0;
  if (!e.trees[1] || (kind != kKindExplicit && !e.trees[0])) return 0;
  if (kind == kKindExplicit && e.notVertical) DrawDiagonal(dc);
  int width = e.penWidth;
  const bool toolCurve = kind == kKindParametric && e.arrowMode == 27;
  if (toolCurve) width = Printing ? toolCurvePrintWidth : toolCurveWidth;

  long double lo = e.lowerBound.x;
  long double hi = e.upperBound.x;
  const bool ownInterval = kind == kKindExplicit && e.bounded;
  if (kind == kKindExplicit && !mappedFlag) {
    long double vx0 = World.xmin;
    long double vx1 = World.xmax;
    if (LogWindowType > 0 && (AxisKind & 1)) {
      vx0 = LogAxisToValue(vx0);
      vx1 = LogAxisToValue(vx1);
    }
    if (!ownInterval) {
      lo = vx0;
      hi = vx1;
    } else {
      if (vx1 < lo + kEdge || hi < vx0 + kEdge) return 0;
      lo = std::max(lo, vx0);
      hi = std::min(hi, vx1);
    }
  }
  // On a logarithmic x axis an explicit curve is sampled evenly in the
  // exponent, over the values the window shows.
  sampleExponents_ = kind == kKindExplicit && LogWindowType > 0 && (AxisKind & 1);
  if (sampleExponents_) {
    lo = std::max(lo, LogValueRange.xmin);
    hi = std::min(hi, LogValueRange.xmax);
    if (!(lo > 0) || !(hi > lo)) return 0;
    lo = std::log10(lo);
    hi = std::log10(hi);
  }
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo)) return 0;
  const TEndMarkers markers = EndMarkersOf(i);

  const bool savedJumps = JumpDetection();
  SetJumpDetection(false);  // switching it on starts every curve afresh
  SetJumpDetection(e.densityFlag == 0);

  const int colour = CheckColourIndex(e.penColour);
  const int style = e.penStyle;
  TPenSpec spec;
  spec.colour = static_cast<std::uint16_t>(colour);
  spec.width = static_cast<std::uint16_t>(width < 1 ? 1 : width);
  spec.style = static_cast<std::uint16_t>(style);
  const plat::Pen oldPen = dc.SelectPen(CreateStylePen(spec));
  const plat::Brush brush = plat::SolidBrush(DrawingColourOf(colour));
  const plat::Brush oldBrush = dc.SelectBrush(brush);

  // Samples: d per pixel column, or one every |d| columns; a partial
  // interval keeps the density per pixel.
  const int w = AreaWidth();
  const int d = e.stepDensity == 0 ? 1 : e.stepDensity;
  long double n = d >= 1 ? static_cast<long double>(d) * (w + 1) : static_cast<long double>((w + 1) / -d);
  if (ownInterval && World.xmax > World.xmin) n = RoundToInt(n * (hi - lo) / (World.xmax - World.xmin));
  const long steps = static_cast<long>(std::clamp<long double>(n, 1, kMaxSamples - 1));

  int members = 1;
  long double familyStep = 0;
  if (e.familyOn) {
    const int m = std::abs(e.familySteps);
    members = m + 1;
    SetVariable(e.familyLetter, e.familyStart);
    if (m > 0) familyStep = (e.familyEnd - e.familyStart) / m;
  }
  bool stopped = false;
  bool startDefined = false;
  bool endDefined = false;
  TPoint2D start;
  TPoint2D end;
  for (int k = 0; k < members && !stopped; ++k) {
    BeginCurveRecording(steps + 10);
    stopped = DrawCurveMember(dc, i, lo, hi, steps, startDefined, endDefined, start, end) == 'A';
    if (kind == kKindExplicit && e.notVertical) DrawCobweb(dc, i);
    EndCurveRecording(colour, spec.width, style);
    // Each member is shown as it is finished.
    if (e.familyOn && e.familySteps < 0 && !stopped) stopped = ShowFamilyMember(dc, k + 1, e.familyDelay) == 'A';
    if (e.familyOn) AddToVariable(e.familyLetter, familyStep);
  }

  if (kind == kKindParametric && e.polarInput && !stopped) {
    // The velocity arrow: only its head shows, pointing along the motion.
    if (!Printing) e.arrowLength() = UnitsPerPixelX * (e.arrowSize + 10);
    const int letter = e.arrowMode > 0 && e.arrowMode < tok::kVariableCount ? e.arrowMode : 'T';
    SetVariable(letter, e.arrowParameter());
    TExprNode* t[4] = {e.trees[0].get(), e.trees[1].get(), e.trees[4].get(), e.trees[5].get()};
    bool ok = true;
    for (TExprNode* node : t) ok = ok && node && Evaluate(node);
    if (ok) {
      TPoint2D p{t[0]->value.re, t[1]->value.re};
      TPoint2D v{t[2]->value.re, t[3]->value.re};
      const long double len = std::sqrt(v.x * v.x + v.y * v.y);
      if (len > kEdge && std::isfinite(len)) {
        const long double scale = 0.01L * UnitsPerPixelX / len;
        v = {v.x * scale, v.y * scale};
        TPoint2D q{p.x + v.x, p.y + v.y};
        if (MapWorldPoint(p) && MapWorldPoint(q) && IsInView(p)) {
          const std::uint32_t packed = static_cast<std::uint32_t>(colour) | (static_cast<std::uint32_t>(spec.width) << 16);
          DrawSegment(dc, p, q, e.arrowLength(), packed, style, true, 3);
        }
      }
    }
  }

  if (!stopped) {
    const std::uint32_t packed = static_cast<std::uint32_t>(colour) | (static_cast<std::uint32_t>(spec.width) << 16);
    if (startDefined) {
      DrawEndDot(dc, start, markers.startDot, packed, style, brush);
      DrawEndArrow(dc, start, markers.startArrow, TPoint2D{-1, -lastStartSlope_}, packed, style, brush);
    }
    if (endDefined) {
      DrawEndDot(dc, end, markers.endDot, packed, style, brush);
      DrawEndArrow(dc, end, markers.endArrow, TPoint2D{1, lastEndSlope_}, packed, style, brush);
    }
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
  SetJumpDetection(savedJumps);
  ClearEvaluationError();
  return stopped ? 'A' : 0;
}

// ---- end markers ----

void TPlotCWin::DrawEndDot(plat::DC& dc, const TPoint2D& p, int marker, std::uint32_t packedPen, int style,
                           const plat::Brush& brush) {
  if (marker == 0) return;
  const int colour = static_cast<int>(packedPen & 0xFFFFu);
  const int width = static_cast<int>(packedPen >> 16);
  // A hollow marker is filled with the background so that it shows the end
  // point as left out.
  const plat::Brush fill = marker < 0 ? plat::SolidBrush(GetColour(ColourSlots[0])) : brush;
  const plat::Brush old = dc.SelectBrush(fill);
  const int r = MarkerSize(dc, std::abs(marker));
  if (TExportSink* sink = ActiveSink()) {
    const plat::Colour c = GetColour(colour);
    if (sink->Format() == TExportFormat::Pictex)
      sink->Marker(p, 1, r, c, std::abs(marker));
    else
      sink->Circle(p, r, width, marker > 0 ? c : GetColour(ColourSlots[0]), c);
  }
  plat::Point px;
  if (WorldToPixel(p, px)) {
    const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, width, style));
    DrawMarker(dc, px.x, px.y, 1, r);
    dc.SelectPen(oldPen);
  }
  dc.SelectBrush(old);
}

void TPlotCWin::DrawEndArrow(plat::DC& dc, const TPoint2D& p, int marker, const TPoint2D& direction,
                             std::uint32_t packedPen, int style, const plat::Brush& brush) {
  if (marker == 0) return;
  const plat::Brush fill = marker < 0 ? plat::SolidBrush(GetColour(ColourSlots[0])) : brush;
  const plat::Brush old = dc.SelectBrush(fill);
  const int r = MarkerSize(dc, std::abs(marker));
  const long double length = UnitsPerPixelX * std::sqrt(3.0L) * r;
  TPoint2D a;
  TPoint2D b;
  if (ArrowHeadPoints(direction, length, a, b)) {
    TPoint2D v = direction;
    const long double len = std::sqrt(v.x * v.x + v.y * v.y);
    if (len > 0) v = {v.x * UnitsPerPixelX / len, v.y * UnitsPerPixelX / len};
    TPenSpec spec;
    spec.colour = static_cast<std::uint16_t>(packedPen & 0xFFFFu);
    spec.width = static_cast<std::uint16_t>(packedPen >> 16);
    spec.style = static_cast<std::uint16_t>(style);
    DrawArrow(dc, TPoint2D{p.x + a.x, p.y + a.y}, p, TPoint2D{p.x + b.x, p.y + b.y}, marker > 0, spec, v, length);
  }
  dc.SelectBrush(old);
}

// ---- cobweb ----

void TPlotCWin::DrawDiagonal(plat::DC& dc) {
  int colour = ColourSlots[12];
  if (colour == ColourSlots[0]) colour = 0;
  const int width = Printing ? AxisWidthPrint : 1;
  const plat::Pen old = dc.SelectPen(CreateColourPen(colour, width, 0));
  TPoint2D a{World.xmin + 0.1L, World.xmin + 0.1L};
  TPoint2D b{World.xmax - 0.1L, World.xmax - 0.1L};
  if (ClipSegmentToView(a, b)) {
    TPenSpec spec;
    spec.colour = static_cast<std::uint16_t>(colour);
    spec.width = static_cast<std::uint16_t>(width);
    if (TExportSink* sink = ActiveSink()) {
      sink->Line(a, b, ExportPenOf(spec));
    } else {
      DrawWorldLine(dc, a, b, false);
    }
  }
  dc.SelectPen(old);
}

void TPlotCWin::DrawCobweb(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  if (e.termCount <= 0) return;
  const std::vector<long double> x = IterateSequence(i);
  if (x.empty()) return;
  const int width = Printing ? AxisWidthPrint : 1;
  const plat::Pen old = dc.SelectPen(CreateColourPen(CheckColourIndex(e.sideColour2), width, 0));
  const int arrow = e.kindFlag ? e.arrowSize + 10 : 0;
  for (std::size_t k = 1; k < x.size() && k <= static_cast<std::size_t>(e.termCount); ++k) {
    if (!std::isfinite(x[k]) || !std::isfinite(x[k - 1])) break;
    const long double from = (k == 1 && e.webToAxis) ? 0 : x[k - 1];
    DrawCobwebSegment(dc, {x[k - 1], from}, {x[k - 1], x[k]}, true, arrow);
    DrawCobwebSegment(dc, {x[k - 1], x[k]}, {x[k], x[k]}, false, arrow);
  }
  dc.SelectPen(old);
}

void TPlotCWin::DrawCobwebSegment(plat::DC& dc, const TPoint2D& from, const TPoint2D& to, bool vertical,
                                  int arrowSize) {
  const plat::Point p = PixelOf(*this, from);
  const plat::Point q = PixelOf(*this, to);
  TExportSink* sink = ActiveSink();
  const TExportPen pen{dc.CurrentPen().colour, dc.CurrentPen().width, 0};
  if (sink && sink->Format() == TExportFormat::Pictex) {
    // One rule, its ends moved onto the view's edges.
    TPoint2D a = from;
    TPoint2D b = to;
    if (ClipSegmentToView(a, b)) sink->Rule(a, b, pen);
  } else if (sink) {
    sink->PixelLine(p, q, pen);
  }
  dc.MoveTo(p.x, p.y);
  dc.LineTo(q.x, q.y);
  const int dx = q.x - p.x;
  const int dy = q.y - p.y;
  if (arrowSize < 1 || std::abs(dx) + std::abs(dy) < 4 * arrowSize) return;
  const int mx = (p.x + q.x) / 2;
  const int my = (p.y + q.y) / 2;
  const int s = arrowSize;
  plat::Point ends[2];
  if (vertical) {
    const int back = dy > 0 ? my - s : my + s;
    ends[0] = {mx - s, back};
    ends[1] = {mx + s, back};
  } else {
    const int back = dx > 0 ? mx - s : mx + s;
    ends[0] = {back, my - s};
    ends[1] = {back, my + s};
  }
  for (const plat::Point& end : ends) {
    if (sink) sink->PixelLine({mx, my}, end, pen);
    dc.MoveTo(mx, my);
    dc.LineTo(end.x, end.y);
  }
}

}  // namespace kv
