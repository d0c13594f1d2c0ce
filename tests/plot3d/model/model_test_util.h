// Records of the 3D kinds built from formula texts for the tests of the
// window-free units: only the trees those units read.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formula/calculus.h"
#include "formula/formula_engine.h"
#include "plotcore/model/curve_sampler.h"
#include "plotcore/model/equation.h"

namespace kv::test3dmodel {

inline TreePtr Tree(TFormulaEngine& engine, const std::string& text) {
  TreePtr t;
  EXPECT_EQ(engine.Compile(text, t), kFormulaOk) << text;
  return t;
}

inline TreePtr Deriv(const TreePtr& t, int letter) {
  TreePtr d;
  EXPECT_TRUE(Differentiate(t.get(), letter, d));
  return d;
}

// z = f(x, y): tree 2 f, tree 3 z - f, trees 4, 5 the partial derivatives,
// tree 6 -1.
inline TEquation Explicit(TFormulaEngine& engine, const std::string& f, long double lo = -5, long double hi = 5) {
  TEquation e;
  InitEquation(e, kKindSurface, 1, 50);
  e.trees[2] = Tree(engine, f);
  e.trees[3] = Tree(engine, "z-(" + f + ")");
  e.trees[4] = Deriv(e.trees[2], 'X');
  e.trees[5] = Deriv(e.trees[2], 'Y');
  e.trees[6] = Tree(engine, "-1");
  e.lowerBound = {lo, lo};
  e.upperBound = {hi, hi};
  e.boxMin() = {lo, lo, -100};
  e.boxMax() = {hi, hi, 100};
  return e;
}

// F(x, y, z) = 0: tree 3 F, trees 4..6 its gradient.
inline TEquation Implicit(TFormulaEngine& engine, const std::string& f, long double r = 2.1L) {
  TEquation e;
  InitEquation(e, kKindImplicitSurface, 1, 50);
  e.trees[3] = Tree(engine, f);
  e.trees[4] = Deriv(e.trees[3], 'X');
  e.trees[5] = Deriv(e.trees[3], 'Y');
  e.trees[6] = Deriv(e.trees[3], 'Z');
  e.boxMin() = {-r, -r, -r};
  e.boxMax() = {r, r, r};
  return e;
}

// Coordinate trees over t and u (parametric surfaces and planes).
inline TEquation Parametric(TFormulaEngine& engine, int kind, const std::string& x, const std::string& y,
                            const std::string& z, TPoint2D lo, TPoint2D hi) {
  TEquation e;
  InitEquation(e, kind, 1, 50);
  e.trees[0] = Tree(engine, x);
  e.trees[1] = Tree(engine, y);
  e.trees[2] = Tree(engine, z);
  e.lowerBound = lo;
  e.upperBound = hi;
  e.boxMin() = {-10, -10, -10};
  e.boxMax() = {10, 10, 10};
  return e;
}

// A space curve x(t), y(t), z(t) over [lo, hi].
inline TEquation Curve(TFormulaEngine& engine, const std::string& x, const std::string& y, const std::string& z,
                       long double lo, long double hi) {
  TEquation e = Parametric(engine, kKindSpaceCurve, x, y, z, {lo, 0}, {hi, 1});
  return e;
}

// Collects the points a tracer or sampler hands over.
struct TPointList : TPolylineSink {
  std::vector<TPoint2D> points;
  void MoveTo(const TPoint2D& p) override { points.push_back(p); }
  void LineTo(const TPoint2D& p) override { points.push_back(p); }
};

}  // namespace kv::test3dmodel
