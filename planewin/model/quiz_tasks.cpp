#include "planewin/model/quiz_tasks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kv {

using namespace quiz;

namespace {

constexpr long double kPi = 3.141592653589793L;
constexpr long double kLargestInt = 2147483647.0L;

std::string Num(long long v) { return std::to_string(v); }

// "-" on a coin, else "+"; the coin is drawn either way.
int Signed(TRandomSource& random, int v) { return random.Coin() ? -v : v; }

// "(x-r)" or "(x+r)".
std::string Shifted(int r) { return std::string("(x") + (r < 0 ? "+" : "-") + Num(std::abs(r)) + ")"; }

void CentreView(TQuizView& view, long double x, long double y, long double hx) {
  view.cx = x;
  view.cy = y;
  view.halfX = hx;
  view.Update();
}

bool Used(const TFactorMultiplicities& m, int r) { return r >= -4 && r <= 4 && m[static_cast<std::size_t>(r + 4)] != 0; }

// ---- the families ----

// Degree 1: y = (b/a)(x -+ a), a whole y-intercept and root.
void MakeLinearTask(TQuizTask& task, const TQuizSettings& settings, TRandomSource& random) {
  const bool abs = settings.AbsoluteValues() && random.Below(3) == 0;
  const bool rootNeg = random.Coin();
  const bool slopeNeg = random.Coin();
  const int a = random.Below(4) + 1;
  const int b = random.Below(5) + 1;
  std::string inner = std::string("x") + (rootNeg ? "+" : "-") + Num(a);
  std::string coefficient;
  if (a == b) {
  } else if (a == 2 && b == 4) {
    coefficient = "2";
  } else if (a == 4 && b == 2) {
    coefficient = "1/2";
  } else if (a == 1) {
    coefficient = Num(b);
  } else {
    coefficient = Num(b) + "/" + Num(a);
  }
  std::string text = slopeNeg ? "-" : "";
  if (a != b) text += (a == 1 || (a == 2 && b == 4)) ? coefficient : "(" + coefficient + ")";
  if (abs) text += "abs";
  text += (abs || a != b || slopeNeg) ? "(" + inner + ")" : inner;
  task.text = text;
  const long double root = rootNeg ? -a : a;
  const long double cy = abs ? (slopeNeg ? -2 : 2) : 0;
  task.view.Set(root, cy, 7, std::fabs(cy) + 1);
}

// The coefficient N / Q of a scaled factor text, written so that its sign
// stays: "(N/Q)", "N", "-N", "-" or nothing.
std::string CoefficientText(long long n, long long q) {
  if (q > 1) return "(" + Num(n) + "/" + Num(q) + ")";
  if (n == 1) return "";
  if (n == -1) return "-";
  return Num(n);
}

// Polynomials (polynomial set) and rational functions of the quiz degree.
void MakeRationalTask(TQuizTask& task, bool polynomial, const TQuizSettings& settings, TRandomSource& random,
                      const TQuizContext& context) {
  const int lowDegree = std::clamp(settings.minDegree, kMinDegree, kMaxDegree);
  const int highDegree = std::clamp(settings.maxDegree, lowDegree, kMaxDegree);
  const int degree = lowDegree + random.Below(highDegree + 1 - lowDegree);
  if (polynomial && degree == 1) {
    MakeLinearTask(task, settings, random);
    return;
  }
  if (context.searchStarted) context.searchStarted();
  long double heightOverWidth = task.view.ratio;
  if (context.clientWidth > 0 && context.clientHeight > 0)
    heightOverWidth = static_cast<long double>(context.clientHeight) / context.clientWidth;

  TChosenFactors factors;
  TScaledFactors scaled;
  for (int attempt = 0; !scaled.ok; ++attempt) {
    if (attempt >= context.maxAttempts) {
      task.gaveUp = true;
      break;
    }
    const bool simple = random.Below(5) < 3;
    factors = ChooseFactors(degree, polynomial, simple, random);
    scaled = ScaleFactors(factors, heightOverWidth);
    if (!scaled.ok && context.stopRequested && context.stopRequested()) {
      task.stopped = true;
      break;
    }
  }
  if (!scaled.ok) {
    task.text = polynomial ? kFallbackPolynomial : kFallbackRational;
    return;
  }

  const bool odd = HasOddRoot(factors.m);
  std::string text = BuildFactorText(factors.m, &task.vertical);
  long double lo = std::min(scaled.lo, -2.0L);
  long double hi = std::max(scaled.hi, 2.0L);
  long long n = scaled.numerator;
  if (settings.AbsoluteValues()) {
    if (odd && random.Below(3) == 0) {
      text = "abs( " + text + " )";
      hi = std::max(hi, std::fabs(lo));
      lo = -2;
    }
  } else if (random.Below(4) == 0) {
    const long double oldLo = lo;
    lo = -hi;
    hi = -oldLo;
    n = -n;
  }
  task.view.Set((factors.rmin + factors.rmax) / 2.0L, (lo + hi) / 2, 7, std::fabs((lo + hi) / 2) + 1);
  const std::string coefficient = CoefficientText(n, scaled.denominator);
  // A lone numerator "1" takes the coefficient's place: "3/(x-2)".
  if (!coefficient.empty() && coefficient != "-" && text.rfind("1/", 0) == 0)
    task.text = coefficient + text.substr(1);
  else
    task.text = coefficient + text;
}

// y = b + s (x - a)^2: the vertex (a, b) and the point (0, y0) whole numbers.
void MakeParabolaTask(TQuizTask& task, const TQuizSettings& settings, TRandomSource& random) {
  int a = 0;
  while (a == 0) a = random.Below(9) - 4;
  const int b = random.Below(9) - 4;
  int y0 = 0;
  do {
    y0 = random.Below(9) - 4;
  } while (y0 == 0 || y0 == b);
  long long z = std::abs(y0 - b);
  long long n = static_cast<long long>(a) * a;
  ReduceFraction(z, n);
  const bool abs = settings.AbsoluteValues() && random.Below(4) == 0 && z * b < 0;
  // The opening: downwards when y0 lies below the vertex, and now and then
  // turned over.  The text keeps the sign whatever b is.
  bool negative = y0 < b;
  if (!abs && random.Below(5) == 0) negative = !negative;
  std::string text = abs ? "abs(" : "";
  if (b != 0)
    text += Num(b) + (negative ? "-" : "+");
  else if (negative)
    text += "-";
  if (n == 1) {
    if (z > 1) text += Num(z);
  } else {
    text += "(" + Num(z) + "/" + Num(n) + ")";
  }
  text += Shifted(a) + Shifted(a);
  if (abs) text += ")";
  task.text = text;
  CentreView(task.view, a, b, 9);
}

// a*f(bx) + c for f = sin, cos, tan, sec, csc, cot (types 4 .. 9).
void MakeTrigTask(TQuizTask& task, int type, const TQuizSettings& settings, TRandomSource& random) {
  static const char* const kNames[] = {"sin(", "cos(", "tan(", "sec(", "csc(", "cot("};
  int a = random.Below(4);
  if (a == 0 || type == kTangent || type == kCotangent) a = 1;
  a = Signed(random, a);
  const int c = Signed(random, random.Below(4));
  const bool abs = settings.AbsoluteValues() && random.Below(4) == 0 && std::abs(c) < std::abs(a);
  std::string text = abs ? "abs(" : "";
  if (std::abs(a) == 1)
    text += a == -1 ? "-" : "";
  else
    text += Num(a);
  text += kNames[type - kSine];
  int b = random.Below(4);
  if (b == 0) b = 1;
  if (b != 1) text += Num(b);
  text += "x)";
  if (c != 0) text += (c > 0 ? "+" : "") + Num(c);
  if (abs) text += ")";
  task.text = text;

  TQuizView& view = task.view;
  CentreView(view, 0, 0, 6.4L);
  for (;;) {
    if (type == kTangent || type == kCotangent) break;
    if ((type == kSine || type == kCosine) && std::abs(a) + std::abs(c) + 1 < view.halfY) break;
    if ((type == kSecant || type == kCosecant) && std::abs(c) + 2 < view.halfY) break;
    view.halfX += 1;
    view.Update();
  }
  if (type >= kTangent) {
    const long double p = kPi / b;
    long double s = (type == kTangent || type == kSecant) ? p / 2 : p;
    while (view.xmin() < s) s -= p;
    for (s += p; s < view.xmax(); s += p) task.vertical.push_back(s);
  }
}

// a*b^(x-c)+d; false when its value at 0 lies outside the view.
bool MakeExponentialTask(TQuizTask& task, const TQuizSettings& settings, TRandomSource& random) {
  CentreView(task.view, 0, 0, 9);
  int d = Signed(random, random.Below(4));
  const int b = random.Below(2) + 2;
  int a = 0;
  do {
    a = Signed(random, random.Below(4));
  } while (a == 0 || std::abs(a) == b || a * d > 0);
  const int c = Signed(random, random.Below(4));
  const bool abs = settings.AbsoluteValues() && random.Below(4) == 0 && a * d < 0;
  task.horizontal.clear();
  if (d != 0) task.horizontal.push_back(abs ? std::abs(d) : d);
  std::string text;
  if (abs) {
    text = "abs(";
    if (a < 0) {
      a = -a;
      d = -d;
    }
  }
  if (std::abs(a) < 2)
    text += a == -1 ? "-" : "";
  else
    text += Num(a) + "*";
  text += Num(b) + "^";
  text += c == 0 ? "x" : Shifted(c);
  text += (d < 0 ? "-" : "+") + Num(std::abs(d));
  if (abs) text += ")";
  task.text = text;
  const long double y0 = d + a * std::exp(-c * std::log(static_cast<long double>(b)));
  return task.view.ymin() < y0 && y0 < task.view.ymax();
}

// d +- log(arg)/log(b) with arg = x - c, c - x or |x - c| (types 11 .. 13).
void MakeLogTask(TQuizTask& task, int type, const TQuizSettings& settings, TRandomSource& random) {
  CentreView(task.view, 0, 0, 9);
  const int c = Signed(random, random.Below(4));
  if (c != 0) task.vertical.push_back(c);
  const int d = Signed(random, random.Below(4));
  const int b = random.Below(2) + 2;
  const bool abs = settings.AbsoluteValues() && random.Below(4) == 0;
  const std::string shift = c > 0 ? "-" + Num(c) : c < 0 ? "+" + Num(-c) : "";
  std::string argument;
  if (type == kLogarithm) {
    argument = "x" + shift;
  } else if (type == kMirroredLogarithm) {
    // |c| - x, |c| + x or x alone: the mirror image of log(x - c) about
    // x = c for c > 0 only.
    argument = c > 0 ? Num(c) + "-x" : c < 0 ? Num(-c) + "+x" : "x";
  } else {
    argument = "abs(x" + shift + ")";
  }
  std::string text = abs ? "abs(" : "";
  text += Num(d) + (random.Coin() ? "-" : "+") + "log(" + argument + ")/log(" + Num(b) + ")";
  if (abs) text += ")";
  task.text = text;
}

// (x +- s)^(p/q) +- t, written with pow and root.
void MakePowerTask(TQuizTask& task, const TQuizSettings& settings, TRandomSource& random) {
  CentreView(task.view, 0, 0, 9);
  const bool abs = settings.AbsoluteValues() && random.Below(4) == 0;
  int p = 0;
  int q = 0;
  do {
    p = random.Below(5) + 1;
    q = random.Below(5) + 1;
  } while (p == q);
  std::string text = abs ? "abs(" : "";
  if (p > 1) text += "pow(" + Num(p) + ",";
  text += "root(" + Num(q) + ",x";
  const int s = random.Below(4);
  if (s != 0) text += (random.Coin() ? "+" : "-") + Num(s);
  text += ")";
  if (p > 1) text += ")";
  const int t = random.Below(4);
  if (t != 0) text += (random.Coin() ? "+" : "-") + Num(t);
  if (abs) text += ")";
  task.text = text;
}

}  // namespace

bool TQuizSettings::AnyTypeEnabled() const {
  for (int k = 1; k <= kTypeCount; ++k)
    if (enabled[static_cast<std::size_t>(k)]) return true;
  return false;
}

void TQuizView::Set(long double x, long double y, long double hx, long double minHalfY) {
  cx = x;
  cy = y;
  halfX = hx;
  Update();
  if (halfY < minHalfY && halfY > 0) {
    halfX = minHalfY * halfX / halfY;
    Update();
  }
}

TQuizTask MakeQuizTaskOfType(int type, const TQuizSettings& settings, const TQuizView& view, TRandomSource& random,
                             const TQuizContext& context) {
  TQuizTask task;
  task.type = type;
  task.view = view;
  // A proportion that is no positive number would stretch the view forever.
  if (!(task.view.ratio >= 1e-3L && task.view.ratio <= 1e3L)) task.view.ratio = 1;
  switch (type) {
    case kPolynomial:
    case kRational:
      MakeRationalTask(task, type == kPolynomial, settings, random, context);
      break;
    case kParabola:
      MakeParabolaTask(task, settings, random);
      break;
    case kExponential:
      for (int attempt = 1; !MakeExponentialTask(task, settings, random) && attempt < kMaxExponentialAttempts;
           ++attempt) {
      }
      break;
    case kLogarithm:
    case kMirroredLogarithm:
    case kAbsLogarithm:
      MakeLogTask(task, type, settings, random);
      break;
    case kPower:
      MakePowerTask(task, settings, random);
      break;
    default:
      MakeTrigTask(task, type >= kSine && type <= kCotangent ? type : kSine, settings, random);
      break;
  }
  return task;
}

TQuizTask MakeQuizTask(const TQuizSettings& settings, const TQuizView& view, TRandomSource& random,
                       const TQuizContext& context) {
  int type = kPolynomial;
  if (settings.AnyTypeEnabled()) {
    do {
      type = random.Below(kTypeCount) + 1;
    } while (!settings.enabled[static_cast<std::size_t>(type)]);
  }
  return MakeQuizTaskOfType(type, settings, view, random, context);
}

// ---- factors ----

TChosenFactors ChooseFactors(int degree, bool polynomial, bool simple, TRandomSource& random) {
  TChosenFactors f;
  auto& m = f.m;
  // Position 0 is blocked while the roots are drawn.
  m[4] = 1;
  const int cap = std::min(degree, polynomial ? 4 : 2);
  int low = 100;
  int high = -100;
  for (int d = degree; d > 0;) {
    int i = 0;
    do {
      i = random.Below(9);
    } while (m[static_cast<std::size_t>(i)] > 0);
    low = std::min(low, i);
    high = std::max(high, i);
    int multiplicity = 1;
    if (!simple) {
      do {
        multiplicity = cap > 0 ? random.Below(cap) + 1 : 1;
      } while (multiplicity > d);
    }
    m[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(multiplicity);
    d -= multiplicity;
  }
  m[4] = 0;
  f.rmin = low - 4;
  f.rmax = high - 4;
  if (!polynomial) {
    int i = 0;
    do {
      i = random.Below(9);
    } while (m[static_cast<std::size_t>(i)] <= 0);
    m[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(-m[static_cast<std::size_t>(i)]);
  }
  return f;
}

long double EvaluateFactors(const TFactorMultiplicities& m, long double t) {
  long double v = 1;
  for (int r = -4; r <= 4; ++r) {
    const int k = m[static_cast<std::size_t>(r + 4)];
    if (k == 0) continue;
    long double factor = t - r;
    if (k < 0 && std::fabs(factor) > 1e-16L) factor = 1 / factor;
    for (int j = 0; j < std::abs(k); ++j) v *= factor;
  }
  return v;
}

TScaledFactors ScaleFactors(const TChosenFactors& f, long double heightOverWidth) {
  if (!(heightOverWidth > 0) || !std::isfinite(heightOverWidth)) heightOverWidth = 1;
  TScaledFactors s;
  long double lo = -2;
  long double hi = 2;
  long double smallest = 10000;
  int span = f.rmax - f.rmin;
  // The largest size of the graph between neighbouring roots and poles,
  // and the smallest of these: a graph that is huge in one gap and flat in
  // another cannot be shown.
  for (int k = span < 1 ? 5 : f.rmin; k < 4;) {
    int j = k + 1;
    while (j < f.rmax && !Used(f.m, j)) ++j;
    if (Used(f.m, j)) {
      long double gapMax = 0;
      for (int q = 1; q < (j - k) * 4; ++q) {
        const long double v = EvaluateFactors(f.m, k + 0.25L * q);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        gapMax = std::max(gapMax, std::fabs(v));
      }
      smallest = std::min(smallest, gapMax);
    }
    k = j;
  }
  long double a = 1;
  long double b = 1;
  for (int r = -4; r <= 4; ++r) {
    const int k = f.m[static_cast<std::size_t>(r + 4)];
    for (int j = 0; j < std::abs(k); ++j) (k > 0 ? a : b) *= std::abs(r);
  }
  const long double v = a / b;
  lo = std::min(lo, v);
  hi = std::max(hi, v);
  if (hi - lo > 30 * smallest) return s;
  if (span < 1) span = std::abs(f.rmax);
  const long double scale = v / ((hi - lo) / ((span + 4) * heightOverWidth));
  if (!(scale <= kLargestInt)) return s;
  const long double c = std::trunc(scale);
  if (c < 1 || b * scale > kLargestInt) return s;
  long long n = static_cast<long long>(c) * static_cast<long long>(b);
  long long q = static_cast<long long>(a);
  if (n < 1) return s;
  ReduceFraction(n, q);
  s.ok = true;
  s.numerator = n;
  s.denominator = q;
  s.hi = hi * c / v;
  s.lo = lo * c / v;
  return s;
}

void ReduceFraction(long long& p, long long& q) {
  long long a = p;
  long long b = q;
  while (b != 0) {
    const long long t = a % b;
    a = b;
    b = t;
  }
  if (a == 0) return;
  p /= a;
  q /= a;
}

std::string BuildFactorText(const TFactorMultiplicities& m, std::vector<long double>* poles) {
  std::string numerator;
  std::string denominator;
  for (int r = -4; r <= 4; ++r) {
    const int k = m[static_cast<std::size_t>(r + 4)];
    for (int j = 0; j < std::abs(k); ++j) (k > 0 ? numerator : denominator) += Shifted(r);
    if (k < 0 && poles) poles->push_back(r);
  }
  std::string text = numerator.size() < 5 ? "1" : numerator;
  if (!denominator.empty()) text += "/" + (denominator.size() >= 7 ? "(" + denominator + ")" : denominator);
  return text;
}

bool HasOddRoot(const TFactorMultiplicities& m) {
  for (std::int16_t k : m)
    if (k > 0 && k % 2 == 1) return true;
  return false;
}

}  // namespace kv
