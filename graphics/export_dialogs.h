// The set-up dialogs of the PiCTeX and SVG exports.  OK stores what the
// fields hold into the caller's variables before it checks them; values
// out of range show "jenseits der Grenzen" and keep the dialog open, and
// the next run of the dialog shows what was typed.
#pragma once

#include <cstdint>

#include "shell/dialog_base.h"

namespace kv {

// "PICTEX": picture width (cm, at least 0.1), TeX box number (0..255 in
// the standalone modes), space distance (hidden when negative) and the TeX
// mode 0..3.
class TTeXDlg : public TDlg {
 public:
  TTeXDlg(plat::Window* parent, std::int32_t& mode, std::int32_t& boxNumber, long double& widthCm,
          long double& spaceDistance);
  void SetupWindow() override;
  bool CanClose() override;

 private:
  std::int32_t& mode_;
  std::int32_t& boxNumber_;
  long double& widthCm_;
  long double& spaceDistance_;
};

// "SVG": the document's width and height in pixels, at least 10 each.
class TSVGDlg : public TDlg {
 public:
  TSVGDlg(plat::Window* parent, std::int32_t& width, std::int32_t& height);
  void SetupWindow() override;
  bool CanClose() override;

 private:
  std::int32_t& width_;
  std::int32_t& height_;
};

}  // namespace kv
