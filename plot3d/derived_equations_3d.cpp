// Derived entries of the 3D window: the forward sweep that rebuilds every
// entry made from a changed one, and the intersection curve of two surfaces
// with its command and its drawing.
#include <algorithm>
#include <cmath>
#include <vector>

#include "entry/model/combinations.h"
#include "entry/model/derived_items.h"
#include "entry/model/point_lists.h"
#include "plot3d/model/intersection_curve.h"
#include "plot3d/model/level_curves.h"
#include "plot3d/model/slice_items.h"
#include "plot3d/lifted_curve_sink.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/surface_chooser_dialog.h"
#include "plot3d/variable_guard.h"
#include "shell/program_random.h"
#include "platform/testing.h"

namespace kv {

namespace {

// With the platform in testing mode nobody presses the stop key: a search
// without limit ends after this many rounds without a new piece.
constexpr long kTestIdleRounds = 200;
// Pixels across the longer side of a curve's plane box while it is traced
// for the picture of space.
constexpr long double kTracePixels = 400;

// The combinations this window makes anew from their sources: the four
// operators, the cross product and the two components of a field.  A
// power or a composition keeps the trees its own formulas give.
bool IsRebuiltCombination(int code) {
  switch (code) {
    case kComboProduct:
    case kComboSum:
    case kComboDifference:
    case kComboQuotient:
    case kComboCrossProduct:
    case kComboParallel:
    case kComboPerpendicular:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---- the forward sweep ----

void TPlotRWin::RebuildDerivedEquations(int i) {
  if (equationCount < 0) return;
  const int last = equationCount;
  std::vector<std::uint8_t> mark(static_cast<std::size_t>(last) + 1, 0);
  for (int j = 0; j <= last; ++j) mark[static_cast<std::size_t>(j)] = (i < 0 || j == i) ? 1 : 0;
  // A source must come before its derived entry; anything else (a file
  // that names a later or missing entry) is treated as unchanged.
  auto marked = [&](int source, int j) { return source >= 0 && source < j && mark[static_cast<std::size_t>(source)]; };
  for (int j = std::max(i, 0); j <= last; ++j) {
    TEquation& e = Equation(j);
    if (e.derivation <= 0) continue;
    if (!mark[static_cast<std::size_t>(j)] && !marked(e.source1, j) && !marked(e.source2, j)) continue;
    mark[static_cast<std::size_t>(j)] = 1;
    RebuildDerivedEquation(j);
  }
}

bool TPlotRWin::RebuildDerivedEquation(int j) {
  TEquation& e = Equation(j);
  const int code = e.derivation;
  if (code == kDerivedCoordinateCurve) return CloneSourceTrees(j);
  if (IsIntersectionCode(code)) {
    BuildIntersectionCurve(j);
    return true;
  }
  if (code == kDerivedSlicePlane || code == kDerivedSliceCross) {
    const bool ok = RebuildSliceItem(j);
    if (ok && code == kDerivedSlicePlane) UpdateItemExtent(j);
    return ok;
  }
  if (IsRebuiltCombination(code)) {
    // A combined surface is painted from its grid, which must follow the
    // new trees.
    const bool ok = RebuildCombinedEquation(j);
    if (ok && IsSurfaceKind(e, true)) UpdateItemExtent(j);
    return ok;
  }
  switch (code) {
    case kDerivedTangentLine:
      return RebuildLineItem(j);
    case kDerivedTrajectoryPoint:
      return RebuildTrajectoryPointItem(j);
    case kDerivedTrajectoryVector:
    case kDerivedTrajectoryLine:
      return RebuildTrajectoryVectorItem(j);
    case kDerivedPointSequence:
      return RefreshPointSequenceEquation(j);
    case kDerivedTracePoint:
      return RebuildTracePointItem(j);
    default:
      // Nothing to recompute; the entry still counts as changed for the
      // entries made from it.
      return false;
  }
}

// ---- intersection curves ----

void TPlotRWin::BuildIntersectionCurve(int i) {
  if (!IsValidIndex(i)) return;
  TEquation& curve = Equation(i);
  const int a = curve.source1;
  const int b = curve.source2;
  if (a < 0 || b < 0 || a >= i || b >= i) return;
  TVariableGuard guard(*this);
  kv::BuildIntersectionCurve(curve, Equation(a), Equation(b), Engine(), loading != 0);
  if (!loading) {
    // Pieces traced on the former curve are searched for anew.
    ClearEquationItems(curve);
    curve.webToAxis = 1;
  }
}

void TPlotRWin::CmIntersectionCurve() {
  TSurfacePair pair;
  {
    TSurfSelDlg dlg(this, "EQUA317", pair);
    if (dlg.Execute() != plat::IDOK) return;
  }
  int found = -1;
  for (int j = 0; j <= equationCount && found < 0; ++j) {
    const TEquation& e = Equation(j);
    if (e.kind != kKindIntersection || e.derivation != pair.code) continue;
    if ((e.source1 == pair.first && e.source2 == pair.second) || (e.source1 == pair.second && e.source2 == pair.first))
      found = j;
  }
  if (found < 0) {
    if (!CanAddEquation(true)) return;
    found = AppendEquation(kKindIntersection, 0, 1, "");
    if (found < 0) return;
    TEquation& e = Equation(found);
    e.source1 = static_cast<std::int16_t>(pair.first);
    e.source2 = static_cast<std::int16_t>(pair.second);
    e.derivation = pair.code;
    ++entryCounter;
    BuildIntersectionCurve(found);
    AddEquationLabel();
    Modified = 1;
    EquationsChanged(true);
    RedrawPlot();
  }
  OpenIntersectionDialog(found);
}

TTracerSettings TPlotRWin::CurveTracerSettings(int i) const {
  const TEquation& e = Equation(i);
  const TSegment2D box = IntersectionSearchBox(e);
  const long double w = std::max<long double>(box.xmax - box.xmin, 1e-9L);
  const long double h = std::max<long double>(box.ymax - box.ymin, 1e-9L);
  TTracerSettings s = TracerSettings();
  s.view = {box.xmin - 0.01L * w, box.xmax + 0.01L * w, box.ymin - 0.01L * h, box.ymax + 0.01L * h};
  s.pixelsPerUnitX = s.pixelsPerUnitY = kTracePixels / std::max(w, h);
  return s;
}

int TPlotRWin::DrawIntersectionCurve(plat::DC& dc, int i) {
  TEquation& e = Equation(i);
  if (!e.trees[3] || !IsIntersectionCode(e.derivation)) return 0;
  const TSegment2D box = IntersectionSearchBox(e);
  if (!(box.xmax > box.xmin) || !(box.ymax > box.ymin)) return 0;
  TVariableGuard guard(*this);
  const bool savedJumps = JumpDetection();
  SetJumpDetection(false);
  const TLevelPlane plane = IntersectionCurvePlane(e);
  TPlaneFunction f = LevelFunctionOf(Engine(), e, plane);
  const TTracerSettings settings = CurveTracerSettings(i);
  const plat::Pen oldPen = dc.SelectPen(CreateStylePen(e.PenSpec()));
  BeginCurveRecording(4000);
  TLiftedCurveSink sink(*this, dc, [&](const TPoint2D& q, TPoint3D& p) {
    return LiftIntersectionPoint(Equation(i), Engine(), q, p);
  });
  // The pieces found before, then (when asked) a search for new ones.
  for (const TEquationItem& item : e.items) {
    TraceImplicitCurveFrom(f, settings, plane.ToPlane(item.start), sink);
    if (sink.Stopped()) break;
  }
  if (e.webToAxis && !sink.Stopped()) {
    TProgramRandom random;
    TLevelSearch search;
    search.unlimited = e.kindFlag != 0;
    search.idleLimit = plat::testing::TestingMode() ? kTestIdleRounds : 0;
    const long double near = 2 / settings.pixelsPerUnitX;
    SearchLevelPieces(
        f, box, settings, random, search, [&](const TPoint2D& q) { return !sink.Near(q, near); },
        [&](const TPoint2D& start) {
          TraceImplicitCurveFrom(f, settings, start, sink);
          e.items.push_front(MakeLevelItem(plane, start, e.PenSpec()));
        },
        [&] { return sink.Stopped() || (search.unlimited && StopKeyPressed()); });
    e.webToAxis = 0;
  }
  EndCurveRecording(e.penColour, e.penWidth, e.penStyle);
  dc.SelectPen(oldPen);
  SetJumpDetection(savedJumps);
  ClearEvaluationError();
  return sink.Stopped() ? 'A' : 0;
}

}  // namespace kv

// ---- slice entries ----

namespace kv {

namespace {

// A parameter letter is kept as 64 + its number, "@" (64) for none.
std::int16_t StoredLetter(int letter) { return static_cast<std::int16_t>(64 + (letter >= 1 && letter <= 26 ? letter : 0)); }
int LetterOfStored(int stored) { return stored > 64 && stored <= 90 ? stored - 64 : 0; }
// The first letter decides: with it both values follow their letters,
// without it both are the numbers stored (a "Fest" slice keeps its second
// letter, which then binds nothing).
int SecondLetter(int first, int second) { return first > 0 ? second : 0; }

}  // namespace

bool TPlotRWin::RebuildSliceItem(int j) {
  if (!IsValidIndex(j)) return false;
  TEquation& e = Equation(j);
  const int source = e.source1;
  if (source < 0 || source >= j) return false;
  std::array<std::string, kFormulaSlots> texts;
  const int first = LetterOfStored(e.auxValue3);
  if (!BuildSliceTexts(Equation(source), e.derivation, e.subKind, e.values[4].x, e.values[4].y, first,
                       SecondLetter(first, LetterOfStored(e.auxValue4)), texts))
    return false;
  for (int k = 0; k < 4; ++k) e.formulaText[static_cast<std::size_t>(k)] = texts[static_cast<std::size_t>(k)];
  CompileEquation(j);
  return true;
}

int TPlotRWin::AddSliceItem(int i, long double p, long double q, int letterP, int letterQ) {
  if (!IsValidIndex(i) || equationCount + 1 > equationCapacity) return -1;
  const int bound = SecondLetter(letterP, letterQ);
  if (letterP > 0) p = Variable(letterP).re;
  if (bound > 0) q = Variable(bound).re;
  std::array<std::string, kFormulaSlots> texts;
  if (!BuildSliceTexts(Equation(i), kDerivedSlicePlane, 0, p, q, letterP, bound, texts)) return -1;
  const int j = AppendEquation(kKindPlane, -1, 1, texts[0], texts[1], texts[2], texts[3]);
  if (j < 0) return -1;
  TEquation& e = Equation(j);
  // The slices take the colour of the surface chosen in the dialog.
  e.penColour = static_cast<std::uint16_t>(drawingColour);
  e.formulaText[5] = "2.0";
  e.derivation = kDerivedSlicePlane;
  e.source1 = static_cast<std::int16_t>(i);
  e.values[4] = {p, q, 0};
  e.auxValue3 = StoredLetter(letterP);
  e.auxValue4 = StoredLetter(letterQ);
  CompileEquation(j);
  UpdateItemExtent(j);
  AddEquationLabel();
  Modified = 1;
  EquationsChanged(true);
  RedrawPlot();
  return j;
}

int TPlotRWin::AddSliceCrossItem(int i, long double p, long double q, int letterP, int letterQ) {
  if (!IsValidIndex(i) || equationCount + 2 > equationCapacity) return -1;
  const int bound = SecondLetter(letterP, letterQ);
  if (letterP > 0) p = Variable(letterP).re;
  if (bound > 0) q = Variable(bound).re;
  int first = -1;
  for (int direction : {1, 2}) {
    std::array<std::string, kFormulaSlots> texts;
    if (!BuildSliceTexts(Equation(i), kDerivedSliceCross, direction, p, q, letterP, bound, texts)) continue;
    const int j = AppendEquation(kKindSpaceCurve, -1, 1, texts[0], texts[1], texts[2]);
    if (j < 0) break;
    TEquation& e = Equation(j);
    e.penColour = static_cast<std::uint16_t>(drawingColour);
    e.derivation = kDerivedSliceCross;
    e.source1 = static_cast<std::int16_t>(i);
    e.subKind = static_cast<std::int16_t>(direction);
    e.values[4] = {p, q, 0};
    e.auxValue3 = StoredLetter(letterP);
    e.auxValue4 = StoredLetter(letterQ);
    CompileEquation(j);
    UpdateItemExtent(j);
    AddEquationLabel();
    if (first < 0) first = j;
  }
  if (first < 0) return -1;
  Modified = 1;
  EquationsChanged(true);
  RedrawPlot();
  return first;
}

}  // namespace kv
