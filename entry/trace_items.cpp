// The entries the trace tools add: the Taylor polynomial or tangent line at
// a traced position, the point of a graph, and the point, velocity vector
// or tangent line of a trajectory.  The builders are the computing unit
// entry/model/derived_items.h; here they are appended, labelled and drawn.
#include <algorithm>
#include <cmath>

#include "entry/model/derived_items.h"
#include "entry/plot11_win.h"

namespace kv {

namespace {

bool IsCombinationCode(int code) {
  return code == '*' || code == '+' || code == '-' || code == '/' || code == '^' || code == 177;
}

}  // namespace

// ---- appending ----

namespace {

// A fresh last entry: a copy of the source (or a new record of the kind)
// with the derivation, no name, no group mark, the default marker size and
// density.  -1 without room.
int AppendDerived(TPlot11Win& w, int source, int kind, int code, bool copySource) {
  if (!w.CanAddEquation(true)) return -1;
  const int n = ++w.equationCount;
  TEquation& e = w.Equation(n);
  if (copySource) {
    ReinitAndCopyEquation(e, w.Equation(source), false);
    e.kind = static_cast<std::uint16_t>(kind);
  } else {
    InitEquation(e, kind, w.Equation(source).penColour, 50);
  }
  e.derivation = static_cast<std::int16_t>(code);
  e.source1 = static_cast<std::int16_t>(source);
  e.source2 = -1;
  e.penWidth = w.MarkerSizeCode;
  e.density = 50;
  e.familyOn = 0;
  e.interpolated = 0;
  // Results and items belong to the source.
  FreeResultPoints(e);
  ClearEquationItems(e);
  w.EquationName(n).clear();
  w.EquationFlag(n) = 0;
  return n;
}

}  // namespace

// Labels, marks and draws a built entry, or takes a failed one away again.
static int FinishDerived(TPlot11Win& w, int n, bool built, int failureMessage) {
  if (!built) {
    w.DropLastEquation();
    if (failureMessage) w.ShowMessageById(failureMessage);
    return -1;
  }
  w.AddEquationLabel();
  w.MarkEquationTokens(n);
  if (w.dimension == 3 && w.Equation(n).kind == kKindSpaceCurve) w.PrepareSpaceCurve(n);
  w.DrawEquationBuffered(n);
  w.EquationsChanged(true);
  w.SetForeground();
  return n;
}

int TPlot11Win::AddTaylorItem(int i, int degree, const std::string& centre) {
  if (!IsValidIndex(i)) return -1;
  const TEquation& s = Equation(i);
  if (s.derivation != 0 && !IsCombinationCode(s.derivation)) {
    ShowMessageById(106);  // "nicht zu approximieren"
    return -1;
  }
  if (s.kind != kKindExplicit) return AddLineItem(i, centre);
  const int n = AppendDerived(*this, i, kKindExplicit, kDerivedTaylor, true);
  if (n < 0) return -1;
  TEquation& e = Equation(n);
  e.auxValue1 = static_cast<std::int16_t>(std::clamp(degree, 0, 9));
  e.formulaText[kDerivedParameterText] = centre;
  return FinishDerived(*this, n, RebuildTaylorItem(n), 1);  // "unverständlich"
}

int TPlot11Win::AddLineItem(int i, const std::string& parameter) {
  if (!IsValidIndex(i)) return -1;
  const int kind = 101 * dimension + 1;
  const int n = AppendDerived(*this, i, kind, kDerivedTangentLine, true);
  if (n < 0) return -1;
  TEquation& e = Equation(n);
  const long double reach = 13 - 4 * dimension;
  e.lowerBound.x = -reach;
  e.upperBound.x = reach;
  e.arrowMode = 0;  // the line's parameter is T
  e.polarInput = 0;
  e.formulaText[kDerivedParameterText] = parameter;
  return FinishDerived(*this, n, RebuildLineItem(n), 1);
}

int TPlot11Win::AddTracePointItem(int i, const std::string& parameter) {
  if (!IsValidIndex(i)) return -1;
  const int n = AppendDerived(*this, i, 100 * dimension + 9, kDerivedTracePoint, true);
  if (n < 0) return -1;
  TEquation& e = Equation(n);
  e.polarInput = 0;
  e.subKind = 0;
  e.arrowMode = 0;
  e.formulaText[kTracePointParameterText] = parameter;
  // The first formula text of a graph's point is its x, the parameter.
  if (Equation(i).kind == kKindExplicit) e.formulaText[0] = parameter;
  return FinishDerived(*this, n, RebuildTracePointItem(n), 1);
}

int TPlot11Win::AddTrajectoryPointItem(int i, const TEquationItem& item, long double target) {
  if (!IsValidIndex(i)) return -1;
  const int n = AppendDerived(*this, i, 100 * dimension + 9, kDerivedTrajectoryPoint, false);
  if (n < 0) return -1;
  StoreTrajectoryStart(Equation(n), item, target, DefaultTrajectoryStep());
  return FinishDerived(*this, n, RebuildTrajectoryPointItem(n), 0);
}

int TPlot11Win::AddTrajectoryVectorItem(int i, const TEquationItem& item, long double target, int code,
                                        long double length, long double speed) {
  if (!IsValidIndex(i) || (code != kDerivedTrajectoryVector && code != kDerivedTrajectoryLine)) return -1;
  const int n = AppendDerived(*this, i, 101 * dimension + 1, code, false);
  if (n < 0) return -1;
  TEquation& e = Equation(n);
  StoreTrajectoryStart(e, item, target, DefaultTrajectoryStep());
  // The line's length follows the diagonal of the window's box.
  const TPoint3D d{View3D.BoxMax.x - View3D.BoxMin.x, View3D.BoxMax.y - View3D.BoxMin.y,
                   View3D.BoxMax.z - View3D.BoxMin.z};
  long double lo = 0;
  long double hi = 1;
  TrajectoryVectorRange(code, length, speed, std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), lo, hi);
  e.lowerBound.x = lo;
  e.upperBound.x = hi;
  if (code == kDerivedTrajectoryVector) {
    e.polarInput = 1;  // the arrow head at the vector's end
    e.arrowSize = 0;
    e.arrowParameter() = hi;
  }
  return FinishDerived(*this, n, RebuildTrajectoryVectorItem(n), 0);
}

// ---- rebuilding ----

bool TPlot11Win::RebuildTaylorItem(int i) {
  if (!IsValidIndex(i) || !IsValidIndex(Equation(i).source1)) return false;
  return BuildTaylorTrees(Equation(i), Equation(Equation(i).source1), Engine());
}

bool TPlot11Win::RebuildLineItem(int i) {
  if (!IsValidIndex(i) || !IsValidIndex(Equation(i).source1)) return false;
  return BuildTangentLineTrees(Equation(i), Equation(Equation(i).source1), Engine(), dimension == 3);
}

bool TPlot11Win::RebuildTracePointItem(int i) {
  if (!IsValidIndex(i) || !IsValidIndex(Equation(i).source1)) return false;
  return BuildTracePointTrees(Equation(i), Equation(Equation(i).source1), Engine(), dimension == 3);
}

bool TPlot11Win::RebuildTrajectoryPointItem(int i) {
  if (!IsValidIndex(i) || !IsValidIndex(Equation(i).source1)) return false;
  // On logarithmic axes the point is reached from the exponents its
  // trajectory keeps, and it is kept in values like every point entry.
  return BuildTrajectoryPointTrees(Equation(i), Equation(Equation(i).source1), Engine(), dimension == 3,
                                   TrajectoryLogAxes());
}

bool TPlot11Win::RebuildTrajectoryVectorItem(int i) {
  if (!IsValidIndex(i) || !IsValidIndex(Equation(i).source1)) return false;
  return BuildTrajectoryVectorTrees(Equation(i), Equation(Equation(i).source1), Engine(), dimension == 3,
                                    TrajectoryLogAxes());
}

void TPlot11Win::FillComboWithLetters(plat::Dialog& d, int id, std::string_view letters) {
  d.ListClear(id);
  for (char c : letters) d.ListAdd(id, std::string(1, c));
  if (!letters.empty()) d.ListSetSel(id, 0);
}

}  // namespace kv
