#include "entry/combo_dialog.h"

#include "entry/plot1_win.h"

namespace kv {

namespace {

// Description lines of the rows are cut at this length.
constexpr int kRowTextLimit = 1999;

}  // namespace

TKindTable BuildKindTable(const std::int16_t* kinds) {
  TKindTable t;
  for (; kinds && *kinds >= 0; ++kinds)
    if (*kinds < kKindTableSize) t.set(static_cast<std::size_t>(*kinds));
  return t;
}

TKindTable BuildKindTable(std::initializer_list<int> kinds) {
  TKindTable t;
  for (int k : kinds) {
    if (k < 0) break;
    if (k < kKindTableSize) t.set(static_cast<std::size_t>(k));
  }
  return t;
}

// ---- one list ----

TComboDlg::TComboDlg(TPlot1Win& window, const std::string& templateName, std::initializer_list<int> kinds)
    : TDlg(&window, templateName), window_(window), acceptedKinds_(BuildKindTable(kinds)) {
  window_.RegisterComboDialog(this);
}

TComboDlg::TComboDlg(TPlot1Win& window, const std::string& templateName, const std::int16_t* kinds)
    : TDlg(&window, templateName), window_(window), acceptedKinds_(BuildKindTable(kinds)) {
  window_.RegisterComboDialog(this);
}

TComboDlg::~TComboDlg() { window_.UnregisterComboDialog(this); }

void TComboDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetupControls();
  FillCombo(kIdFirstCombo, acceptedKinds_, rowMap_, lastRow_);
  ListSetSel(kIdFirstCombo, lastRow_ >= 0 ? 0 : -1);
  OnSelChange();
}

void TComboDlg::EvControl(int id, int notification) {
  if (id == kIdFirstCombo && notification == plat::CBN_SELCHANGE) {
    OnSelChange();
    return;
  }
  TDlg::EvControl(id, notification);
}

bool TComboDlg::Accepts(int i, const TKindTable& kinds) const {
  const TEquation& e = window_.Equation(i);
  if (e.kind >= kKindTableSize || !kinds.test(e.kind)) return false;
  if (!includeLagrange && IsLagrangePolynomial(e)) return false;
  if (e.subValue < 0) return false;
  if (includeDerived) return true;
  return e.derivation <= 0 &&
         (includeRevolvedImplicit || e.kind != kKindRevolution || e.subKind != kKindImplicit);
}

void TComboDlg::FillCombo(int comboId, const TKindTable& kinds, std::vector<std::int16_t>& rowMap, int& lastRow) {
  SetItemFont(comboId, window_.FontSlots[kListFontSlot]);
  ListClear(comboId);
  rowMap.clear();
  lastRow = -1;
  for (int i = 0; i <= window_.equationCount; ++i) {
    if (!Accepts(i, kinds)) continue;
    ListAdd(comboId, window_.DescribeEquation(i, kRowTextLimit));
    rowMap.push_back(static_cast<std::int16_t>(i));
    ++lastRow;
  }
}

int TComboDlg::EquationOfRow(int row) const {
  return row >= 0 && row <= lastRow_ ? rowMap_[static_cast<std::size_t>(row)] : -1;
}

int TComboDlg::IndexOfFirst(int equation) const {
  for (int row = 0; row <= lastRow_; ++row)
    if (rowMap_[static_cast<std::size_t>(row)] == equation) return row;
  return -1;
}

void TComboDlg::OnSelChange() {
  if (lastRow_ < 0) return;
  selectedRow_ = ListGetSel(kIdFirstCombo);
  if (selectedRow_ < 0) return;
  selectedEquation_ = EquationOfRow(selectedRow_);
  const TEquation& e = window_.Equation(selectedEquation_);
  selectedKind_ = e.kind;
  // Tool results and derived graphs take the colour of the chosen entry.
  window_.drawingColour = static_cast<std::int16_t>(e.penColour);
  SelectionChanged();
}

void TComboDlg::RefillList() {
  FillCombo(kIdFirstCombo, acceptedKinds_, rowMap_, lastRow_);
  // The row stays while the list still has it, else row 0.  A list that
  // had no row chosen (it was empty) also starts at row 0, so that the tool
  // never works on no entry.
  const int row = lastRow_ < selectedRow_ || selectedRow_ < 0 ? 0 : selectedRow_;
  selectedRow_ = lastRow_ >= 0 ? row : -1;
  ListSetSel(kIdFirstCombo, selectedRow_);
  OnSelChange();
}

void TComboDlg::RefreshPlot() {
  // A tool that shows the window's colour window takes it along.
  if (colourWindow) window_.HideColourWindow();
  Hide();
  RequestRedraw();
}

void TComboDlg::RequestRedraw() {
  changed_ = 1;
  window_.BufferValid[0] = 0;
  window_.Invalidate(false);
}

// ---- two lists ----

T2ComboDlg::T2ComboDlg(TPlot1Win& window, const std::string& templateName, std::initializer_list<int> kinds,
                       std::initializer_list<int> secondKinds)
    : TComboDlg(window, templateName, kinds), secondKinds_(BuildKindTable(secondKinds)) {}

T2ComboDlg::T2ComboDlg(TPlot1Win& window, const std::string& templateName, const std::int16_t* kinds,
                       const std::int16_t* secondKinds)
    : TComboDlg(window, templateName, kinds), secondKinds_(BuildKindTable(secondKinds)) {}

void T2ComboDlg::SetupWindow() {
  TComboDlg::SetupWindow();
  FillCombo(kIdSecondCombo, secondKinds_, secondRowMap_, secondLastRow_);
  // With two fitting entries or more the lists start on the first and on
  // the last of them.
  ListSetSel(kIdSecondCombo, secondLastRow_);
  OnSelChange2();
}

void T2ComboDlg::EvControl(int id, int notification) {
  if (id == kIdSecondCombo && notification == plat::CBN_SELCHANGE) {
    OnSelChange2();
    return;
  }
  TComboDlg::EvControl(id, notification);
}

int T2ComboDlg::IndexOfSecond(int equation) const {
  for (int row = 0; row <= secondLastRow_; ++row)
    if (secondRowMap_[static_cast<std::size_t>(row)] == equation) return row;
  return -1;
}

void T2ComboDlg::OnSelChange2() {
  secondRow_ = ListGetSel(kIdSecondCombo);
  if (secondRow_ < 0 || secondRow_ > secondLastRow_) return;
  secondEquation_ = secondRowMap_[static_cast<std::size_t>(secondRow_)];
  secondKind_ = window_.Equation(secondEquation_).kind;
  SecondSelectionChanged();
}

void T2ComboDlg::RefillList() {
  TComboDlg::RefillList();
  FillCombo(kIdSecondCombo, secondKinds_, secondRowMap_, secondLastRow_);
  // The row stays while the list still has it, else the last row (also
  // when no row was chosen).
  secondRow_ = secondRow_ < 0 || secondLastRow_ < secondRow_ ? secondLastRow_ : secondRow_;
  ListSetSel(kIdSecondCombo, secondRow_);
  OnSelChange2();
}

}  // namespace kv
