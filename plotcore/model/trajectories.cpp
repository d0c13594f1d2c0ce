// Trajectories of the initial-value entries (210 dx/dt, dy/dt; 211 dy/dx;
// 310 in space) and the terms of recursive sequences (212, 312): their
// items and the stepping by the item's method.
#include "plotcore/model/trajectories.h"

#include <algorithm>
#include <cmath>

#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/log_scale.h"
#include "plotcore/model/ode_stepper.h"

namespace kv {

namespace {

class EquationOde : public TOdeSource {
 public:
  // logAxes: on the logarithmic axes of a window (bit 0 x, bit 1 y) a dy/dt
  // system steps the decimal exponents its items keep: the right-hand
  // sides see the values, and their velocity is carried onto the exponents.
  EquationOde(TFormulaEngine& engine, const TEquation& e, int logAxes = 0)
      : engine_(engine), kind_(e.kind), logAxes_(e.kind == kKindOde ? logAxes & 3 : 0) {
    if (kind_ == kKindOdeDyDx) {
      f_[1] = e.trees[2].get();
    } else {
      f_[0] = e.trees[0].get();
      f_[1] = e.trees[1].get();
      if (kind_ == kKindOde3D) f_[2] = e.trees[2].get();
    }
  }
  bool Valid() const { return kind_ == kKindOdeDyDx ? f_[1] != nullptr : (f_[0] && f_[1] && (kind_ != kKindOde3D || f_[2])); }

  bool Derivative(long double t, const TPoint3D& p, TPoint3D& d) override {
    engine_.SetVariable('T', t);
    TPoint2D at{p.x, p.y};
    if (LogScaleX(logAxes_)) at.x = DecadeValue(p.x);
    if (LogScaleY(logAxes_)) at.y = DecadeValue(p.y);
    engine_.SetPoint(at.x, at.y);
    if (kind_ == kKindOde3D) engine_.SetVariable('Z', p.z);
    if (kind_ == kKindOdeDyDx) {
      d.x = 1;
      d.z = 0;
      return EvaluateReal(engine_, f_[1], d.y);
    }
    d.z = 0;
    if (!EvaluateReal(engine_, f_[0], d.x) || !EvaluateReal(engine_, f_[1], d.y)) return false;
    if (logAxes_) {
      // d(log10 v)/dt = (dv/dt) / (v ln 10).
      TPoint2D v{d.x, d.y};
      if (!ScaleVelocityForLogScale(logAxes_, at, v) || !std::isfinite(v.x) || !std::isfinite(v.y)) return false;
      d.x = v.x;
      d.y = v.y;
    }
    return kind_ != kKindOde3D || EvaluateReal(engine_, f_[2], d.z);
  }

 private:
  TFormulaEngine& engine_;
  int kind_;
  int logAxes_;
  TExprNode* f_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace

bool IsTrajectoryKind(int kind) { return kind == kKindOde || kind == kKindOdeDyDx || kind == kKindOde3D; }

bool StepTrajectory(TEquation& e, TFormulaEngine& engine, int method, long double t, long double h, TPoint3D& p,
                    int logAxes) {
  if (!IsTrajectoryKind(e.kind)) return false;
  EquationOde ode(engine, e, logAxes);
  return ode.Valid() && OdeStep(ode, method, t, h, p);
}

long RunTrajectory(TEquation& e, TFormulaEngine& engine, TEquationItem& item, const TTrajectoryView& view,
                   TPolylineSink* sink, bool& finished, TPoint3D* end) {
  finished = false;
  if (!IsTrajectoryKind(e.kind)) return 0;
  EquationOde ode(engine, e, view.logAxes);
  if (!ode.Valid()) return 0;
  long double h = item.paramEnd;
  if (!(h != 0) || !std::isfinite(h)) h = view.defaultStep * (item.direction < 0 ? -1 : 1);
  const bool untilLeft = !(item.stepLimit > 0);
  const long limit = untilLeft ? kMaxTrajectorySteps
                               : static_cast<long>(std::min<long double>(item.stepLimit, kMaxTrajectorySteps));
  TExprNode* restriction = e.restricted ? e.trees[3].get() : nullptr;
  // The view (the box in 3D) with a margin: a curve that leaves it is done.
  const TSegment2D& world = view.world;
  TSegment2D area = world;
  const long double mx = (world.xmax - world.xmin) * 0.1L;
  const long double my = (world.ymax - world.ymin) * 0.1L;
  area = {area.xmin - mx, area.xmax + mx, area.ymin - my, area.ymax + my};
  const bool mapped = !view.box && view.map.mapping;
  // Where a point is shown: projected by the box, or its image under the
  // mapping; false when it has no image.
  auto shown = [&](const TPoint3D& p, TPoint2D& q) {
    if (view.box) {
      q = ProjectRotated(*view.box, p);
      return true;
    }
    q = {p.x, p.y};
    return !mapped || MapPoint(engine, view.map, q);
  };
  auto outside = [&](const TPoint3D& p, bool hasImage, const TPoint2D& image) {
    if (e.kind == kKindOde3D && view.box) return IsBeyondBoxRange(*view.box, p) || !InBox3D(*view.box, p);
    // A point without image cannot tell: the run goes on to the next.
    if (mapped && !hasImage) return false;
    const TPoint2D q = mapped ? image : TPoint2D{p.x, p.y};
    return !(q.x >= area.xmin && q.x <= area.xmax && q.y >= area.ymin && q.y <= area.ymax);
  };
  const bool savedJumps = engine.JumpDetection();
  engine.SetJumpDetection(false);
  long double t = item.paramStart;
  TPoint3D p = item.start;
  TPoint2D image;
  bool hasImage = (sink || (mapped && untilLeft)) && shown(p, image);
  if (sink) {
    if (hasImage) sink->MoveTo(image);
    sink->StepPoint(t, p);
  }
  long n = 0;
  int still = 0;
  for (; n < limit; ++n) {
    if (sink && (n & 255) == 255 && sink->Cancelled()) break;
    const TPoint3D prev = p;
    if (!OdeStep(ode, item.method, t, h, p)) break;
    t += h;
    const bool hadImage = hasImage;
    hasImage = (sink || (mapped && untilLeft)) && shown(p, image);
    if (sink) {
      // After a point without image the curve starts again.
      if (hasImage) {
        if (hadImage) {
          sink->LineTo(image);
        } else {
          sink->MoveTo(image);
        }
      }
      sink->StepPoint(t, p);
    }
    if (restriction) {
      long double g;
      SetPointVariables(engine, p, view.space);
      if (!EvaluateReal(engine, restriction, g) || !(g > 0)) break;
    }
    if (untilLeft && outside(p, hasImage, image)) {
      finished = true;
      ++n;
      break;
    }
    // A point at rest would run to the step limit for nothing.
    const long double moved = std::fabs(p.x - prev.x) + std::fabs(p.y - prev.y) + std::fabs(p.z - prev.z);
    const long double size = 1 + std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z);
    if (moved <= 1e-15L * size) {
      if (++still > 50) {
        finished = true;
        ++n;
        break;
      }
    } else {
      still = 0;
    }
  }
  if (n >= limit) finished = true;
  engine.SetJumpDetection(savedJumps);
  if (end) *end = p;
  return n;
}

bool RunTrajectoryItem(TEquation& e, TFormulaEngine& engine, TEquationItem& item, long double defaultStep,
                       long double target, TPoint3D& point, int logAxes) {
  if (!std::isfinite(target)) return false;
  EquationOde ode(engine, e, logAxes);
  if (!ode.Valid()) return false;
  long double h = std::fabs(item.paramEnd);
  if (!(h > 0) || !std::isfinite(h)) h = defaultStep;
  long double t = item.paramStart;
  const long double span = target - t;
  if (span < 0) h = -h;
  const long double whole = std::floor(std::fabs(span) / std::fabs(h));
  if (whole > kMaxTrajectorySteps) return false;
  const bool savedJumps = engine.JumpDetection();
  engine.SetJumpDetection(false);
  TPoint3D p = item.start;
  bool ok = true;
  for (long k = 0; ok && k < static_cast<long>(whole); ++k) {
    ok = OdeStep(ode, item.method, t, h, p);
    t += h;
  }
  const long double rest = target - t;
  if (ok && rest != 0) ok = OdeStep(ode, item.method, t, rest, p);
  engine.SetJumpDetection(savedJumps);
  if (ok) point = p;
  return ok;
}

int ComputeTrajectoryOffscreen(TEquation& e, TFormulaEngine& engine, TEquationItem& item, const TTrajectoryView& view,
                               TPoint3D& end, long double& t, int direction) {
  TEquationItem copy = CloneEquationItem(item);
  copy.direction = static_cast<std::int8_t>(direction < 0 ? -1 : 1);
  if (copy.paramEnd != 0) copy.paramEnd = std::fabs(copy.paramEnd) * copy.direction;
  bool finished = false;
  const long steps = RunTrajectory(e, engine, copy, view, nullptr, finished, &end);
  long double h = copy.paramEnd != 0 ? copy.paramEnd : view.defaultStep * copy.direction;
  t = copy.paramStart + static_cast<long double>(steps) * h;
  return finished ? 0 : 1;
}

TEquationItem& AddTrajectoryItem(TEquation& e, const TPoint3D& start, int method, long double h, long double steps,
                                 int direction) {
  TEquationItem item;
  InitEquationItem(item, 0, e.penColour, e.penWidth, e.penStyle);
  item.start = start;
  item.method = static_cast<std::uint16_t>(std::clamp(method, 0, 2));
  item.direction = static_cast<std::int8_t>(direction < 0 ? -1 : 1);
  item.paramEnd = std::fabs(h) * item.direction;
  item.stepLimit = steps;
  item.serial = static_cast<std::uint16_t>(e.items.empty() ? 1 : e.items.front().serial + 1);
  e.items.push_front(std::move(item));
  return e.items.front();
}

TEquationItem& AddItemForKind211(TEquation& e, const TPoint3D& start, long double h, int method, int colour,
                                 int width) {
  TEquationItem& item = AddTrajectoryItem(e, start, method, h, 0, h < 0 ? -1 : 1);
  SetTriple16(item.pen, static_cast<std::uint16_t>(colour), static_cast<std::uint16_t>(width), 0);
  return item;
}

std::vector<TPoint3D> IterateSequenceItem(const TEquation& e, TFormulaEngine& engine, const TEquationItem& item,
                                          long count, int logAxes) {
  std::vector<TPoint3D> out;
  const bool space = e.kind == kKindSequence3D;
  if (e.kind != kKindSequence && !space) return out;
  const int axes = space ? 0 : logAxes & 3;
  TExprNode* f0 = e.trees[0].get();
  TExprNode* f1 = e.trees[1].get();
  TExprNode* f2 = e.trees[2].get();
  const bool complex = e.kind == kKindSequence && e.kindFlag;
  if (!f0 || (!complex && !f1) || (space && !f2)) return out;
  count = std::clamp<long>(count, 0, kMaxSequenceTerms);
  out.reserve(static_cast<std::size_t>(std::min<long>(count, 4095)) + 1);
  TPoint3D p = item.start;
  // The terms are iterated and given in values.
  if (LogScaleX(axes)) p.x = DecadeValue(p.x);
  if (LogScaleY(axes)) p.y = DecadeValue(p.y);
  out.push_back(p);
  const bool savedJumps = engine.JumpDetection();
  const bool savedComplex = engine.ComplexMode();
  engine.SetJumpDetection(false);
  // A complex sequence runs in z whatever the window's mode.
  if (complex) engine.SetComplexMode(true);
  for (long k = 0; k < count; ++k) {
    engine.SetVariable('N', static_cast<long double>(k));
    TPoint3D q = p;
    if (complex) {
      engine.SetComplexVariable('Z', TComplex(p.x, p.y));
      if (!engine.Evaluate(f0)) break;
      q.x = f0->value.re;
      q.y = f0->value.im;
    } else {
      engine.SetPoint(p.x, p.y);
      if (space) engine.SetVariable('Z', p.z);
      if (!EvaluateReal(engine, f0, q.x) || !EvaluateReal(engine, f1, q.y)) break;
      if (space && !EvaluateReal(engine, f2, q.z)) break;
    }
    if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z)) break;
    p = q;
    out.push_back(p);
  }
  engine.SetComplexMode(savedComplex);
  engine.SetJumpDetection(savedJumps);
  return out;
}

std::vector<long double> IterateSequence(TEquation& e, TFormulaEngine& engine) {
  std::vector<long double> out;
  TExprNode* f = e.trees[1].get();
  if (e.kind != kKindExplicit || !f) return out;
  long double x = e.subKind > 0 && e.subKind < tok::kParameterCount ? engine.Variable(e.subKind).re : e.webStart();
  const int terms = std::clamp<int>(e.termCount, 0, 1000);
  out.push_back(x);
  for (int k = 0; k < terms; ++k) {
    long double next;
    engine.SetVariable('X', x);
    if (!EvaluateReal(engine, f, next)) break;
    x = next;
    out.push_back(x);
  }
  return out;
}

bool CompileEquationItem(TEquationItem& item, TFormulaEngine& engine) {
  bool ok = true;
  for (std::size_t k = 0; k < item.texts.size(); ++k) {
    item.trees[k].reset();
    if (item.texts[k].empty()) continue;
    TreePtr t;
    if (engine.Compile(item.texts[k], t) == kFormulaOk) {
      item.trees[k] = std::move(t);
    } else {
      ok = false;
    }
  }
  return ok;
}

bool EvaluateItemStart(TEquationItem& item, TFormulaEngine& engine) {
  if (!KeepsStartTexts(item)) return true;
  if (!CompileEquationItem(item, engine)) return false;
  long double v[4] = {item.start.x, item.start.y, item.start.z, item.paramStart};
  for (std::size_t k = 0; k < 4; ++k)
    if (item.trees[k] && !EvaluateReal(engine, item.trees[k].get(), v[k])) return false;
  item.start = {v[0], v[1], v[2]};
  item.paramStart = v[3];
  return true;
}

}  // namespace kv
