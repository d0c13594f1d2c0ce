// Numeric integrals of formula trees in one variable, shared by the 2D and
// 3D calculus tools: the six sums of one integral (left, midpoint, right,
// trapezoid, Simpson, random), the composite Simpson rule in one variable
// and iterated in two, and the integrand of a curve's arc length.
//
// The routines evaluate through the window's formula engine and allocate
// nothing per sample.  Each step may be stopped by the caller's poll.
//
// Every routine treats a sample where the integrand is undefined (or not
// finite) by one rule: the sample takes the value the integrand settles to
// a hair (1e-9 of the interval) toward the middle of the interval, when the
// values one and two hairs in agree to a millionth (a gap that can be
// closed: sin(x)/x at 0, the end of a half circle's surface integrand);
// otherwise (a pole, the end of ln x, outside the domain) it is left out of
// the sums that take it.  Either way each sum that took such a sample is
// marked, and the sums go on.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <random>

#include "formula/expr_node.h"

namespace kv {

class TFormulaEngine;
class TEquation;

// The most steps one integral takes: the bound of the 32-bit count; the
// stop key ends any count.  A count outside 1..this is refused (code 17).
inline constexpr std::int32_t kMaxIntegrationSteps = 2147483647;

// Message codes of the routines (shown as 400 + code by the caller).
inline constexpr int kIntegrationOk = 0;
inline constexpr int kIntegrationBadRange = 6;     // "widersprüchliche Daten"
inline constexpr int kIntegrationOutOfBounds = 17; // "jenseits der Grenzen"
inline constexpr int kIntegrationUndefined = 102;  // "nicht zu integrieren": no sample defined
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
  // The sums that met a sample where the integrand is undefined.
  std::array<bool, kSumCount> gaps{};
  std::int32_t steps = 0;  // steps summed (fewer when stopped)
};

// The six sums of tree over [a, b] in the letter with n steps (last step
// ends exactly at b): 0, 6 (b <= a or not finite), 17 (n outside
// 1..kMaxIntegrationSteps), 102 (no sample defined; sums left at 0) or 65
// (stopped: the sums so far, scaled).  The letter keeps the last value it
// was given.
int IntegrateNumerically(TFormulaEngine& engine, TExprNode* tree, int letter, long double a, long double b,
                         std::int32_t n, const TQuadratureControl& control, TSixSums& out);

// Asked once per step: true stops the work (the "A" key).
using TStopPoll = std::function<bool()>;

// One variable's interval and its number of equal steps.
struct TSimpsonRange {
  long double lower = 0;
  long double upper = 1;
  std::int32_t parts = 100;
};

// The composite Simpson rule, the one every tool integrates with: each step
// [x0, x1] with midpoint m adds f(x0) + 4 f(m) + f(x1), the sum times
// (x1 - x0) / 6; the last step ends at the upper bound exactly (reversed
// bounds change the sign).  Undefined samples follow the rule above; `gaps`
// (when given) says whether the result met one.  Codes: 0, 6 (a bound not
// finite), 17 (steps outside 1..kMaxIntegrationSteps), 102 (no sample
// defined: result 0) or 65 (stopped: the result holds the sum so far).
// The letter keeps the last value it was given.
int SimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int letter, const TSimpsonRange& range,
                    long double& result, const TStopPoll& stop = {}, bool* gaps = nullptr);

// The same rule over the outer letter with the inner integral as its
// integrand, taken at both ends and the midpoint of every outer step (the
// outer letter set before each).  An inner integral with no defined sample
// is an undefined sample of the outer sum; an inner integral that met a gap
// marks the result.  A stop inside an inner integral ends the whole sum.
// The outer letter keeps its last value (the upper bound when the loop ran
// to the end).
int IteratedSimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int inner, const TSimpsonRange& innerRange,
                            int outer, const TSimpsonRange& outerRange, long double& result,
                            const TStopPoll& stop = {}, bool* gaps = nullptr);

// The letter a curve entry is integrated in: X for y = f(x), the curve
// variable for a parametric curve, T otherwise.
int CurveLetterOf(const TEquation& e);

// The arc-length integrand of a compiled curve entry: √(x'² + y'²) in 2D
// and √(x'² + y'² + z'²) for a space curve, from its derivative trees,
// simplified.  Null when a derivative is missing.
TreePtr BuildArcLengthIntegrand(const TEquation& e);

}  // namespace kv
