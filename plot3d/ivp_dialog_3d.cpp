#include "plot3d/ivp_dialog_3d.h"

#include <iterator>

#include "platform/resources.h"
#include "plot3d/model/evaluate.h"
#include "plot3d/model/intersection_curve.h"
#include "plot3d/plot_r_win.h"

namespace kv {

T3DIvpDlg::T3DIvpDlg(TPlotRWin* window, const std::string& templateName, int equation)
    : TDlg(window, templateName), window_(window), equation_(equation) {}

const plat::CommandTable& T3DIvpDlg::Commands() const {
  using D = T3DIvpDlg;
  static const auto table = plat::CommandTable::Build<D>(&TDlg::Commands(), {
                                                                               {kIvpDelete, &D::CmDelete, &D::CeDelete},
                                                                               {kIvpDeleteAll, &D::CmDeleteAll, &D::CeDeleteAll},
                                                                               {kIvpColour, &D::CmColour},
                                                                           });
  return table;
}

void T3DIvpDlg::SetupWindow() {
  TDlg::SetupWindow();
  // Rows with several long numbers scroll sideways.
  ListSetHorizontalExtent(kIvpItemList, kItemListExtent);
  BackupItems();
}

void T3DIvpDlg::EvControl(int id, int notification) {
  if (id == kIvpItemList && notification == plat::LBN_SELCHANGE) {
    RefreshButtons();
    return;
  }
  TDlg::EvControl(id, notification);
}

void T3DIvpDlg::Open() {
  Show(plat::SW_SHOW);
  hidden_ = 0;
  BringToTop();
}

TEquation* T3DIvpDlg::Record() { return window_->IsValidIndex(equation_) ? &window_->Equation(equation_) : nullptr; }

void T3DIvpDlg::BackupItems() {
  backup_.clear();
  backupSearchPending_ = false;
  if (TEquation* e = Record()) {
    backup_ = CloneEquationItems(e->items);
    // An intersection curve opened before its first picture has no pieces
    // yet: what the user sees is the curve that picture searches.
    backupSearchPending_ = e->kind == kKindIntersection && e->webToAxis != 0;
  }
  if (window_->IsColourWindowVisible()) window_->ChooseColourForSlot(kItemColourSlot);
}

void T3DIvpDlg::FillList() {
  ListClear(kIvpItemList);
  rows_.clear();
  TEquation* e = Record();
  if (e) {
    const bool parameterPlane = e->kind == kKindIntersection && e->derivation >= kCurveExplicitParametric;
    int position = 0;
    for (const TEquationItem& item : e->items) {
      const int p = position++;
      if (filter_ > 0 && item.tag != filter_) continue;
      if (static_cast<int>(rows_.size()) >= kMaxRows) break;
      std::string text;
      if (parameterPlane) {
        // A piece on the parameter plane is listed by its point of space.
        TEquationItem shown = CloneEquationItem(item);
        const TEngineVariableGuard guard(window_->Engine());
        TPoint3D p3;
        if (LiftIntersectionPoint(*e, window_->Engine(), {item.start.x, item.start.y}, p3)) shown.start = p3;
        text = window_->FormatValueReport(shown, e->kind, window_->Decimals);
      } else {
        text = window_->FormatValueReport(item, e->kind, window_->Decimals);
      }
      ListAdd(kIvpItemList, text);
      rows_.push_back(p);
    }
  }
  if (!rows_.empty()) ListSetSel(kIvpItemList, 0);
  RefreshButtons();
}

void T3DIvpDlg::RefreshButtons() {
  EnableItem(kIvpDelete, QueryCommand(kIvpDelete).enabled);
  EnableItem(kIvpDeleteAll, QueryCommand(kIvpDeleteAll).enabled);
}

void T3DIvpDlg::ItemsDeleted() {
  FillList();
  window_->RedrawPlot();
  window_->Modified = 1;
  itemsChanged_ = true;
}

void T3DIvpDlg::DeleteSelected() {
  TEquation* e = Record();
  const int row = ListGetSel(kIvpItemList);
  if (!e || e->items.empty() || row < 0 || row >= static_cast<int>(rows_.size())) return;
  const int position = rows_[static_cast<std::size_t>(row)];
  if (position >= static_cast<int>(e->items.size())) return;
  e->items.erase(std::next(e->items.begin(), position));
  ItemsDeleted();
}

void T3DIvpDlg::DeleteListed() {
  if (rows_.empty()) return;
  if (window_->RunMessageDialog(plat::res::String(2), plat::res::String(kStrDeleteAllItems), 1) != plat::IDYES)
    return;
  TEquation* e = Record();
  if (!e) return;
  int position = 0;
  std::size_t next = 0;
  bool deleted = false;
  for (auto it = e->items.begin(); it != e->items.end() && next < rows_.size(); ++position) {
    if (position == rows_[next]) {
      it = e->items.erase(it);
      ++next;
      deleted = true;
    } else {
      ++it;
    }
  }
  if (deleted) ItemsDeleted();
}

void T3DIvpDlg::CmColour() {
  window_->ChooseColourForSlot(kItemColourSlot);
  colourOpened_ = true;
}

void T3DIvpDlg::Close() {
  if (colourOpened_) window_->HideColourWindow();
  colourOpened_ = false;
  window_->RedrawPlot();
  window_->HideLevelWindow();
  window_->SetInventoryEditing(true);
  Hide();
}

void T3DIvpDlg::Accept() {
  Close();
  itemsChanged_ = false;
}

void T3DIvpDlg::Revert() {
  if (itemsChanged_) {
    if (TEquation* e = Record()) {
      ClearEquationItems(*e);
      e->items = CloneEquationItems(backup_);
      if (backupSearchPending_) e->webToAxis = 1;
    }
    itemsChanged_ = false;
  }
  Close();
}

}  // namespace kv
