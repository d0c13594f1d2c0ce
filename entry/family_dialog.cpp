#include "entry/family_dialog.h"

#include <cctype>
#include <cstdlib>

#include "core/number_text.h"
#include "entry/plot1_win.h"
#include "platform/resources.h"

namespace kv {

namespace {

constexpr int kStrFamily = 134;  // "Schar"
constexpr int kTextLimit = 50;
// The letters that may drive a family: A (1) to Q (17).
constexpr int kLastFamilyLetter = 17;

// The field holding one letter A..Q (either case) as 1..17, else 0.
int FamilyLetter(const std::string& text) {
  if (text.size() != 1) return 0;
  const int c = std::toupper(static_cast<unsigned char>(text[0]));
  return c >= 'A' && c < 'A' + kLastFamilyLetter ? c - 'A' + 1 : 0;
}

// A whole number from lo to hi as typed, else 17 ("jenseits der Grenzen").
int ReadWholeNumber(const std::string& text, int lo, int hi, std::int16_t& value) {
  std::int32_t v = 0;
  if (!ParseWholeNumber(text, lo, hi, v)) return 17;
  value = static_cast<std::int16_t>(v);
  return 0;
}

}  // namespace

TFamDlg::TFamDlg(TPlot1Win* window, const std::string& templateName, int equation)
    : TDlg(window, templateName), window_(window), equation_(equation) {}

const plat::CommandTable& TFamDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TFamDlg>(&TDlg::Commands(), {
                                                                                      {kFamDraw, &TFamDlg::CmDraw},
                                                                                      {kFamDelete, &TFamDlg::CmDelete},
                                                                                  });
  return table;
}

void TFamDlg::SetupWindow() {
  TDlg::SetupWindow();
  const TEquation& e = window_->Equation(equation_);
  SetCaption(plat::res::String(kStrFamily) + " [" + TPlotWin::DescribeEquationByKind(e, 200) + "]");
  for (int id : {kFamMin, kFamMax, kFamSteps, kFamLetter, kFamDelay}) LimitText(id, kTextLimit);
  const int letter = e.familyLetter >= 1 && e.familyLetter <= 26 ? e.familyLetter : 1;
  SetItemText(kFamLetter, std::string(1, static_cast<char>('a' + letter - 1)));
  std::string s;
  window_->FormatWindowNumber(e.familyStart, s);
  SetItemText(kFamMin, s);
  window_->FormatWindowNumber(e.familyEnd, s);
  SetItemText(kFamMax, s);
  SetItemText(kFamSteps, std::to_string(std::abs(static_cast<int>(e.familySteps))));
  SetItemText(kFamDelay, std::to_string(e.familyDelay));
  SetCheck(kFamFollow, e.familySteps < 0);
}

int TFamDlg::ReadFields() {
  long double min = 0;
  long double max = 0;
  int code = window_->TextToValue(GetItemText(kFamMin), min);
  if (code == 0) code = window_->TextToValue(GetItemText(kFamMax), max);
  if (code == 0 && max < min) code = 6;  // "widersprüchliche Daten"
  std::int16_t delay = 0;
  std::int16_t steps = 0;
  if (code == 0) code = ReadWholeNumber(GetItemText(kFamDelay), 0, 32750, delay);
  if (code == 0) code = ReadWholeNumber(GetItemText(kFamSteps), 0, 4000, steps);
  const int letter = FamilyLetter(GetItemText(kFamLetter));
  if (code == 0 && letter == 0) code = 17;  // "jenseits der Grenzen"
  if (code != 0) return code;
  TEquation& e = window_->Equation(equation_);
  e.familyOn = 1;
  e.familyStart = min;
  e.familyEnd = max;
  e.familySteps = static_cast<std::int16_t>(IsChecked(kFamFollow) ? -steps : steps);
  e.familyLetter = static_cast<std::int16_t>(letter);
  e.familyDelay = delay;
  return 0;
}

void TFamDlg::CmDraw() {
  const int code = ReadFields();
  if (code != 0) {
    ShowMessageById(this, code);
    return;
  }
  EndDialog(1);
}

void TFamDlg::CmDelete() {
  window_->Equation(equation_).familyOn = 0;
  EndDialog(1);
}

}  // namespace kv
