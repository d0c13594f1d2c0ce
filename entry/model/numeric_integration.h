// Numeric integrals of formula trees in one variable, shared by the 2D and
// 3D calculus tools: the six sums of one integral (left, midpoint, right,
// trapezoid, Simpson, random), the composite Simpson rule, the double
// integral by nested Simpson rules, and the integrand of a curve's arc
// length.
//
// The routines evaluate through the window's formula engine and allocate
// nothing per sample.  Each step may be stopped by the caller's poll; a
// point where the integrand is undefined ends the work with a message code
// instead of being summed as a value.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <random>

#include "formula/expr_node.h"

namespace kv {

class TFormulaEngine;
class TEquation;

// The most steps one integral takes; a larger count is refused (code 17),
// so that a typing slip cannot hang the window.
inline constexpr std::int32_t kMaxIntegrationSteps = 10'000'000;

// Message codes of the routines (shown as 400 + code by the caller).
inline constexpr int kIntegrationOk = 0;
inline constexpr int kIntegrationBadRange = 6;     // "widersprüchliche Daten"
inline constexpr int kIntegrationOutOfBounds = 17; // "jenseits der Grenzen"
inline constexpr int kIntegrationUndefined = 102;  // "nicht zu integrieren"
inline constexpr int kIntegrationNoDerivative = 117;  // "nicht abzuleiten"
inline constexpr int kIntegrationStopped = 65;     // the user pressed "A"

// The six sums in the order the tools show them.
enum SumRule : int {
  kSumLeft = 0,
  kSumMidpoint = 1,
  kSumRight = 2,
  kSumTrapezoid = 3,
  kSumSimpson = 4,
  kSumRandom = 5,
  kSumCount = 6,
};

// Uniform numbers in [0, 1) from a seed, 8 decimal digits as the random
// points of the tools use them.  The same seed gives the same points, so a
// drawing can show exactly the random points a sum used.
class TSeededUniform {
 public:
  explicit TSeededUniform(std::uint32_t seed) : engine_(seed == 0 ? 1u : seed) {}
  long double operator()() { return static_cast<long double>(engine_() % 100000000u) * 1e-8L; }

 private:
  std::minstd_rand engine_;
};

// What the caller lets a routine do per step.
struct TQuadratureControl {
  // The random point's position in its step, in [0, 1); none: 0.5.
  std::function<long double()> uniform;
  // Polled once per step; true stops the work.
  std::function<bool()> stop;
};

struct TSixSums {
  std::array<long double, kSumCount> value{};
  std::int32_t steps = 0;  // steps summed (fewer when stopped)
};

// The six sums of tree over [a, b] in the letter with n steps (last step
// ends exactly at b): 0, 6 (b <= a or not finite), 17 (n outside
// 1..kMaxIntegrationSteps), 102 (undefined at a sample point; sums left at
// 0) or 65 (stopped: the sums so far, scaled).  The letter keeps the last
// value it was given.
int IntegrateNumerically(TFormulaEngine& engine, TExprNode* tree, int letter, long double a, long double b,
                         std::int32_t n, const TQuadratureControl& control, TSixSums& out);

// Composite Simpson rule with n steps; codes as above.
int SimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int letter, std::int32_t n, long double a,
                    long double b, const TQuadratureControl& control, long double& result);

// Double integral: the inner Simpson integral in innerLetter over
// [aInner, bInner], integrated by Simpson's rule in outerLetter over
// [aOuter, bOuter].  The outer letter keeps its last value (bOuter when the
// loop ran to the end).  Codes as above.
int SumAlongCurve(TFormulaEngine& engine, TExprNode* tree, int innerLetter, int outerLetter, std::int32_t nInner,
                  std::int32_t nOuter, long double aInner, long double bInner, long double aOuter,
                  long double bOuter, const TQuadratureControl& control, long double& result);

// The letter a curve entry is integrated in: X for y = f(x), the curve
// variable for a parametric curve, T otherwise.
int CurveLetterOf(const TEquation& e);

// The arc-length integrand of a compiled curve entry: √(x'² + y'²) in 2D
// and √(x'² + y'² + z'²) for a space curve, from its derivative trees,
// simplified.  Null when a derivative is missing.
TreePtr BuildArcLengthIntegrand(const TEquation& e);

}  // namespace kv
