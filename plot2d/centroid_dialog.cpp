#include "plot2d/centroid_dialog.h"

#include <cmath>
#include <string>

#include "core/number_text.h"

#include "platform/resources.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {

constexpr int kRegionColourSlot = 11;
constexpr std::int32_t kMaxDarts = 2147483647;
constexpr int kStrHelpTopic = 149;   // "Mittelpunktsuche"
constexpr int kStrClearAll = 167;    // "Alle Ungleichungen löschen?"
constexpr int kStrCaution = 2;       // "Vorsicht!"

// The entry's equation text with its first "=" turned into the sign.
std::string InequalityText(const TEquation& e) {
  std::string text = e.formulaText[4];
  const std::size_t eq = text.find('=');
  if (eq != std::string::npos) text[eq] = e.subKind > 0 ? '<' : '>';
  return text;
}

}  // namespace

TCentroidDlg::TCentroidDlg(TPlotCWin& window) : TDlg(&window, "CENTROID"), plot_(window) {}

const plat::CommandTable& TCentroidDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TCentroidDlg>(
      &TDlg::Commands(), {
                             {kCentroidLess, &TCentroidDlg::CmLess},
                             {kCentroidGreater, &TCentroidDlg::CmGreater},
                             {kCentroidDelete, &TCentroidDlg::CmDelete},
                             {kCentroidDeleteAll, &TCentroidDlg::CmDeleteAll},
                             {kCentroidMean, kCentroidHatch, &TCentroidDlg::CmMode},
                             {kCentroidCombined, kCentroidCombined, &TCentroidDlg::CmMode},
                             {kCentroidRun, &TCentroidDlg::OnRun},
                             {kCentroidColour, &TCentroidDlg::CmColour},
                             {kCentroidHelp, &TCentroidDlg::CmHelp},
                         });
  return table;
}

void TCentroidDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetItemText(kCentroidCount, std::to_string(plot_.dartCount));
  const int mode = plot_.regionMode;
  SetCheck(kCentroidCombined, mode == 0 || mode == 1);
  SetCheck(kCentroidHatch, mode == 0 || mode == 2);
  SetCheck(kCentroidMean, mode == 1 || mode == 3);
  SetCheck(kCentroidShowDarts, false);
  if (plot_.IsColourWindowVisible()) plot_.ChooseColourForSlot(kRegionColourSlot);
  FillLists();
  ShowCentroidControls();
}

void TCentroidDlg::FillLists() {
  ListClear(kCentroidCurves);
  ListClear(kCentroidInequalities);
  ListSetHorizontalExtent(kCentroidCurves, 1000);
  ListSetHorizontalExtent(kCentroidInequalities, 1000);
  curves_.clear();
  inequalities_.clear();
  for (int i = 0; i <= plot_.equationCount; ++i) {
    const TEquation& e = plot_.Equation(i);
    if (e.kind != kKindImplicit) continue;
    ListAdd(kCentroidCurves, e.formulaText[4]);
    curves_.push_back(i);
    if (e.subKind == 0) continue;
    ListAdd(kCentroidInequalities, InequalityText(e));
    inequalities_.push_back(i);
  }
  ShowCentroidControls();
}

int TCentroidDlg::ChosenEquation(int list, const std::vector<int>& map, int& code) const {
  code = 0;
  if (map.empty()) {
    code = 9;  // "nichts zu tun"
    return -1;
  }
  if (map.size() == 1) return map[0];
  const int row = ListGetSel(list);
  if (row < 0 || row >= static_cast<int>(map.size())) {
    code = 15;  // "Auswahl treffen"
    return -1;
  }
  return map[static_cast<std::size_t>(row)];
}

void TCentroidDlg::SetSign(int sign) {
  int code = 0;
  const int i = ChosenEquation(kCentroidCurves, curves_, code);
  if (code != 0) {
    plot_.ShowMessageById(code);
    return;
  }
  TEquation& e = plot_.Equation(i);
  e.subKind = static_cast<std::int16_t>(sign);
  e.subValue = plot_.ColourSlots[kRegionColourSlot];
  Changed();
}

void TCentroidDlg::CmDelete() {
  int code = 0;
  const int i = ChosenEquation(kCentroidInequalities, inequalities_, code);
  if (code != 0) {
    plot_.ShowMessageById(code);
    return;
  }
  plot_.Equation(i).subKind = 0;
  Changed();
}

void TCentroidDlg::CmDeleteAll() {
  if (plot_.RunMessageDialog(plat::res::String(kStrCaution), plat::res::String(kStrClearAll), 1) != 6) return;
  for (int i = 0; i <= plot_.equationCount; ++i)
    if (plot_.Equation(i).kind == kKindImplicit) plot_.Equation(i).subKind = 0;
  Changed();
}

void TCentroidDlg::Changed() {
  plot_.Modified = 1;
  FillLists();
  plot_.InvalidatePlot();
}

void TCentroidDlg::CmMode(int id) {
  if (id == kCentroidMean || id == kCentroidHatch) {
    SetCheck(kCentroidMean, id == kCentroidMean);
    SetCheck(kCentroidHatch, id == kCentroidHatch);
  }
  const std::int16_t mode =
      static_cast<std::int16_t>((IsChecked(kCentroidMean) ? 1 : 0) + (IsChecked(kCentroidCombined) ? 0 : 2));
  if (mode != plot_.regionMode) plot_.Modified = 1;
  plot_.regionMode = mode;
  plot_.InvalidatePlot();
  ShowCentroidControls();
  SetItemText(kCentroidResult, "");
}

void TCentroidDlg::ShowCentroidControls() {
  const bool mean = IsChecked(kCentroidMean);
  for (int id : {kCentroidRun, kCentroidCount, kCentroidCountLabel, kCentroidNote, kCentroidShowDarts})
    ShowItem(id, mean);
}

void TCentroidDlg::DrawDarts(plat::DC& dc) {
  if (!IsCreated() || IsHidden() || !IsChecked(kCentroidMean) || !IsChecked(kCentroidShowDarts)) return;
  int code = 0;
  int region = -1;
  if (!IsChecked(kCentroidCombined)) region = ChosenEquation(kCentroidInequalities, inequalities_, code);
  if (code != 0 || (region < 0 && inequalities_.empty())) return;
  TPoint2D mean;
  plot_.ThrowDartsInWindow(mean, region, true, &dc);
}

int TCentroidDlg::CmRun() {
  int code = 0;
  int region = -1;
  if (!IsChecked(kCentroidCombined)) region = ChosenEquation(kCentroidInequalities, inequalities_, code);
  std::int32_t count = 0;
  if (code == 0) {
    // A whole number of darts, at least one, up to the field's bound ("A"
    // stops a long run).
    long double v = 0;
    if (plot_.TextToValue(GetItemText(kCentroidCount), v) != 0 || !(v >= 1) || v != std::floor(v)) {
      code = 14;  // "positiver Wert?"
    } else if (v > kMaxDarts) {
      code = 17;  // "jenseits der Grenzen"
    } else {
      count = static_cast<std::int32_t>(v);
    }
  }
  if (code == 0 && region < 0 && inequalities_.empty()) code = 9;
  if (code != 0) {
    plot_.ShowMessageById(code);
    return code;
  }
  plot_.dartCount = count;
  const bool show = IsChecked(kCentroidShowDarts);
  bool hit = false;
  if (show) {
    plat::ClientDC dc(plot_);
    hit = plot_.ThrowDartsInWindow(centroid_, region, true, &dc);
  } else {
    hit = plot_.ThrowDartsInWindow(centroid_, region, false, nullptr);
  }
  if (!hit) {
    SetItemText(kCentroidResult, "");
    plot_.ShowMessageById(10);  // "nichts zu zeigen"
    return 10;
  }
  std::string x, y;
  plot_.FormatWindowNumber(centroid_.x, x);
  plot_.FormatWindowNumber(centroid_.y, y);
  SetItemText(kCentroidResult, ("x = " + x + "\r\ny = " + y).substr(0, 100));
  return 0;
}

void TCentroidDlg::CmColour() {
  plot_.ChooseColourForSlot(kRegionColourSlot);
  colourChanged_ = 1;
  plot_.InvalidatePlot();
}

void TCentroidDlg::CmHelp() { plot_.ShowHelpText(plot_.HelpName, plat::res::String(kStrHelpTopic)); }

void TCentroidDlg::CmCancel() {
  if (colourChanged_ && plot_.IsColourWindowVisible()) plot_.ChooseColourForSlot(kRegionColourSlot);
  colourChanged_ = 0;
  Hide();
}

}  // namespace kv
