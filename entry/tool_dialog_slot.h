// A tool dialog kept in a window's slot: created on first use, shown again
// and brought to the top later, and destroyed when its window or its entries
// go.  A slot whose dialog the user destroyed is filled anew.
#pragma once

#include <memory>

namespace kv {

template <class D, class W>
void OpenToolDialog(std::unique_ptr<D>& slot, W& window) {
  if (slot && slot->IsDestroyed()) slot.reset();
  if (!slot) {
    slot = std::make_unique<D>(window);
    if (!slot->Create()) {
      slot.reset();
      return;
    }
  }
  slot->Reveal();
  slot->BringToTop();
}

template <class D>
void CloseToolDialog(std::unique_ptr<D>& slot) {
  if (slot && !slot->IsDestroyed()) slot->Destroy();
  slot.reset();
}

}  // namespace kv
