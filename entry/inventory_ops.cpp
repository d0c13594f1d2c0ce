// The inventory operations of the equation-entry layer.  Invariant kept by
// all of them: a derived entry comes after the entries it is derived from,
// and source indexes, captions, shadings and the labels bound to entries
// follow every move.
#include <algorithm>
#include <cstdio>

#include "entry/equation_dialog.h"
#include "entry/plot1_win.h"
#include "entry/model/point_lists.h"
#include "formula/tree_builders.h"
#include "plotcore/model/describe_equation.h"
#include "plotcore/model/revolution_surface.h"
#include "platform/app.h"

namespace kv {

namespace {

std::string Clip(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kFormulaTextSize - 1)));
}

}  // namespace

std::string TPlot1Win::EquationTemplate(const TEquation& e) {
  if (IsLagrangePolynomial(e)) return "EQUA213";
  if (e.kind == kKindPoint) return "EQUA309";
  return "EQUA" + std::to_string(e.kind);
}

// ---- appending ----

int TPlot1Win::AppendEquation(int kind, long double lower, long double upper, std::string_view text1,
                              std::string_view text2, std::string_view text3, std::string_view text4,
                              std::string_view text5) {
  // Appending beyond the capacity would write past the records.
  if (!CanAddEquation(false)) return -1;
  const int i = ++equationCount;
  TEquation& e = Equation(i);
  InitEquation(e, kind, GetSavedValue(entryCounter), defaultDensity);
  const std::string_view texts[5] = {text1, text2, text3, text4, text5};
  for (std::size_t k = 0; k < 5; ++k)
    if (!texts[k].empty()) e.formulaText[k] = Clip(texts[k]);
  e.lowerBound.x = lower;
  e.rangeMin = lower;
  e.upperBound.x = upper;
  e.rangeMax = upper;
  EquationName(i).clear();
  EquationFlag(i) = 0;
  e.penWidth = defaultPenWidth;
  InitEquationBuffers(e);
  return i;
}

void TPlot1Win::DropLastEquation() {
  if (equationCount < 0) return;
  FreeEquation(Equation(equationCount));
  Equation(equationCount) = TEquation{};
  EquationName(equationCount).clear();
  EquationFlag(equationCount) = 0;
  ForgetEquationSerial(equationCount);
  --equationCount;
  if (currentEquation > equationCount) currentEquation = static_cast<std::int16_t>(equationCount);
}

// ---- swapping ----

bool TPlot1Win::SwapEquations(int i, int j) {
  if (!IsValidIndex(i) || !IsValidIndex(j)) return false;
  if (i == j) return true;
  const int lo = std::min(i, j);
  const int hi = std::max(i, j);
  auto inGap = [lo, hi](int s) { return s >= lo && s < hi; };
  const TEquation& top = Equation(hi);
  if (top.derivation >= 0 &&
      (inGap(top.source1) || (SecondSourceIsIndex(top) && inGap(top.source2))))
    return false;
  // An entry between the two that is derived from the lower one would come
  // before its source afterwards.
  for (int m = lo + 1; m < hi; ++m) {
    const TEquation& e = Equation(m);
    if (e.derivation > 0 && (e.source1 == lo || (SecondSourceIsIndex(e) && e.source2 == lo))) return false;
  }
  std::swap(Equation(lo), Equation(hi));
  std::swap(EquationName(lo), EquationName(hi));
  std::swap(EquationFlag(lo), EquationFlag(hi));
  ExchangeEquationSerials(lo, hi);
  auto swapped = [lo, hi](std::int16_t& s) {
    if (s == lo) {
      s = static_cast<std::int16_t>(hi);
    } else if (s == hi) {
      s = static_cast<std::int16_t>(lo);
    }
  };
  for (int m = lo + 1; m <= equationCount; ++m) {
    TEquation& e = Equation(m);
    if (e.derivation < 0) continue;
    swapped(e.source1);
    if (SecondSourceIsIndex(e)) swapped(e.source2);
  }
  for (TShadeRecord& s : shadings) {
    swapped(s.graphA);
    if (s.graphB >= 0) swapped(s.graphB);
  }
  for (std::vector<TTextLabel>* labels : {&TextLabels, &TermLabels})
    for (TTextLabel& l : *labels) swapped(l.binding);
  // The captions keep their places; their contents change places.
  TEquationLabel* a = nullptr;
  TEquationLabel* b = nullptr;
  for (TEquationLabel& l : equationLabels) {
    if (l.index == lo) a = &l;
    if (l.index == hi) b = &l;
  }
  if (a && b) {
    std::swap(a->text, b->text);
    std::swap(a->colour, b->colour);
    std::swap(a->visible, b->visible);
  } else if (a) {
    a->index = static_cast<std::int16_t>(hi);
  } else if (b) {
    b->index = static_cast<std::int16_t>(lo);
  }
  BufferValid[0] = 0;
  return true;
}

// ---- deleting ----

void TPlot1Win::DeleteEquations(const std::vector<int>& list) {
  const int count = equationCount + 1;
  if (count <= 0) return;
  std::vector<bool> gone(static_cast<std::size_t>(count), false);
  for (int i : list)
    if (IsValidIndex(i)) gone[static_cast<std::size_t>(i)] = true;
  // Sources come first, so one pass also takes entries derived from
  // derived entries.
  for (int i = 0; i < count; ++i) {
    const TEquation& e = Equation(i);
    if (gone[static_cast<std::size_t>(i)] || e.derivation == 0) continue;
    const bool first = e.source1 >= 0 && e.source1 < count && gone[static_cast<std::size_t>(e.source1)];
    const bool second = SecondSourceIsIndex(e) && e.source2 >= 0 && e.source2 < count &&
                        gone[static_cast<std::size_t>(e.source2)];
    if (first || second) gone[static_cast<std::size_t>(i)] = true;
  }
  const bool currentGone = currentEquation >= 0 && currentEquation < count &&
                           gone[static_cast<std::size_t>(currentEquation)];
  // The end points of segments keep which end they are through the moves.
  std::vector<std::pair<int, std::int16_t>> ends;
  int kept = 0;
  std::vector<int> newIndex(static_cast<std::size_t>(count), -1);
  for (int i = 0; i < count; ++i) {
    if (gone[static_cast<std::size_t>(i)]) continue;
    newIndex[static_cast<std::size_t>(i)] = kept++;
    if (!SecondSourceIsIndex(Equation(i))) ends.emplace_back(i, Equation(i).source2);
  }
  // A label bound to a deleted entry stays where it stands, bound to the
  // figure; the others follow their entries to their new places.
  for (std::vector<TTextLabel>* labels : {&TextLabels, &TermLabels}) {
    for (TTextLabel& l : *labels) {
      if (l.binding < 0 || l.binding >= count) continue;
      const auto b = static_cast<std::size_t>(l.binding);
      if (gone[b]) {
        TextToAbsolute(l);
        l.binding = kBindFigure;
      } else {
        l.binding = static_cast<std::int16_t>(newIndex[b]);
      }
    }
  }
  for (int i = count - 1; i >= 0; --i)
    if (gone[static_cast<std::size_t>(i)]) DeleteEquation(i);
  for (const auto& [old, end] : ends) Equation(newIndex[static_cast<std::size_t>(old)]).source2 = end;
  if (currentGone) {
    currentEquation = -1;
    SelectEquation(-1);
  }
  BufferValid[0] = 0;
}

// ---- derived copies ----

bool TPlot1Win::RebuildCopyItem(int i) {
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1)) return false;
  const TEquation& s = Equation(e.source1);
  const int letter = e.auxValue1;
  const TComplex value(e.values[9].x, 0);
  for (std::size_t k = 0; k < e.trees.size(); ++k) {
    TreePtr t(CloneTree(s.trees[k].get()));
    if (t && letter >= 0 && letter < tok::kParameterCount) SubstituteNumber(t.get(), letter, value);
    e.trees[k] = std::move(t);
  }
  return true;
}

void TPlot1Win::AddCopyItem(int i) {
  if (!IsValidIndex(i) || !CanAddEquation(true)) return;
  const int n = ++equationCount;
  TEquation& e = Equation(n);
  ReinitAndCopyEquation(e, Equation(i), true);
  EquationName(n) = EquationName(i);
  EquationFlag(n) = 0;
  e.auxValue1 = selectedParameter;
  e.values[9].x = selectedParameter >= 0 ? Variable(selectedParameter).re : 0;
  e.derivation = kDerivedFrozenCopy;
  e.source1 = static_cast<std::int16_t>(i);
  e.source2 = -1;
  RebuildCopyItem(n);
  AddEquationLabel();
  EquationsChanged(true);
}

bool TPlot1Win::RebuildAbsoluteValueItem(int i) {
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1)) return false;
  const TExprNode* f = Equation(e.source1).trees[1].get();
  if (!f) return false;
  e.trees[1].reset(BuildFunction(tok::Abs, f));
  BuildDerivativeTrees(i);
  BuildCurvatureTrees(i);
  return e.trees[1] != nullptr;
}

void TPlot1Win::AddAbsoluteValueItem(int i) {
  if (!IsValidIndex(i) || !CanAddEquation(true)) return;
  const int n = ++equationCount;
  TEquation& e = Equation(n);
  ReinitAndCopyEquation(e, Equation(i), false);
  e.derivation = kDerivedAbsoluteValue;
  e.source1 = static_cast<std::int16_t>(i);
  e.source2 = -1;
  e.familyOn = 0;
  e.interpolated = 0;
  EquationName(n).clear();
  EquationFlag(n) = 0;
  if (!RebuildAbsoluteValueItem(n)) {
    DropLastEquation();
    return;
  }
  AddEquationLabel();
  DrawEquationBuffered(n);
  EquationsChanged(true);
  SetForeground();
}

bool TPlot1Win::CloneSourceTrees(int i) {
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1)) return false;
  const TEquation& s = Equation(e.source1);
  for (int k = 0; k < dimension && k < 3; ++k) {
    const TExprNode* t = s.trees[static_cast<std::size_t>(4 + k)].get();
    if (!t) return false;
    e.trees[static_cast<std::size_t>(k)].reset(CloneTree(t));
  }
  if (dimension == 2) e.trees[2].reset(NewNumberNode(TComplex(0)));
  return true;
}

void TPlot1Win::AddCoordinateCurveItem(int i) {
  if (!IsValidIndex(i) || !CanAddEquation(true)) return;
  const TEquation& s = Equation(i);
  const TPoint3D corners[2] = {s.values[0], s.values[1]};
  const std::uint16_t colour = s.penColour;
  const int n = AppendEquation(dimension * 100 + 10, 0, 1, {});
  TEquation& e = Equation(n);
  e.values[0] = corners[0];
  e.values[1] = corners[1];
  e.penColour = colour;
  e.derivation = kDerivedCoordinateCurve;
  e.source1 = static_cast<std::int16_t>(i);
  e.fieldMode = 2;
  if (!CloneSourceTrees(n)) {
    DropLastEquation();
    return;
  }
  EquationsChanged(true);
  AddEquationLabel();
  DrawEquationBuffered(n);
}

// ---- points ----

void TPlot1Win::ShowAxesForFirstEntry(int i) {
  if (dimension != 3 || i != 0 || AxesShown) return;
  AxesShown = 1;
  UpdateMenuChecks(false);
}

void TPlot1Win::AppendPointItem(const TEquation& prototype) {
  if (!CanAddEquation(false)) return;
  const int n = ++equationCount;
  ReinitAndCopyEquation(Equation(n), prototype, false);
  EquationName(n).clear();
  EquationFlag(n) = 0;
  CompileEquation(n);
  AddEquationLabel();
  Equation(n).visible = 1;
  if (dimension == 3) {
    ShowAxesForFirstEntry(n);
    RedrawEditedEquation(n, true);
  } else {
    DrawEquationBuffered(n);
  }
}

int TPlot1Win::AppendPointsFromText(const TEquation& prototype, std::string_view text, int* badLine) {
  // The whole text is checked first: a malformed number adds nothing.
  std::vector<std::string> numbers;
  int line = 0;
  const int code = ScanPastedNumbers(text, numbers, line);
  if (badLine) *badLine = line;
  if (code != 0) return code;
  TEquation proto;
  CopyEquation(proto, prototype);
  const std::size_t perPoint = dimension < 1 ? 1 : static_cast<std::size_t>(std::min<int>(dimension, 3));
  for (std::size_t k = 0; k + perPoint <= numbers.size() && equationCount < equationCapacity; k += perPoint) {
    for (std::size_t c = 0; c < perPoint; ++c) proto.formulaText[c] = numbers[k + c];
    AppendPointItem(proto);
  }
  EquationsChanged(true);
  return equationCount >= equationCapacity ? 4 : 0;
}

int TPlot1Win::PastePointList(const TEquation& prototype, int* badLine) {
  if (badLine) *badLine = 0;
  std::string text;
  const int code = GetClipboardText(text, 32001);
  if (code != 0) return code;
  if (text.empty()) return 2;
  return AppendPointsFromText(prototype, text, badLine);
}

int TPlot1Win::BuildPointEquationText(TEquation& prototype) {
  const int coordinates = dimension < 1 ? 1 : std::min<int>(dimension, 3);
  const int letter = prototype.familyLetter;
  std::array<std::string, 3> marked;
  for (int c = 0; c < coordinates; ++c) {
    std::string& text = prototype.formulaText[static_cast<std::size_t>(c)];
    TreePtr tree;
    const int code = Compile(text, tree);
    if (code != 0) return code;
    marked[static_cast<std::size_t>(c)] = text;
    MarkVariableLetter(marked[static_cast<std::size_t>(c)], letter);
  }
  for (int k = prototype.auxValue3; k <= prototype.auxValue4 && equationCount < equationCapacity; ++k) {
    const std::string value = "(" + std::to_string(k) + ")";
    for (int c = 0; c < coordinates; ++c) {
      std::string out;
      if (!ReplaceMarkedLetters(marked[static_cast<std::size_t>(c)], value, kFormulaTextSize - 1, out)) return 20;
      prototype.formulaText[static_cast<std::size_t>(c)] = out;
    }
    AppendPointItem(prototype);
  }
  EquationsChanged(true);
  return equationCount >= equationCapacity ? 4 : 0;
}

// ---- editing ----

int TPlot1Win::RunEquationDialog(int i, int& mask) {
  mask = 0;
  const TEquation& e = Equation(i);
  const int slot = std::clamp(static_cast<int>(e.kind) - 200, 0, static_cast<int>(EquationDialogPositions.size()) - 1);
  TEditExmpDlg dialog(this, EquationTemplate(e), i, &mask, &EquationDialogPositions[static_cast<std::size_t>(slot)]);
  return dialog.Execute();
}

bool TPlot1Win::EditEquation(int i, bool force) {
  if (!IsValidIndex(i)) return false;
  if (IsLagrangePolynomial(Equation(i))) {
    InitPolynomialTree(i);
    SetInventoryEditing(false);
    SwapLagrangeMenu(i);
    SetForeground();
    return true;
  }
  SetInventoryEditing(false);
  const std::uint8_t densityFlag = Equation(i).densityFlag;
  int mask = 0;
  const int result = RunEquationDialog(i, mask);
  SetInventoryEditing(true);
  if (result != plat::IDOK) return false;
  if (mask == 0 && !force) return false;

  Modified = 1;
  TEquation& e = Equation(i);
  const int kind = e.kind;
  if ((kind == kKindOde || kind == kKindOdeDyDx || kind == kKindOde3D) && e.arrowMode > 0)
    SetVariable(e.arrowMode, e.fieldLength / 10.0L);
  if ((mask & kChangeRecompute) && kind != kKindPointSequence && !(kind == kKindPlane && e.derivation > 0)) {
    ClearEquationItems(e);
    if (!suppressCompanions) InvalidateCompanions(i);
    CompileEquation(i);
  }
  RebuildDerivedEquations(i);
  // A point sequence whose list or options changed is made anew from its
  // curve.
  if (kind == kKindPointSequence && mask > kChangeRecompute + kChangeAppearance) RefreshPointSequenceEquation(i);
  // A surface of revolution names the curve it turns (before its label is
  // renewed, so that the label names the new curve); a surface kept from an
  // older file holds no curve to name.
  if (HoldsRevolvedCurve(e))
    e.formulaText[4] = DescribeRevolvedCurve(e, static_cast<int>(kFormulaTextSize) - 1);
  UpdateEquationLabel(i);
  // A surface seen through (its density flag) is drawn anew.
  if (IsSurfaceKind(e, true) && e.densityFlag != densityFlag) mask |= kChangeAppearance;

  const bool threeD = kind >= 300 && kind < 400;
  const bool appearanceOnly = (mask & ~kChangeAppearance) == 0;
  if (threeD || force) RedrawEditedEquation(i, !appearanceOnly);
  if (!threeD || force) {
    if (force || appearanceOnly) {
      DrawEquationBuffered(i);
    } else {
      RepaintNow(false);
    }
  }
  if (kind == kKindSegment && (mask & kChangeEndPoints)) AddSegmentEndPoints(i);
  // A surface of revolution sets the parameters its ranges are tied to.
  if (kind == kKindRevolution) CopySliderParameters(i);
  if (kind > 400) SelectEquation(i);
  MarkUsedVariables();
  EquationsChanged(false);
  return true;
}

void TPlot1Win::AddEditedCopy(int i) {
  if (!IsValidIndex(i) || !CanAddEquation(true)) return;
  const int n = ++equationCount;
  ReinitAndCopyEquation(Equation(n), Equation(i), true);
  AddEquationLabel();
  EquationName(n) = EquationName(i);
  EquationFlag(n) = 0;
  if (!EditEquation(n, true)) {
    if (!equationLabels.empty() && equationLabels.back().index == n) equationLabels.pop_back();
    DropLastEquation();
    BufferValid[0] = 0;
  }
}

bool TPlot1Win::RebuildEndPointItem(int i) {
  TEquation& p = Equation(i);
  if (!IsValidIndex(p.source1)) return false;
  const TEquation& s = Equation(p.source1);
  const std::size_t first = p.source2 == 2 ? 2 : 0;
  p.formulaText[0] = s.formulaText[first];
  p.formulaText[1] = s.formulaText[first + 1];
  for (std::size_t k = 0; k < 2; ++k) {
    TreePtr tree;
    if (Compile(p.formulaText[k], tree) != 0) return false;
  }
  CompileEquation(i);
  return p.trees[0] && p.trees[1];
}

void TPlot1Win::AddSegmentEndPoints(int i) {
  if (!IsValidIndex(i) || Equation(i).kind != kKindSegment || !Equation(i).interpolated) return;
  // Both ends or none: a single free place takes no end point.
  if (equationCount + 2 > equationCapacity) {
    ShowMessageById(4);
    Equation(i).interpolated = 0;
    return;
  }
  for (int end = 0; end <= 2; end += 2) {
    const TEquation& s = Equation(i);
    const std::uint16_t colour = s.penColour;
    const std::uint8_t polar = s.polarInput;
    const int n = AppendEquation(kKindPoint, 0, 1, {});
    TEquation& p = Equation(n);
    p.derivation = kDerivedSegmentEnd;
    p.source1 = static_cast<std::int16_t>(i);
    p.source2 = static_cast<std::int16_t>(end);
    p.penColour = colour;
    p.penWidth = MarkerSizeCode;
    p.penStyle = 0;
    p.fieldMode = 0;
    p.polarInput = polar;
    if (!RebuildEndPointItem(n)) {
      DropLastEquation();
      continue;
    }
    AddEquationLabel();
    DrawEquationBuffered(n);
  }
  Equation(i).interpolated = 0;
  EquationsChanged(true);
}

int TPlot1Win::AppendAndEditEquation(int kind, long double lower, long double upper,
                                     const std::array<std::string_view, 5>& texts,
                                     const std::function<void(TEquation&)>& prepare, int& mask) {
  const int i = AppendEquation(kind, lower, upper, texts[0], texts[1], texts[2], texts[3], texts[4]);
  if (i < 0) return -1;
  if (prepare) prepare(Equation(i));
  SetInventoryEditing(false);
  mask = 0;
  const int result = RunEquationDialog(i, mask);
  SetInventoryEditing(true);
  if (result != plat::IDOK) {
    DropLastEquation();
    return -1;
  }
  ++entryCounter;
  return i;
}

}  // namespace kv
