#include "plotcore/model/shading_geometry.h"

#include <algorithm>
#include <cmath>

#include "plotcore/model/entry_evaluation.h"

namespace kv {

bool HatchPixel(int pattern, int x, int y) {
  auto on = [](int v, int m) { return ((v % m) + m) % m == 0; };
  switch (pattern) {
    case 0:
      return on(y, kHatchSpacing);
    case 1:
      return on(x, kHatchSpacing);
    case 2:
      return on(x - y, kHatchSpacing);
    case 3:
      return on(x + y, kHatchSpacing);
    case 4:
      return on(x, kHatchSpacing) || on(y, kHatchSpacing);
    case 5:
      return on(x - y, kHatchSpacing) || on(x + y, kHatchSpacing);
    case 6:
      return on(y, 2 * kHatchSpacing);
    case 7:
      return on(x, 2 * kHatchSpacing);
    default:
      return on(x, 2 * kHatchSpacing) || on(y, 2 * kHatchSpacing);
  }
}

void RefreshBoundShading(const TFormulaEngine& engine, TShadeRecord& s) {
  const TPackedLetters l = SplitPackedCode(s.packedCode);
  if (l.fromLetter >= 1 && l.fromLetter <= 23) s.from = engine.Variable(l.fromLetter).re;
  if (l.toLetter >= 1 && l.toLetter <= 23) s.to = engine.Variable(l.toLetter).re;
}

bool GraphValue(TFormulaEngine& engine, TEquation& e, long double x, long double& y) {
  if (e.kind != kKindExplicit || !e.trees[1]) return false;
  engine.SetVariable('X', x);
  return EvaluateReal(engine, e.trees[1].get(), y);
}

bool ShadeSpan(TFormulaEngine& engine, const TShadeRecord& s, TEquation& a, TEquation* b, const TSegment2D& world,
               long double x, long double& yLow, long double& yHigh) {
  long double ya;
  if (!GraphValue(engine, a, x, ya)) return false;
  if (s.graphB == kShadeAbove) {
    yLow = ya;
    yHigh = world.ymax;
  } else if (s.graphB == kShadeBelow) {
    yLow = world.ymin;
    yHigh = ya;
  } else {
    long double yb;
    if (!b || !GraphValue(engine, *b, x, yb)) return false;
    yLow = std::min(ya, yb);
    yHigh = std::max(ya, yb);
  }
  return yHigh >= yLow;
}

// The x range of a record on the screen: the view, cut to its interval.
bool ShadeColumns(const TShadeArea& w, const TShadeRecord& s, int& first, int& last) {
  long double lo = w.world.xmin;
  long double hi = w.world.xmax;
  if (s.intervalFlag) {
    lo = std::max(lo, std::min(s.from, s.to));
    hi = std::min(hi, std::max(s.from, s.to));
  }
  if (!(hi >= lo)) return false;
  first = static_cast<int>(std::ceil((lo - w.world.xmin) * w.pixelsPerUnitX)) + w.originX;
  last = static_cast<int>(std::floor((hi - w.world.xmin) * w.pixelsPerUnitX)) + w.originX;
  first = std::max(first, w.originX);
  last = std::min(last, w.originX + w.width);
  return last >= first;
}

// The rows of a y span: the first row at or below yHigh to the last at or
// above yLow, within the drawing area.
bool ShadeRows(const TShadeArea& w, long double yLow, long double yHigh, int& top, int& bottom) {
  const long double t = std::ceil((w.world.ymax - yHigh) * w.pixelsPerUnitY);
  const long double b = std::floor((w.world.ymax - yLow) * w.pixelsPerUnitY);
  if (std::isnan(t) || std::isnan(b)) return false;
  const long double h = w.height;
  // A span wholly above or below the view has no row in it; clamping both
  // ends would leave a single edge row.
  if (b < 0 || t > h) return false;
  const long double tc = std::clamp<long double>(t, 0, h);
  const long double bc = std::clamp<long double>(b, 0, h);
  if (bc < tc) return false;
  top = static_cast<int>(tc) + w.originY;
  bottom = static_cast<int>(bc) + w.originY;
  return true;
}

bool IsInequality(const TEquation& e) { return e.kind == kKindImplicit && e.subKind != 0 && e.trees[2] != nullptr; }

bool SatisfiesInequality(TFormulaEngine& engine, TEquation& e, long double x, long double y, bool space) {
  long double f;
  SetPointVariables(engine, TPoint3D{x, y, 0}, space);
  if (!EvaluateReal(engine, e.trees[2].get(), f)) return false;
  return e.subKind > 0 ? f < 0 : f > 0;
}

}  // namespace kv
