#include "entry/data_win.h"

#include "entry/plot1_win.h"
#include "entry/model/result_lines.h"
#include "platform/resources.h"

namespace kv {

namespace {

enum : int {
  kStrCaution = 2,        // "Vorsicht!"
  kStrWindowName = 170,   // "Kurvato-Daten"
  kStrNoData = 171,       // "bisher keine Daten"
  kStrData = 172,         // "Daten"
  kStrDeleteData = 174,   // "Daten von diesem Eintrag löschen?"
  kStrFileName = 209,     // "PlotData.txt"
};

constexpr int kYes = 6;

}  // namespace

TDataWin::TDataWin(TPlot1Win* plot)
    : TTextWin(plot, plat::res::String(kStrWindowName), plat::res::String(kStrFileName), "", 4), plot_(plot) {
  AssignMenu("DATAMENU");
}

const plat::CommandTable& TDataWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TDataWin>(
      &TTextWin::Commands(), {
                                 {kCmDataNext, &TDataWin::CmNext},
                                 {kCmDataDelete, &TDataWin::CmDelete, &TDataWin::CeDelete},
                             });
  return table;
}

void TDataWin::SetupWindow() {
  TTextWin::SetupWindow();
  FillResults();
}

void TDataWin::UpdateFieldWidth() {
  TTextWin::UpdateFieldWidth();
  FillResults();
}

void TDataWin::FillResults() {
  std::string text;
  std::string title = plat::res::String(kStrData);
  lines_ = 0;
  if (plot_->IsValidIndex(equation_)) {
    const TEquation& e = plot_->Equation(equation_);
    title += " [" + plot_->DescribeEquation(equation_, 200) + "]";
    text = ResultLines(e.results, FieldWidth, Decimals);
    lines_ = static_cast<int>(e.results.size());
  }
  if (lines_ == 0) text = plat::res::String(kStrNoData);
  SetTitle(title);
  SetText(text);
}

void TDataWin::CmNext() {
  const int count = plot_->equationCount + 1;
  equation_ = count > 0 ? (equation_ + 1) % count : 0;
  FillResults();
}

void TDataWin::CmDelete() {
  if (!plot_->IsValidIndex(equation_)) return;
  if (RunMessageDialog(plat::res::String(kStrCaution), plat::res::String(kStrDeleteData), 1) != kYes) return;
  FreeResultPoints(plot_->Equation(equation_));
  plot_->Modified = 1;
  FillResults();
}

void TDataWin::CeDelete(plat::CommandEnabler& ce) { ce.Enable(plot_->IsValidIndex(equation_)); }

}  // namespace kv
