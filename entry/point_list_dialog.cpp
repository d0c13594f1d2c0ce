// The point-list dialog and the window's point sequences.
#include "entry/point_list_dialog.h"

#include <cstdlib>
#include <string>

#include "entry/model/point_lists.h"
#include "entry/plot11_win.h"

namespace kv {

namespace {

constexpr int kPointColourSlot = 8;
constexpr int kStrPoints = 279;  // "Punkte"

}  // namespace

// ---- the window's part ----

int TPlot11Win::AddPointSequenceEquation(int curve, const std::string& list, int size) {
  if (!IsValidIndex(curve)) return 9;  // "nichts zu tun"
  if (!CanAddEquation(false)) return 4;
  const int n = ++equationCount;
  PreparePointSequence(Equation(n), Equation(curve), curve, list, size,
                       ColourSlots[static_cast<std::size_t>(kPointColourSlot)]);
  EquationName(n).clear();
  EquationFlag(n) = 0;
  Modified = 1;
  AddEquationLabel();
  DrawEquationBuffered(n);
  EquationsChanged(true);
  SetForeground();
  return 0;
}

bool TPlot11Win::RefreshPointSequenceEquation(int i) {
  if (!IsValidIndex(i)) return false;
  TEquation& e = Equation(i);
  if (e.kind != kKindPointSequence || !IsValidIndex(e.source1)) return false;
  RefreshPointSequence(e, Equation(e.source1));
  return true;
}

// ---- the dialog ----

TPtListDlg::TPtListDlg(TPlot11Win& window)
    : TComboDlg(window, "PTLIST", {kKindExplicit, kKindPolar, kKindParametric, kKindSpaceCurve}), plot_(window) {
  includeLagrange = 1;
  includeDerived = 1;
  colourWindow = 1;
}

const plat::CommandTable& TPtListDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TPtListDlg>(&TComboDlg::Commands(), {
                                                                                              {kPtListDraw, &TPtListDlg::OnDraw},
                                                                                              {kPtListColour, &TPtListDlg::OnColour},
                                                                                          });
  return table;
}

void TPtListDlg::SetupControls() {
  SetItemText(kPtListSize, "2");
  SetItemText(kPtListValues, "");
}

void TPtListDlg::SelectionChanged() {
  SetItemText(kPtListLabel, SelectedKind() == kKindExplicit ? "x =" : "t =");
}

void TPtListDlg::OnDraw() {
  if (!plot_.CanAddEquation(true)) return;
  const std::string list = GetItemText(kPtListValues).substr(0, 255);
  const std::string sizeText = GetItemText(kPtListSize).substr(0, 9);
  char* end = nullptr;
  const long size = std::strtol(sizeText.c_str(), &end, 10);
  if (end == sizeText.c_str() || size < 0 || size > 100) {
    plot_.ShowMessageById(17);  // "jenseits der Grenzen"
    return;
  }
  if (SelectedEquation() < 0) {
    plot_.ShowMessageById(15);  // "Auswahl treffen"
    return;
  }
  const int code = plot_.AddPointSequenceEquation(SelectedEquation(), list, static_cast<int>(size));
  if (code != 0) plot_.ShowMessageById(code);
}

void TPtListDlg::OnColour() {
  auto& caption = plot_.ColourCaptionIds[static_cast<std::size_t>(kPointColourSlot)];
  const std::int32_t previous = caption;
  caption = kStrPoints;
  plot_.ChooseColourForSlot(kPointColourSlot);
  caption = previous;
  colourChosen_ = 1;
}

void TPtListDlg::Destroy() {
  if (colourChosen_ && !plot_.IsDestroyed()) plot_.HideColourWindow();
  TComboDlg::Destroy();
}

}  // namespace kv
