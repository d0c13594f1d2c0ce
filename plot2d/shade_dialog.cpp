#include "plot2d/shade_dialog.h"

#include <iterator>

#include "platform/resources.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {

constexpr int kStrBetween = 185;  // "zwischen"
constexpr int kStrAbove = 186;    // "über"
constexpr int kStrBelow = 187;    // "unter"
constexpr int kShadeColourSlot = 6;
constexpr int kDescriptionLimit = 255;

std::string LetterSuffix(int letter) {
  return letter >= 1 && letter <= 23 ? "@" + std::string(1, static_cast<char>('A' + letter - 1)) : std::string();
}

}  // namespace

TShadeDlg::TShadeDlg(TPlotCWin& window)
    : T2ComboDlg(window, "SHADE", {kKindExplicit}, {kKindExplicit}),
      plot_(window),
      from_(window.World.xmin),
      to_(window.World.xmax) {
  colourWindow = 1;
}

const plat::CommandTable& TShadeDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TShadeDlg>(
      &T2ComboDlg::Commands(), {
                                   {kShadeDlgCreate, &TShadeDlg::Recalculate},
                                   {kShadeDlgDelete, &TShadeDlg::CmDelete, &TShadeDlg::CeNotEmpty},
                                   {kShadeDlgDeleteAll, &TShadeDlg::CmDeleteAll, &TShadeDlg::CeNotEmpty},
                                   {kShadeDlgCombined, &TShadeDlg::CmIntersectionMode},
                                   {kShadeDlgColour, &TShadeDlg::CmColour},
                               });
  return table;
}

void TShadeDlg::SetupWindow() {
  T2ComboDlg::SetupWindow();
  FillRecordList();
  if (plot_.shadings.empty()) {
    ShowControls(-1);
  } else {
    OnListSelChange();
  }
  if (plot_.IsColourWindowVisible()) plot_.ChooseColourForSlot(kShadeColourSlot);
  SetCheck(kShadeDlgCombined, plot_.shadeIntersection != 0);
}

void TShadeDlg::EvControl(int id, int notification) {
  if (id == kShadeDlgList && notification == plat::CBN_SELCHANGE) {
    OnListSelChange();
    return;
  }
  T2ComboDlg::EvControl(id, notification);
}

void TShadeDlg::RefillList() {
  T2ComboDlg::RefillList();
  FillRecordList();
}

void TShadeDlg::FillRecordList() {
  ListClear(kShadeDlgList);
  for (const TShadeRecord& s : plot_.shadings) {
    const int word = s.graphB == kShadeAbove ? kStrAbove : s.graphB == kShadeBelow ? kStrBelow : kStrBetween;
    std::string row = plat::res::String(word) + " {";
    if (plot_.IsValidIndex(s.graphA)) row += plot_.DescribeEquation(s.graphA, kDescriptionLimit);
    if (s.graphB >= 0) {
      row += " ; ";
      if (plot_.IsValidIndex(s.graphB)) row += plot_.DescribeEquation(s.graphB, kDescriptionLimit);
    }
    row += "}";
    ListAdd(kShadeDlgList, row);
  }
  if (!plot_.shadings.empty()) ListSetSel(kShadeDlgList, 0);
  UpdateButtons();
}

void TShadeDlg::OnListSelChange() {
  const int row = ListGetSel(kShadeDlgList);
  if (row < 0 || row >= static_cast<int>(plot_.shadings.size())) return;
  const TShadeRecord& s = *std::next(plot_.shadings.begin(), row);
  plot_.ColourSlots[kShadeColourSlot] = s.colour;
  intervalFlag_ = s.intervalFlag;
  from_ = s.from;
  to_ = s.to;
  const TPackedLetters l = SplitPackedCode(s.packedCode);
  fromLetter_ = l.fromLetter;
  toLetter_ = l.toLetter;
  const int a = IndexOfFirst(s.graphA);
  if (a >= 0) {
    ListSetSel(kIdFirstCombo, a);
    OnSelChange();
  }
  const int b = IndexOfSecond(s.graphB);
  if (b >= 0) {
    ListSetSel(kIdSecondCombo, b);
    OnSelChange2();
  }
  ShowControls(s.graphB);
}

void TShadeDlg::ShowControls(int choice) {
  SetCheck(kShadeDlgInterval, intervalFlag_ != 0);
  std::string text;
  plot_.FormatWindowNumber(from_, text);
  SetItemText(kShadeDlgFrom, text + LetterSuffix(fromLetter_));
  plot_.FormatWindowNumber(to_, text);
  SetItemText(kShadeDlgTo, text + LetterSuffix(toLetter_));
  SetCheck(kShadeDlgAbove, choice == kShadeAbove);
  SetCheck(kShadeDlgBelow, choice == kShadeBelow);
  SetCheck(kShadeDlgBetween, choice != kShadeAbove && choice != kShadeBelow);
  if (plot_.IsColourWindowVisible()) plot_.ChooseColourForSlot(kShadeColourSlot);
}

int TShadeDlg::CmCreate() {
  int code = 0;
  long double from = 0, to = 0;
  int fromLetter = 0, toLetter = 0;
  const bool interval = IsChecked(kShadeDlgInterval);
  if (interval) {
    code = plot_.ReadValueAndParameter(GetItemText(kShadeDlgFrom).substr(0, 30), from, fromLetter);
    if (code == 0) code = plot_.ReadValueAndParameter(GetItemText(kShadeDlgTo).substr(0, 30), to, toLetter);
  }
  const bool between = IsChecked(kShadeDlgBetween);
  if (code == 0 && SelectedEquation() < 0) code = 15;  // "Auswahl treffen"
  if (code == 0 && between && (SecondEquation() < 0 || SecondEquation() == SelectedEquation())) code = 23;
  if (code > 0) {
    plot_.ShowMessageById(code);
    return code;
  }
  // Only the letters A..W can be tied to an end.
  if (fromLetter > 23) fromLetter = 0;
  if (toLetter > 23) toLetter = 0;
  TShadeRecord s;
  s.graphA = static_cast<std::int16_t>(SelectedEquation());
  s.graphB = between ? static_cast<std::int16_t>(SecondEquation())
                     : (IsChecked(kShadeDlgBelow) ? kv::kShadeBelow : kv::kShadeAbove);
  s.intervalFlag = interval ? 1 : 0;
  s.from = from;
  s.to = to;
  if (fromLetter > 0) plot_.SetVariable(fromLetter, from);
  if (toLetter > 0) plot_.SetVariable(toLetter, to);
  s.colour = plot_.ColourSlots[kShadeColourSlot];
  s.packedCode = static_cast<std::int16_t>(PackShadeCode(pattern_, fromLetter, toLetter));
  plot_.shadings.push_front(s);
  Redraw();
  plot_.Modified = 1;
  FillRecordList();
  plot_.MarkUsedVariables();
  pattern_ = (pattern_ + 1) % 9;
  return 0;
}

void TShadeDlg::CmDelete() {
  const int row = ListGetSel(kShadeDlgList);
  if (row < 0 || row >= static_cast<int>(plot_.shadings.size())) return;
  plot_.shadings.erase(std::next(plot_.shadings.begin(), row));
  FillRecordList();
  Redraw();
  plot_.Modified = 1;
}

void TShadeDlg::CmDeleteAll() {
  plot_.shadings.clear();
  FillRecordList();
  Redraw();
  plot_.Modified = 1;
}

void TShadeDlg::CmIntersectionMode() {
  plot_.shadeIntersection = IsChecked(kShadeDlgCombined) ? 1 : 0;
  Redraw();
}

void TShadeDlg::CmColour() {
  plot_.ChooseColourForSlot(kShadeColourSlot);
  RequestRedraw();
}

void TShadeDlg::CeNotEmpty(plat::CommandEnabler& ce) { ce.Enable(!plot_.shadings.empty()); }

void TShadeDlg::Redraw() {
  plot_.BufferValid[0] = 0;
  plot_.InvalidatePlot();
}

}  // namespace kv
