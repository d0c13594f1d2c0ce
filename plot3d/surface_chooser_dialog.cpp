#include "plot3d/surface_chooser_dialog.h"

#include "plot3d/plot_r_win.h"

namespace kv {

TSurfSelDlg::TSurfSelDlg(TPlotRWin* window, const std::string& templateName, TSurfacePair& result)
    : TDlg(window, templateName), window_(window), result_(result) {}

void TSurfSelDlg::SetupWindow() {
  TDlg::SetupWindow();
  map_.clear();
  for (int id : {kSurfaceListFirst, kSurfaceListSecond}) {
    SetItemFont(id, window_->FontSlots[kListFontSlot]);
    ListClear(id);
  }
  for (int i = 0; i <= window_->equationCount; ++i) {
    if (!IsIntersectableKind(window_->Equation(i).kind)) continue;
    const std::string text = window_->DescribeEquation(i, 999);
    ListAdd(kSurfaceListFirst, text);
    ListAdd(kSurfaceListSecond, text);
    map_.push_back(i);
  }
  if (map_.empty()) return;
  ListSetSel(kSurfaceListFirst, 0);
  ListSetSel(kSurfaceListSecond, static_cast<int>(map_.size()) - 1);
}

void TSurfSelDlg::CmOk() {
  const int a = ListGetSel(kSurfaceListFirst);
  const int b = ListGetSel(kSurfaceListSecond);
  const int n = static_cast<int>(map_.size());
  if (a < 0 || b < 0 || a >= n || b >= n) {
    window_->ShowMessageById(15);  // "Auswahl treffen"
    return;
  }
  const int first = map_[static_cast<std::size_t>(a)];
  const int second = map_[static_cast<std::size_t>(b)];
  TSurfacePair pair;
  const int code = OrderSurfacePair(first, window_->Equation(first).kind, second, window_->Equation(second).kind, pair);
  if (code != 0) {
    window_->ShowMessageById(code);
    return;
  }
  result_ = pair;
  TDlg::CmOk();
}

}  // namespace kv
