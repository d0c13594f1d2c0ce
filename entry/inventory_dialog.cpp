#include "entry/inventory_dialog.h"

#include <algorithm>

#include "entry/plot11_win.h"
#include "platform/clipboard.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kLineLimit = 1999;
constexpr int kNameChars = 20;  // names are 21-byte records

bool IsSpecialKind(int kind) { return kind == kKindPlanets; }
bool IsPlotKind(int kind) { return kind >= 201 && kind <= 399; }
bool IsLabelledKind(int kind) { return IsPlotKind(kind) && kind != kKindPlanets; }

}  // namespace

TFnListDlg::TFnListDlg(TPlot11Win& window, const std::string& templateName)
    : TDlg(&window, templateName), window_(window) {}

const plat::CommandTable& TFnListDlg::Commands() const {
  using D = TFnListDlg;
  static const auto table = plat::CommandTable::Build<TFnListDlg>(
      &TDlg::Commands(), {
                             {kCmInventoryEdit, &D::CmEdit},
                             {kCmInventoryDelete, &D::CmDelete, &D::CeDelete},
                             {kCmInventoryCopy, &D::CmCopy, &D::CeSingle},
                             {kCmInventoryClipboard, &D::CmClipboard, &D::CeSingle},
                             {kCmInventoryTable, &D::CmTable, &D::CeTable},
                             {kCmInventoryFamily, &D::CmFamily, &D::CeFamily},
                             {kCmInventoryGraph, &D::CmGraph, &D::CeGraph},
                             {kCmInventoryLabel, &D::CmLabel, &D::CeLabel},
                             {kCmInventoryName, &D::CmName, &D::CeSingle},
                             {kCmInventoryDerive, &D::CmDerive, &D::CeDerive},
                             {kCmInventoryExtra, &D::CmExtra, &D::CeExtra},
                         });
  return table;
}

void TFnListDlg::SetupWindow() {
  TDlg::SetupWindow();
  // Descriptions can be long: the list scrolls sideways over 3000 pixels.
  ListSetHorizontalExtent(kIdInventoryList, 3000);
  threeD_ = window_.dimension == 3 ? 1 : 0;
  logarithmic_ = window_.LogWindowType > 0 ? 1 : 0;
  mapping_ = window_.mappedFlag && !logarithmic_ ? 1 : 0;
  UpdateCaption();
  FillList(0);
  toggleArmed_ = 0;
  absoluteValue_ = logarithmic_;
  UpdateButtonTexts();
}

void TFnListDlg::UpdateCaption() {
  std::string title;
  GetFileNamePart(title, window_.FileData.FileName);
  SetCaption(plat::res::String(165) + " [" + title + "]");
}

void TFnListDlg::EvControl(int id, int notification) {
  if (id == kIdInventoryList && notification == plat::LBN_SELCHANGE) {
    OnSelChange();
    return;
  }
  if (id == kIdInventoryList && notification == plat::LBN_DBLCLK) {
    Command(kCmInventoryEdit);
    return;
  }
  TDlg::EvControl(id, notification);
}

// ---- the list ----

std::string TFnListDlg::LineOf(int i) {
  std::string line;
  if (window_.EquationFlag(i)) line = "$";
  if (!window_.Equation(i).visible) {
    std::string hidden = plat::res::String(166);
    hidden = hidden.substr(0, hidden.find(':'));
    if (!line.empty()) line += ' ';
    line += "[" + hidden + "]";
  }
  const std::string& name = window_.EquationName(i);
  if (!name.empty()) {
    if (!line.empty()) line += ' ';
    line += name;
  }
  if (!line.empty()) line += ": ";
  return line + window_.DescribeEquation(i, kLineLimit);
}

void TFnListDlg::FillList(int select) {
  if (!IsCreated()) return;
  rowMap_.clear();
  SetItemFont(kIdInventoryList, window_.FontSlots[kListFontSlot]);
  ListClear(kIdInventoryList);
  for (int i = 0; i <= window_.equationCount; ++i) {
    if (!window_.IsEquationDrawable(i)) continue;
    ListAdd(kIdInventoryList, LineOf(i));
    rowMap_.push_back(static_cast<std::int16_t>(i));
  }
  int row = -1;
  if (select >= 0 && !rowMap_.empty()) {
    const auto it = std::find(rowMap_.begin(), rowMap_.end(), select);
    row = it == rowMap_.end() ? 0 : static_cast<int>(it - rowMap_.begin());
  }
  ListSetSel(kIdInventoryList, row);
  OnSelChange();
}

int TFnListDlg::EquationOfRow(int row) const {
  return row >= 0 && row < RowCount() ? rowMap_[static_cast<std::size_t>(row)] : -1;
}

std::vector<int> TFnListDlg::SelectedEquations() const {
  std::vector<int> out;
  for (int row : selection_) {
    const int i = EquationOfRow(row);
    if (i >= 0) out.push_back(i);
  }
  return out;
}

void TFnListDlg::OnSelChange() {
  if (!IsCreated()) return;
  const int count = RowCount();
  if (count == 0) {
    selection_.clear();
  } else if (count == 1) {
    // A list of one line acts as if that line were selected.
    selection_ = {0};
  } else {
    selection_ = ListGetMultiSel(kIdInventoryList);
  }
  if (selection_.empty()) {
    // Clearing the selection after choosing one y = f(x) flips what 798
    // offers between the cobweb and |f(x)|.
    if (toggleArmed_) absoluteValue_ = absoluteValue_ ? 0 : 1;
    toggleArmed_ = 0;
  } else if (selection_.size() == 1) {
    toggleArmed_ = window_.Equation(EquationOfRow(selection_.front())).kind == kKindExplicit ? 1 : 0;
  } else {
    toggleArmed_ = 0;
  }
  UpdateButtonTexts();
}

int TFnListDlg::SingleSelection() const {
  const std::vector<int> s = SelectedEquations();
  return s.size() == 1 ? s.front() : -1;
}

bool TFnListDlg::AnySelected(bool (*test)(int kind)) const {
  for (int i : SelectedEquations())
    if (test(window_.Equation(i).kind)) return true;
  return false;
}

void TFnListDlg::UpdateButtonTexts() {
  // The enablers give the texts of 797, 798 and 757 as well.
  UpdateButtons();
}

void TFnListDlg::Close() {
  Hide();
  window_.inventoryHidden = 1;
}

bool TFnListDlg::Ready() {
  if (busy_ || window_.MouseMode == kCmMouseLagrange) {
    window_.ShowMessageById(111);  // "am Bearbeiten"
    return false;
  }
  return true;
}

// ---- enablers ----

void TFnListDlg::CeDelete(plat::CommandEnabler& ce) {
  ce.Enable(!SelectedEquations().empty() && !AnySelected(IsSpecialKind));
}

void TFnListDlg::CeSingle(plat::CommandEnabler& ce) {
  const int i = SingleSelection();
  ce.Enable(i >= 0 && !IsSpecialKind(window_.Equation(i).kind));
}

void TFnListDlg::CeTable(plat::CommandEnabler& ce) {
  const int i = SingleSelection();
  const bool derive = i >= 0 && window_.Equation(i).kind == kKindImplicitSurface;
  ce.SetText(plat::res::String(derive ? 339 : 346));
  ce.Enable(i >= 0 && (derive || window_.HasValueTable(i)));
}

void TFnListDlg::CeFamily(plat::CommandEnabler& ce) {
  const std::vector<int> s = SelectedEquations();
  if (s.empty() || (threeD_ && s.size() > 1)) {
    ce.Enable(false);
    return;
  }
  if (s.size() > 1) {
    ce.Enable(true);
    return;
  }
  const TEquation& e = window_.Equation(s.front());
  const bool cobweb = e.kind == kKindExplicit && e.notVertical;
  const bool otherSpatial = e.kind > 299 && e.kind != kKindSpaceCurve && e.kind != kKindSegment3D &&
                            e.kind != kKindPoint3D;
  ce.Enable(!IsLagrangePolynomial(e) && !cobweb && !IsSpecialKind(e.kind) && !otherSpatial);
}

void TFnListDlg::CeGraph(plat::CommandEnabler& ce) { ce.Enable(AnySelected(IsPlotKind)); }

void TFnListDlg::CeLabel(plat::CommandEnabler& ce) { ce.Enable(AnySelected(IsLabelledKind)); }

void TFnListDlg::CeDerive(plat::CommandEnabler& ce) {
  const std::vector<int> s = SelectedEquations();
  if (s.size() == 2) {
    ce.SetText(plat::res::String(344));  // "Tauschen"
    ce.Enable(true);
    return;
  }
  // 339 "Ableiten" in 2D, 338 "Höhen" in 3D, 340 and 341 for the others.
  ce.SetText(plat::res::String(341 - std::clamp<int>(window_.dimension, 0, 3)));
  if (s.size() != 1) {
    ce.Enable(false);
    return;
  }
  const TEquation& e = window_.Equation(s.front());
  if (threeD_) {
    ce.Enable(e.kind == kKindSurface || e.kind == kKindImplicitSurface ||
              (e.kind == kKindRevolution && e.subKind == kKindImplicit));
  } else {
    ce.Enable(e.kind >= kKindExplicit && e.kind <= kKindImplicit && TPlot1Win::IsTreeFreeOfToken(e.trees[1].get()));
  }
}

void TFnListDlg::CeExtra(plat::CommandEnabler& ce) {
  if (absoluteValue_) {
    ce.SetText("| f(x) |");
  } else if (threeD_) {
    ce.SetText(plat::res::String(104));  // "Box"
  } else if (mapping_) {
    ce.SetText(plat::res::String(340));  // "Aktiv"
  } else {
    ce.SetText(plat::res::String(150));  // "Netz"
  }
  if (threeD_) {
    ce.Enable(true);
    return;
  }
  const int i = SingleSelection();
  if (i < 0 || window_.Equation(i).familyOn) {
    ce.Enable(false);
    return;
  }
  const TEquation& e = window_.Equation(i);
  const bool explicitCurve = e.kind == kKindExplicit;
  ce.Enable((explicitCurve && absoluteValue_) || (e.kind >= 401 && e.kind <= 403 && mapping_) ||
            (explicitCurve && !IsLagrangePolynomial(e) && !absoluteValue_ && !mapping_ && !logarithmic_));
}

// ---- actions ----

void TFnListDlg::CmEdit() {
  if (!Ready()) return;
  const std::vector<int> s = SelectedEquations();
  if (s.empty()) return;
  const int i = s.front();
  busy_ = 1;
  const int kind = window_.Equation(i).kind;
  if (kind == kKindIntersection) {
    window_.OpenIntersectionDialog(i);
  } else if (kind == kKindPlanets) {
    window_.EditSpecialEquation(i);
  } else {
    window_.EditEquation(i, false);
  }
  busy_ = 0;
  FillList(i);
}

void TFnListDlg::CmDelete() {
  if (!Ready()) return;
  const std::vector<int> s = SelectedEquations();
  if (s.empty()) return;
  busy_ = 1;
  window_.DeleteEquations(s);
  busy_ = 0;
  window_.RepaintNow(false);
  FillList(-1);
}

void TFnListDlg::CmCopy() {
  if (!Ready()) return;
  const int i = SingleSelection();
  if (i < 0 || !window_.CanAddEquation(true)) return;
  if (IsLagrangePolynomial(window_.Equation(i))) {
    window_.ShowMessageById(19);  // "nicht zu kopieren"
    return;
  }
  busy_ = 1;
  const int parameter = window_.FrozenCopyParameter(i);
  if (parameter >= 0) {
    window_.selectedParameter = static_cast<std::int16_t>(parameter);
    window_.AddCopyItem(i);
    window_.InvalidatePlot();
  } else {
    window_.AddEditedCopy(i);
  }
  busy_ = 0;
  FillList(window_.equationCount);
}

void TFnListDlg::CmClipboard() {
  const int i = SingleSelection();
  if (i < 0) return;
  SetItemText(kIdInventoryClipboardEdit, window_.DescribeEquation(i, kLineLimit));
  SelectAllText(kIdInventoryClipboardEdit);
  plat::clipboard::SetText(GetItemText(kIdInventoryClipboardEdit));
}

void TFnListDlg::CmTable() {
  if (!Ready()) return;
  const int i = SingleSelection();
  if (i < 0) return;
  busy_ = 1;
  if (window_.Equation(i).kind == kKindImplicitSurface) {
    window_.AddDerivedDifferentialEquation(i);
  } else {
    window_.OpenEntryTable(i);
  }
  busy_ = 0;
}

void TFnListDlg::CmFamily() {
  if (!Ready()) return;
  const std::vector<int> s = SelectedEquations();
  if (s.size() == 1) {
    busy_ = 1;
    window_.OpenFamilyDialog(s.front());
    busy_ = 0;
    return;
  }
  if (s.empty()) return;
  int marked = -1;
  int count = 0;
  for (int i : s) {
    window_.EquationFlag(i) = window_.EquationFlag(i) ? 0 : 1;
    if (window_.EquationFlag(i)) {
      marked = i;
      ++count;
    }
  }
  // A group of one is no group.
  if (count == 1) window_.EquationFlag(marked) = 0;
  window_.Modified = 1;
  FillList(-1);
}

void TFnListDlg::CmGraph() {
  if (!Ready()) return;
  for (int i : SelectedEquations()) {
    TEquation& e = window_.Equation(i);
    e.visible = e.visible ? 0 : 1;
  }
  window_.Modified = 1;
  FillList(-1);
  window_.InvalidatePlot();
}

void TFnListDlg::CmLabel() {
  for (int i : SelectedEquations())
    for (TEquationLabel& l : window_.equationLabels)
      if (l.index == i) l.visible = l.visible ? 0 : 1;
  window_.Modified = 1;
  window_.BufferValid[0] = 0;
  window_.Invalidate(false);
}

void TFnListDlg::CmName() {
  if (!Ready()) return;
  const int i = SingleSelection();
  if (i < 0) return;
  std::string name = window_.EquationName(i);
  const std::string prompt = plat::res::String(322) + ": " + std::to_string(kNameChars);
  TInpDlg dialog(this, plat::res::String(323), prompt, name, kNameChars + 2);
  busy_ = 1;
  const int result = dialog.Execute();
  busy_ = 0;
  if (result != plat::IDOK || name == window_.EquationName(i)) return;
  if (name.size() > kNameChars) name.resize(kNameChars);
  window_.EquationName(i) = name;
  window_.Modified = 1;
  window_.RebuildDerivedEquations(i);
  FillList(i);
}

void TFnListDlg::CmDerive() {
  if (!Ready()) return;
  const std::vector<int> s = SelectedEquations();
  busy_ = 1;
  if (s.size() == 2) {
    if (!window_.SwapEquations(s[0], s[1])) {
      busy_ = 0;
      window_.ShowMessageById(119);  // "cannot swap these"
      return;
    }
    window_.Modified = 1;
    window_.InvalidatePlot();
    window_.EquationsChanged(false);
  } else if (s.size() == 1) {
    const int i = s.front();
    if (threeD_) {
      window_.OpenLevelDialog(i);
    } else if (window_.Equation(i).kind == kKindImplicit) {
      window_.AddDerivedDifferentialEquation(i);
    } else {
      window_.AddDerivedGraph(i);
    }
  }
  busy_ = 0;
}

void TFnListDlg::CmExtra() {
  if (!Ready()) return;
  const int i = SingleSelection();
  if (i < 0) return;
  busy_ = 1;
  if (threeD_) {
    window_.EditBoxDialog(i, false);
  } else if (absoluteValue_) {
    window_.AddAbsoluteValueItem(i);
  } else if (mapping_) {
    window_.SelectEquation(i);
  } else if (!logarithmic_) {
    window_.OpenCobwebDialog(i);
  }
  busy_ = 0;
}

}  // namespace kv
