#include "entry/cobweb_dialog.h"

#include <cstdlib>

#include "core/number_text.h"
#include "entry/plot1_win.h"
#include "platform/resources.h"

namespace kv {

namespace {

constexpr int kStrCobweb = 150;  // "Netz"
constexpr int kOutOfRange = 17;  // "jenseits der Grenzen"

}  // namespace

std::size_t FindListGroup(const std::vector<std::int16_t>& list, int n) {
  if (n <= 0) return 0;
  int seen = 0;
  for (std::size_t k = 0; k < list.size(); ++k)
    if (list[k] == -1 && ++seen == n) return k + 1;
  return list.size();
}

TWebDlg::TWebDlg(TPlot1Win* window, const std::string& templateName, int equation)
    : TDlg(window, templateName), window_(window), equation_(equation) {}

const plat::CommandTable& TWebDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TWebDlg>(&TDlg::Commands(), {
                                                                                      {kWebDraw, &TWebDlg::CmDraw},
                                                                                      {kWebDelete, &TWebDlg::CmDelete},
                                                                                      {kWebColour, &TWebDlg::CmColour},
                                                                                  });
  return table;
}

void TWebDlg::SetupWindow() {
  TDlg::SetupWindow();
  TEquation& e = window_->Equation(equation_);
  SetCaption(plat::res::String(kStrCobweb) + " [" + e.formulaText[1] + "]");
  std::string s;
  window_->FormatWindowNumber(e.webStart(), s);
  SetItemText(kWebStart, s);
  const bool constant = e.subKind < 1;
  SetCheck(kWebConstant, constant);
  SetCheck(kWebParameter, !constant);
  SetItemText(kWebSteps, std::to_string(e.termCount));
  SetItemText(kWebArrowSize, std::to_string(e.arrowSize + 10));
  if (window_->IsColourWindowVisible()) window_->ShowColourWindow(0, &e.sideColour2, 0, nullptr);
  SetCheck(kWebArrows, e.kindFlag != 0);
  SetCheck(kWebFromAxis, e.webToAxis != 0);
  FillLetterList(*this, kWebLetters, std::abs(static_cast<int>(e.subKind)));
}

int TWebDlg::ReadFields() {
  int letter = ListGetSel(kWebLetters) + 1;
  if (letter < 1) letter = 1;
  TEquation& e = window_->Equation(equation_);
  long double start = e.webStart();
  int code = 0;
  if (IsChecked(kWebConstant)) {
    code = window_->TextToValue(GetItemText(kWebStart), start);
    letter = -letter;
  }
  // The steps and the arrow size are whole numbers as typed.
  std::int32_t steps = 0;
  std::int32_t arrowSize = 0;
  if (code == 0 && (!ParseWholeNumber(GetItemText(kWebSteps), 0, 1000, steps) ||
                    !ParseWholeNumber(GetItemText(kWebArrowSize), 1, 1000, arrowSize)))
    code = kOutOfRange;
  if (code != 0) return code;
  e.notVertical = 1;  // the cobweb is on
  e.webStart() = start;
  e.subKind = static_cast<std::int16_t>(letter);
  e.termCount = static_cast<std::int16_t>(steps);
  e.arrowSize = static_cast<std::int16_t>(arrowSize - 10);
  e.kindFlag = IsChecked(kWebArrows) ? 1 : 0;
  e.webToAxis = IsChecked(kWebFromAxis) ? 1 : 0;
  return 0;
}

void TWebDlg::CmDraw() {
  const int code = ReadFields();
  if (code != 0) {
    ShowMessageById(this, code);
    return;
  }
  if (colourChosen_) window_->HideColourWindow();
  EndDialog(1);
}

void TWebDlg::CmDelete() {
  window_->Equation(equation_).notVertical = 0;
  EndDialog(1);
}

void TWebDlg::CmColour() {
  colourChosen_ = 1;
  window_->ShowColourWindow(0, &window_->Equation(equation_).sideColour2, 0, nullptr);
}

}  // namespace kv
