// Surfaces and curves of space point by point: the surface point of each
// kind, the sampled grid, the mesh of parameter lines, straight segments
// with their hidden parts left out, and arrow heads.
#include <algorithm>
#include <cmath>

#include "plot3d/plot_q_win.h"
#include "plot3d/space_geometry.h"
#include "plot3d/variable_guard.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// The most points one mesh line takes (the count of a cylindrical surface's
// radial lines grows with their angle).
constexpr int kMaxLinePoints = 32000;

TPoint3D Add(const TPoint3D& a, const TPoint3D& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
TPoint3D Sub(const TPoint3D& a, const TPoint3D& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TPoint3D Scale(const TPoint3D& a, long double s) { return {a.x * s, a.y * s, a.z * s}; }

}  // namespace

bool TPlotQWin::EvaluateSurfacePoint(int i, long double u, long double v, TPoint3D& p) {
  if (!IsValidIndex(i)) return false;
  TEquation& e = Equation(i);
  auto& t = e.trees;
  TPoint3D q;
  switch (e.kind) {
    case kKindSurface:
      SetPointVariables(TPoint3D{u, v, 0});
      if (!EvaluateReal(t[2].get(), q.z)) return false;
      q.x = u;
      q.y = v;
      break;
    case kKindCylinderSurface:
      SetVariable('R', u);
      SetVariable('T', v);
      if (!EvaluateReal(t[0].get(), q.x) || !EvaluateReal(t[1].get(), q.y) || !EvaluateReal(t[2].get(), q.z))
        return false;
      break;
    case kKindParametricSurface:
    case kKindRevolution:
    case kKindPlane:
    case kKindSphericalSurface:
      SetVariable('T', u);
      SetVariable('U', v);
      if (!EvaluateReal(t[0].get(), q.x) || !EvaluateReal(t[1].get(), q.y) || !EvaluateReal(t[2].get(), q.z))
        return false;
      break;
    case kKindTube: {
      // The circle of radius r(t, u) about the curve point, in the plane
      // perpendicular to the curve's direction there.
      auto curve = [&](long double s, TPoint3D& c) {
        SetVariable('T', s);
        return EvaluateReal(t[0].get(), c.x) && EvaluateReal(t[1].get(), c.y) && EvaluateReal(t[2].get(), c.z);
      };
      TPoint3D c, before, after;
      const long double h = 1e-6L * (1 + std::fabs(u));
      if (!curve(u - h, before) || !curve(u + h, after) || !curve(u, c)) return false;
      TPoint3D tangent = Sub(after, before);
      if (!Normalize3D(tangent)) return false;
      TPoint3D reference{0, 0, 1};
      if (std::fabs(tangent.z) > 0.99L) reference = {1, 0, 0};
      TPoint3D n, b;
      Cross3D(n, tangent, reference);
      if (!Normalize3D(n)) return false;
      Cross3D(b, tangent, n);
      SetVariable('U', v);
      long double r = 0;
      if (!EvaluateReal(t[3].get(), r)) return false;
      q = Add(c, Scale(Add(Scale(n, std::cos(v)), Scale(b, std::sin(v))), r));
      break;
    }
    default:
      return false;
  }
  if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z)) return false;
  p = q;
  return true;
}

void TPlotQWin::EvaluateSurfaceRow(int i, long double u, const long double* v, int n, TPoint3D* p,
                                   std::uint8_t* defined) {
  if (n <= 0 || !IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  auto& t = e.trees;
  // Which trees, and which letter holds u (set once) and which one v.
  TExprNode* trees[3] = {t[0].get(), t[1].get(), t[2].get()};
  int count = 3;
  int rowLetter = 0;
  int letter = 0;
  switch (e.kind) {
    case kKindSurface:
      trees[0] = t[2].get();
      count = 1;
      letter = 'Y';
      break;
    case kKindCylinderSurface:
      rowLetter = 'R';
      letter = 'T';
      break;
    case kKindParametricSurface:
    case kKindRevolution:
    case kKindPlane:
    case kKindSphericalSurface:
      rowLetter = 'T';
      letter = 'U';
      break;
    default:  // the tube computes a frame per point
      for (int k = 0; k < n; ++k) defined[k] = EvaluateSurfacePoint(i, u, v[k], p[k]) ? 1 : 0;
      return;
  }
  const auto size = static_cast<std::size_t>(n);
  for (auto* c : {&rowX_, &rowY_, &rowZ_}) c->resize(size);
  rowStatus_.resize(size);
  if (e.kind == kKindSurface) SetPointVariables(TPoint3D{u, v[0], 0});  // Z follows Y in complex mode
  else SetVariable(rowLetter, u);
  long double* out[3] = {rowX_.data(), rowY_.data(), rowZ_.data()};
  if (count == 1) out[0] = rowZ_.data();
  Engine().EvaluateBlockChain(trees, count, letter, v, n, out, rowStatus_.data());
  for (int k = 0; k < n; ++k) {
    const auto K = static_cast<std::size_t>(k);
    const TPoint3D q = count == 1 ? TPoint3D{u, v[k], rowZ_[K]} : TPoint3D{rowX_[K], rowY_[K], rowZ_[K]};
    defined[k] = rowStatus_[K] != kPointUndefined && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
    if (defined[k]) p[k] = q;
  }
}

void TPlotQWin::SampleSurfaceGrid(int i) {
  if (!IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  // The grid is as large as its divisions ask: no fixed buffer to overrun.
  const std::size_t n = SurfaceGridSize(e);
  if (n == 0) {
    e.samples.clear();
    return;
  }
  TVariableGuard guard(*this);
  const int nu = e.divisions[0];
  const int nv = e.divisions[1];
  const long double du = (e.upperBound.x - e.lowerBound.x) / nu;
  const long double dv = (e.upperBound.y - e.lowerBound.y) / nv;
  TPoint3D& lo = e.boxMin();
  TPoint3D& hi = e.boxMax();
  const bool automatic = e.automaticExtent != 0;
  if (automatic) ResetExtent(lo, hi);
  e.samples.assign(n, TPoint3D{});
  auto clamp = [](long double c, long double min, long double max) {
    if (c < min) return min - 1e-13L;
    if (c > max) return max + 1e-13L;
    return c;
  };
  // Row by row: u fixed, v running.
  std::vector<long double> vs(static_cast<std::size_t>(nv) + 1);
  for (int b = 0; b <= nv; ++b) vs[static_cast<std::size_t>(b)] = e.lowerBound.y + b * dv;
  std::vector<TPoint3D> row(vs.size());
  std::vector<std::uint8_t> defined(vs.size());
  for (int a = 0; a <= nu; ++a) {
    const long double u = e.lowerBound.x + a * du;
    EvaluateSurfaceRow(i, u, vs.data(), nv + 1, row.data(), defined.data());
    for (int b = 0; b <= nv; ++b) {
      const long double v = vs[static_cast<std::size_t>(b)];
      TPoint3D p = row[static_cast<std::size_t>(b)];
      if (!defined[static_cast<std::size_t>(b)]) p = {u, v, 0};
      if (automatic) {
        ExtendBox3D(lo, p, hi);
      } else {
        p = {clamp(p.x, lo.x, hi.x), clamp(p.y, lo.y, hi.y), clamp(p.z, lo.z, hi.z)};
      }
      e.samples[static_cast<std::size_t>(a) * static_cast<std::size_t>(nv + 1) + static_cast<std::size_t>(b)] = p;
    }
  }
  WidenThinInterval(lo.x, hi.x, 1e-5L);
  WidenThinInterval(lo.y, hi.y, 1e-5L);
  WidenThinInterval(lo.z, hi.z, 1e-5L);
}

int TPlotQWin::DrawMesh(plat::DC& dc, int i, int direction) {
  if (!IsValidIndex(i)) return 0;
  TVariableGuard guard(*this);
  TEquation& e = Equation(i);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(e.penColour, e.penWidth, e.penStyle));
  const bool single = e.kind == kKindSpaceCurve || e.kind == kKindSegment3D;
  long double low = direction == 1 ? e.lowerBound.y : e.lowerBound.x;
  long double high = direction == 1 ? e.upperBound.y : e.upperBound.x;
  const int steps = single ? 0 : std::max<int>(0, direction == 1 ? e.divisions[1] : e.divisions[0]);
  const int configured = direction == 1 ? e.curvePoints[0] : e.curvePoints[1];
  const long double h = steps > 0 ? (high - low) / steps : 0;

  const bool family = e.familyOn && tok::VariableOf(e.familyLetter) >= 1;
  const int members = family ? std::abs(static_cast<int>(e.familySteps)) : 0;
  const long double familyStep = members > 0 ? (e.familyEnd - e.familyStart) / members : 0;
  if (family) SetVariable(e.familyLetter, e.familyStart);

  int result = 0;
  for (int m = 0; m <= members && result == 0; ++m) {
    for (int k = 0; k <= steps; ++k) {
      const long double w = k == steps && steps > 0 ? high : low + k * h;
      int points = configured;
      if (e.kind == kKindCylinderSurface && direction == 1) {
        // The radial lines get more points the larger their angle; an
        // upper bound of 0 would divide by zero.
        const long double count = std::fabs(high) > kTolerance ? w * configured / high + 20 : configured;
        points = std::isfinite(count) ? static_cast<int>(std::clamp<long double>(RoundToInt(count), 2, kMaxLinePoints))
                                      : configured;
      }
      if (DrawParameterLine(dc, i, direction, points, w) != 0 || StopKeyPressed()) {
        result = 'A';
        break;
      }
      if (View3D.ShowProgress && dc.Surface() && IsCreated()) {
        plat::ClientDC screen(*this);
        screen.BitBlt(0, 0, dc.Surface()->Width(), dc.Surface()->Height(), *dc.Surface(), 0, 0);
        DrawPlot(screen);  // the tool overlays stay in sight while the mesh grows
      }
    }
    if (family) AddToVariable(e.familyLetter, familyStep);
    // A curve or segment with "Verfolgen" shows its members one by one.
    if (result == 0 && single && family && e.familySteps < 0) result = ShowFamilyMember(dc, m + 1, e.familyDelay);
  }
  dc.SelectPen(oldPen);
  return result;
}

int TPlotQWin::DrawParameterLine(plat::DC& dc, int i, int direction, int points, long double w) {
  TEquation& e = Equation(i);
  if (e.kind == kKindSegment3D) {
    if (!Printing) e.arrowLength() = UnitsPerPixelX * (e.arrowSize + 10);
    auto value = [&](int slot, long double& out) {
      return TextToValue(e.formulaText[static_cast<std::size_t>(slot)], out) == 0;
    };
    TPoint3D a, b;
    if (!value(0, a.x) || !value(1, a.y) || !value(2, a.z) || !value(3, b.x) || !value(5, b.y) || !value(6, b.z))
      return 0;
    const std::uint32_t pen = PackPen(e.penColour, e.penWidth);
    const int r = DrawSegment3D(dc, a, b, pen, e.penStyle, false, true, e.curvePoints[0], 0);
    if (e.arrowMode % 2 == 1) DrawArrowHead3D(dc, a, Sub(a, b), e.arrowLength(), pen, e.penStyle);
    if (e.arrowMode > 1) DrawArrowHead3D(dc, b, Sub(b, a), e.arrowLength(), pen, e.penStyle);
    return r;
  }
  points = std::clamp(points, 1, kMaxLinePoints);
  const long double low = direction == 1 ? e.lowerBound.x : e.lowerBound.y;
  const long double high = direction == 1 ? e.upperBound.x : e.upperBound.y;
  const long double step = (high - low) / points;
  const bool curve = e.kind == kKindSpaceCurve;
  // A space curve with "Kanten verdecken" leaves out what surfaces hide.
  const bool hideCurve = curve && View3D.HideEdges;
  BeginCurveRecording(2000);
  MarkEpsSection("begin one slice");
  bool penDown = false;
  TPoint2D previous;
  for (int k = 0; k <= points; ++k) {
    const long double s = k == points ? high : low + k * step;
    TPoint3D p;
    bool ok;
    if (curve) {
      SetVariable('T', s);
      ok = EvaluateReal(e.trees[0].get(), p.x) && EvaluateReal(e.trees[1].get(), p.y) &&
           EvaluateReal(e.trees[2].get(), p.z);
    } else {
      ok = direction == 1 ? EvaluateSurfacePoint(i, s, w, p) : EvaluateSurfacePoint(i, w, s, p);
    }
    const TPoint2D q = ProjectRotated(p);
    if (!ok || !InBox3D(View3D, p) || !IsInView(q) || (hideCurve && IsPointHidden(p))) {
      penDown = false;
      MarkCurveBreak();
    } else {
      if (penDown) DrawSegmentOnDc(dc, previous, q);
      penDown = true;
    }
    previous = q;
  }
  EndCurveRecording(e.penColour, e.penWidth, e.penStyle);
  return 0;
}

int TPlotQWin::DrawSegment3D(plat::DC& dc, const TPoint3D& p, const TPoint3D& q, std::uint32_t packedPen,
                             int style, bool fast, bool clipToBox, int n, int pictexStyle) {
  const int lineStyle = PictexFlag ? pictexStyle : style;
  if (fast || !(View3D.HideEdges || clipToBox)) {
    DrawSegment(dc, ProjectRotated(p), ProjectRotated(q), 0, packedPen, lineStyle, true, 1);
    return 0;
  }
  n = std::max(1, n);
  const TPoint3D d = Scale(Sub(q, p), 1.0L / n);
  bool runOpen = false;
  TPoint2D runStart, runEnd;
  int key = 0;
  for (int k = 0; k <= n; ++k) {
    const TPoint3D x = k == n ? q : Add(p, Scale(d, static_cast<long double>(k)));
    const TPoint2D image = ProjectRotated(x);
    const bool hidden = (clipToBox && !InBox3D(View3D, x)) || (View3D.HideEdges && IsPointHidden(x));
    const bool shown = !hidden && IsInView(image);
    if (shown) {
      if (!runOpen) runStart = image;
      runEnd = image;
      runOpen = true;
    }
    // A run ends at its last visible point, never at a hidden end.
    if ((!shown || k == n) && runOpen) {
      DrawSegment(dc, runStart, runEnd, 0, packedPen, lineStyle, true, 1);
      runOpen = false;
    }
    if (StopKeyPressed()) {
      key = 'A';
      break;
    }
  }
  return key;
}

void TPlotQWin::DrawArrowHead3D(plat::DC& dc, const TPoint3D& tip, const TPoint3D& direction, long double length,
                                std::uint32_t packedPen, int style) {
  const TPoint2D a = ProjectRotated(tip);
  const TPoint2D b = ProjectRotated(Add(tip, direction));
  TPoint2D s{b.x - a.x, b.y - a.y};
  TPoint2D probe = s;
  if (!ScaleToLength2D(probe, 0.01L * UnitsPerPixelX)) return;
  if (!ScaleToLength2D(s, length) || !IsInView(a)) return;
  const std::uint8_t filled = FilledArrowHeads;
  FilledArrowHeads = 1;
  DrawSegment(dc, {a.x - s.x, a.y - s.y}, a, length, packedPen, style, false, 2);
  FilledArrowHeads = filled;
}

}  // namespace kv
