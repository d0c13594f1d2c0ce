#include "plot2d/extremum_dialog.h"

#include "formula/tokens.h"
#include "platform/resources.h"
#include "plot2d/plot_c_win.h"
#include "plot2d/zero_dialog.h"

namespace kv {

namespace {

constexpr int kSourceT = tok::T;

bool IsCurve(int kind) { return kind == kKindPolar || kind == kKindParametric; }

const char* TargetSuffix(int target, bool curve) {
  if (!curve) return target == kTargetYPrime ? " y': (x,y,y')" : " y: (x,y)";
  switch (target) {
    case kTargetX: return " x: (x,y,r,t)";
    case kTargetR: return " r: (x,y,r,t)";
    default: return " y: (x,y,r,t)";
  }
}

}  // namespace

TExtrDlg::TExtrDlg(TPlotCWin& window)
    : TComboDlg(window, "EXTREMES", {kKindExplicit, kKindPolar, kKindParametric}), plot_(window) {}

const plat::CommandTable& TExtrDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TExtrDlg>(
      &TComboDlg::Commands(), {
                                  {kIdToolNext, &TExtrDlg::CmNext},
                                  {kIdToolStore, &TExtrDlg::CmStoreAs, &TExtrDlg::CeStoreAs},
                                  {kIdToolPoint, &TExtrDlg::CmDrawPoint, &TExtrDlg::CeDrawPoint},
                              });
  return table;
}

void TExtrDlg::SetupControls() { FillToolLetterCombo(*this, kIdToolLetters, kParameterLetters); }

void TExtrDlg::SetupWindow() {
  ready_ = false;
  state_ = {};
  TComboDlg::SetupWindow();
  letter_ = ListGetSel(kIdToolLetters) + 1;
  ready_ = true;
  FindNextExtremum();
}

void TExtrDlg::SelectionChanged() {
  state_ = {};
  // The lists of targets and stored values follow the kind.
  const bool curve = IsCurve(SelectedKind());
  FillToolLetterCombo(*this, kIdToolTarget, curve ? "XYR" : "Y");
  if (!curve) ListAdd(kIdToolTarget, "Y'");
  ListSetSel(kIdToolTarget, 0);
  ListClear(kIdToolSource);
  static const char* const kCurveSources[] = {"X", "Y", "R", "T"};
  static const char* const kGraphSources[] = {"X", "Y", "Y'"};
  if (curve) {
    for (const char* s : kCurveSources) ListAdd(kIdToolSource, s);
  } else {
    for (const char* s : kGraphSources) ListAdd(kIdToolSource, s);
  }
  ListSetSel(kIdToolSource, 0);
  target_ = curve ? kTargetX : kTargetY;
  source_ = kTargetX;
  // During set-up the search waits for the set-up's own, which would
  // otherwise begin at the second extremum.
  if (ready_) FindNextExtremum();
}

void TExtrDlg::EvControl(int id, int notification) {
  if (notification == plat::CBN_SELCHANGE) {
    switch (id) {
      case kIdToolTarget: OnTargetChanged(); return;
      case kIdToolSource: OnSourceChanged(); return;
      case kIdToolLetters: letter_ = ListGetSel(kIdToolLetters) + 1; return;
      default: break;
    }
  }
  TComboDlg::EvControl(id, notification);
}

void TExtrDlg::OnTargetChanged() {
  const int row = ListGetSel(kIdToolTarget);
  int target = kTargetY;
  if (IsCurve(SelectedKind())) {
    target = row == 0 ? kTargetX : row == 2 ? kTargetR : kTargetY;
  } else if (row == 1) {
    target = kTargetYPrime;
  }
  if (target == target_) return;
  target_ = target;
  FindNextExtremum();
}

void TExtrDlg::OnSourceChanged() {
  const int row = ListGetSel(kIdToolSource);
  if (row < 2) {
    source_ = row + kTargetX;
  } else if (row == 2) {
    source_ = IsCurve(SelectedKind()) ? kTargetR : kTargetYPrime;
  } else {
    source_ = kSourceT;
  }
  UpdateButtons();
}

void TExtrDlg::FindNextExtremum() {
  const int i = SelectedEquation();
  TExtremum out;
  const ScanResult r = plot_.IsValidIndex(i)
                           ? kv::FindNextExtremum(plot_.Equation(i), plot_.Engine(), target_, state_, out,
                                                  [this] { return plot_.ToolSearchStopped(); })
                           : kScanNone;
  if (r == kScanFound) result_ = out;
  ShowResult(r == kScanFound);
}

void TExtrDlg::ShowResult(bool found) {
  found_ = 0;
  std::string text = "?";
  if (found) {
    const TExtremum& e = result_;
    auto line = [&](const char* name, long double v) {
      std::string number;
      plot_.FormatWindowNumber(v, number);
      text += name + number + "\r\n";
    };
    text.clear();
    line("x = ", e.values[0]);
    line("y = ", e.values[1]);
    if (e.code > 30) line(e.code == 34 ? "y' = " : "r = ", e.values[2]);
    if (e.code >= 31 && e.code <= 33) line("t = ", e.values[3]);
    std::string name = plat::res::String(184).substr(0, 29) + TargetSuffix(target_, IsCurve(SelectedKind()));
    plot_.AddResultPoint(SelectedEquation(), e.code, e.values, e.count, name);
    found_ = 1;
  }
  RequestRedraw();
  SetItemText(kIdToolResult, text);
  UpdateButtons();
}

bool TExtrDlg::Mark(TPoint2D& p) const {
  if (!found_ || IsHidden() || !IsCreated()) return false;
  p = {result_.values[0], result_.values[1]};
  return true;
}

void TExtrDlg::CmStoreAs() {
  if (!found_) return;
  long double v = result_.values[0];
  switch (source_) {
    case kTargetY: v = result_.values[1]; break;
    case kTargetYPrime:
    case kTargetR: v = result_.values[2]; break;
    case kSourceT: v = result_.values[3]; break;
    default: break;
  }
  if (!Stores()) return;
  StoreToolValue(plot_, letter_, v);
}

void TExtrDlg::CmDrawPoint() {
  if (!found_ || plot_.equationCount >= plot_.equationCapacity) return;
  TToolPointScope adding(plot_);
  plot_.AddPointItem(result_.values[0], result_.values[1]);
}

bool TExtrDlg::Stores() const { return found_ && (source_ != kTargetYPrime || result_.slope); }

void TExtrDlg::CeStoreAs(plat::CommandEnabler& ce) { ce.Enable(Stores()); }

void TExtrDlg::CeDrawPoint(plat::CommandEnabler& ce) {
  ce.Enable(found_ && plot_.equationCount < plot_.equationCapacity);
}

}  // namespace kv
