#include "shell/note_win.h"

#include "platform/resources.h"
#include "shell/zor_win.h"

namespace kv {

TNoteWin::TNoteWin(TZORWin* owner, const std::string& title, const std::string& fileName, const std::string& text,
                   int fontSlot)
    : TTextWin(owner, title, fileName, text, fontSlot), Owner(owner) {
  AssignMenu("NOTEMENU");
}

void TNoteWin::ClearNotes() {
  TextBuffer.clear();
  ShowBuffer();
  UpdateNotesCaption();
}

void TNoteWin::UpdateNotesCaption() {
  std::string name;
  if (Owner) GetFileNamePart(name, Owner->FileData.FileName);
  SetTitle(plat::res::String(93) + " [" + name + "]");
}

void TNoteWin::Hide() {
  TTextWin::Hide();
  if (Owner) Owner->Modified = 1;
}

}  // namespace kv
