// The base of every dialog of the program: bound to a named template, opens
// at a remembered screen position (or at a slightly random default one),
// remembers where the user left it, and can be hidden instead of destroyed
// (the modeless tool dialogs of the plot windows).
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog.h"

namespace kv {

// A caller-owned remembered dialog position in screen pixels; a negative
// coordinate means that no position is remembered yet.
struct TDialogPosition {
  std::int32_t x = -1;
  std::int32_t y = -1;
};

class TDlg : public plat::Dialog {
 public:
  TDlg(plat::Window* parent, const std::string& templateName, TDialogPosition* position = nullptr);

  void SetupWindow() override;
  void Destroy() override;
  virtual void Hide();
  // Shows the dialog again and clears its hidden flag.
  void Reveal();
  // A hook for derived dialogs; does nothing here.
  virtual void Refresh() {}

  bool IsHidden() const { return hidden_ != 0; }

 protected:
  TDialogPosition* position_;
  std::uint8_t hidden_ = 0;
};

}  // namespace kv
