// Evaluation speed of the formula engine in real mode, beside the same
// formulas as native long-double code and, when it is installed, muparser
// (double precision).  One iteration = set the running variable, evaluate.
//
//   kurvato_bench --benchmark_filter=Formula
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formula/formula_engine.h"
#include "formula/tokens.h"

#ifdef KURVATO_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

struct Vars {
  long double x = 0.5, y = 0.75, r = 0.8, t = 0.3, a = 1.5, b = 2, c = 0.25, n = 3;
};

struct Case {
  char running;               // the variable each iteration advances
  const char* name;
  const char* text;           // our formula
  const char* muparser;       // the same in muparser's syntax
  long double (*native)(const Vars&);
  long double (*nativeIm)(const Vars&);  // imaginary part, for complex-valued formulas
};

constexpr long double kPi = 3.141592653589793;

const Case kCases[] = {
    {'x', "xsin(x)", "xsin(x)", "x*sin(x)", [](const Vars& v) { return v.x * std::sin(v.x); }, nullptr},
    {'x', "x^2+y^2", "x^2+y^2", "x^2+y^2", [](const Vars& v) { return v.x * v.x + v.y * v.y; }, nullptr},
    {'x', "sin(xx+yy)/(xx+yy)", "sin(xx+yy)/(xx+yy)", "sin(x*x+y*y)/(x*x+y*y)",
     [](const Vars& v) { const long double s = v.x * v.x + v.y * v.y; return std::sin(s) / s; }, nullptr},
    {'x', "(x-1)(x-2)(x+1)", "(x-1)(x-2)(x+1)", "(x-1)*(x-2)*(x+1)",
     [](const Vars& v) { return (v.x - 1) * (v.x - 2) * (v.x + 1); }, nullptr},
    {'t', "rrrcos(3t)/(1+rrrr)", "rrrcos(3t)/(1+rrrr)", "r*r*r*cos(3*t)/(1+r*r*r*r)",
     [](const Vars& v) { return v.r * v.r * v.r * std::cos(3 * v.t) / (1 + v.r * v.r * v.r * v.r); }, nullptr},
    {'x', "sqrt(x^2+y^2)", "sqrt(x^2+y^2)", "sqrt(x^2+y^2)",
     [](const Vars& v) { return std::sqrt(v.x * v.x + v.y * v.y); }, nullptr},
    {'x', "a*sin(bx)+c", "a*sin(bx) + c", "a*sin(b*x) + c",
     [](const Vars& v) { return v.a * std::sin(v.b * v.x) + v.c; }, nullptr},
    {'x', "abs(x-1)", "abs(x-1)", "abs(x-1)", [](const Vars& v) { return std::fabs(v.x - 1); }, nullptr},
    {'x', "tan(x)", "tan(x)", "tan(x)", [](const Vars& v) { return std::tan(v.x); }, nullptr},
    {'x', "pow(3,x)", "pow(3,x)", "x^3", [](const Vars& v) { return v.x * v.x * v.x; }, nullptr},
    {'x', "root(3,x)", "root(3,x)", "x^(1/3)", [](const Vars& v) { return std::cbrt(v.x); }, nullptr},
    {'n', "cis(2pi*n/17)", "cis(2pi*n/17)", "cos(2*_pi*n/17), sin(2*_pi*n/17)",
     [](const Vars& v) { return std::cos(2 * kPi * v.n / 17); },
     [](const Vars& v) { return std::sin(2 * kPi * v.n / 17); }},
};

// The running variable sweeps (0.1, 2) so that nothing can be cached.
// (The sum term cis(2pi*n/17) runs in n.)
inline void Step(long double& x) {
  x += 0.000123L;
  if (x > 2) x = 0.1L;
}

void Kurvato(benchmark::State& state, const Case& c, bool treeWalk) {
  kv::TFormulaEngine engine;
  Vars v;
  engine.SetVariable('y', v.y);
  engine.SetVariable('r', v.r);
  engine.SetVariable('a', v.a);
  engine.SetVariable('b', v.b);
  engine.SetVariable('c', v.c);
  engine.SetVariable('n', v.n);
  kv::TreePtr tree;
  if (engine.Compile(c.text, tree) != kv::kFormulaOk) {
    state.SkipWithError("does not compile");
    return;
  }
  const int letter = c.running;
  long double x = v.x;
  for (auto _ : state) {
    Step(x);
    engine.SetVariable(letter, x);
    if (treeWalk) engine.EvaluateByTreeWalk(tree.get());
    else engine.Evaluate(tree.get());
    benchmark::DoNotOptimize(tree->value);
  }
}

// The same formula over blocks of 256 values of the running variable, as
// the samplers evaluate regular points; reported per point.  The values
// (64 blocks of the same sweep) are made beforehand: a sampler has its
// parameters at hand.
void KurvatoBlock(benchmark::State& state, const Case& c) {
  kv::TFormulaEngine engine;
  Vars v;
  engine.SetVariable('y', v.y);
  engine.SetVariable('r', v.r);
  engine.SetVariable('a', v.a);
  engine.SetVariable('b', v.b);
  engine.SetVariable('c', v.c);
  engine.SetVariable('n', v.n);
  kv::TreePtr tree;
  if (engine.Compile(c.text, tree) != kv::kFormulaOk) {
    state.SkipWithError("does not compile");
    return;
  }
  constexpr int kN = 256;
  constexpr int kBlocks = 64;
  std::vector<long double> xs(kN * kBlocks), re(kN), im(kN);
  std::vector<std::uint8_t> status(kN);
  long double x = v.x;
  for (long double& value : xs) {
    Step(x);
    value = x;
  }
  int block = 0;
  for (auto _ : state) {
    const long double* values = xs.data() + kN * block;
    block = (block + 1) % kBlocks;
    engine.EvaluateBlock(tree.get(), c.running, values, kN, re.data(), c.nativeIm ? im.data() : nullptr,
                         status.data());
    benchmark::DoNotOptimize(re.data());
    benchmark::ClobberMemory();
  }
  state.counters["per_point"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kN, benchmark::Counter::kIsRate |
                                                                          benchmark::Counter::kInvert);
}

void Native(benchmark::State& state, const Case& c) {
  Vars v;
  for (auto _ : state) {
    Step(c.running == 't' ? v.t : c.running == 'n' ? v.n : v.x);
    benchmark::DoNotOptimize(v);
    long double re = c.native(v);
    benchmark::DoNotOptimize(re);
    if (c.nativeIm) {
      long double im = c.nativeIm(v);
      benchmark::DoNotOptimize(im);
    }
  }
}

#ifdef KURVATO_HAVE_MUPARSER
void MuParser(benchmark::State& state, const Case& c) {
  double x = 0.5, y = 0.75, r = 0.8, t = 0.3, a = 1.5, b = 2, cc = 0.25, n = 3;
  mu::Parser p;
  try {
    p.DefineVar("x", &x);
    p.DefineVar("y", &y);
    p.DefineVar("r", &r);
    p.DefineVar("t", &t);
    p.DefineVar("a", &a);
    p.DefineVar("b", &b);
    p.DefineVar("c", &cc);
    p.DefineVar("n", &n);
    p.SetExpr(c.muparser);
    p.Eval();
  } catch (const mu::Parser::exception_type& e) {
    state.SkipWithError(e.GetMsg().c_str());
    return;
  }
  double* running = c.running == 't' ? &t : c.running == 'n' ? &n : &x;
  for (auto _ : state) {
    *running += 0.000123;
    if (*running > 2) *running = 0.1;
    int count = 0;
    double* values = p.Eval(count);
    benchmark::DoNotOptimize(values[0]);
  }
}
#endif

// Complex mode, as the mapping window evaluates F(z) over its grid: z moves
// along a line of the plane.
struct ComplexCase {
  const char* text;
  std::complex<long double> (*native)(std::complex<long double>);
};

const ComplexCase kComplexCases[] = {
    {"zz", [](std::complex<long double> z) { return z * z; }},
    {"(0.9+0.1i)z", [](std::complex<long double> z) { return std::complex<long double>(0.9L, 0.1L) * z; }},
    {"sqrt(z)+1/z", [](std::complex<long double> z) { return std::sqrt(z) + 1.0L / z; }},
};

void KurvatoComplex(benchmark::State& state, const ComplexCase& c) {
  kv::TFormulaEngine engine;
  engine.SetComplexMode(true);
  kv::TreePtr tree;
  if (engine.Compile(c.text, tree) != kv::kFormulaOk) {
    state.SkipWithError("does not compile");
    return;
  }
  long double x = 0.5;
  for (auto _ : state) {
    Step(x);
    engine.SetPoint(x, 0.75L);  // X, Y and Z = x + iy
    engine.Evaluate(tree.get());
    benchmark::DoNotOptimize(tree->value);
  }
}

void NativeComplex(benchmark::State& state, const ComplexCase& c) {
  long double x = 0.5;
  for (auto _ : state) {
    Step(x);
    benchmark::DoNotOptimize(x);
    std::complex<long double> v = c.native(std::complex<long double>(x, 0.75L));
    benchmark::DoNotOptimize(v);
  }
}

int RegisterAll() {
  for (const ComplexCase& c : kComplexCases) {
    const std::string name = std::string("Formula/complex/") + c.text;
    benchmark::RegisterBenchmark((name + "/kurvato").c_str(), [&c](benchmark::State& s) { KurvatoComplex(s, c); });
    benchmark::RegisterBenchmark((name + "/native").c_str(), [&c](benchmark::State& s) { NativeComplex(s, c); });
  }
  for (const Case& c : kCases) {
    const std::string name = std::string("Formula/") + c.name;
    benchmark::RegisterBenchmark((name + "/kurvato").c_str(), [&c](benchmark::State& s) { Kurvato(s, c, false); });
    benchmark::RegisterBenchmark((name + "/kurvato_block").c_str(), [&c](benchmark::State& s) { KurvatoBlock(s, c); });
    benchmark::RegisterBenchmark((name + "/kurvato_tree_walk").c_str(),
                                 [&c](benchmark::State& s) { Kurvato(s, c, true); });
    benchmark::RegisterBenchmark((name + "/native").c_str(), [&c](benchmark::State& s) { Native(s, c); });
#ifdef KURVATO_HAVE_MUPARSER
    benchmark::RegisterBenchmark((name + "/muparser").c_str(), [&c](benchmark::State& s) { MuParser(s, c); });
#endif
  }
  return 0;
}

const int registered = RegisterAll();

}  // namespace
