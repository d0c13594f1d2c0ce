#include "plot2d/model/direction_field.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "plotcore/model/entry_evaluation.h"

namespace kv {

int FieldLengthTenths(const TEquation& e, const TFormulaEngine& engine) {
  int n = e.fieldLength;
  // Sliders move parameters A..X; the parameter replaces the stored length,
  // rounded as pixels are (a half toward zero).
  if (e.arrowMode > 0 && e.arrowMode <= 24) n = RoundToInt(10 * engine.Variables()[e.arrowMode].re);
  return std::clamp(n, 0, 100000);
}

long double FieldElementLength(int tenths, int windowWidth, long double unitsPerPixelX, int fieldMode) {
  long double l = tenths * static_cast<long double>(windowWidth) * 0.001L * unitsPerPixelX;
  if (fieldMode == 1) l /= 2;
  return l;
}

TFieldGrid FieldGrid(const TPoint2D& anchor, const TPoint2D& lower, const TPoint2D& upper, int rows,
                     long double halfX, long double halfY, int width, int height) {
  TFieldGrid g;
  g.anchor = anchor;
  g.lower = lower;
  g.upper = upper;
  rows = std::clamp(rows, 1, 1000);
  g.rowStep = (upper.y - lower.y) / rows;
  if (halfY > 0 && width > 0) g.columnStep = g.rowStep * halfX * height / (halfY * width);
  if (!std::isfinite(g.rowStep) || !std::isfinite(g.columnStep)) g.rowStep = g.columnStep = 0;
  return g;
}

bool FieldDirection(TEquation& e, TFormulaEngine& engine, const TPoint2D& p, TPoint2D& d) {
  engine.SetPoint(p.x, p.y);
  if (e.kind == kKindOdeDyDx) {
    long double m;
    if (!EvaluateReal(engine, e.trees[2].get(), m)) return false;
    d = {1, m};
    Normalize2D(d);
    return true;
  }
  return EvaluateReal(engine, e.trees[0].get(), d.x) && EvaluateReal(engine, e.trees[1].get(), d.y);
}

bool FieldRestrictionHolds(TEquation& e, TFormulaEngine& engine, const TPoint2D& p) {
  engine.SetPoint(p.x, p.y);
  long double g;
  return EvaluateReal(engine, e.trees[3].get(), g) && g >= 1e-16L;
}

TFieldElement FieldElement(const TPoint2D& p, TPoint2D d, const TFieldElementSettings& s) {
  TFieldElement out;
  long double l;
  if (s.viewMode == 1 && s.aspect != 0) {
    const long double dy = d.y / s.aspect;
    l = std::sqrt(dy * dy + d.x * d.x);
  } else {
    const long double q = d.x * d.x + d.y * d.y;
    l = q >= 1e-16L ? std::sqrt(q) : 0;
  }
  if (!(l >= 1e-13L) || !std::isfinite(l)) return out;
  const long double k = s.elementLength / l;
  d = {d.x * k, d.y * k};
  auto inView = [&](const TPoint2D& q) { return PointInBox2D(q, s.view.xmin, s.view.xmax, s.view.ymin, s.view.ymax); };
  const TPoint2D tip{p.x + d.x, p.y + d.y};
  if (s.fieldMode == 1) {
    const TPoint2D tail{p.x - d.x, p.y - d.y};
    out.kind = TFieldElementKind::Segment;
    out.from = inView(tail) ? tail : p;
    out.to = inView(tip) ? tip : p;
    return out;
  }
  if (!inView(tip)) return out;
  out.kind = TFieldElementKind::Arrow;
  out.from = p;
  out.to = tip;
  out.head = 0.3L * s.elementLength;
  return out;
}

}  // namespace kv
