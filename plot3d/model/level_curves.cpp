#include "plot3d/model/level_curves.h"

#include <algorithm>
#include <cmath>

#include "plot3d/model/evaluate.h"
#include "plot3d/model/intersection_curve.h"
#include "core/constants.h"
#include "core/number_text.h"

namespace kv {

// ---- the traced function ----

void TPlaneFunction::SetGradient(TExprNode* gx, TExprNode* gy, TExprNode* gz, long double sx, long double sy,
                                 long double sz) {
  gradient_[0] = gx;
  gradient_[1] = gy;
  gradient_[2] = gz;
  signs_[0] = sx;
  signs_[1] = sy;
  signs_[2] = sz;
}

void TPlaneFunction::SetPoint(long double a, long double b) {
  const TPoint3D p = plane_.ToSpace({a, b});
  SetSpacePoint(engine_, p.x, p.y, p.z);
}

bool TPlaneFunction::Value(long double a, long double b, long double& f) {
  SetPoint(a, b);
  return EvaluateRealPart(engine_, form_, f);
}

bool TPlaneFunction::Gradient(long double a, long double b, long double& fa, long double& fb) {
  // The plane's two coordinates are two of x, y, z: take those parts.
  const int fixed = plane_.FixedCoordinate();
  const int first = (fixed + 1) % 3;   // (y, z), (z, x), (x, y)
  const int second = (fixed + 2) % 3;
  TExprNode* ga = gradient_[first];
  TExprNode* gb = gradient_[second];
  if (!ga || !gb) return false;
  SetPoint(a, b);
  if (!EvaluateRealPart(engine_, ga, fa) || !EvaluateRealPart(engine_, gb, fb)) return false;
  fa *= signs_[first];
  fb *= signs_[second];
  return true;
}

TPlaneFunction LevelFunctionOf(TFormulaEngine& engine, TEquation& e, const TLevelPlane& plane) {
  TPlaneFunction f(engine, e.trees[3].get(), plane);
  auto& t = e.trees;
  switch (e.kind) {
    case kKindSurface:
      f.SetGradient(t[4].get(), t[5].get(), nullptr, -1, -1, 1);
      break;
    case kKindImplicitSurface:
      f.SetGradient(t[4].get(), t[5].get(), t[6].get());
      break;
    case kKindIntersection:
      // Only G on the parameter plane has its partial derivatives.
      if (e.derivation >= kCurveExplicitParametric) f.SetGradient(t[4].get(), t[5].get(), nullptr);
      break;
    default:
      break;
  }
  return f;
}

bool FindLevelStart(TImplicitSource& f, const TSegment2D& box, TRandomSource& random, TPoint2D& out) {
  const long double w = box.xmax - box.xmin;
  const long double h = box.ymax - box.ymin;
  if (!std::isfinite(w) || !std::isfinite(h) || w < 0 || h < 0) return false;
  auto pick = [&] { return TPoint2D{random.InRange(box.xmin, box.xmax), random.InRange(box.ymin, box.ymax)}; };
  for (int attempt = 0; attempt < 15; ++attempt) {
    TPoint2D a = pick();
    TPoint2D b = pick();
    long double fa, fb;
    if (!f.Value(a.x, a.y, fa) || !f.Value(b.x, b.y, fb)) continue;
    if ((fa < 0) == (fb < 0)) continue;
    for (int k = 0; k < 100; ++k) {
      const TPoint2D m{(a.x + b.x) / 2, (a.y + b.y) / 2};
      long double fm;
      if (!f.Value(m.x, m.y, fm)) break;
      if (fm == 0) {
        a = b = m;
        fa = fb = 0;
        break;
      }
      if ((fm < 0) == (fa < 0)) {
        a = m;
        fa = fm;
      } else {
        b = m;
        fb = fm;
      }
    }
    const bool takeA = std::fabs(fa) <= std::fabs(fb);
    if (std::fabs(takeA ? fa : fb) > 0.001L) continue;
    out = takeA ? a : b;
    return true;
  }
  return false;
}

int SearchLevelPieces(TImplicitSource& f, const TSegment2D& box, const TTracerSettings& settings,
                      TRandomSource& random, const TLevelSearch& search,
                      const std::function<bool(const TPoint2D&)>& isNew,
                      const std::function<void(const TPoint2D&)>& trace, const std::function<bool()>& stop) {
  int pieces = 0;
  long idle = 0;
  for (int round = 0; search.unlimited || round < search.rounds; ++round) {
    if (stop && stop()) break;
    if (search.unlimited && search.idleLimit > 0 && idle >= search.idleLimit) break;
    ++idle;
    TPoint2D start;
    if (!FindLevelStart(f, box, random, start)) continue;
    if (!isNew(start) || !ProjectOntoCurve(f, settings, start) || !isNew(start)) continue;
    trace(start);
    ++pieces;
    idle = 0;
  }
  return pieces;
}

// ---- stored pieces ----

TEquationItem MakeLevelItem(const TLevelPlane& plane, const TPoint2D& start, const TPenSpec& pen) {
  TEquationItem item;
  InitEquationItem(item, kLevelItemKind, pen.colour, pen.width, pen.style);
  item.start = plane.ToSpace(start);
  item.tag = static_cast<std::int16_t>(plane.axis);
  item.level = plane.level;
  return item;
}

bool IsLevelItemShown(const TEquationItem& item, int axis, long double level, long double tolerance) {
  return item.tag == axis && std::fabs(item.level - level) <= tolerance;
}

// ---- the level dialog's levels ----

bool CheckLevelRange(TLevelRange& r, TLevelReading mode) {
  if (r.count < 2 || r.count > kMaxLevelCount) return false;
  if (!std::isfinite(r.minimum) || !std::isfinite(r.maximum) || !std::isfinite(r.current)) return false;
  if (r.maximum < r.minimum + 1e-13L) return false;
  if (r.current < r.minimum || r.current > r.maximum) {
    if (mode == TLevelReading::Strict) return false;
    r.current = mode == TLevelReading::ClampUp ? r.minimum : r.maximum;
  }
  return true;
}

long double NextLevel(const TLevelRange& r) {
  const int divisions = r.count - 1;
  const long double h = (r.maximum - r.minimum) / divisions;
  const long double target = r.current + 0.01L * h;
  if (!(target <= r.maximum)) return r.minimum;
  const long double i = std::max<long double>(0, std::ceil((target - r.minimum) / h));
  return std::min(r.maximum, r.minimum + i * h);
}

long double PreviousLevel(const TLevelRange& r) {
  const int divisions = r.count - 1;
  const long double h = (r.maximum - r.minimum) / divisions;
  const long double target = r.current - 0.01L * h;
  if (!(r.minimum <= target)) return r.maximum;
  const long double i = std::min<long double>(divisions, std::floor((target - r.minimum) / h));
  return std::max(r.minimum, r.minimum + i * h);
}

long double LevelOf(const TLevelRange& r, int i) {
  const int divisions = std::max(1, r.count - 1);
  return r.minimum + (r.maximum - r.minimum) / divisions * i;
}

// ---- the cursor ----

TCursorReadout ReadCursor(TFormulaEngine& engine, TEquation& surface, long double x, long double y,
                          long double theta) {
  TCursorReadout r;
  engine.SetPoint(x, y);
  if (!EvaluateRealPart(engine, surface.trees[2].get(), r.z)) r.z = 0;
  r.direction = {std::cos(theta), std::sin(theta)};
  if (!EvaluateRealPart(engine, surface.trees[4].get(), r.fx) ||
      !EvaluateRealPart(engine, surface.trees[5].get(), r.fy)) {
    r.fx = 0;
    r.fy = 0;
  }
  r.derivative = r.fx * r.direction.x + r.fy * r.direction.y;
  return r;
}

int AngleSliderPosition(long double theta, int steps) { return RoundToInt(theta * steps / (2 * Pi)); }

long double AngleOfSliderPosition(int position, int steps) {
  return steps < 1 ? 0 : static_cast<long double>(position) * 2 * Pi / steps;
}

long double ReduceAngle(long double theta) {
  if (!std::isfinite(theta)) return 0;
  const long double turns = theta / (2 * Pi);
  return (turns - std::floor(turns)) * 2 * Pi;
}

}  // namespace kv
