// The camera and the box of the 3D window: the view frame, the picture
// fitted around the projected box, each equation's extent, the box that
// holds them all, and the view commands that move the observer.
#include <cmath>

#include "plot3d/observer_dialog.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/space_geometry.h"
#include "plot3d/variable_guard.h"
#include "core/constants.h"

namespace kv {

// ---- camera ----

void TPlotRWin::ComputeViewFrame() { kv::ComputeViewFrame(View3D); }

void TPlotRWin::SetAxisEnds() { DefaultAxisEnds(View3D.BoxMin, View3D.BoxMax, View3D.AxisStart, View3D.AxisEnd); }

void TPlotRWin::FitWindowToBox() {
  if (AxesShown && !View3D.AxisLengthSet) SetAxisEnds();
  TPoint3D lo = View3D.BoxMin;
  TPoint3D hi = View3D.BoxMax;
  if (AxesShown) {
    ExtendBox3D(lo, View3D.AxisEnd, hi);
    ExtendBox3D(lo, View3D.AxisStart, hi);
  }
  const TLabelFrame before = LabelFrame();
  ComputeViewFrame();
  const TSegment2D r = ProjectedBoxRect(View3D, lo, hi);
  const long double hx = 0.55L * ((r.xmax + 0.01L) - r.xmin);
  const long double hy = 0.55L * ((r.ymax + 0.01L) - r.ymin);
  // Mode 0 keeps the aspect and widens the view until it covers hx by hy.
  SetView(0.5L * (r.xmin + r.xmax), 0.5L * (r.ymin + r.ymax), hx, hy, 0);
  UpdateView();
  KeepLabelsInPlace(before);
  PlotBufferValid = 0;
}

void TPlotRWin::KeepLabelsInPlace(const TLabelFrame& before) {
  const TLabelFrame now = LabelFrame();
  // A minimised window has no pixels to keep.
  auto usable = [](long double u) { return std::isfinite(u) && u > 0; };
  if (!usable(before.unitsX) || !usable(before.unitsY) || !usable(now.unitsX) || !usable(now.unitsY)) return;
  for (TEquationLabel& l : equationLabels) {
    const long double right = (l.anchor.x - before.left) / before.unitsX;
    const long double down = (before.top - l.anchor.y) / before.unitsY;
    l.anchor = {now.left + right * now.unitsX, now.top - down * now.unitsY};
  }
}

void TPlotRWin::EvSize(unsigned sizeType, plat::Size clientSize) {
  const TLabelFrame before = LabelFrame();
  TPlotQWin::EvSize(sizeType, clientSize);
  // A file's labels stand where the file put them for its own size.
  if (clientSize.cx > 0 && clientSize.cy > 0 && !MovingToFilePlacement) KeepLabelsInPlace(before);
}

void TPlotRWin::ClampObserverDistance() {
  kv::ClampObserverDistance(View3D);
  RefreshObserverDialog();
}

void TPlotRWin::RefreshObserverDialog() {
  if (ObserverDlg && !ObserverDlg->IsHidden()) ObserverDlg->ShowObserver();
}

void TPlotRWin::SetObserver(const TPoint3D& e) {
  View3D.Observer = e;
  StoreObserverInBox(View3D);
  ComputeViewFrame();
  RefreshObserverDialog();
}

// ---- extents and box ----

bool TPlotRWin::IsIncludedInBox(int i) const {
  if (!IsValidIndex(i)) return false;
  const TEquation& e = Equation(i);
  return e.visible && e.kind >= kKindSurface && e.kind <= kKindIntersection;
}

void TPlotRWin::ComputeItemExtent(int i) {
  if (!IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  if (!e.automaticExtent) return;
  TPoint3D& lo = e.boxMin();
  TPoint3D& hi = e.boxMax();
  auto& t = e.trees;
  if (e.kind == kKindPoint3D) {
    TVariableGuard guard(*this);
    TPoint3D p;
    EvaluateReal(t[0].get(), p.x);
    EvaluateReal(t[1].get(), p.y);
    EvaluateReal(t[2].get(), p.z);
    if (e.arrowMode == 1) {
      TPoint2D xy{p.x, p.y};
      PolarToCartesian2D(xy);
      p = {xy.x, xy.y, p.z};
    } else if (e.arrowMode == 2) {
      SphericalToCartesian3D(p);
    }
    lo = {p.x - 0.25L, p.y - 0.25L, p.z - 0.25L};
    hi = {p.x + 0.25L, p.y + 0.25L, p.z + 0.25L};
    return;
  }
  if (e.kind != kKindSpaceCurve && e.kind != kKindSegment3D) return;
  TVariableGuard guard(*this);
  ResetExtent(lo, hi);
  const bool curve = e.kind == kKindSpaceCurve;
  const int n = curve ? 100 : 1;
  const long double h = (e.upperBound.x - e.lowerBound.x) / n;
  for (int k = 0; k <= n; ++k) {
    SetVariable('T', e.lowerBound.x + h * k);
    // A segment runs from (a;b;c) to (d;e;f): texts 0, 1, 2 and 3, 5, 6.
    TExprNode* trees[3] = {t[0].get(), t[1].get(), t[2].get()};
    if (!curve && k == 1) {
      trees[0] = t[3].get();
      trees[1] = t[5].get();
      trees[2] = t[6].get();
    }
    long double* lows[3] = {&lo.x, &lo.y, &lo.z};
    long double* highs[3] = {&hi.x, &hi.y, &hi.z};
    TPoint3D p;
    long double* c[3] = {&p.x, &p.y, &p.z};
    for (int a = 0; a < 3; ++a)
      if (!EvaluateReal(trees[a], *c[a])) *c[a] = 0.5L * (*lows[a] + *highs[a]);
    ExtendBox3D(lo, p, hi);
  }
  WidenThinInterval(lo.x, hi.x, 0.5L);
  WidenThinInterval(lo.y, hi.y, 0.5L);
  WidenThinInterval(lo.z, hi.z, 0.5L);
  WidenBox3D(lo, hi);
}

void TPlotRWin::UpdateItemExtent(int i) {
  if (!IsValidIndex(i)) return;
  TEquation& e = Equation(i);
  const bool sampled = IsSurfaceKind(e, true);
  for (int pass = 0; pass < 2; ++pass) {
    if (sampled) {
      SampleSurfaceGrid(i);
    } else {
      ComputeItemExtent(i);
    }
    if (!e.automaticExtent) break;
    WidenBox3D(e.boxMin(), e.boxMax());
    if (LimitExtentAspect(e, AspectLimit)) break;
    // The limited extent is kept from now on; a surface is sampled again
    // with its points clamped into it.
    e.automaticExtent = 0;
  }
  if (AxesShown) ExtendBox3D(e.boxMin(), TPoint3D{}, e.boxMax());
}

void TPlotRWin::UpdateBox(int i) {
  UpdateItemExtent(i);
  FitBoxToGraphs();
  FitWindowToBox();
}

bool TPlotRWin::FitBoxToGraphs() {
  TPoint3D lo, hi;
  ResetExtent(lo, hi);
  int count = 0;
  for (int i = 0; i <= equationCount; ++i) {
    if (!IsIncludedInBox(i)) continue;
    ExtendBox3D(lo, Equation(i).boxMin(), hi);
    ExtendBox3D(lo, Equation(i).boxMax(), hi);
    ++count;
  }
  // Without any included equation the box stays as it was: an extent that
  // takes in nothing would put the observer and the picture out of reach.
  if (count == 0) return false;
  if (TaxicabDistance3D(lo, View3D.BoxMin) < 1e-13L && TaxicabDistance3D(hi, View3D.BoxMax) < 1e-13L) return false;
  if (hi.x < lo.x + 1e-13L) hi.x = lo.x + 1;
  if (hi.y < lo.y + 1e-13L) hi.y = lo.y + 1;
  if (hi.z < lo.z + 1e-13L) hi.z = lo.z + 1;
  View3D.BoxMin = lo;
  View3D.BoxMax = hi;
  Midpoint3D(View3D.BoxCentre, lo, hi);
  View3D.BoxTolerance = BoxToleranceFactor * (std::fabs(hi.x - lo.x) + std::fabs(hi.y - lo.y));
  ClampObserverDistance();
  SetupViewBoxScale(View3D);
  StoreObserverInBox(View3D);
  return true;
}

}  // namespace kv
