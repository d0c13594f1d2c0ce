#include "plot2d/model/dydx_trajectory.h"

#include <cmath>

#include "plotcore/model/ode_stepper.h"

namespace kv {

namespace {

// y' = f(x, y) as the system (x, y)' = (1, f) for the ODE stepper.  The
// second slope the stepper asks for is the one at the first probe point; a
// steep turn between it and the first ends the step there.
class SlopeSource : public TOdeSource {
 public:
  SlopeSource(TFormulaEngine& engine, TExprNode* f, bool checkTurn, long double probeStep)
      : engine_(engine), f_(f), checkTurn_(checkTurn), probe_(probeStep) {}

  bool Derivative(long double, const TPoint3D& p, TPoint3D& d) override {
    long double m;
    if (!Slope(p.x, p.y, m)) return false;
    d = {1, m, 0};
    if (++calls_ == 1) {
      first_ = m;
    } else if (calls_ == 2 && checkTurn_ && Steep(m)) {
      return false;
    }
    return true;
  }
  bool Slope(long double x, long double y, long double& m) {
    engine_.SetPoint(x, y);
    return EvaluateReal(engine_, f_, m);
  }
  bool Steep(long double second) const { return (probe_ * first_) * second * probe_ < -1; }
  long double First() const { return first_; }

 private:
  TFormulaEngine& engine_;
  TExprNode* f_;
  bool checkTurn_;
  long double probe_;
  int calls_ = 0;
  long double first_ = 0;
};

}  // namespace

bool StepDyDx(TFormulaEngine& engine, TExprNode* f, int method, TPoint2D& p, long double h, bool infiniteSlope) {
  if (!f) return false;
  const long double probe = method == kMethodRungeKutta ? h / 2 : h;
  SlopeSource source(engine, f, infiniteSlope, probe);
  TPoint3D q{p.x, p.y, 0};
  if (!OdeStep(source, method, p.x, h, q)) return false;
  if (method == kMethodEuler) {
    // Euler asks for one slope only; the one at the new point decides
    // whether the solution can go on from there.
    long double m;
    if (!source.Slope(q.x, q.y, m)) return false;
    if (infiniteSlope && source.Steep(m)) return false;
  }
  p = {q.x, q.y};
  return true;
}

int ClassifyPointInView(const TSegment2D& view, const TPoint2D& p) {
  if (!(p.x >= view.xmin && p.x <= view.xmax)) return kBeyondSide;
  if (!(p.y >= view.ymin && p.y <= view.ymax)) return kBeyondTopOrBottom;
  return kInView;
}

long RunDyDxTrajectory(TEquation& e, TFormulaEngine& engine, TEquationItem& item, const TDyDxRunSettings& settings,
                       TDyDxSink& sink) {
  TExprNode* f = e.trees[2].get();
  const bool edgeStop = e.unclipped != 0;
  long double h = item.paramEnd;
  // A step of zero would never leave the view.
  if (!f || !std::isfinite(h) || !(std::fabs(h) >= 1e-16L)) return 0;
  const int method = item.method <= kMethodRungeKutta ? static_cast<int>(item.method) : static_cast<int>(kMethodRungeKutta);

  // The cap: the rounded step limit; below 2 none.
  long limit = kMaxDyDxSteps;
  if (std::isfinite(item.stepLimit)) {
    const long double n = std::round(item.stepLimit);
    if (n >= 2 && n < kMaxDyDxSteps) limit = static_cast<long>(n);
  }

  auto place = [&](const TPoint2D& world, TPoint2D& shown) {
    shown = world;
    return MapPoint(engine, settings.map, shown) ? ClassifyPointInView(settings.view, shown) : kBeyondSide;
  };
  auto ends = [&](int where) { return where == kBeyondSide || (where == kBeyondTopOrBottom && edgeStop); };

  const bool savedJumps = engine.JumpDetection();
  engine.SetJumpDetection(false);
  TPoint2D p{item.start.x, item.start.y};
  TPoint2D shown;
  const int first = place(p, shown);
  bool visible = first == kInView;
  bool running = !ends(first);
  sink.Start(shown, visible);
  long steps = 0;
  TPoint2D previous = shown;
  while (running && steps < limit) {
    if (!StepDyDx(engine, f, method, p, h, settings.infiniteSlope)) break;
    const int where = place(p, shown);
    if (ends(where)) {
      if (visible) sink.Break();
      break;
    }
    if (where != kInView) {
      if (visible) sink.Break();
      visible = false;
    } else if (visible) {
      sink.Segment(previous, shown);
    } else {
      visible = true;
      sink.Resume(shown);
    }
    previous = shown;
    ++steps;
    if (sink.Cancelled()) break;
  }
  engine.SetJumpDetection(savedJumps);
  item.stepLimit = static_cast<long double>(steps);
  return steps;
}

}  // namespace kv
