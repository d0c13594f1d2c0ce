#include "plot2d/ivp_dialogs.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "plot2d/plot_c_win.h"
#include "plotcore/model/trajectories.h"

namespace kv {

namespace {

constexpr long double kTinyValue = 1e-16L;
constexpr long double kDefaultStepSize = 0.1L;
constexpr int kDefaultStepCount = 20;

}  // namespace

// ---- dy/dx ----

TIvp11Dlg::TIvp11Dlg(TPlotCWin& window, std::int16_t* openIndex)
    : TIvpDlg(window, "IVP11", kKindOdeDyDx, openIndex), plot_(window) {
  zEdit_ = false;
}

void TIvp11Dlg::SetupControls() { SetCheck(kIdIvpFirstRadio, true); }

void TIvp11Dlg::ShowItem() {
  TIvpDlg::ShowItem();
  long double h = kDefaultStepSize;
  int steps = kDefaultStepCount;
  int method = kMethodEuler;
  if (const TEquationItem* item = CurrentItem()) {
    h = item->paramEnd;
    steps = RoundToInt(item->stepLimit);
    method = std::clamp<int>(item->method, 0, 2);
  }
  std::string text;
  plot_.FormatWindowNumber(h, text);
  SetItemText(kIdIvpStepSize, text);
  SetItemText(kIdIvpSteps, std::to_string(steps));
  SetCheck(kIdIvpFirstRadio, method == kMethodEuler);
  SetCheck(kIdIvpSecondRadio, method == kMethodModifiedEuler);
  SetCheck(kIdIvpThirdRadio, method == kMethodRungeKutta);
}

int TIvp11Dlg::ReadStepSettings(long double& h, int& method) {
  int code = ReadNumberEdit(kIdIvpStepSize, h);
  if (code == 0 && !(std::fabs(h) >= kTinyValue)) code = 6;  // "widersprüchliche Daten"
  if (code != 0) {
    plot_.ShowMessageById(code);
    return code;
  }
  method = IsChecked(kIdIvpFirstRadio) ? kMethodEuler : IsChecked(kIdIvpSecondRadio) ? kMethodModifiedEuler
                                                                                     : kMethodRungeKutta;
  return 0;
}

int TIvp11Dlg::DrawFrom(const TPoint2D& start, bool follow) {
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i) || plot_.Equation(i).kind != kKindOdeDyDx) return 0;
  long double h = kDefaultStepSize;
  int method = kMethodEuler;
  const int code = ReadStepSettings(h, method);
  if (code != 0) return code;
  bool hadItems = false;
  const std::uint16_t previous = HeadSerial(hadItems);
  plot_.followFlag = follow ? 1 : 0;
  const int r = plot_.AddDyDxTrajectoryBuffered(i, start, h, method, ReadDelay());
  plot_.followFlag = 0;
  KeepStartTexts(previous, hadItems);
  if (plot_.redrawAfterTrajectory) plot_.DrawEquationBuffered(i);
  AfterDraw();
  return r;
}

int TIvp11Dlg::ReadStartValues(TPoint2D& start) {
  // In complex mode one edit "z =" holds both coordinates.
  if (plot_.ComplexMode()) {
    TPoint3D p;
    const int code = ReadStartPoint(p, true);
    if (code == 0) start = {p.x, p.y};
    return code;
  }
  TPoint2D p;
  int code = ReadNumberEdit(kIdIvpStartX, p.x);
  if (code == 0) code = ReadNumberEdit(kIdIvpStartY, p.y);
  TPoint2D shown = p;
  // A start the domain's mapping cannot carry would add a solution that
  // draws nothing.
  if (code == 0 && !plot_.MoveToMappedPoint(shown)) code = 17;  // "jenseits der Grenzen"
  if (code != 0) {
    plot_.ShowMessageById(code);
    return code;
  }
  start = p;
  return 0;
}

void TIvp11Dlg::Draw(bool follow) {
  // The start, the step size, then the delay of a followed solution.
  TPoint2D start;
  long double h = 0;
  int method = 0;
  if (ReadStartValues(start) != 0 || ReadStepSettings(h, method) != 0) return;
  if (follow) {
    const int code = ReadDensity();
    if (code != 0) {
      plot_.ShowMessageById(code);
      return;
    }
  }
  storedStart_ = {start.x, start.y, 0};
  DrawFrom(start, follow);
}

void TIvp11Dlg::OpenItemTable() {
  TEquationItem* item = CurrentItem();
  if (!item) return;
  const std::int32_t steps = ParseInt(GetItemText(kIdIvpSteps));
  if (steps < 1) {
    plot_.ShowMessageById(14);  // "positiver Wert?"
    return;
  }
  if (steps > kMaxTrajectorySteps) {
    plot_.ShowMessageById(17);  // "jenseits der Grenzen"
    return;
  }
  item->stepLimit = steps;
  TIvpDlg::OpenItemTable();
}

}  // namespace kv
