// The notes window of a plot window: free notes about the plot, kept inside
// the plot file (the owner writes and reads them with its blocks), so the
// notes window never asks to save by itself.  Hiding it marks the plot
// window modified.
#pragma once

#include <string>

#include "shell/text_win.h"

namespace kv {

class TZORWin;

class TNoteWin : public TTextWin {
 public:
  TNoteWin(TZORWin* owner, const std::string& title, const std::string& fileName, const std::string& text,
           int fontSlot);

  void ClearNotes();
  // "Notizen [name]" with the owner's file name without its folder.
  void UpdateNotesCaption();

  bool ConfirmClose() override { return true; }
  void Hide() override;

  TZORWin* Owner;
};

}  // namespace kv
