// The drawers of two curve kinds that are not sampled like a graph: the
// antiderivative (kind 206), integrated by the trapezoid rule in fractions
// of a pixel from its start abscissa to both sides, and the roulette (kind
// 207), whose pen point follows a circle rolling along its base curve.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "plot2d/curve_tool_dialogs.h"
#include "plot2d/model/roulettes.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {

// An antiderivative's pass asks for a key this often.
constexpr long kPollEvery = 512;
// A curve never takes more steps than this per pass.
constexpr long double kMaxSteps = 2147483547.0L;

}  // namespace

// Joins a run of world points on the DC (or the export recording), or
// plots them one by one under "&Punkte verbinden".
struct TPlotCWin::TRunPen {
  TPlotCWin& w;
  plat::DC& dc;
  plat::Colour colour;
  TPoint2D last{};
  bool down = false;
  void Add(const TPoint2D& p) { w.AddRunPoint(*this, p); }
  void Break() {
    if (down) w.MarkCurveBreak();
    down = false;
  }
};

void TPlotCWin::AddRunPoint(TRunPen& pen, const TPoint2D& p) {
  if (samplesAsPoints) {
    if (Recording()) {
      MarkCurveBreak();
      RecordCurvePoint(p);
    } else {
      pen.dc.SetPixel(WorldToPixelX(p.x), WorldToPixelY(p.y), pen.colour);
    }
  } else if (pen.down) {
    DrawSegmentOnDc(pen.dc, pen.last, p);
  }
  pen.last = p;
  pen.down = true;
}

int TPlotCWin::DrawAntiderivative(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  if (!e.trees[1]) return 0;
  long double x0 = e.startValue();
  if (e.subKind > 0 && e.subKind < tok::kParameterCount) x0 = Variable(e.subKind).re;
  const int colour = CheckColourIndex(e.penColour);
  TPenSpec spec{static_cast<std::uint16_t>(colour), static_cast<std::uint16_t>(std::max<int>(1, e.penWidth)),
                static_cast<std::uint16_t>(e.penStyle)};
  const plat::Pen oldPen = dc.SelectPen(CreateStylePen(spec));
  // A fraction of a pixel: half a pixel divided by the density, or times
  // its size below 1 (a density 0 from a damaged file counts as 1).
  long double h = 0.5L * UnitsPerPixelX;
  const int d = e.stepDensity == 0 ? 1 : e.stepDensity;
  h = d >= 1 ? h / d : h * std::abs(d);
  const long double lo = e.lowerBound.x;
  const long double hi = e.upperBound.x;
  if (!(h > 0) || !std::isfinite(lo) || !std::isfinite(hi) || !std::isfinite(x0)) {
    dc.SelectPen(oldPen);
    return 0;
  }
  const long double budget = std::min(kMaxSteps, std::fabs(hi - lo) / h + std::fabs(x0 - lo) / h + 2);
  const std::uint32_t packed = static_cast<std::uint32_t>(colour) | (static_cast<std::uint32_t>(spec.width) << 16);
  const plat::Brush brush = plat::SolidBrush(DrawingColourOf(colour));
  auto f = [&](long double x) {
    long double v = 0;
    return EvaluateAt(e.trees[1].get(), 'X', x, v) ? v : 0.0L;
  };
  const TFamilyPlan family = FamilyPlan(e);
  if (e.familyOn) SetVariable(e.familyLetter, e.familyStart);
  int key = 0;
  for (int m = 0; m <= family.last && key == 0; ++m) {
    for (int pass = 0; pass < 2 && key == 0; ++pass) {
      const long double step = pass == 0 ? h : -h;
      BeginCurveRecording(static_cast<long>(std::min(budget, 100000.0L)));
      TRunPen pen{*this, dc, DrawingColourOf(colour)};
      long double x = x0, big = 0;
      long double fOld = f(x);
      for (long k = 0; (pass == 0 ? x < hi : lo < x) && k < static_cast<long>(budget); ++k) {
        const TPoint2D p{x, big};
        if (x < lo || x > hi || !IsInView(p)) {
          pen.Break();
        } else {
          pen.Add(p);
        }
        x += step;
        const long double fNew = f(x);
        big += (fOld + fNew) * step * 0.5L;
        fOld = fNew;
        // Any key ends the family, also within a long pass.
        if (k % kPollEvery == 0 && (key = KeyPressed()) != 0) break;
      }
      EndCurveRecording(colour, spec.width, spec.style);
      if (e.bounded && !mappedFlag && pen.down)
        DrawEndDot(dc, pen.last, static_cast<int>(pass == 0 ? e.endMarkerRight() : e.endMarkerLeft()), packed,
                   e.penStyle, brush);
    }
    if (key == 0) key = KeyPressed();
    if (e.familyOn) AddToVariable(e.familyLetter, family.step);
    if (key == 0 && family.stepped) key = ShowFamilyMember(dc, m + 1, e.familyDelay, true);
  }
  dc.SelectPen(oldPen);
  return key;
}

int TPlotCWin::DrawRoulette(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  if (!e.trees[0] || !e.trees[1] || !e.trees[4] || !e.trees[5]) return 0;
  const int colour = CheckColourIndex(e.penColour);
  TPenSpec spec{static_cast<std::uint16_t>(colour), static_cast<std::uint16_t>(std::max<int>(1, e.penWidth)),
                static_cast<std::uint16_t>(e.penStyle)};
  const plat::Pen oldPen = dc.SelectPen(CreateStylePen(spec));
  const long double t0 = e.startValue();
  const TFamilyPlan family = FamilyPlan(e);
  if (e.familyOn) SetVariable(e.familyLetter, e.familyStart);
  // The pen point goes through the window's point mapping (a range window
  // of a mapping, logarithmic axes) before it is tested and drawn.
  auto shown = [this](TPoint2D& p) { return MapWorldPoint(p) && IsInView(p); };
  int key = 0;
  for (int m = 0; m <= family.last && key == 0; ++m) {
    for (int pass = 0; pass < 2 && key == 0; ++pass) {
      const long double end = pass == 0 ? e.upperBound.x : e.lowerBound.x;
      long double n = std::fabs(static_cast<long double>(e.stepDensity)) * PixelsPerUnitX * std::fabs(end - t0);
      n = !std::isfinite(n) || n + 100 >= 2147483647.0L ? kMaxSteps : std::round(n);
      const long steps = static_cast<long>(n);
      const long double dt = steps > 0 ? (end - t0) / steps : 0;
      BeginCurveRecording(std::min<long>(steps + 10, 100000));
      TRunPen pen{*this, dc, DrawingColourOf(colour)};
      long double t = t0, s = -1;
      TPoint2D prevQ, q, p;
      SetVariable('T', t);
      if (RoulettePoint(Engine(), e, s, prevQ, q, p, false) == 0 && shown(p)) pen.Add(p);
      prevQ = q;
      for (long k = 1; k <= steps; ++k) {
        t = k == steps ? end : t + dt;
        SetVariable('T', t);
        if (RoulettePoint(Engine(), e, s, prevQ, q, p, pass == 1) == 0 && shown(p)) {
          pen.Add(p);
        } else {
          pen.Break();
        }
        prevQ = q;
        // Any key ends the family, read after every step.
        if ((key = KeyPressed()) != 0) break;
      }
      EndCurveRecording(colour, spec.width, spec.style);
    }
    if (e.familyOn) AddToVariable(e.familyLetter, family.step);
    if (key == 0 && family.stepped) key = ShowFamilyMember(dc, m + 1, e.familyDelay, true);
  }
  dc.SelectPen(oldPen);
  return key;
}

void TPlotCWin::DrawRevolutionRange(plat::DC& dc) {
  TSurfDlg* d = ToolDialogs().surface.get();
  if (!d || d->IsHidden()) return;
  const int i = d->SelectedEquation();
  if (!IsValidIndex(i) || d->ReadRange() != 0) return;
  // The part of the curve that turns, drawn once more with a wider pen: a
  // segment whole, a graph or curve over the dialog's range.  An implicit
  // curve has no range to show.
  TEquation& e = Equation(i);
  const bool segment = e.kind == kKindSegment;
  if (!segment && !IsRouletteSourceKind(e.kind)) return;
  const TPoint2D lo = e.lowerBound, hi = e.upperBound;
  const std::uint8_t bounded = e.bounded;
  const std::int16_t width = e.penWidth;
  e.lowerBound.x = revolutionRange.t1.value;
  e.upperBound.x = revolutionRange.t2.value;
  e.bounded = 1;
  e.penWidth = static_cast<std::int16_t>(width + 2);
  if (segment) {
    DrawSegmentEquation(dc, i);
  } else {
    DrawCurve(dc, i);
  }
  e.lowerBound = lo;
  e.upperBound = hi;
  e.bounded = bounded;
  e.penWidth = width;
}

}  // namespace kv
