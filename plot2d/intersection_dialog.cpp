#include "plot2d/intersection_dialog.h"

#include "core/constants.h"
#include "platform/resources.h"
#include "plot2d/plot_c_win.h"
#include "plot2d/zero_dialog.h"

namespace kv {

namespace {

constexpr std::initializer_list<int> kCurveKinds = {kKindExplicit, kKindPolar,   kKindParametric,
                                                    kKindImplicit, kKindSegment, kKindLine};

}  // namespace

TInterCCDlg::TInterCCDlg(TPlotCWin& window)
    : T2ComboDlg(window, "INTER", kCurveKinds, kCurveKinds), plot_(window) {}

const plat::CommandTable& TInterCCDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TInterCCDlg>(
      &T2ComboDlg::Commands(), {
                                   {kIdToolNext, &TInterCCDlg::CmNext},
                                   {kIdToolDegrees, &TInterCCDlg::CmDegrees},
                                   {kIdToolStore, &TInterCCDlg::CmStoreAs, &TInterCCDlg::CeStoreAs},
                                   {kIdToolPoint, &TInterCCDlg::CmDrawPoint, &TInterCCDlg::CeDrawPoint},
                               });
  return table;
}

void TInterCCDlg::SetupControls() {
  // The template is the 3D window's too: there a surface meets a curve.
  SetItemText(232, "1. Kurve");
  SetItemText(233, "2. Kurve");
  FillToolLetterCombo(*this, kIdToolSource, "XYZ");
  FillToolLetterCombo(*this, kIdToolLetters, kParameterLetters);
}

void TInterCCDlg::SetupWindow() {
  ready_ = false;
  state_.Reset();
  T2ComboDlg::SetupWindow();
  SetCheck(kIdToolDegrees, plot_.angleInDegrees != 0);
  // Angles mean nothing on logarithmic axes.
  if (plot_.LogWindowType > 0) ShowItem(kIdToolDegrees, false);
  source_ = 0;
  letter_ = 1;
  ready_ = true;
  FindNextIntersection();
}

// Another curve keeps the cell the search goes on from.
void TInterCCDlg::SelectionChanged() {
  if (ready_ && SecondEquation() >= 0) FindNextIntersection();
}

void TInterCCDlg::SecondSelectionChanged() {
  // An implicit second curve is walked from the start of its first piece.
  const int b = SecondEquation();
  state_.TakeFirstPiece(plot_.IsValidIndex(b) && plot_.Equation(b).kind == kKindImplicit ? plot_.Equation(b).traced
                                                                                          : nullptr);
  if (ready_ && SelectedEquation() >= 0) FindNextIntersection();
}

void TInterCCDlg::EvControl(int id, int notification) {
  if (notification == plat::CBN_SELCHANGE && id == kIdToolSource) {
    source_ = ListGetSel(kIdToolSource);
    return;
  }
  if (notification == plat::CBN_SELCHANGE && id == kIdToolLetters) {
    letter_ = ListGetSel(kIdToolLetters) + 1;
    return;
  }
  T2ComboDlg::EvControl(id, notification);
}

void TInterCCDlg::CmNext() {
  if (SelectedEquation() >= 0 && SelectedEquation() == SecondEquation()) {
    plot_.ShowMessageById(23);
    return;
  }
  FindNextIntersection();
}

void TInterCCDlg::FindNextIntersection() {
  const int a = SelectedEquation();
  const int b = SecondEquation();
  if (!plot_.IsValidIndex(a) || !plot_.IsValidIndex(b) || a == b) {
    ShowResult(kScanNone);
    return;
  }
  TIntersectionSettings s;
  s.view = plot_.World;
  TIntersection out;
  const ScanResult r = kv::FindNextIntersection(plot_.Equation(a), plot_.Equation(b), plot_.Engine(), s, state_, out,
                                                [this] { return plot_.ToolSearchStopped(); });
  if (r == kScanFound) crossing_ = out;
  ShowResult(r);
}

void TInterCCDlg::ShowResult(int code) {
  lastResult_ = code;
  std::string text;
  if (code == kScanFound) {
    auto number = [&](long double v) {
      std::string n;
      plot_.FormatWindowNumber(v, n);
      return n;
    };
    text = "x = " + number(crossing_.x) + "\r\ny = " + number(crossing_.y) + "\r\n\r\n";
    if (plot_.LogWindowType < 1)
      text += "z = " + number(plot_.angleInDegrees ? crossing_.angle * DegPerRad : crossing_.angle);
    const long double values[2] = {crossing_.x, crossing_.y};
    const std::string name = plat::res::String(183);
    plot_.AddResultPoint(SelectedEquation(), 20, values, 2, name);
    plot_.AddResultPoint(SecondEquation(), 20, values, 2, name);
  } else if (code == kScanTooMany) {
    text = plat::res::String(516);
  } else if (code == kScanStopped) {
    text = "?";
  } else {
    text = plat::res::String(402);
  }
  RequestRedraw();
  SetItemText(kIdToolResult, text);
  UpdateButtons();
}

bool TInterCCDlg::Mark(TPoint2D& p) const {
  if (lastResult_ != kScanFound || IsHidden() || !IsCreated()) return false;
  p = {crossing_.x, crossing_.y};
  return true;
}

void TInterCCDlg::CmDegrees() {
  plot_.angleInDegrees = IsChecked(kIdToolDegrees) ? 1 : 0;
  if (lastResult_ == kScanFound) ShowResult(kScanFound);
}

void TInterCCDlg::CmStoreAs() {
  if (lastResult_ != kScanFound) return;
  const long double v = source_ == 0 ? crossing_.x : source_ == 1 ? crossing_.y : crossing_.angle;
  StoreToolValue(plot_, letter_, v);
}

void TInterCCDlg::CmDrawPoint() {
  if (lastResult_ != kScanFound || plot_.equationCount >= plot_.equationCapacity) return;
  TToolPointScope adding(plot_);
  plot_.AddPointItem(crossing_.x, crossing_.y);
}

void TInterCCDlg::CeStoreAs(plat::CommandEnabler& ce) { ce.Enable(lastResult_ == kScanFound); }

void TInterCCDlg::CeDrawPoint(plat::CommandEnabler& ce) {
  ce.Enable(lastResult_ == kScanFound && plot_.equationCount < plot_.equationCapacity);
}

}  // namespace kv
