// The 2D window's derived curves: reflections, rotations and translations
// of inventory entries, roulettes, evolutes and derivative graphs.  The
// mathematics is in plot2d/model/; here the entries are appended, labelled,
// drawn and rebuilt when their sources change.
#include "plot2d/model/curve_maps.h"
#include "plot2d/model/roulettes.h"
#include "plot2d/plot_a_win.h"
#include "plotcore/model/compile_equation.h"

namespace kv {

namespace {

constexpr int kNoRoomMessage = 4;
constexpr int kLetterBindingMessage = 101;

}  // namespace

// ---- reflection, rotation, translation ----

int TPlotAWin::TransformCurve(const std::vector<int>& sources, int signedCode,
                              const std::array<std::string, 3>& texts) {
  const int code = signedCode < 0 ? -signedCode : signedCode;
  const int before = equationCount;
  int result = 0;
  // The texts become formula texts of the new entries: refuse what would
  // not fit one.
  for (const std::string& t : texts)
    if (t.size() >= kFormulaTextSize) result = kFormulaTooBig;
  for (std::size_t k = 0; k < sources.size() && result == 0; ++k) {
    const int s = sources[k];
    if (code == kMapTranslation) {
      result = AddTranslated(s, texts);
    } else {
      const bool last = k + 1 == sources.size();
      result = AddReflectedOrRotated(s, code, texts, last && signedCode < 0 && IsReflectionCode(code));
    }
  }
  if (equationCount > before) {
    EquationsChanged(true);
    MarkUsedVariables();
    InvalidatePlot();
  }
  if (result > 0) ShowMessageById(result);
  return result;
}

int TPlotAWin::AddReflectedOrRotated(int source, int code, const std::array<std::string, 3>& texts, bool addLine) {
  if (!IsValidIndex(source)) return 1;
  if (!CanAddEquation(false)) return kNoRoomMessage;
  // A curve holding a letter binding is reflected only in the x-axis and
  // not rotated; a translation takes it like any other curve.
  if (code != kMapXAxis && code != kMapTranslation && HasLetterBinding(source)) return kLetterBindingMessage;
  const int n = ++equationCount;
  TEquation& e = Equation(n);
  const TEquation& s = Equation(source);
  ReinitAndCopyEquation(e, s, false);
  if (s.kind == kKindExplicit) ResetEquationOptions(e);
  // An image of a Lagrange polynomial is a plain curve.
  e.interpolated = 0;
  e.kind = static_cast<std::uint16_t>(MappedKind(code, s.kind));
  e.stepDensity = s.kind == kKindExplicit && e.kind == kKindParametric ? s.stepDensity : e.stepDensity;
  e.derivation = static_cast<std::int16_t>(code);
  e.source1 = static_cast<std::int16_t>(source);
  e.source2 = -1;
  for (std::size_t k = 0; k < 3; ++k) e.formulaText[k] = texts[k];
  if (code == kMapPoint) e.formulaText[0] = "pi";
  FreeResultPoints(e);
  ClearEquationItems(e);
  if (e.kind == kKindParametric && s.kind == kKindExplicit) {
    // The parameter runs over the graph's x range.
    e.lowerBound.x = s.lowerBound.x;
    e.upperBound.x = s.upperBound.x;
  }
  if (!RebuildMappedEquation(n)) {
    DropLastEquation();
    return 1;
  }
  AddEquationLabel();
  EquationName(n).clear();
  EquationFlag(n) = 0;
  if (s.kind == kKindImplicit) e.polarInput = 1;
  if (!addLine || !CanAddEquation(false)) return 0;
  std::array<std::string, 3> line;
  switch (code) {
    case kMapXAxis: line = {"0", "1", "0"}; break;
    case kMapYAxis: line = {"1", "0", "0"}; break;
    case kMapDiagonal: line = {"1", "-1", "0"}; break;
    default: line = texts; break;
  }
  const int m = AppendEquation(kKindLine, 0, 1, line[0], line[1], line[2]);
  if (m < 0) return 0;
  TEquation& l = Equation(m);
  l.penColour = 0;
  l.penWidth = 1;
  l.penStyle = 1;
  l.derivation = kMapMirrorLine;
  l.source1 = static_cast<std::int16_t>(n);
  CompileEquation(m);
  AddEquationLabel();
  return 0;
}

int TPlotAWin::AddTranslated(int source, const std::array<std::string, 3>& texts) {
  if (!IsValidIndex(source)) return 1;
  if (!CanAddEquation(false)) return kNoRoomMessage;
  for (std::size_t k = 0; k < 2; ++k) {
    TreePtr t;
    if (const int c = Engine().Compile(texts[k], t); c != kFormulaOk) return c;
    if (TreeUsesLetter(t.get(), 'X') || TreeUsesLetter(t.get(), 'Y')) return kFormulaRecursive;
  }
  return AddReflectedOrRotated(source, kMapTranslation, texts, false);
}

bool TPlotAWin::RebuildMappedEquation(int i) {
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1) || e.source1 >= i) return false;
  const TEquation& s = Equation(e.source1);
  if (!CurveMapAcceptsKind(e.derivation, s.kind) || MappedKind(e.derivation, s.kind) != e.kind) return false;
  return BuildMappedTrees(e, s, Engine()) == kFormulaOk;
}

// ---- roulettes, evolutes, derivative graphs ----

namespace {

// A roulette or evolute just appended: labelled, listed and drawn when its
// trees were built, taken away again (message 1) when not.
int FinishCurveEntry(TPlotAWin& w, int n, bool built) {
  if (!built) {
    w.DropLastEquation();
    return 1;
  }
  w.AddEquationLabel();
  w.EquationsChanged(true);
  w.DrawEquationBuffered(n);
  return 0;
}

}  // namespace

int TPlotAWin::AddRoulette(int source, bool leftSide, long double min, long double start, long double max,
                           long double radius, long double arm) {
  if (!IsValidIndex(source)) return 1;
  if (!CanAddEquation(false)) return kNoRoomMessage;
  const int n = AppendEquation(kKindRoulette, min, max, {});
  TEquation& e = Equation(n);
  // A tool's graph takes the colour of the curve chosen in its dialog.
  e.penColour = static_cast<std::uint16_t>(drawingColour);
  e.derivation = kDerivedRoulette;
  e.source1 = static_cast<std::int16_t>(source);
  e.subKind = static_cast<std::int16_t>(Equation(source).kind);
  SetRouletteGeometry(e, start, radius, arm, leftSide);
  return FinishCurveEntry(*this, n, RebuildRoulette(n));
}

bool TPlotAWin::RebuildRoulette(int i) {
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1) || e.source1 >= i) return false;
  return BuildRouletteTrees(e, Equation(e.source1));
}

int TPlotAWin::AddEvolute(int source) {
  if (!IsValidIndex(source)) return 1;
  if (!CanAddEquation(false)) return kNoRoomMessage;
  const TEquation& s = Equation(source);
  const int n = AppendEquation(kKindParametric, s.lowerBound.x, s.upperBound.x, {});
  TEquation& e = Equation(n);
  e.penColour = static_cast<std::uint16_t>(drawingColour);
  e.derivation = kDerivedEvolute;
  e.source1 = static_cast<std::int16_t>(source);
  e.subKind = static_cast<std::int16_t>(Equation(source).kind);
  return FinishCurveEntry(*this, n, RebuildEvolute(n));
}

bool TPlotAWin::RebuildEvolute(int i) {
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1) || e.source1 >= i) return false;
  return BuildEvoluteTrees(e, Equation(e.source1));
}

void TPlotAWin::AddDerivedGraph(int i) {
  if (!IsValidIndex(i) || !IsRouletteSourceKind(Equation(i).kind) || !CanAddEquation(true)) return;
  const int n = ++equationCount;
  TEquation& e = Equation(n);
  const TEquation& s = Equation(i);
  ReinitAndCopyEquation(e, s, false);
  ResetEquationOptions(e);
  e.interpolated = 0;
  e.penColour = s.penColour;
  e.derivation = kDerivedDerivativeGraph;
  e.source1 = static_cast<std::int16_t>(i);
  e.source2 = -1;
  // The derivative's order: one above the source's.
  e.auxValue1 = static_cast<std::int16_t>(s.derivation == kDerivedDerivativeGraph ? s.auxValue1 + 1 : 1);
  FreeResultPoints(e);
  ClearEquationItems(e);
  if (!RebuildDerivativeGraph(n)) {
    DropLastEquation();
    return;
  }
  EquationName(n).clear();
  EquationFlag(n) = 0;
  EquationsChanged(true);
  AddEquationLabel();
  DrawEquationBuffered(n);
}

bool TPlotAWin::RebuildDerivativeGraph(int i) {
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1) || e.source1 >= i) return false;
  return BuildDerivativeGraphTrees(e, Equation(e.source1));
}

}  // namespace kv
