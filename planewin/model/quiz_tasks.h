// The tasks of the function quiz: random functions of fourteen families,
// written as formula text with small whole numbers, a view in which the
// graph reads well, and the lines of their asymptotes.  The generator works
// without a window: it is given the window's proportions, the allowed
// families, a random source and a way to learn that the user wants to stop.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/random_source.h"

namespace kv {

namespace quiz {

inline constexpr int kTypeCount = 14;   // task families 1 .. 14
inline constexpr int kFlagCount = 15;   // flag 0: absolute values; flags 1 .. 14: the families
inline constexpr int kMinDegree = 1;
inline constexpr int kMaxDegree = 8;

enum TaskType : int {
  kPolynomial = 1,
  kRational = 2,
  kParabola = 3,
  kSine = 4,
  kCosine = 5,
  kTangent = 6,
  kSecant = 7,
  kCosecant = 8,
  kCotangent = 9,
  kExponential = 10,
  kLogarithm = 11,          // log(x - c) + d
  kMirroredLogarithm = 12,  // log(c - x) + d for c > 0; log(|c| + x) + d, log(x) + d otherwise
  kAbsLogarithm = 13,       // log |x - c| + d
  kPower = 14,              // x^(a/b) + c
};

// The polynomial and rational search draws new factors until a scaling
// fits; so many attempts and it gives up with the fixed task below.
inline constexpr int kMaxFactorAttempts = 20000;
// An exponential task whose value at 0 lies outside the view is drawn
// again, at most so often.
inline constexpr int kMaxExponentialAttempts = 1000;

// The fixed tasks when the search was stopped or gave up.
inline constexpr const char* kFallbackPolynomial = "(x-1)(x-2)(x+1)";
inline constexpr const char* kFallbackRational = "(x-1)(x-2)/(x+1)";

}  // namespace quiz

// Which families may appear, and the degrees of polynomial and rational
// tasks (1 <= minDegree <= maxDegree <= 8).
struct TQuizSettings {
  std::array<bool, quiz::kFlagCount> enabled{};
  int minDegree = 2;
  int maxDegree = 2;
  bool AbsoluteValues() const { return enabled[0]; }
  bool AnyTypeEnabled() const;
};

// The view the quiz window shows, as its centre and half-extents.  The
// height follows the width through the window's proportion:
// halfY = halfX * ratio, ratio = (y units per pixel over x units per
// pixel) * client height / client width.
struct TQuizView {
  long double cx = 0;
  long double cy = 0;
  long double halfX = 5;
  long double halfY = 5;
  long double ratio = 1;
  long double xmin() const { return cx - halfX; }
  long double xmax() const { return cx + halfX; }
  long double ymin() const { return cy - halfY; }
  long double ymax() const { return cy + halfY; }
  // The view's own update: the height from the width.
  void Update() { halfY = halfX * ratio; }
  // Centre and width, then wider until at least `minHalfY` high.
  void Set(long double x, long double y, long double hx, long double minHalfY);
};

// What the window lends the generator for the polynomial search: its client
// size in pixels (for the scale of the graph), and hooks around the search.
struct TQuizContext {
  int clientWidth = 0;
  int clientHeight = 0;
  std::function<void()> searchStarted;   // the search may take a while
  std::function<bool()> stopRequested;   // the user pressed "A"
  int maxAttempts = quiz::kMaxFactorAttempts;
};

struct TQuizTask {
  int type = 0;
  std::string text;                 // the task's formula, y = text
  TQuizView view;
  std::vector<long double> vertical;    // asymptotes x = value
  std::vector<long double> horizontal;  // asymptotes y = value
  // The polynomial search ended without a task of its own: stopped by the
  // user, or out of attempts (gaveUp).
  bool stopped = false;
  bool gaveUp = false;
};

// A new task of an allowed family (family 1 when none is allowed).  The
// view starts from `view` (its ratio is kept; a search that ends with a
// fixed task leaves the rest as it was).
TQuizTask MakeQuizTask(const TQuizSettings& settings, const TQuizView& view, TRandomSource& random,
                       const TQuizContext& context);
// One family's task (1 .. 14).
TQuizTask MakeQuizTaskOfType(int type, const TQuizSettings& settings, const TQuizView& view, TRandomSource& random,
                             const TQuizContext& context);

// ---- the pieces of polynomial and rational tasks ----

// Multiplicities of the factors (x - r) for r = -4 .. 4 at index r + 4:
// m > 0 in the numerator, -m in the denominator (a pole); r = 0 unused.
using TFactorMultiplicities = std::array<std::int16_t, 9>;

// Random factors of total degree d; cap of a multiplicity 4 (polynomial)
// or 2 (rational); `simple` forces multiplicity 1.  A rational function
// gets exactly one pole.  rmin and rmax: the smallest and largest position.
struct TChosenFactors {
  TFactorMultiplicities m{};
  int rmin = 0;
  int rmax = 0;
};
TChosenFactors ChooseFactors(int degree, bool polynomial, bool simple, TRandomSource& random);
// The product of the factors at t (poles as 1 / (t - r)).
long double EvaluateFactors(const TFactorMultiplicities& m, long double t);
// Scales the factors so that the value at 0 is a whole number c and the
// graph between the outer roots fits a view of (span + 4) units across:
// the coefficient N / Q and the range lo .. hi of the scaled graph.
struct TScaledFactors {
  bool ok = false;
  long double lo = -2;
  long double hi = 2;
  long long numerator = 0;
  long long denominator = 1;
};
// heightOverWidth: the client's height over its width (taken as 1 when it
// is not a positive number).
TScaledFactors ScaleFactors(const TChosenFactors& f, long double heightOverWidth);
// Euclid's algorithm on p and q, both divided by the divisor.
void ReduceFraction(long long& p, long long& q);
// "(x+1)(x-2)(x-2)/(x-3)": the numerator ("1" when it has no factor) and,
// over it, the denominator (in brackets when it is longer than one
// factor).  The poles are appended to `poles` in increasing order.
std::string BuildFactorText(const TFactorMultiplicities& m, std::vector<long double>* poles);
bool HasOddRoot(const TFactorMultiplicities& m);

}  // namespace kv
