#include "plot3d/model/stereogram.h"

#include <algorithm>
#include <cmath>

#include "plot3d/model/evaluate.h"
#include "core/number_text.h"

namespace kv {

bool ComputeStereogramLayout(const TStereogramSettings& s, int clientWidth, int clientHeight,
                             const TPoint3D& boxMin, const TPoint3D& boxMax, TStereogramLayout& out) {
  auto inRange = [](int v) { return v >= kStereogramMinSetting && v <= kStereogramMaxSetting; };
  out.rows = -1;
  if (!inRange(s.dotSize)) return false;
  TStereogramLayout l;
  l.clientWidth = clientWidth;
  l.clientHeight = clientHeight;
  l.dotSize = s.dotSize;
  l.density = s.density;
  l.cell = 2 * s.dotSize;
  l.columns = (clientWidth + 1) / l.cell;
  l.rows = clientHeight / l.cell - 2;
  out.cell = l.cell;
  out.columns = l.columns;
  out.rows = l.rows;
  if (s.density < 0 || s.density > 100 || !inRange(s.strips) || !(s.depth >= 1e-13L)) return false;
  l.boxMin = boxMin;
  l.boxMax = boxMax;
  Midpoint3D(l.centre, boxMin, boxMax);
  const long double xRange = boxMax.x - boxMin.x;
  const long double yRange = boxMax.y - boxMin.y;
  const long double zRange = boxMax.z - boxMin.z;
  if (l.columns < 2 || l.rows < 0 || clientHeight < 1) return false;
  if (!(xRange > 0) || !(yRange > 0) || !std::isfinite(xRange) || !std::isfinite(yRange) || !std::isfinite(zRange))
    return false;
  l.dx = xRange / (l.columns - 1);
  l.pixelsPerUnit = clientWidth / xRange;
  l.stripWidth = l.dx * (l.columns / s.strips);
  l.halfStrip = l.stripWidth / 2;
  l.chainLimit = 3 * s.strips;
  l.dy = yRange * l.cell / clientHeight;
  l.depthFactor = xRange * s.depth / ((zRange + 1e-16L) * s.strips);
  out = l;
  return true;
}

bool StereogramHeight(TFormulaEngine& engine, TEquation& surface, long double x, long double y, long double& z) {
  if (surface.kind == kKindCylinderSurface) {
    engine.SetVariable('R', std::sqrt(x * x + y * y));
    engine.SetVariable('T', PolarAngle(TPoint2D{x, y}));
  } else {
    engine.SetPoint(x, y);
  }
  return EvaluateRealPart(engine, surface.trees[2].get(), z);
}

long double StereogramNext(const TStereogramLayout& l, const THeightFunction& height, long double zmin,
                           long double zmax, long double x, long double y) {
  long double z = 0;
  if (!height(x + l.halfStrip, y, z)) z = l.boxMax.z;
  z = std::clamp(z, std::min(zmin, zmax), std::max(zmin, zmax));
  return x + l.stripWidth - l.depthFactor * (z - l.centre.z);
}

bool GenerateStereogramLayer(const TStereogramLayout& l, const THeightFunction& height, long double zmin,
                             long double zmax, long double topY, TRandomSource& random,
                             const std::function<void(int px, int row)>& dot,
                             const std::function<bool(int row)>& rowDone) {
  const long double xmin = l.boxMin.x;
  // A dot in the picture: at or right of xmin and not past the right edge.
  auto place = [&](long double x, int row) {
    if (x < xmin) return false;
    const int px = RoundToInt(l.pixelsPerUnit * (x - xmin));
    if (px + l.dotSize > l.clientWidth) return false;
    dot(px, row);
    return true;
  };
  long double y = topY;
  for (int row = 0; row <= l.rows; ++row) {
    const long double stripEnd = StereogramNext(l, height, zmin, zmax, xmin, y);
    // The first strip, at most one place per column.
    int places = 0;
    for (long double x = xmin; x < stripEnd && places <= l.columns; x += l.dx, ++places) {
      if (random.Below(100) >= l.density) continue;
      long double c = x;
      for (int k = 0; k <= l.chainLimit; ++k) {
        if (place(c, row)) c = StereogramNext(l, height, zmin, zmax, c, y);
      }
    }
    y -= l.dy;
    if (rowDone && rowDone(row)) return false;
  }
  return true;
}

}  // namespace kv
