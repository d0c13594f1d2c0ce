// A multi-line text control inside a window's client area: the edit of the
// text, help and notes windows.  Text goes in and out as UTF-8 with CR LF
// line ends; positions count the characters of that text, a line end
// counting two.  Lines are the text's own lines (no wrapping), so line
// numbers and scrolling agree with what the program computes.
//
// Keys typed into the control go to the window's accelerators first; copy,
// cut and paste go through plat::clipboard.
#pragma once

#include <memory>
#include <string>

#include "platform/logfont.h"
#include "platform/types.h"

namespace plat {

class Window;

class TextEdit {
 public:
  // Makes the control a child of the (created) window's client area.
  explicit TextEdit(Window& owner);
  ~TextEdit();
  TextEdit(const TextEdit&) = delete;
  TextEdit& operator=(const TextEdit&) = delete;

  // Position and size in client pixels.
  void Move(int x, int y, int width, int height);
  void SetFont(const LogFont& font);
  void Focus();

  // ---- text ----
  void SetText(const std::string& text);  // replaces everything, selects (0, 0)
  std::string GetText() const;
  int Length() const;
  // The most characters the user can type or paste (the program's
  // SetText is not limited); 0 is no limit.
  void SetLimit(int characters);
  int Limit() const;
  // Replaces the selection (inserts at the cursor), cut at the limit.
  void ReplaceSelection(const std::string& text);

  // ---- selection ----
  void SetSelection(int start, int end);
  int SelectionStart() const;
  int SelectionEnd() const;
  std::string SelectedText() const;
  bool HasSelection() const { return SelectionStart() != SelectionEnd(); }

  // ---- modified mark ----
  bool IsModified() const;
  void SetModified(bool modified);

  // ---- lines and scrolling ----
  int LineCount() const;
  int LineFromChar(int position) const;
  int FirstVisibleLine() const;
  // Scrolls by that many lines (negative: up).
  void ScrollLines(int lines);

  // ---- clipboard ----
  void Copy();
  void Cut();
  void Paste();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
