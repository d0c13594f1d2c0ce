#include "entry/trajectory_dialogs.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "entry/plot1_win.h"
#include "plotcore/model/trajectories.h"

namespace kv {

namespace {

constexpr long double kTinyValue = 1e-16L;
constexpr long kDefaultTerms = 512;

}  // namespace

// ---- dy/dt ----

TIvp10Dlg::TIvp10Dlg(TPlot1Win& window, std::int16_t* openIndex, int kind)
    : TIvpDlg(window, "IVP10", kind, openIndex), plot_(window) {}

const plat::CommandTable& TIvp10Dlg::Commands() const {
  using D = TIvp10Dlg;
  static const auto table = plat::CommandTable::Build<TIvp10Dlg>(
      &TIvpDlg::Commands(), {
                                {kIdIvpEndPoint, &D::CmEndPoint, &D::CeEndPoint},
                            });
  return table;
}

void TIvp10Dlg::SetupControls() { SetCheck(kIdIvpThirdRadio, true); }

void TIvp10Dlg::SelectionChanged() {
  TIvpDlg::SelectionChanged();
  plot_.RefreshTraceDialogs();
}

int TIvp10Dlg::GetDirection() const {
  if (IsChecked(kIdIvpFirstRadio)) return 1;
  if (IsChecked(kIdIvpSecondRadio)) return -1;
  return 0;
}

int TIvp10Dlg::ReadRunSettings(long double& t0, long double& steps) {
  int code = ReadNumberEdit(kIdIvpStartT, t0);
  if (code != 0) {
    plot_.ShowMessageById(code);
    return code;
  }
  steps = -1;
  if (IsChecked(kIdIvpDurationLimit)) {
    long double duration = 0;
    code = ReadNumberEdit(kIdIvpSteps, duration);
    if (code == 0 && !(duration >= kTinyValue)) code = 14;  // "positiver Wert?"
    if (code != 0) {
      plot_.ShowMessageById(code);
      return code;
    }
    // The duration in steps of the window's trajectory step, bounded.
    const long double n = std::ceil(duration / plot_.DefaultTrajectoryStep());
    steps = std::min<long double>(n, static_cast<long double>(kMaxTrajectorySteps));
  }
  return 0;
}

int TIvp10Dlg::DrawFrom(const TPoint3D& start, long double t0, long double steps) {
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i) || plot_.Equation(i).kind != kind_) return 0;
  bool hadItems = false;
  const std::uint16_t previous = HeadSerial(hadItems);
  const int r = plot_.AddTrajectoryBuffered(i, start, GetDirection(), steps, ReadDelay(), t0);
  KeepStartTexts(previous, hadItems);
  if (RecolourNewItems(previous, hadItems)) plot_.InvalidatePlot();
  if (plot_.redrawAfterTrajectory) plot_.DrawEquationBuffered(i);
  AfterDraw();
  return r;
}

void TIvp10Dlg::Draw(bool follow) {
  TPoint3D start;
  if (!ReadDrawStart(start, follow)) return;
  long double t0 = 0;
  long double steps = -1;
  if (ReadRunSettings(t0, steps) != 0) return;
  storedStart_ = start;
  storedT_ = t0;
  plot_.followFlag = follow ? 1 : 0;
  DrawFrom(start, t0, steps);
  plot_.followFlag = 0;
}

void TIvp10Dlg::CmEndPoint() {
  TEquationItem* item = CurrentItem();
  if (!item) return;
  TPoint3D end;
  long double t = 0;
  // Where the current solution leaves the view forwards: the next drawing
  // continues from there.
  if (plot_.ComputeTrajectoryOffscreen(SelectedEquation(), *item, end, t, 1) != 0) return;
  storedStart_ = end;
  storedT_ = t;
  start_ = end;
  ShowStart(end, t);
}

// ---- sequences ----

TIvp12Dlg::TIvp12Dlg(TPlot1Win& window, std::int16_t* openIndex, int kind)
    : TIvpDlg(window, "IVP12", kind, openIndex), plot_(window) {}

void TIvp12Dlg::ShowItem() {
  TIvpDlg::ShowItem();
  long terms = kDefaultTerms;
  if (const TEquationItem* item = CurrentItem()) terms = RoundToInt(item->stepLimit) + 1L;
  SetItemText(kIdIvpTerms, std::to_string(terms));
}

long TIvp12Dlg::ReadCount() {
  std::int32_t terms = 0;
  if (plot_.ReadBoundedInt(GetItemText(kIdIvpTerms), 1, static_cast<std::int32_t>(kMaxSequenceTerms), terms) != 0) {
    plot_.ShowMessageById(17);  // "jenseits der Grenzen"
    return -1;
  }
  return static_cast<long>(terms) - 1;
}

int TIvp12Dlg::DrawFrom(const TPoint3D& start, long count) {
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i) || plot_.Equation(i).kind != kind_ || count < 0) return 0;
  bool hadItems = false;
  const std::uint16_t previous = HeadSerial(hadItems);
  const int r = plot_.DrawSequenceItemBuffered(i, start, count, ReadDelay());
  KeepStartTexts(previous, hadItems);
  if (RecolourNewItems(previous, hadItems)) plot_.InvalidatePlot();
  if (plot_.redrawAfterTrajectory) plot_.DrawEquationBuffered(i);
  AfterDraw();
  return r;
}

void TIvp12Dlg::Draw(bool follow) {
  TPoint3D start;
  if (!ReadDrawStart(start, follow)) return;
  const long count = ReadCount();
  if (count < 0) return;
  storedStart_ = start;
  plot_.followFlag = follow ? 1 : 0;
  DrawFrom(start, count);
  plot_.followFlag = 0;
}

}  // namespace kv
