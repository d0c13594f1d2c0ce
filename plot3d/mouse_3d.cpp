// The mouse buttons of the 3D window by its mouse mode, and the picking of
// the surface point under the mouse: the sight ray from the observer
// through the mouse is searched for its nearest zero on every visible
// surface given by an equation in x, y and z.
#include <algorithm>
#include <cmath>

#include "formula/formula_codes.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/sight_line.h"
#include "plot3d/space_geometry.h"
#include "plot3d/variable_guard.h"
#include "core/constants.h"

namespace kv {

namespace {

// The extra variables that hold the ray: 27..29 the observer, 30..32 the
// direction.
constexpr int kRayBase = 27;
constexpr int kRayDirection = 30;

// Surfaces whose fourth tree is an equation in x, y and z (z - f and g).
bool HasSightLineForm(const TEquation& e) {
  return e.kind == kKindSurface || e.kind == kKindImplicitSurface;
}

}  // namespace

void TPlotRWin::EvLButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseTrajectories:
      StartTrajectoryAtPoint(p, true);
      break;
    case kCmMouseText:
    case kCmMousePaste:
    case kCmMouseTerms:
      PickAndDragText(p);
      break;
    default:
      // The other modes do nothing in space.
      break;
  }
}

void TPlotRWin::EvRButtonDown(unsigned keys, plat::Point p) {
  switch (MouseMode) {
    case kCmMouseTrajectories:
      StartTrajectoryAtPoint(p, false);
      break;
    case kCmMouseCoordinates:
      ZoomAtPoint(p, 1.0L, true);
      break;
    case kCmMouseText:
    case kCmMouseTerms:
      EditTextAtPoint(p);
      break;
    case kCmMousePaste:
      EditPictureAtPoint(p.x, p.y);
      break;
    default:
      break;
  }
}

int TPlotRWin::StartTrajectoryAtPoint(plat::Point p, bool buffered) {
  TPoint3D start;
  const int picked = PickSurfacePoint(p, start);
  if (picked != 0) return picked;
  const int i = ActiveTrajectoryEquation();
  if (!IsValidIndex(i)) return 9;
  View3D.ShowProgress = buffered ? 1 : 0;
  if (buffered) ReadTrajectoryDensity();
  AddTrajectoryBuffered(i, start, TrajectoryDirection(), -1.0L, TrajectoryDelay());
  View3D.ShowProgress = 0;
  TrajectoryStartsChanged();
  return 0;
}

int TPlotRWin::PickSurfacePoint(plat::Point mouse, TPoint3D& out) {
  int result = 9;
  TPoint2D world;
  PixelToWorld(mouse, world);
  TPoint3D p = ScreenToSpace(View3D, world.x, world.y);
  if (View3D.Cubic) {
    // In cubic mode the picture plane lies in box coordinates.
    const TPoint3D& m = View3D.BoxCentre;
    const TPoint3D& s = View3D.BoxScale;
    p = {m.x + (p.x - m.x) / s.x, m.y + (p.y - m.y) / s.y, m.z + (p.z - m.z) / s.z};
  }
  const TPoint3D& eye = View3D.Observer;
  const TPoint3D d{p.x - eye.x, p.y - eye.y, p.z - eye.z};
  if (!(std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z) > 0)) return result;
  TVariableGuard guard(*this);
  const long double ray[6] = {eye.x, eye.y, eye.z, d.x, d.y, d.z};
  for (int k = 0; k < 6; ++k) SetVariable(kRayBase + k, ray[k]);
  const long double savedTolerance = bisectTolerance;
  long double best = Exp42;
  for (int i = 0; i <= equationCount; ++i) {
    const TEquation& e = Equation(i);
    if (!e.visible || !HasSightLineForm(e)) continue;
    BuildSightLineTree(i);
    auto* tree = const_cast<TExprNode*>(SightLineTree(i));
    if (!tree) continue;
    // The whole line over the domain, in front of the observer.
    TPoint3D a, b;
    if (!ClipSightLineToDomain(i, p, a, b, true)) continue;
    long double t0 = RayParameter(eye, d, a);
    long double t1 = RayParameter(eye, d, b);
    if (t0 > t1) std::swap(t0, t1);
    t0 = std::max<long double>(t0, 0);
    if (!(t1 > t0)) continue;
    const long double h = PickStepFraction * (t1 - t0);
    bisectTolerance = 1e-16L * (t1 - t0);
    long double t = t0;
    for (int k = 0; k < PickSteps && t < t1; ++k, t += h) {
      long double root = 0;
      const int code = BisectRoot(tree, 'T', t, t + h, root);
      if (code != kFormulaOk && code != kFormulaRootAtEnd) continue;
      if (root < best) {
        best = root;
        out = {eye.x + root * d.x, eye.y + root * d.y, eye.z + root * d.z};
        result = 0;
      }
      break;
    }
  }
  bisectTolerance = savedTolerance;
  return result;
}

}  // namespace kv
