// Whether a surface of the 3D window hides a point from the observer.
// Surfaces given by a function are tested along the sight line: its piece
// over the graph's domain and z-range is walked in SegmentPieces steps, and
// a change of sign of the surface function means the line passes through
// the surface.  Sampled surfaces are tested cell by cell: the point's image
// inside a cell's projected quadrilateral, and the observer and the point
// on opposite sides of the cell's planes.
#include <algorithm>
#include <cmath>

#include "plot3d/plot_r_win.h"
#include "plot3d/sight_line.h"
#include "plot3d/space_geometry.h"

namespace kv {

namespace {

bool IsRevolvedImplicit(const TEquation& e) { return e.kind == kKindRevolution && e.subKind == kKindImplicit; }

bool InCell(const TEquation& e, std::size_t k) {
  const TPoint3D& q = e.samples[k];
  return IsPointInEquationBox(e, q.x, q.y, q.z);
}

TSegment2D Ordered(long double x1, long double x2, long double y1, long double y2) {
  return {std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
}

}  // namespace

// ---- the sight line over a graph ----

bool TPlotRWin::ClipSightLineToDomain(int i, const TPoint3D& p, TPoint3D& a, TPoint3D& b, bool wholeLine) {
  const TEquation& e = Equation(i);
  const TSegment2D rect = e.kind == kKindImplicitSurface || IsRevolvedImplicit(e)
                              ? Ordered(e.boxMin().x, e.boxMax().x, e.boxMin().y, e.boxMax().y)
                              : Ordered(e.lowerBound.x, e.upperBound.x, e.lowerBound.y, e.upperBound.y);
  return ClipSightLineToRect(View3D.Observer, p, rect, wholeLine, a, b);
}

bool TPlotRWin::ClipSightLineToDisc(int i, const TPoint3D& p, TPoint3D& a, TPoint3D& b) {
  return kv::ClipSightLineToDisc(View3D.Observer, p, std::fabs(Equation(i).upperBound.x), a, b);
}

bool TPlotRWin::ClipSegmentToGraph(int i, TPoint3D& a, TPoint3D& b, TPoint3D& d) {
  const TEquation& e = Equation(i);
  return ClipSegmentToZRange(e.boxMin().z, e.boxMax().z, a, b, d);
}

// ---- signs of the surface functions ----

int TPlotRWin::SignOfImplicitFunction(int i, const TPoint3D& q) {
  SetPointVariables(q);
  long double v = 0;
  if (!EvaluateReal(Equation(i).trees[3].get(), v)) return 0;
  return SignOfValue(v);
}

int TPlotRWin::SignAboveExplicitSurface(int i, const TPoint3D& q) {
  SetPointVariables(q);
  long double f = 0;
  if (!EvaluateReal(Equation(i).trees[2].get(), f)) return 0;
  return SignOfValue(q.z - f);
}

int TPlotRWin::SignAboveCylindricalSurface(int i, const TPoint3D& q, int turn) {
  const TEquation& e = Equation(i);
  // The sheets of the surface are counted from the lower end of its angle
  // range.
  SetVariable('T', AngleOnTurn(q.x, q.y, e.lowerBound.y, turn));
  SetVariable('R', std::sqrt(q.x * q.x + q.y * q.y));
  long double f = 0;
  if (!EvaluateReal(e.trees[2].get(), f)) return 0;
  return SignOfValue(q.z - f);
}

// ---- the five tests ----

bool TPlotRWin::HiddenByExplicitSurface(int i, const TPoint3D& p) {
  TPoint3D a, b, d;
  if (!ClipSightLineToDomain(i, p, a, b, false) || !ClipSegmentToGraph(i, a, b, d)) return false;
  return SignChangesAlong(b, d, View3D.SegmentPieces,
                          [&](const TPoint3D& q) { return SignAboveExplicitSurface(i, q); });
}

bool TPlotRWin::HiddenByImplicitSurface(int i, const TPoint3D& p) {
  TPoint3D a, b, d;
  if (!ClipSightLineToDomain(i, p, a, b, false) || !ClipSegmentToGraph(i, a, b, d)) return false;
  return SignChangesAlong(b, d, View3D.SegmentPieces,
                          [&](const TPoint3D& q) { return SignOfImplicitFunction(i, q); });
}

bool TPlotRWin::HiddenByCylinderSurface(int i, const TPoint3D& p) {
  TPoint3D a, b, d;
  if (!ClipSightLineToDisc(i, p, a, b) || !ClipSegmentToGraph(i, a, b, d)) return false;
  const int turns = std::max<int>(0, Equation(i).subKind);
  for (int k = 0; k <= turns; ++k) {
    if (SignChangesAlong(b, d, View3D.SegmentPieces,
                         [&](const TPoint3D& q) { return SignAboveCylindricalSurface(i, q, k); }))
      return true;
  }
  return false;
}

const TPlotRWin::TGridProjection& TPlotRWin::ProjectedGrid(int i) {
  const TEquation& e = Equation(i);
  const std::size_t slot = static_cast<std::size_t>(i);
  if (projectedGrids_.size() <= slot) projectedGrids_.resize(slot + 1);
  TGridProjection& g = projectedGrids_[slot];
  const bool current = g.samples == e.samples.data() && g.count == e.samples.size() && g.cubic == View3D.Cubic &&
                       TaxicabDistance3D(g.observer, View3D.Observer) == 0 &&
                       TaxicabDistance3D(g.boxMin, View3D.BoxMin) == 0 &&
                       TaxicabDistance3D(g.boxMax, View3D.BoxMax) == 0;
  if (!current) {
    g.points.resize(e.samples.size());
    for (std::size_t k = 0; k < e.samples.size(); ++k) g.points[k] = ProjectRotated(e.samples[k]);
    const int rows = e.divisions[0];
    const int columns = e.divisions[1];
    g.cellBounds.clear();
    if (SurfaceGridSize(e) == e.samples.size()) {
      const std::size_t w = static_cast<std::size_t>(columns) + 1;
      g.cellBounds.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
          const std::size_t j = static_cast<std::size_t>(r) * w + static_cast<std::size_t>(c);
          const TPoint2D q[4] = {g.points[j], g.points[j + 1], g.points[j + w + 1], g.points[j + w]};
          TSegment2D b{q[0].x, q[0].x, q[0].y, q[0].y};
          for (const TPoint2D& p : q) {
            b.xmin = std::min(b.xmin, p.x);
            b.xmax = std::max(b.xmax, p.x);
            b.ymin = std::min(b.ymin, p.y);
            b.ymax = std::max(b.ymax, p.y);
          }
          g.cellBounds.push_back(b);
        }
    }
    g.observer = View3D.Observer;
    g.boxMin = View3D.BoxMin;
    g.boxMax = View3D.BoxMax;
    g.cubic = View3D.Cubic;
    g.samples = e.samples.data();
    g.count = e.samples.size();
  }
  return g;
}

bool TPlotRWin::HiddenByParametricSurface(int i, const TPoint3D& p) {
  if (!View3D.AtParameters) return false;
  const TEquation& e = Equation(i);
  const int rows = e.divisions[0];
  const int columns = e.divisions[1];
  if (SurfaceGridSize(e) == 0 || e.samples.size() != SurfaceGridSize(e)) return false;
  // The grid is projected for the current view, never taken from an earlier
  // paint: the observer may have moved since.
  const TGridProjection& grid = ProjectedGrid(i);
  const std::vector<TPoint2D>& image = grid.points;
  const TPoint2D spot = ProjectRotated(p);
  const TPoint3D& eye = View3D.Observer;
  const std::size_t w = static_cast<std::size_t>(columns) + 1;
  auto apart = [&](std::size_t j1, std::size_t j2, std::size_t j3) {
    if (!SetPlaneFromPoints(e.samples[j1], e.samples[j2], e.samples[j3])) return false;
    return PlaneSide(eye) * PlaneSide(p) < View3D.FlatnessThreshold;
  };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const TSegment2D& box = grid.cellBounds[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) +
                                              static_cast<std::size_t>(c)];
      if (spot.x < box.xmin || spot.x > box.xmax || spot.y < box.ymin || spot.y > box.ymax) continue;
      const std::size_t j = static_cast<std::size_t>(r) * w + static_cast<std::size_t>(c);
      const TPoint2D quad[4] = {image[j], image[j + 1], image[j + w + 1], image[j + w]};
      // Both conditions must hold; the cheap ones are asked first.
      if (!PointInQuadrilateral(quad, spot)) continue;
      // A cell the painter leaves out (a corner outside the clipping box)
      // hides nothing either.
      if (!e.unclipped && !(InCell(e, j) && InCell(e, j + 1) && InCell(e, j + w + 1) && InCell(e, j + w))) continue;
      if (!apart(j, j + 1, j + w + 1)) continue;
      if (!apart(j + w, j + w + 1, j + 1)) continue;
      if (!apart(j, j + w, j + 1)) continue;
      return true;
    }
  }
  return false;
}

bool TPlotRWin::HiddenByPlane(int i, const TPoint3D& p) {
  const TEquation& e = Equation(i);
  const std::size_t n = SurfaceGridSize(e);
  if (n == 0 || e.samples.size() != n) return false;
  const std::size_t nc = static_cast<std::size_t>(e.divisions[1]);
  const std::size_t last = n - 1;
  // Collinear corners make no plane and cover nothing.
  if (!SetPlaneFromPoints(e.samples[0], e.samples[nc], e.samples[last])) return false;
  if (PlaneSide(View3D.Observer) * PlaneSide(p) > 1e-16L) return false;
  const TPoint2D quad[4] = {ProjectRotated(e.samples[0]), ProjectRotated(e.samples[nc]),
                            ProjectRotated(e.samples[last]), ProjectRotated(e.samples[last - nc])};
  return PointInQuadrilateral(quad, ProjectRotated(p));
}

}  // namespace kv
