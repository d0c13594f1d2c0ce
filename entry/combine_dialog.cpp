// The combinations dialog and the window's part of a combination: a new
// inventory entry built by entry/model/combinations.h, its caption and
// drawing, and its rebuild when an operand changes.
#include "entry/combine_dialog.h"

#include "entry/model/combinations.h"
#include "entry/plot11_win.h"
#include "platform/resources.h"

namespace kv {

namespace {

constexpr int kStrComposition = 341;  // "f <-- g"
constexpr int kStrParallel = 347;     // "paral"
constexpr int kStrPerpendicular = 348;  // "senk"

}  // namespace

// ---- the window's part ----

int TPlot11Win::AddCombinedEquation(int code, int f, int g) {
  if (!IsValidIndex(f) || !IsValidIndex(g)) return 9;  // "nichts zu tun"
  // The inventory must have room before it grows.
  if (!CanAddEquation(false)) return 4;
  const int n = ++equationCount;
  PrepareCombinedEquation(Equation(n), code, Equation(f), f, Equation(g), g);
  EquationName(n).clear();
  EquationFlag(n) = 0;
  if (!RebuildCombinedEquation(n)) {
    FreeEquation(Equation(n));
    --equationCount;
    return 6;  // "widersprüchliche Daten"
  }
  Modified = 1;
  AddEquationLabel();
  if (dimension == 3) {
    TEquation& e = Equation(n);
    RedrawEditedEquation(n, true);
    // The box corners are kept as the window's first view of the entry.
    e.values[2] = e.values[0];
    e.values[3] = e.values[1];
  } else {
    DrawEquationBuffered(n);
  }
  MarkUsedVariables();
  EquationsChanged(true);
  SetFocus();
  return 0;
}

bool TPlot11Win::RebuildCombinedEquation(int i) {
  if (!IsValidIndex(i)) return false;
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1) || !IsValidIndex(e.source2)) return false;
  return RebuildCombinedTrees(e, Equation(e.source1), Equation(e.source2), dimension);
}

// ---- the dialog ----

namespace {

// Kinds offered as f and g.
constexpr std::int16_t kCombinedKinds2D[] = {201, 202, 203, 210, 211, 212, 401, 402, -1};
constexpr std::int16_t kCombinedKinds3D[] = {301, 302, 303, 304, 310, 312, 315, 316, -1};

}  // namespace

TCombineDlg::TCombineDlg(TPlot11Win& window)
    : T2ComboDlg(window, "COMBOS", window.dimension == 3 ? kCombinedKinds3D : kCombinedKinds2D,
                 window.dimension == 3 ? kCombinedKinds3D : kCombinedKinds2D),
      plot_(window) {}

const plat::CommandTable& TCombineDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TCombineDlg>(
      &T2ComboDlg::Commands(), {
                                   {kComboButtonSum, kComboButtonPower, &TCombineDlg::CmButton, &TCombineDlg::CeButton},
                               });
  return table;
}

void TCombineDlg::SetupWindow() {
  T2ComboDlg::SetupWindow();
  SetItemText(kComboButtonComposition, plot_.dimension == 3 ? "f X g" : plat::res::String(kStrComposition));
  UpdateLabels();
}

void TCombineDlg::SelectionChanged() {
  if (IsCreated()) UpdateLabels();
}

void TCombineDlg::SecondSelectionChanged() {
  if (IsCreated()) UpdateLabels();
}

void TCombineDlg::UpdateLabels() {
  if (AreVectorFields(SelectedKind(), SecondKind())) {
    SetItemText(kComboButtonQuotient, "f " + plat::res::String(kStrParallel) + " g");
    SetItemText(kComboButtonPower, "f " + plat::res::String(kStrPerpendicular) + " g");
  } else {
    SetItemText(kComboButtonQuotient, "f / g");
    SetItemText(kComboButtonPower, "f ^ g");
  }
  UpdateButtons();
}

void TCombineDlg::CeButton(plat::CommandEnabler& ce) {
  ce.Enable(SelectedEquation() >= 0 && SecondEquation() >= 0 &&
            CombinationButtonEnabled(ce.id, SelectedKind(), SecondKind(), plot_.dimension));
}

void TCombineDlg::CmButton(int id) {
  if (SelectedEquation() < 0 || SecondEquation() < 0) {
    plot_.ShowMessageById(15);  // "Auswahl treffen"
    return;
  }
  if (!CombinationButtonEnabled(id, SelectedKind(), SecondKind(), plot_.dimension)) return;
  const int code = plot_.AddCombinedEquation(CombinationCode(id, SelectedKind()), SelectedEquation(), SecondEquation());
  if (code != 0) plot_.ShowMessageById(code);
}

}  // namespace kv
