#include "entry/model/trace_point.h"

#include <cmath>

#include "core/number_text.h"
#include "entry/model/variable_scope.h"
#include "formula/calculus.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/trajectories.h"

namespace kv {

namespace {

constexpr long double kTiny = 1e-16L;
constexpr long double kRestSpeed = 1e-13L;

bool Value(TFormulaEngine& engine, TExprNode* tree, long double& v) { return EvaluateReal(engine, tree, v); }

long double Dot(const TPoint3D& a, const TPoint3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

void BuildSecondDerivativeTrees(const TEquation& e, TreePtr out[2]) {
  out[0].reset();
  out[1].reset();
  if (e.kind == kKindExplicit) {
    out[0] = TreePtr(NewNumberNode(TComplex(0)));
    if (e.trees[5]) Differentiate(e.trees[5].get(), 'X', out[1]);
    return;
  }
  if (e.trees[4]) Differentiate(e.trees[4].get(), 'T', out[0]);
  if (e.trees[5]) Differentiate(e.trees[5].get(), 'T', out[1]);
}

bool ComputeTracePoint(TEquation& e, TFormulaEngine& engine, TExprNode* const second[2], long double s,
                       bool secantOn, TTraceState& st) {
  TVariableScope scope(engine);
  st.kind = e.kind;
  engine.ClearEvaluationError();
  TPoint3D p;
  bool defined = false;
  if (e.kind == kKindExplicit) {
    engine.SetVariable('X', s);
    p.x = s;
    defined = Value(engine, e.trees[1].get(), p.y);
  } else {
    engine.SetVariable('T', s);
    defined = Value(engine, e.trees[0].get(), p.x) && Value(engine, e.trees[1].get(), p.y);
    if (defined && (st.space || e.kind == kKindPolar)) defined = Value(engine, e.trees[2].get(), p.z);
  }
  st.t = s;
  st.defined = defined;
  st.curvatureDefined = false;
  st.curvatureValid = false;
  if (!defined) {
    st.secant = {};
    return false;
  }
  st.point = p;
  // Velocity and speed.
  TPoint3D v;
  st.derivativeDefined = Value(engine, e.trees[4].get(), v.x) && Value(engine, e.trees[5].get(), v.y);
  if (st.derivativeDefined && st.space) st.derivativeDefined = Value(engine, e.trees[6].get(), v.z);
  if (!st.derivativeDefined) v = {};
  st.velocity = v;
  const long double vv = Dot(v, v);
  st.speed = std::sqrt(vv);
  // The secant to the reference; for curves its rate per parameter.
  st.secant = {p.x - st.reference.x, p.y - st.reference.y, st.space ? p.z - st.reference.z : 0};
  if (secantOn && e.kind != kKindExplicit && std::fabs(s - st.tRef) > kTiny) {
    const long double dt = s - st.tRef;
    st.secant = {st.secant.x / dt, st.secant.y / dt, st.secant.z / dt};
  }
  st.secantLength = std::sqrt(Dot(st.secant, st.secant));
  TPoint2D a;
  if (!second[0] || !second[1] || !Value(engine, second[0], a.x) || !Value(engine, second[1], a.y)) a = {};
  st.acceleration = a;
  // Curvature: tree 3 in the plane; in space a box whose first three
  // children are the second derivatives and whose fourth is the curvature.
  if (st.derivativeDefined) {
    TExprNode* k = e.trees[3].get();
    if (!st.space) {
      st.curvatureDefined = Value(engine, k, st.curvature);
      st.curvatureValid = st.curvatureDefined && vv > kRestSpeed;
    } else if (e.derivation == 81) {
      // A slice's cross line is straight.
      st.curvatureDefined = true;
      st.curvature = 0;
      st.curvatureValid = vv > kRestSpeed;
      st.normal = {};
    } else if (k && k->argCount >= 4) {
      long double kappa = 0;
      st.curvatureDefined = Value(engine, k->child[3], kappa);
      st.curvature = std::fabs(kappa);
      st.curvatureValid = st.curvatureDefined && vv > kRestSpeed;
      TPoint3D acc;
      st.normal = {};
      if (st.curvatureValid && Value(engine, k->child[0], acc.x) && Value(engine, k->child[1], acc.y) &&
          Value(engine, k->child[2], acc.z)) {
        // The part of the acceleration across the velocity.
        const long double f = Dot(acc, v) / vv;
        TPoint3D n{acc.x - f * v.x, acc.y - f * v.y, acc.z - f * v.z};
        if (Normalize3D(n)) st.normal = n;
      }
    }
  }
  // A secant of no length (back at the reference) is no secant.
  st.noSecant = !(std::fabs(st.secant.x) + std::fabs(st.secant.y) + std::fabs(st.secant.z) > kTiny);
  return true;
}

void SetTraceReference(TTraceState& st) {
  st.reference = st.point;
  st.tRef = st.t;
  st.secant = {};
  st.noSecant = true;
  st.referenceDerivativeDefined = st.derivativeDefined;
  st.referenceVelocity = st.velocity;
}

long double ParameterFromScroll(long double lo, long double hi, int n, int position) {
  if (n <= 0) return lo;
  return lo + ((hi - lo) / n) * position;
}

int ScrollFromParameter(long double s, long double lo, long double hi, int n) {
  if (!(hi - lo > 0)) return 0;
  const long double f = (s - lo) / (hi - lo) * n;
  if (!std::isfinite(f)) return 0;
  return RoundToInt(std::fmax(0.0L, std::fmin(static_cast<long double>(n), f)));
}

bool ComputeTrajectoryTrace(TEquation& e, TFormulaEngine& engine, TEquationItem& item, long double defaultStep,
                            long double t, bool space, long double length, TTrajectoryTrace& out, int logAxes) {
  TVariableScope scope(engine);
  TPoint3D p;
  if (!RunTrajectoryItem(e, engine, item, defaultStep, t, p, logAxes)) return false;
  if (logAxes & 1) p.x = std::pow(10.0L, p.x);
  if (logAxes & 2) p.y = std::pow(10.0L, p.y);
  SetPointVariables(engine, p, space);
  engine.SetVariable('T', t);
  TPoint3D v;
  engine.ClearEvaluationError();
  if (!Value(engine, e.trees[0].get(), v.x) || !Value(engine, e.trees[1].get(), v.y)) return false;
  if (space && !Value(engine, e.trees[2].get(), v.z)) return false;
  out.t = t;
  out.point = p;
  out.velocity = v;
  out.speed = std::sqrt(Dot(v, v));
  out.direction = v;
  if (length >= 0 && out.speed > kRestSpeed) {
    const long double f = length / out.speed;
    out.direction = {v.x * f, v.y * f, v.z * f};
  }
  return true;
}

}  // namespace kv
