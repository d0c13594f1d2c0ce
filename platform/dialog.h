// Dialogs built from named templates (resources/*.rc).  Controls are
// addressed by their numeric ids.  A dialog runs modally through Execute(),
// which returns the id that ended it (1 OK, 2 cancel; Escape always ends
// with 2, even when no button 2 is visible), or modelessly through Create()
// and Show().
//
// Button presses: 1 calls CmOk() (CanClose(), then end with 1), 2 calls
// CmCancel() (end with 2); any other id goes through the command table and,
// when no handler takes it, does nothing.  Check boxes, radio buttons and
// edits report changes through EvControl(id, notification).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/logfont.h"
#include "platform/window.h"

namespace plat {

namespace res {
struct DialogTemplate;
}

enum DialogResult : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDABORT = 3,
  IDRETRY = 4,
  IDIGNORE = 5,
  IDYES = 6,
  IDNO = 7,
};

enum ControlNotification : int {
  BN_CLICKED = 0,
  EN_CHANGE = 0x0300,
  LBN_SELCHANGE = 1,
  LBN_DBLCLK = 2,
  CBN_SELCHANGE = 1 + 0x1000,  // distinct from the list box code
  SB_CHANGED = 0x2000,         // scroll bar position changed by the user
};

class Dialog : public Window {
 public:
  Dialog(Window* parent, const std::string& templateName);
  ~Dialog() override;

  const std::string& TemplateName() const { return templateName_; }
  const res::DialogTemplate* Template() const;

  // Modal run: creates the dialog, calls SetupWindow(), runs until ended,
  // destroys the native dialog and returns the ending id.
  int Execute();
  bool IsModal() const;
  // Ends a modal run (or hides nothing: a modeless dialog is destroyed).
  void EndDialog(int result);
  int Result() const;

  virtual void CmOk();      // CanClose() then EndDialog(IDOK)
  virtual void CmCancel();  // EndDialog(IDCANCEL)
  bool CanClose() override { return true; }
  // A control reported a change; the base runs the command table for
  // clicked buttons, check boxes and radio buttons.
  virtual void EvControl(int id, int notification);

  // Simulates a user's press of a button id (or Escape: id 2), the same way
  // a click does.  Used by the dialog responder in tests.
  void Press(int id);
  void PressEscape();
  // Simulates a key pressed on a control (a virtual-key code of keys.h:
  // arrows, page and position keys, Return, Escape, Space), the way the
  // user's key reaches it when the control has the focus.
  void PressKey(int id, unsigned vk);

  // ---- controls ----
  bool HasItem(int id) const;
  void SetItemText(int id, const std::string& text);
  std::string GetItemText(int id) const;
  void LimitText(int id, int maxChars);
  int TextLimit(int id) const;
  void SelectAllText(int id);
  void SetCheck(int id, bool checked);
  bool IsChecked(int id) const;
  void ShowItem(int id, bool visible);
  bool IsItemVisible(int id) const;
  void EnableItem(int id, bool enabled);
  bool IsItemEnabled(int id) const;
  void SetItemFont(int id, const LogFont& font);
  void FocusItem(int id);
  // The control that has (or, in an inactive dialog, will get) the focus,
  // or 0; and the selected part of an edit's text.
  int FocusedItem() const;
  std::string SelectedItemText(int id) const;
  // Pixel rectangle of the control within the dialog.
  Rect ItemRect(int id) const;

  // List boxes and combo boxes share these.
  void ListClear(int id);
  int ListAdd(int id, const std::string& text);  // returns the new row
  int ListCount(int id) const;
  // List boxes: the rows scroll sideways over at least this many pixels
  // (their own width when wider); the width they scroll over now.
  void ListSetHorizontalExtent(int id, int pixels);
  int ListHorizontalReach(int id) const;
  std::string ListText(int id, int row) const;
  void ListSetSel(int id, int row);  // -1: no selection
  int ListGetSel(int id) const;
  // Multiple-selection list boxes.
  void ListSetMultiSel(int id, int row, bool selected);
  std::vector<int> ListGetMultiSel(int id) const;

  // Scroll bars.  Positions set by the program send no notification; the
  // user's moves send SB_CHANGED.
  void SetScrollRange(int id, int minPos, int maxPos);
  std::pair<int, int> GetScrollRange(int id) const;
  void SetScrollPos(int id, int pos);
  int GetScrollPos(int id) const;
  void SetScrollPage(int id, int page);
  int GetScrollPage(int id) const;

  // Buttons whose command has an enabler in the dialog's table take its
  // state and text; a dialog calls this when what the enablers read changed.
  void UpdateButtons();

  // Enter on a control that is no push button sends command 1 although the
  // template has no button 1 (a tool that takes a typed value on Enter).
  void SetEnterSendsOk(bool on) { enterSendsOk_ = on; }
  bool EnterSendsOk() const { return enterSendsOk_; }

 protected:
  bool CreateNative() override;

 private:
  std::string templateName_;
  bool enterSendsOk_ = false;
  friend struct DialogBuilder;
};

}  // namespace plat
