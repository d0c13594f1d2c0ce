#include "planewin/model/mapping_readouts.h"

#include <cmath>

#include "core/number_text.h"

namespace kv {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Trim(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// Right-aligned in a field of the width (longer texts stay whole).
std::string PadLeft(const std::string& s, int width) {
  return static_cast<int>(s.size()) >= width ? s : std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
}

// The value of a tree at the current variables; false where undefined.
bool Value(TFormulaEngine& engine, TExprNode* tree, TComplex& v) {
  if (!tree || !engine.Evaluate(tree)) return false;
  v = tree->value;
  return std::isfinite(v.re) && std::isfinite(v.im);
}

void SetMappingPoint(TFormulaEngine& engine, const TEquation& mapping, const TPoint2D& p) {
  engine.SetPoint(p.x, p.y);
  if (mapping.kind == kKindComplexMap) engine.SetComplexVariable('Z', TComplex(p.x, p.y));
}

std::string RealText(bool ok, long double v, const TReadoutFormat& f) {
  return ok ? FormatReadoutNumber(v, f) : f.undefined;
}

}  // namespace

std::string FormatReadoutNumber(long double v, const TReadoutFormat& f) { return FormatNumber(v, f.width, f.decimals); }

std::string FormatComplexNumber(const TComplex& z, const TReadoutFormat& f) {
  return Trim(FormatReadoutNumber(z.re, f)) + (z.im < 0 ? " - " : " + ") +
         Trim(FormatReadoutNumber(std::fabs(z.im), f)) + "i";
}

bool MapByEntry(TFormulaEngine& engine, const TEquation& mapping, const TPoint2D& p, TPoint2D& image) {
  SetMappingPoint(engine, mapping, p);
  TComplex a;
  if (!Value(engine, mapping.trees[0].get(), a)) return false;
  if (mapping.kind == kKindComplexMap) {
    image = {a.re, a.im};
    return true;
  }
  TComplex b;
  if (mapping.kind != kKindPlaneMap || !Value(engine, mapping.trees[1].get(), b)) return false;
  image = {a.re, b.re};
  return true;
}

std::string JacobianText(TFormulaEngine& engine, const TEquation& mapping, const TPoint2D& p, const TReadoutFormat& f) {
  std::string s;
  auto line = [&s](const std::string& text) { s += text + kLineEnd; };
  SetMappingPoint(engine, mapping, p);
  if (mapping.kind == kKindComplexMap) {
    line("F(z) = " + mapping.formulaText[0]);
    line("");
    line("z = " + FormatComplexNumber(TComplex(p.x, p.y), f));
    line("");
    TComplex d;
    const bool ok = Value(engine, mapping.trees[4].get(), d);
    line("F'(z) = " + (ok ? FormatComplexNumber(d, f) : f.undefined));
    line("");
    const long double q = d.re * d.re + d.im * d.im;
    s += "|F'(z)| = " + RealText(ok, q >= 1e-16L ? std::sqrt(q) : 0, f);
    return s;
  }
  line("F(x,y) = " + mapping.formulaText[0]);
  line("G(x,y) = " + mapping.formulaText[1]);
  line("");
  line("x = " + FormatReadoutNumber(p.x, f));
  line("y = " + FormatReadoutNumber(p.y, f));
  line("");
  static const char* const kNames[4] = {"DxF = ", "DyF = ", "DxG = ", "DyG = "};
  long double d[4] = {0, 0, 0, 0};
  bool all = true;
  for (int k = 0; k < 4; ++k) {
    TComplex v;
    const bool ok = Value(engine, mapping.trees[static_cast<std::size_t>(3 + k)].get(), v);
    d[k] = v.re;
    all = all && ok;
    line(kNames[k] + RealText(ok, v.re, f));
  }
  line("");
  s += "det = " + RealText(all, d[3] * d[0] - d[2] * d[1], f);
  return s;
}

long TableSizeEstimate(int nx, int ny, int width) { return static_cast<long>(ny + 2) * 2 * (width + 4) * (nx + 2); }

bool MappingTableText(TFormulaEngine& engine, const TEquation& mapping, const TMapGrid& grid, const TReadoutFormat& f,
                      std::string& out) {
  const int nx = grid.nx;
  const int ny = grid.ny;
  const int w = f.width;
  if (nx < 1 || ny < 1 || TableSizeEstimate(nx, ny, w) > kMaxTableEstimate) return false;
  const long double dx = (grid.xmax - grid.xmin) / nx;
  const long double dy = (grid.ymax - grid.ymin) / ny;
  const bool complex = mapping.kind == kKindComplexMap;
  std::string s = PadLeft("x \\ y", w + 1);
  for (int j = 0; j <= ny; ++j) s += FormatNumber(grid.ymin + j * dy, 2 * w + 3, f.decimals) + "    ";
  s += kLineEnd;
  for (int i = 0; i <= nx; ++i) {
    const long double x = grid.xmin + i * dx;
    s += FormatNumber(x, w + 1, f.decimals);
    for (int j = 0; j <= ny; ++j) {
      SetMappingPoint(engine, mapping, {x, grid.ymin + j * dy});
      TComplex a;
      TComplex b;
      const bool okA = Value(engine, mapping.trees[0].get(), a);
      bool okB = okA;
      if (!complex) {
        okB = Value(engine, mapping.trees[1].get(), b);
      } else {
        b = TComplex(a.im, 0);
      }
      auto part = [&](bool ok, long double v) {
        return ok ? FormatNumber(v, w + 1, f.decimals) : PadLeft(f.undefined, w + 1);
      };
      s += PadLeft("(" + part(okA, a.re) + "," + part(okB, b.re) + ")", 2 * w + 7);
    }
    s += kLineEnd;
  }
  out = std::move(s);
  return true;
}

std::vector<TComplex> PartialSums(TFormulaEngine& engine, TExprNode* term, int letter, int first, int last) {
  std::vector<TComplex> sums;
  if (!term || last < first) return sums;
  sums.reserve(static_cast<std::size_t>(static_cast<long>(last) - first + 1));
  TComplex s(0, 0);
  for (long n = first; n <= last; ++n) {
    engine.SetVariable(letter, static_cast<long double>(n));
    TComplex t;
    if (!Value(engine, term, t)) break;
    s = TComplex(s.re + t.re, s.im + t.im);
    sums.push_back(s);
  }
  return sums;
}

}  // namespace kv
