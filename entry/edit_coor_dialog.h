// "LAGPT": the two coordinates of one point, typed as numbers or formulas.
// The Lagrange editor of the 2D window edits its nodes with it (deleting
// allowed), the 3D window its points (which must lie in the view).
#pragma once

#include "core/vector2d.h"
#include "shell/dialog_base.h"

namespace kv {

class TZORWing;

// Result of the dialog when "Löschen" (52) was pressed.
inline constexpr int kDeletePointResult = 999;

class TEditCoorDlg : public TDlg {
 public:
  TEditCoorDlg(TZORWing& window, const std::string& templateName, TPoint2D& point, bool deletionAllowed,
               bool mustBeInView);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  // Reads both edits; on success the caller's point takes them.
  bool CanClose() override;

 private:
  void CmDelete() { EndDialog(kDeletePointResult); }

  TZORWing& window_;
  TPoint2D& point_;
  bool deletionAllowed_;
  bool mustBeInView_;
};

}  // namespace kv
