// The view layer between the graphics layer and the text labels: zoom out
// and in, equal scale, previous view, restore, the automatic choice of tick
// intervals and decimals, and the two modeless dialogs of the view (the
// grid dialog and the view dialog).  Every plot window derives from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/zor_wing.h"
#include "shell/dialog_base.h"

namespace kv {

class TGridDlg;
class TViewDlg;

enum : int {
  kCmResetView = 103,
  kCmViewDialog = 104,
  kCmZoomOut = 106,
  kCmZoomIn = 107,
  kCmPreviousView = 111,
  kCmEqualScale = 117,
  kCmGridDialog = 320,
};

class TGridWin : public TZORWing {
 public:
  TGridWin(plat::Window* parent, const std::string& title);
  ~TGridWin() override;

  const plat::CommandTable& Commands() const override;
  // Closes and deletes both dialogs, then the graphics layer's clean-up.
  void Destroy() override;
  // The graphics layer's update, then the fields of a visible view dialog.
  void UpdateView() override;
  // ComputeTickSpacing with one tick per 8 pixels; refreshes the number
  // fields of an open grid dialog when it changed an interval.
  std::int16_t AutoTickSpacing(TTickRange& range) override;

  // Creates the grid dialog on first use, then shows it.
  virtual void GridDialog();
  // Centre (0, 0), half-extents 5, equal scale, intervals 1, no history.
  virtual void ResetView();
  // Opens (or shows again) the view dialog with its fields refreshed and
  // the text of the x position selected.
  void ShowViewDialog();
  // The intervals, frequencies and decimals into an open grid dialog.
  void RefreshGridDialogNumbers();

  TGridDlg* GridDlg() const { return gridDialog_.get(); }
  TViewDlg* ViewDlg() const { return viewDialog_.get(); }

  // Template names: the plot windows choose "VIEWCOR" or "VIEWCEN".
  std::string ViewTemplate = "VIEWALL";
  std::string GridTemplate = "SETGRID";

  void CmResetView();
  void CmViewDialog() { ShowViewDialog(); }
  void CmZoomOut() { ZoomView(true); }
  void CmZoomIn() { ZoomView(false); }
  void CmPreviousView() { PreviousView(); }
  void CePreviousView(plat::CommandEnabler& ce) { ce.Enable(HasPreviousView()); }
  void CmEqualScale();
  void CeEqualScale(plat::CommandEnabler& ce) { ce.Enable(ViewMode == 1); }
  void CmGridDialog() { GridDialog(); }

 private:
  std::unique_ptr<TGridDlg> gridDialog_;
  std::unique_ptr<TViewDlg> viewDialog_;
};

}  // namespace kv
