// Text windows: a top-level window whose client is a text control of up to
// 64000 characters.  It serves as the help window, the results window of
// every plot window and the notes window, and later the value tables.  It
// opens and saves plain text files, searches case-insensitively, copies,
// cuts and pastes, changes its font, replaces hyphens by another character
// and prints.
//
// For the windows built on it: SetText puts a text in (cut at 64000
// characters, modified mark cleared, cursor at the start), GetText takes the
// control's text out, SetTitle changes the caption, ShowWindow shows and
// raises the window.  A derived window assigns its own menu in its
// constructor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/printer.h"
#include "platform/text_edit.h"
#include "shell/model/plain_text.h"
#include "shell/font_win.h"

namespace kv {

class TTextWin : public TFontWin {
 public:
  TTextWin(plat::Window* parent, const std::string& title, const std::string& fileName, const std::string& text,
           int fontSlot);
  ~TTextWin() override;

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void EvSize(unsigned sizeType, plat::Size clientSize) override;
  void EvSetFocus() override;
  // A window with an owner (help, results, notes) is hidden, not destroyed.
  void EvClose() override;

  // ---- file layer ----
  int ReadFile() override;
  bool WriteFile() override;
  int OpenFile() override;
  bool CanClose() override { return ConfirmClose(); }
  void ClearModified() override;

  // ---- search ----
  // Selects the next occurrence of the pattern (case ignored) from the
  // selection on; not found: cursor to the start, and the next search
  // starts there.
  bool FindText(const std::string& pattern);
  // Scrolls so that the line of the selection's end is line `lines` from
  // the top, when the text has that many lines.
  void ScrollToShowSelection(int lines);

  // ---- virtual operations ----
  // A modified text asks whether to save it; else true.
  virtual bool ConfirmClose();
  virtual void ApplyFont();
  // The text buffer into the control: modified mark cleared, view at the
  // top, cursor at the start.
  virtual void ShowBuffer();
  virtual void CutSelection();

  // ---- for the windows built on it ----
  void SetText(const std::string& text);
  std::string GetText();
  void SetTitle(const std::string& title);
  void ShowWindow();
  bool TextModified() const;
  plat::TextEdit* Edit() const { return edit_.get(); }

  // ---- fields (TextBuffer is the file layer's) ----
  std::string SearchText;
  std::string Title;
  int FontSlot = 0;
  std::uint8_t FreshSearch = 1;
  std::unique_ptr<plat::Printer> Printer;

 protected:
  // The control's text (at most 64000 characters) into TextBuffer.
  void TakeControlText();

 private:
  void CmPrint();
  void CmPrinterSetup();
  void CmCopy();
  void CmCut();
  void CmPaste();
  void CmSelectAll();
  void CmSearch();
  void CmSearchNext();
  void CmFromStart();
  void CmFont();
  void CmMinusSign();
  void CmSearchHelp();
  void CmClose();
  void CeSelection(plat::CommandEnabler& ce);
  void CePaste(plat::CommandEnabler& ce);
  void CeSearchNext(plat::CommandEnabler& ce);

  std::unique_ptr<plat::TextEdit> edit_;
};

// The printout of a text: its lines from a position on, page after page,
// at the print area's left and top margins.  A form feed starts a new page;
// a line wider than the page continues on the next line.
class TTextout : public plat::Printout {
 public:
  TTextout(const std::string& title, const std::string& text, const plat::LogFont& font, int pointSize,
           long double left, long double top);
  bool HasPage(int page) override;
  void PrintPage(int page, plat::DC& dc) override;
  std::size_t Position() const { return position_; }

 private:
  std::string text_;
  std::size_t position_ = 0;
  plat::LogFont font_;
  int pointSize_;
  long double left_;
  long double top_;
};

}  // namespace kv
