// One inventory entry of the 3D window drawn by its kind: meshes of the
// surfaces drawn slowly, space curves with their tangent arrow, segments,
// the guide lines and angle arcs of points (the points themselves are the
// analysis layer's markers), and the direction field of a system of
// differential equations; and what a loaded plot file needs before it is
// shown.
#include <algorithm>
#include <cmath>

#include "formula/tree_builders.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/space_geometry.h"
#include "plot3d/variable_guard.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// The most lattice steps per axis of a direction field, as many as the
// equation dialog and the plot-file reader let through: (n + 1)³ arrows.
constexpr int kMaxLatticeSteps = 100;

}  // namespace

int TPlotRWin::DrawInventoryItem(plat::DC& dc, int i) {
  if (!IsValidIndex(i)) return 0;
  TEquation& e = Equation(i);
  if (!e.visible) return 0;
  switch (e.kind) {
    case kKindSurface:
    case kKindCylinderSurface:
    case kKindParametricSurface:
    case kKindTube:
    case kKindRevolution:
    case kKindPlane:
    case kKindSphericalSurface: {
      if (e.subKind == kKindImplicit && e.kind != kKindPlane && e.kind != kKindSphericalSurface)
        return DrawFamilyTrajectories(dc, i);
      int r = 0;
      // Surfaces drawn fast are painted cell by cell before the items.
      if (e.polarInput) {
        r = DrawMesh(dc, i, 1);
        if (r == 0) r = DrawMesh(dc, i, 2);
      }
      if (e.kind == kKindSurface && r == 0) r = TPlot111Win::DrawEquation(dc, i);
      return r;
    }
    case kKindSpaceCurve:
      return DrawSpaceCurveItem(dc, i);
    case kKindImplicitSurface:
    case kKindOde3D:
      return DrawFamilyTrajectories(dc, i);
    case kKindSegment3D:
      return DrawSegmentItem(dc, i);
    case kKindPoint3D:
      return DrawPointItem(dc, i);
    case kKindSequence3D:
      return DrawFamilyItems(dc, i);
    case kKindPointSequence:
      return TPlot111Win::DrawEquation(dc, i);
    case kKindIntersection:
      return DrawIntersectionCurve(dc, i);
    default:
      return 0;
  }
}

int TPlotRWin::DrawSegmentItem(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  // Cut into 150 pieces, each tested for hiding, while the window holds an
  // explicit, cylindrical or implicit surface, shown or not; else one piece.
  const bool surfaces = FindEquationOfKinds({kKindSurface, kKindCylinderSurface, kKindImplicitSurface}) >= 0;
  const std::int16_t stored = e.curvePoints[0];
  e.curvePoints[0] = surfaces ? 150 : 1;
  const int r = DrawMesh(dc, i, 1);
  Equation(i).curvePoints[0] = stored;
  return r;
}

int TPlotRWin::DrawSpaceCurveItem(plat::DC& dc, int i) {
  const int r = DrawMesh(dc, i, 1);
  TEquation& e = Equation(i);
  if (!e.polarInput) return r;
  if (!Printing) e.arrowLength() = (e.arrowSize + 10) * UnitsPerPixelX;
  TVariableGuard guard(*this);
  SetVariable('T', e.arrowParameter());
  auto& t = e.trees;
  TPoint3D p, d;
  if (!EvaluateReal(t[0].get(), p.x) || !EvaluateReal(t[1].get(), p.y) || !EvaluateReal(t[2].get(), p.z) ||
      !EvaluateReal(t[4].get(), d.x) || !EvaluateReal(t[5].get(), d.y) || !EvaluateReal(t[6].get(), d.z))
    return r;
  TPoint2D image;
  if (ProjectIfVisible(p, image))
    DrawArrowHead3D(dc, p, d, e.arrowLength(), PackPen(e.penColour, e.penWidth), e.penStyle);
  return r;
}

void TPlotRWin::DrawSampledItem(plat::DC& dc, int i) {
  const TEquation& e = Equation(i);
  const TPoint3D p = e.values[4];
  const int code = e.subKind;
  auto digit = [code](int k) { return (code >> (2 * k)) & 3; };
  // Digit 1 the point's own pen, 2 dashed of width 1, 3 solid of width 2.
  auto pen = [&](int d) { return PackPen(e.penColour, d == 1 ? e.penWidth : d == 2 ? 1 : 2); };
  auto style = [](int d) { return d == 2 ? 1 : 0; };
  const int mode = e.arrowMode;
  const TPoint3D starts[4] = {{0, p.y, p.z}, {p.x, 0, p.z}, {p.x, p.y, 0}, {0, 0, mode == 1 ? p.z : 0}};
  const plat::Colour oldBk = dc.SetBkColor(GetColour(ColourSlots[0]));
  for (int k = 0; k < 4; ++k) {
    const int d = digit(k);
    if (d == 0) continue;
    DrawSegment3D(dc, starts[k], p, pen(d), style(d), false, false, View3D.SegmentPieces, 0);
  }
  if (mode > 0) {
    // The arcs are curves of the running angle T over the entered values,
    // sampled by the curve drawer of space: inside the box only, and broken
    // where a surface hides them.
    TVariableGuard guard(*this);
    const auto& t = e.trees;
    long double a = 0, b = 0, c = 0;
    EvaluateReal(t[0].get(), a);
    EvaluateReal(t[1].get(), b);
    EvaluateReal(t[2].get(), c);
    const TreePtr first(NewNumberNode(TComplex(a)));
    const TreePtr second(NewNumberNode(TComplex(b)));
    const TreePtr third(NewNumberNode(TComplex(c)));
    const TreePtr running(NewLetterNode('T'));
    auto arc = [&](int d, long double angle, TExprNode* x, TExprNode* y, TExprNode* z) {
      const TreePtr px(x), py(y), pz(z);
      if (d == 0) return;
      const TGuideArc g = GuideArc(angle);
      const TPenSpec pen{static_cast<std::uint16_t>(e.penColour),
                         static_cast<std::uint16_t>(d == 1 ? e.penWidth : d == 2 ? 1 : 2),
                         static_cast<std::uint16_t>(style(d))};
      BuildSurfaceGrid(dc, px.get(), py.get(), pz.get(), g.from, g.to, g.points - 1, pen);
    };
    TExprNode *x = nullptr, *y = nullptr, *z = nullptr;
    if (mode == 1) {
      BuildPolarToCartesian(first.get(), running.get(), x, y);
      arc(digit(4), b, x, y, CloneTree(third.get()));
    } else {
      BuildSphericalToCartesian(first.get(), running.get(), third.get(), x, y, z);
      arc(digit(4), b, x, y, z);
      if (mode == 2) {
        BuildSphericalToCartesian(first.get(), second.get(), running.get(), x, y, z);
        arc(digit(5), c, x, y, z);
      }
    }
  }
  dc.SetBkColor(oldBk);
}

int TPlotRWin::PrepareFill(plat::DC& dc, int i) {
  if (!IsValidIndex(i)) return 0;
  TEquation& e = Equation(i);
  if (e.kind != kKindOde3D) return 0;
  if (!Printing) {
    long double length = e.fieldLength;
    if (e.arrowMode > 0) length = RoundToInt(Variable(e.arrowMode).re * 10);
    const TPoint3D& w = View3D.HorizontalAxis;
    e.elementLength = length * UnitsPerPixelX * ScreenWidth * 0.001L * std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
    e.startValue() = 0.21L * e.elementLength;
  }
  if (WindowVariant != kVariant3D || e.fieldMode != 2 || !(e.elementLength >= 1e-13L)) return 0;
  // A lattice count of 0 would divide by zero, a huge one would never end;
  // the dialog and the file reader keep it to 1 ... 100.
  const int n = e.fieldRows;
  if (n < 1) return 0;
  const int steps = std::min(n, kMaxLatticeSteps);
  const TPoint3D& lo = View3D.BoxMin;
  const TPoint3D& hi = View3D.BoxMax;
  const long double s = std::min({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}) / steps - 1e-13L;
  TVariableGuard guard(*this);
  for (int a = 0; a <= steps; ++a) {
    for (int b = 0; b <= steps; ++b)
      for (int c = 0; c <= steps; ++c) DrawFieldArrow(dc, i, {lo.x + a * s, lo.y + b * s, lo.z + c * s});
    if (StopKeyPressed()) return 'A';
  }
  return 0;
}

void TPlotRWin::DrawFieldArrow(plat::DC& dc, int i, const TPoint3D& p) {
  TEquation& e = Equation(i);
  TExprNode* trees[3] = {e.trees[0].get(), e.trees[1].get(), e.trees[2].get()};
  TPoint3D v;
  if (!EvaluateCurvePoint3(p, trees, v) || !ScaleToLength3D(v, e.elementLength)) return;
  if (IsPointHidden(p)) return;
  const int colour = Printing && !ColourPrinter ? 0 : e.subKind;
  DrawSegment(dc, ProjectRotated(p), ProjectRotated(TPoint3D{p.x + v.x, p.y + v.y, p.z + v.z}), e.startValue(),
              PackPen(colour, e.penWidth), 0, true, 3);
}

// ---- after loading ----

void TPlotRWin::UpdateSurfaceGrids() {
  for (int i = 0; i <= equationCount; ++i) UpdateItemExtent(i);
}

void TPlotRWin::OnViewChanged() {
  // A file read brings its own differential equations and sequences: "DGL
  // Kurve" and "Folgen" find them.
  FindTrajectoryEquations();
  UpdateSurfaceGrids();
  // A file older than version 12 has its box fitted to its graphs.
  if (loadedFileVersion < 12) {
    FitBoxToGraphs();
  } else {
    Midpoint3D(View3D.BoxCentre, View3D.BoxMin, View3D.BoxMax);
    UpdateView();
    View3D.BoxTolerance = BoxToleranceFactor * (std::fabs(View3D.BoxMax.x - View3D.BoxMin.x) +
                                                std::fabs(View3D.BoxMax.y - View3D.BoxMin.y));
  }
  SetupViewBoxScale(View3D);
  StoreObserverInBox(View3D);
  ComputeViewFrame();
}

}  // namespace kv
