#include "plot3d/curve_surface_dialog.h"

#include "core/number_text.h"
#include "plot3d/plot_r_win.h"

namespace kv {

namespace {

// The letters "Speichere" offers and the parameter numbers they stand for.
constexpr char kSourceLetters[] = "XYZT";
constexpr int kSourceParameters[] = {24, 25, 26, 20};
// The code and text of the result points this dialog attaches.
constexpr int kCrossingResultCode = 60;
constexpr const char* kCrossingResultText = "int(x,y,z,t)";

}  // namespace

TIntCSDlg::TIntCSDlg(TPlotRWin& window)
    : T2ComboDlg(window, "INTER", {kKindSurface, kKindImplicitSurface, kKindPlane}, {kKindSpaceCurve}),
      plot_(window) {}

const plat::CommandTable& TIntCSDlg::Commands() const {
  using D = TIntCSDlg;
  static const auto table = plat::CommandTable::Build<D>(&T2ComboDlg::Commands(), {
                                                                                      {kCrossingNext, &D::CmNext},
                                                                                      {kCrossingStore, &D::CmStore, &D::CeFound},
                                                                                      {kCrossingPoint, &D::CmPoint, &D::CePoint},
                                                                                  });
  return table;
}

void TIntCSDlg::SetupControls() {
  ListClear(kCrossingSource);
  for (const char* c = kSourceLetters; *c; ++c) ListAdd(kCrossingSource, std::string(1, *c));
  ListSetSel(kCrossingSource, 0);
  OnSourceLetterChange();
  ListClear(kCrossingTarget);
  for (char c = 'A'; c <= 'Z'; ++c) ListAdd(kCrossingTarget, std::string(1, c));
  ListSetSel(kCrossingTarget, 0);
  OnTargetLetterChange();
  SetCheck(kCrossingDegrees, false);
}

void TIntCSDlg::SetupWindow() {
  T2ComboDlg::SetupWindow();
  counter_ = 0;
  FindNextIntersection();
}

void TIntCSDlg::EvControl(int id, int notification) {
  if (notification == plat::CBN_SELCHANGE && id == kCrossingSource) {
    OnSourceLetterChange();
    return;
  }
  if (notification == plat::CBN_SELCHANGE && id == kCrossingTarget) {
    OnTargetLetterChange();
    return;
  }
  T2ComboDlg::EvControl(id, notification);
}

void TIntCSDlg::RefreshPlot() {
  plot_.Overlays.intersection.shown = false;
  T2ComboDlg::RefreshPlot();
}

void TIntCSDlg::OnSourceLetterChange() {
  const int row = ListGetSel(kCrossingSource);
  if (row >= 0 && row < 4) sourceParameter_ = kSourceParameters[row];
}

void TIntCSDlg::OnTargetLetterChange() {
  const int row = ListGetSel(kCrossingTarget);
  if (row >= 0 && row < 26) targetParameter_ = row + 1;
}

void TIntCSDlg::FindNextIntersection() {
  found_ = false;
  last_ = TCrossing{};
  const int s = SelectedEquation();
  const int k = SecondEquation();
  if (plot_.IsValidIndex(s) && plot_.IsValidIndex(k) && s != k)
    last_ = FindNextCrossing(plot_.Engine(), plot_.Equation(s), plot_.Equation(k), counter_);
  ShowResult();
}

void TIntCSDlg::ShowResult() {
  found_ = false;
  std::string text = "?";
  if (last_.found) {
    const int w = plot_.FieldWidth;
    const int d = plot_.Decimals;
    text = "t = " + FormatNumber(last_.t, w, d) + "\n" + "x = " + FormatNumber(last_.point.x, w, d) + "\n" +
           "y = " + FormatNumber(last_.point.y, w, d) + "\n" + "z = " + FormatNumber(last_.point.z, w, d) + "\n";
    const long double values[4] = {last_.point.x, last_.point.y, last_.point.z, last_.t};
    plot_.AddResultPoint(SelectedEquation(), kCrossingResultCode, values, 4, kCrossingResultText);
    plot_.AddResultPoint(SecondEquation(), kCrossingResultCode, values, 4, kCrossingResultText);
    plot_.NotifyDataWindow();
    found_ = true;
  }
  plot_.Overlays.intersection.shown = found_;
  plot_.Overlays.intersection.point = last_.point;
  plot_.RedrawOverlays();
  SetItemText(kCrossingResult, text);
  UpdateButtons();
}

void TIntCSDlg::CmStore() {
  if (!found_) return;
  long double v = last_.t;
  if (sourceParameter_ == 24) v = last_.point.x;
  if (sourceParameter_ == 25) v = last_.point.y;
  if (sourceParameter_ == 26) v = last_.point.z;
  plot_.Tables().value.SetRealPart(static_cast<std::size_t>(targetParameter_), v);
  plot_.Modified = 1;
}

void TIntCSDlg::CePoint(plat::CommandEnabler& ce) {
  ce.Enable(found_ && plot_.equationCount < plot_.equationCapacity);
}

void TIntCSDlg::CmPoint() {
  if (!found_) return;
  // The new point leaves the companion dialogs' lists and choices as they
  // are.
  TToolPointScope adding(plot_);
  plot_.AddPoint3D(last_.point.x, last_.point.y, last_.point.z);
  UpdateButtons();
}

}  // namespace kv
