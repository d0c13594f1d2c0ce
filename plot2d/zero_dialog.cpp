#include "plot2d/zero_dialog.h"

#include "entry/slider_dialog.h"
#include "platform/resources.h"
#include "plot2d/model/zeros.h"
#include "plot2d/plot_c_win.h"

namespace kv {

void FillToolLetterCombo(plat::Dialog& d, int id, std::string_view letters) {
  d.ListClear(id);
  for (char c : letters) d.ListAdd(id, std::string(1, c));
  d.ListSetSel(id, 0);
}

void StoreToolValue(TPlotCWin& w, int letter, long double value) {
  if (letter < 1 || letter > 26) return;
  w.SetVariable(letter, value);
  if (TSlideDlg* s = w.SliderDialog(letter)) s->ShowValue();
}

TZeroDlg::TZeroDlg(TPlotCWin& window)
    : TComboDlg(window, "ZEROS", {kKindExplicit, kKindSegment, kKindLine}), plot_(window) {}

const plat::CommandTable& TZeroDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TZeroDlg>(&TComboDlg::Commands(), {
                                                                    {kIdToolNext, &TZeroDlg::CmNext},
                                                                    {kIdToolStore, &TZeroDlg::CmStoreAs},
                                                                    {kIdToolPoint, &TZeroDlg::CmDrawPoint,
                                                                     &TZeroDlg::CeDrawPoint},
                                                                });
  return table;
}

void TZeroDlg::SetupControls() { FillToolLetterCombo(*this, kIdToolLetters, kParameterLetters); }

void TZeroDlg::SetupWindow() {
  ready_ = false;
  TComboDlg::SetupWindow();
  letter_ = ListGetSel(kIdToolLetters) + 1;
  counter_ = 0;
  found_ = 0;
  ready_ = true;
  FindNextZero();
}

void TZeroDlg::SelectionChanged() {
  // The counter stays: another entry is searched from the same cell on.
  // During set-up the search waits for the set-up's own.
  if (ready_) FindNextZero();
}

void TZeroDlg::EvControl(int id, int notification) {
  if (id == kIdToolLetters && notification == plat::CBN_SELCHANGE) {
    letter_ = ListGetSel(kIdToolLetters) + 1;
    return;
  }
  TComboDlg::EvControl(id, notification);
}

void TZeroDlg::FindNextZero() {
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i)) {
    ShowResult(kScanNone);
    return;
  }
  long double x = x_;
  const ScanResult r = kv::FindNextZero(plot_.Equation(i), plot_.Engine(), plot_.World, counter_, x,
                                        [this] { return plot_.ToolSearchStopped(); });
  if (r == kScanFound) x_ = x;
  ShowResult(r);
}

void TZeroDlg::ShowResult(int code) {
  found_ = 0;
  std::string text;
  switch (code) {
    case kScanFound: {
      plot_.FormatWindowNumber(x_, text);
      const long double values[1] = {x_};
      plot_.AddResultPoint(SelectedEquation(), 10, values, 1, plat::res::String(182));
      found_ = 1;
      break;
    }
    case kScanTooMany: text = plat::res::String(516); break;
    case kScanStopped: text = "?"; break;
    default: text = plat::res::String(402); break;
  }
  RequestRedraw();
  SetItemText(kIdToolResult, text);
  UpdateButtons();
}

bool TZeroDlg::Mark(TPoint2D& p) const {
  if (!found_ || IsHidden() || !IsCreated()) return false;
  p = {x_, 0};
  return true;
}

void TZeroDlg::CmStoreAs() {
  // "x speichern als" stays enabled: after a failed search it stores the
  // last zero found.
  StoreToolValue(plot_, letter_, x_);
}

void TZeroDlg::CmDrawPoint() {
  if (!found_ || plot_.equationCount >= plot_.equationCapacity) return;
  TToolPointScope adding(plot_);
  plot_.AddPointItem(x_, 0);
}

void TZeroDlg::CeDrawPoint(plat::CommandEnabler& ce) {
  ce.Enable(found_ && plot_.equationCount < plot_.equationCapacity);
}

}  // namespace kv
