// The modeless view dialog: the shown rectangle by its corners ("links",
// "rechts", "unten", "oben") or by centre and width, on one of three
// templates: "VIEWALL" (both, chosen by radio 251/252), "VIEWCEN" (centre
// and width only) and "VIEWCOR" (corners only).  "Anwenden" (1) applies,
// "Schließen" (2) hides.
#pragma once

#include <cstdint>
#include <string>

#include "shell/dialog_base.h"
#include "core/vector2d.h"

namespace kv {

class TGridWin;

// What the dialog's fields ask for.
struct TViewRequest {
  long double cx = 0;
  long double cy = 0;
  long double hx = 0;
  long double hy = 0;
  std::uint8_t mode = 0;  // 1: by corners
  TSegment2D corners{};
  bool changed = false;
};

class TViewDlg : public TDlg {
 public:
  TViewDlg(TGridWin& window, const std::string& templateName, TDialogPosition* position = nullptr);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void CmOk() override { CmApply(); }
  void CmCancel() override { CmClose(); }

  virtual void CmApply();
  virtual void CmClose() { Hide(); }
  // The radio buttons hand the focus to the first field of their choice,
  // with its text selected for typing over.
  void CmCentreChosen();
  void CmCornersChosen();

  // Shows the dialog again after it was hidden.
  void ShowAgain();
  // The window's view into the fields; with select the x position's text
  // is selected.
  void RefreshFields(bool select);
  // The fields into a request: 0, or the numbered message that refuses it.
  std::int32_t ReadFields(TViewRequest& out);

 private:
  TGridWin& window_;
};

}  // namespace kv
