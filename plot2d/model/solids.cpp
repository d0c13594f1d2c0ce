#include "plot2d/model/solids.h"

#include <charconv>
#include <cmath>

#include "core/constants.h"
#include "formula/calculus.h"
#include "formula/tree_builders.h"

namespace kv {

namespace {

TreePtr Own(TExprNode* t) { return TreePtr(t); }
TreePtr Num(long double v) { return Own(NewNumberNode(TComplex(v))); }
TreePtr Bin(int token, const TreePtr& a, const TreePtr& b) { return Own(BuildBinary(token, a.get(), b.get())); }
TreePtr Copy(const TExprNode* t) { return t ? Own(CloneTree(t)) : nullptr; }

// x, y, x', y' of a compiled curve entry in its integration letter.
bool CurveTrees(const TEquation& e, TreePtr& x, TreePtr& y, TreePtr& dx, TreePtr& dy) {
  if (e.kind == kKindExplicit) {
    x = Own(NewLetterNode('X'));
    dx = Num(1);
  } else {
    x = Copy(e.trees[0].get());
    dx = Copy(e.trees[4].get());
  }
  y = Copy(e.trees[1].get());
  dy = Copy(e.trees[5].get());
  return x && y && dx && dy;
}

// a x + b y - c
TreePtr AxisDistance(const TreePtr& x, const TreePtr& y, const TRevolutionAxis& axis) {
  TreePtr ax = Bin(tok::Times, Num(axis.a), x);
  TreePtr by = Bin(tok::Times, Num(axis.b), y);
  return Bin(tok::Minus, Bin(tok::Plus, ax, by), Num(axis.c));
}

// A number as a formula text (shortest round trip, C locale), negative
// numbers in parentheses so that they can follow an operator.
std::string NumberText(long double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v));
  std::string s(buf, r.ptr);
  return v < 0 ? "(" + s + ")" : s;
}

std::string BoundText(const TSectionBound& b) {
  if (b.parameter >= 1 && b.parameter <= 26) return std::string(1, static_cast<char>('a' + b.parameter - 1));
  return NumberText(b.value);
}

// The text with its free letter replaced by "(" + by + ")"; the text as it
// is when the letter does not occur.  False when it does not tokenize.
bool ReplaceLetter(const TFormulaEngine& engine, std::string_view text, int letter, std::string_view by,
                   std::string& out) {
  std::string marked(text);
  if (!engine.MarkVariableLetter(marked, letter)) {
    out = std::string(text);
    return true;
  }
  const std::string repl = "(" + std::string(by) + ")";
  return TFormulaEngine::ReplaceMarkedLetters(marked, repl, 1u << 20, out);
}

bool Fits(const std::string& s) { return s.size() <= kMaxFormulaText; }

// The shared Simpson rule over [lo, hi] with n steps; a gap it meets is
// added to `gaps`.
int IntegrateSimpson(TFormulaEngine& engine, TExprNode* tree, int letter, long double lo, long double hi, int n,
                     long double& result, const TIntegrationStop& stop, bool* gaps) {
  bool met = false;
  const int code = SimpsonIntegral(engine, tree, letter, TSimpsonRange{lo, hi, n}, result, stop, &met);
  if (gaps) *gaps = *gaps || met;
  return code;
}

}  // namespace

int CurveIntegrationLetter(const TEquation& curve) {
  if (curve.kind == kKindExplicit) return 'X';
  if (curve.kind == kKindParametric && curve.arrowMode > 0 && curve.arrowMode < tok::kVariableCount)
    return curve.arrowMode;
  return 'T';
}

TreePtr BuildRevolutionVolumeIntegrand(const TEquation& curve, const TRevolutionAxis& axis) {
  TreePtr x, y, dx, dy;
  if (!CurveTrees(curve, x, y, dx, dy)) return nullptr;
  TreePtr d = AxisDistance(x, y, axis);
  TreePtr along = Bin(tok::Minus, Bin(tok::Times, Num(axis.a), dy), Bin(tok::Times, Num(axis.b), dx));
  TreePtr r = Bin(tok::Times, Bin(tok::Times, d, d), along);
  Simplify(r.get());
  return r;
}

TreePtr BuildRevolutionSurfaceIntegrand(const TEquation& curve, const TRevolutionAxis& axis) {
  TreePtr x, y, dx, dy;
  if (!CurveTrees(curve, x, y, dx, dy)) return nullptr;
  TreePtr speed = Own(BuildHypot3(dx.get(), dy.get(), nullptr));
  TreePtr d = Own(BuildFunction(tok::Abs, AxisDistance(x, y, axis).get()));
  const long double norm = std::sqrt(axis.a * axis.a + axis.b * axis.b);
  TreePtr r = Bin(tok::Divide, Bin(tok::Times, speed, d), Num(norm));
  Simplify(r.get());
  return r;
}

TreePtr BuildSectorIntegrand(const TEquation& curve) {
  TreePtr x, y, dx, dy;
  if (!CurveTrees(curve, x, y, dx, dy)) return nullptr;
  TreePtr r = Bin(tok::Minus, Bin(tok::Times, x, dy), Bin(tok::Times, y, dx));
  Simplify(r.get());
  return r;
}

int SectorArea(TFormulaEngine& engine, const TEquation& curve, long double lo, long double hi, int n,
               long double& result, const TIntegrationStop& stop, bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  TreePtr integrand = BuildSectorIntegrand(curve);
  if (!integrand) return kIntegrationUndefined;
  long double i = 0;
  const int code = IntegrateSimpson(engine, integrand.get(), CurveIntegrationLetter(curve), lo, hi, n, i, stop, gaps);
  if (code == kIntegrationOk) result = std::fabs(i) * 0.5L;
  return code;
}

TFrustum SegmentRevolution(const TPoint2D& p, const TPoint2D& q, const TRevolutionAxis& axis) {
  const long double norm = std::sqrt(axis.a * axis.a + axis.b * axis.b);
  TFrustum f;
  if (!(norm > 0)) return f;
  const long double r1 = (axis.a * p.x + axis.b * p.y - axis.c) / norm;
  const long double r2 = (axis.a * q.x + axis.b * q.y - axis.c) / norm;
  const long double along = std::fabs((-axis.b * (q.x - p.x) + axis.a * (q.y - p.y)) / norm);
  const long double slant = std::hypot(q.x - p.x, q.y - p.y);
  if (r1 * r2 >= 0) {
    f.volume = Pi * along * (r1 * r1 + r1 * r2 + r2 * r2) / 3;
    f.area = Pi * (std::fabs(r1) + std::fabs(r2)) * slant;
  } else {
    // Two cones meeting where the segment crosses the axis.
    const long double l = r1 / (r1 - r2);
    f.volume = Pi * along * (l * r1 * r1 + (1 - l) * r2 * r2) / 3;
    f.area = Pi * slant * (l * std::fabs(r1) + (1 - l) * std::fabs(r2));
  }
  return f;
}

int RevolutionMeasure(TFormulaEngine& engine, const TEquation& curve, const TRevolutionAxis& axis, bool volume,
                      long double lo, long double hi, int n, long double& result, const TIntegrationStop& stop,
                      bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  const long double d2 = axis.a * axis.a + axis.b * axis.b;
  if (d2 < 1e-16L) return kFormulaRecursive;
  if (curve.kind == kKindSegment) {
    long double v[4];
    for (std::size_t k = 0; k < 4; ++k) {
      TExprNode* t = curve.trees[k].get();
      if (!t || !engine.Evaluate(t)) return kFormulaNotUnderstood;
      v[k] = t->value.re;
    }
    const TFrustum f = SegmentRevolution({v[0], v[1]}, {v[2], v[3]}, axis);
    result = volume ? f.volume : f.area;
    return kFormulaOk;
  }
  TreePtr integrand =
      volume ? BuildRevolutionVolumeIntegrand(curve, axis) : BuildRevolutionSurfaceIntegrand(curve, axis);
  if (!integrand) return kFormulaNotUnderstood;
  long double i = 0;
  const int code = IntegrateSimpson(engine, integrand.get(), CurveIntegrationLetter(curve), lo, hi, n, i, stop, gaps);
  if (code != kFormulaOk) return code;
  result = volume ? std::fabs(i * Pi / (d2 * std::sqrt(d2))) : std::fabs(2 * Pi * i);
  return kFormulaOk;
}

int VolumeBetweenGraphs(TFormulaEngine& engine, const TExprNode* f, const TExprNode* g, long double k, bool vertical,
                        long double lo, long double hi, int n, long double& result, const TIntegrationStop& stop,
                        bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  if (!f || !g) return kFormulaNotUnderstood;
  if (!vertical) {
    TreePtr washer = Own(BuildWasherIntegrand(f, g, k));
    return IntegrateSimpson(engine, washer.get(), 'X', lo, hi, n, result, stop, gaps);
  }
  // Shells in the shifted variable X - k.
  const long double left = lo - k;
  const long double right = hi - k;
  TreePtr plain = Own(BuildShellIntegrand(f, g, k, false));
  if (left > -1e-13L || right < 1e-13L) {
    const int code = IntegrateSimpson(engine, plain.get(), 'X', left, right, n, result, stop, gaps);
    if (right < 1e-13L) result = -result;
    return code;
  }
  // The axis runs through the interval: the part beyond the mirror image
  // of the shorter side plainly, the strip on both sides mirrored.
  const bool rightShorter = right <= -left;
  long double first = 0;
  int code = rightShorter ? IntegrateSimpson(engine, plain.get(), 'X', left, -right, n, first, stop, gaps)
                          : IntegrateSimpson(engine, plain.get(), 'X', -left, right, n, first, stop, gaps);
  if (code != kFormulaOk) return code;
  if (right + left <= 0) first = -first;
  TreePtr mirrored = Own(BuildShellIntegrand(f, g, k, true));
  long double second = 0;
  code = IntegrateSimpson(engine, mirrored.get(), 'X', 0, rightShorter ? right : -left, n, second, stop, gaps);
  result = first + second;
  return code;
}

long double SectionAreaFactor(int shape, bool doubled) {
  long double k = 1;
  switch (shape) {
    case kSectionEquilateral:
      k = std::sqrt(3.0L) / 4;
      break;
    case kSectionSemicircle:
      k = Pi / 8;
      break;
    case kSectionIsosceles:
      k = 0.5L;
      break;
    case kSectionHalfEllipse:
      k = Pi / 4;
      break;
    default:
      break;
  }
  return doubled ? 2 * k : k;
}

int SectionIntegrandText(std::string_view f, std::string_view g, std::string_view h, int shape, std::string& out) {
  std::string s = "(" + std::string(f) + "-(" + std::string(g) + "))";
  s += shape <= kSectionSemicircle ? std::string("^2") : "(" + std::string(h) + ")";
  if (!Fits(s)) return kFormulaTooBig;
  out = std::move(s);
  return kFormulaOk;
}

int CrossSectionVolume(TFormulaEngine& engine, std::string_view f, std::string_view g, std::string_view h, int shape,
                       bool doubled, long double lo, long double hi, int n, long double& result,
                       const TIntegrationStop& stop, bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  std::string text;
  if (const int c = SectionIntegrandText(f, g, h, shape, text); c != kFormulaOk) return c;
  TreePtr tree;
  if (const int c = engine.Compile(text, tree); c != kFormulaOk) return c;
  long double i = 0;
  const int code = IntegrateSimpson(engine, tree.get(), 'X', lo, hi, n, i, stop, gaps);
  if (code == kFormulaOk) result = i * SectionAreaFactor(shape, doubled);
  return code;
}

int BuildSectionSurfaces(const TFormulaEngine& engine, std::string_view f, std::string_view g, std::string_view h,
                         int shape, bool doubled, const TSectionBound& lo, const TSectionBound& hi, int tDivisions,
                         int uDivisions, std::vector<TSurfaceTexts>& out) {
  out.clear();
  // x along the solid: u itself over the bounds, or a blend of the bound
  // letters over 0..1 so that sliders move the ends.
  std::string xu = "u";
  long double uLo = lo.value, uHi = hi.value;
  if (lo.parameter > 0 || hi.parameter > 0) {
    std::string maxText = BoundText(hi);
    std::string join = "+";
    if (hi.parameter <= 0 && hi.value < 0) {
      join = "-";
      maxText = NumberText(-hi.value);
    }
    xu = "(" + BoundText(lo) + "*(1-u)" + join + maxText + "*u)";
    uLo = 0;
    uHi = 1;
  }
  std::string fx, gx, hx;
  if (!ReplaceLetter(engine, f, 'X', xu, fx) || !ReplaceLetter(engine, g, 'X', xu, gx)) return kFormulaNotUnderstood;
  const bool withHeight = shape >= kSectionRectangle;
  if (withHeight && !ReplaceLetter(engine, h, 'X', xu, hx)) return kFormulaNotUnderstood;
  const std::string m = "0.5*(" + fx + "+" + gx + ")";
  const std::string s = withHeight ? "(" + hx + ")" : "(" + fx + "-(" + gx + "))";
  const std::string half = "0.5*" + s;
  const std::string base = "t*(" + fx + ")+(1-t)*(" + gx + ")";
  auto add = [&](std::string y, std::string z, long double tLo, long double tHi, int tDiv) {
    out.push_back({xu, std::move(y), std::move(z), tLo, tHi, uLo, uHi, tDiv, uDivisions});
  };
  if (!doubled) add(base, "0.0", 0, 1, tDivisions);
  switch (shape) {
    case kSectionSquare:
    case kSectionRectangle: {
      const long double from = doubled ? -1 : 0;
      add(gx, "t*" + s, from, 1, tDivisions);
      add(fx, "t*" + s, from, 1, tDivisions);
      add(base, s, 0, 1, tDivisions);
      if (doubled) add(base, "-" + s, 0, 1, tDivisions);
      break;
    }
    case kSectionEquilateral:
    case kSectionIsosceles: {
      const std::string p = (shape == kSectionEquilateral ? "t*sqrt(0.75)*" : "t*") + s;
      const std::string toG = "t*(" + m + ")+(1-t)*(" + gx + ")";
      const std::string toF = "t*(" + m + ")+(1-t)*(" + fx + ")";
      add(toG, p, 0, 1, tDivisions);
      add(toF, p, 0, 1, tDivisions);
      if (doubled) {
        add(toG, "-" + p, 0, 1, tDivisions);
        add(toF, "-" + p, 0, 1, tDivisions);
      }
      break;
    }
    default: {
      const std::string r = shape == kSectionSemicircle ? half : s;
      add(m + "+0.5*(" + fx + "-(" + gx + "))*cos(t)", r + "*sin(t)", 0, doubled ? 2 * Pi : Pi,
          tDivisions < 12 ? 12 : tDivisions);
      break;
    }
  }
  for (const TSurfaceTexts& t : out)
    if (!Fits(t.x) || !Fits(t.y) || !Fits(t.z)) {
      out.clear();
      return kFormulaTooBig;
    }
  return kFormulaOk;
}

}  // namespace kv
