#include "plot3d/intersection_dialogs.h"

#include "plot3d/plot_r_win.h"

namespace kv {

// ---- the intersection curve of two surfaces ----

TIntSSDlg::TIntSSDlg(TPlotRWin* window, const std::string& templateName, int equation)
    : T3DIvpDlg(window, templateName, equation) {}

const plat::CommandTable& TIntSSDlg::Commands() const {
  using D = TIntSSDlg;
  static const auto table = plat::CommandTable::Build<D>(&T3DIvpDlg::Commands(), {
                                                                                    {kIntersectionDraw, &D::CmDraw},
                                                                                    {kIntersectionSearch, &D::CmSearch},
                                                                                });
  return table;
}

void TIntSSDlg::SetupWindow() {
  T3DIvpDlg::SetupWindow();
  ShowSources();
}

void TIntSSDlg::ShowSources() {
  const TEquation* e = Record();
  auto describe = [this](int i) { return window_->IsValidIndex(i) ? window_->DescribeEquation(i, 999) : std::string(); };
  SetItemText(kIntersectionFirstSource, e ? describe(e->source1) : std::string());
  SetItemText(kIntersectionSecondSource, e ? describe(e->source2) : std::string());
  FillList();
  if (e) window_->ColourSlots[kItemColourSlot] = static_cast<std::int16_t>(e->penColour);
  itemsChanged_ = false;
}

void TIntSSDlg::CmSearch() {
  TEquation* e = Record();
  if (!e) return;
  e->penColour = static_cast<std::uint16_t>(window_->CheckColourIndex(window_->ColourSlots[kItemColourSlot]));
  // The pieces found are kept: "Verwerfen" takes back deletions only.
  if (window_->ShowCourseWindow(equation_, true, true, true)) {
    FillList();
    window_->RedrawPlot();
  }
}

void TIntSSDlg::CmDraw() { window_->ShowCourseWindow(equation_, false, false, false); }

void TIntSSDlg::Accept() {
  window_->HideCourseWindow();
  T3DIvpDlg::Accept();
}

void TIntSSDlg::Revert() {
  window_->HideCourseWindow();
  T3DIvpDlg::Revert();
}

void TIntSSDlg::DeleteSelected() {
  window_->HideCourseWindow();
  T3DIvpDlg::DeleteSelected();
}

void TIntSSDlg::DeleteListed() {
  window_->HideCourseWindow();
  T3DIvpDlg::DeleteListed();
}

}  // namespace kv
