#include "planewin/model/mapping_grid.h"

#include <cmath>

namespace kv {

namespace {

constexpr long double kTiny = 1e-13L;

}  // namespace

bool IsUsableGrid(const TMapGrid& g) {
  auto count = [](std::int32_t n) { return n >= 1 && n <= kMaxGridDivisions; };
  // Written so that NaN fails.
  return count(g.nx) && count(g.ny) && g.xmax >= g.xmin + kTiny && g.ymax >= g.ymin + kTiny &&
         std::isfinite(g.xmax - g.xmin) && std::isfinite(g.ymax - g.ymin);
}

TMapGrid UsableGrid(const TMapGrid& g) { return IsUsableGrid(g) ? g : TMapGrid{}; }

bool IsGridFamily(const TEquation& e) { return e.kind == kKindParametric && e.subValue == -1; }

void InitGridFamily(TEquation& e, int which, const TMapGrid& g, int colour) {
  InitEquation(e, kKindParametric, colour, 50);
  e.visible = 1;
  e.subValue = -1;
  e.arrowMode = kGridCurveVariable;
  e.familyOn = 1;
  e.familyLetter = kGridFamilyVariable;
  e.formulaText[0] = which == 0 ? "k" : "t";
  e.formulaText[1] = which == 0 ? "t" : "k";
  TEquation other;
  TEquation& x = which == 0 ? e : other;
  TEquation& y = which == 0 ? other : e;
  SetGridRanges(x, y, g);
}

void SetGridRanges(TEquation& linesX, TEquation& linesY, const TMapGrid& g) {
  linesX.familyStart = g.xmin;
  linesX.familyEnd = g.xmax;
  linesX.lowerBound.x = g.ymin;
  linesX.upperBound.x = g.ymax;
  linesX.familySteps = static_cast<std::int16_t>(g.nx);
  linesY.familyStart = g.ymin;
  linesY.familyEnd = g.ymax;
  linesY.lowerBound.x = g.xmin;
  linesY.upperBound.x = g.xmax;
  linesY.familySteps = static_cast<std::int16_t>(g.ny);
}

TMapGrid GridOfFamilies(const TEquation& linesX, const TEquation& linesY) {
  TMapGrid g;
  g.xmin = linesX.familyStart;
  g.xmax = linesX.familyEnd;
  g.ymin = linesX.lowerBound.x;
  g.ymax = linesX.upperBound.x;
  g.nx = std::abs(linesX.familySteps);
  g.ny = std::abs(linesY.familySteps);
  return g;
}

TViewBox ViewAroundBox(const TSegment2D& box) {
  long double w = box.xmax - box.xmin;
  long double h = box.ymax - box.ymin;
  if (!(std::fabs(w) >= kTiny)) w = 1;
  if (!(std::fabs(h) >= kTiny)) h = 1;
  return {(box.xmin + box.xmax) / 2, (box.ymin + box.ymax) / 2, 0.53L * w, 0.53L * h};
}

}  // namespace kv
