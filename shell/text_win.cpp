#include "shell/text_win.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/app.h"
#include "platform/clipboard.h"
#include "platform/common_dialogs.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"
#include "shell/print_result.h"

namespace kv {

namespace {

enum : int {
  CM_FROM_START = 53,
  CM_FONT = 61,
  CM_MINUS_SIGN = 92,
  CM_PRINTER_SETUP = 93,
  CM_COPY = 95,
  CM_CUT = 96,
  CM_PRINT = 97,
  CM_PASTE = 99,
  CM_SELECT_ALL = 119,
  CM_SEARCH_HELP = 351,
  CM_SEARCH_NEXT = 352,
  CM_SEARCH = 353,
  CM_CLOSE = 357,
};

}  // namespace

// ---------------------------------------------------------------------------

TTextWin::TTextWin(plat::Window* parent, const std::string& title, const std::string& fileName,
                   const std::string& text, int fontSlot)
    : TFontWin(parent, title), Title(title), FontSlot(fontSlot >= 0 && fontSlot < kFontSlotCount ? fontSlot : 0) {
  const int r = plat::Rand();
  const int r2 = plat::Rand();
  kv::SetPlacement(Placement, ScreenWidth / 4, r % 50 + CaptionMenuHeight, ScreenWidth / 2,
                   HalfScreenWidth * (75 + r2 % 20) / 100, 0);
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  AssignMenu("TEXTMENU");
  TextBuffer = CutToChars(text, kTextMaxChars);
  FileData.Filter = plat::res::String(64);
  FileData.DefaultExt = "TXT";
  FileData.FileName = fileName;
  // Margins only, and the print area is no change of the text.
  PrintTemplate = 0;
  SettingsMarkModified = 0;
  FontChangeMarksModified = 0;
  Printer = std::make_unique<plat::Printer>();
}

TTextWin::~TTextWin() = default;

const plat::CommandTable& TTextWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TTextWin>(
      &TFontWin::Commands(), {
                                 {CM_PRINT, &TTextWin::CmPrint},
                                 {CM_PRINTER_SETUP, &TTextWin::CmPrinterSetup},
                                 {CM_COPY, &TTextWin::CmCopy, &TTextWin::CeSelection},
                                 {CM_CUT, &TTextWin::CmCut, &TTextWin::CeSelection},
                                 {CM_PASTE, &TTextWin::CmPaste, &TTextWin::CePaste},
                                 {CM_SELECT_ALL, &TTextWin::CmSelectAll},
                                 {CM_SEARCH, &TTextWin::CmSearch},
                                 {CM_SEARCH_NEXT, &TTextWin::CmSearchNext, &TTextWin::CeSearchNext},
                                 {CM_FROM_START, &TTextWin::CmFromStart},
                                 {CM_FONT, &TTextWin::CmFont},
                                 {CM_MINUS_SIGN, &TTextWin::CmMinusSign},
                                 {CM_SEARCH_HELP, &TTextWin::CmSearchHelp},
                                 {CM_CLOSE, &TTextWin::CmClose},
                             });
  return table;
}

void TTextWin::SetupWindow() {
  TFontWin::SetupWindow();
  edit_ = std::make_unique<plat::TextEdit>(*this);
  edit_->SetFont(FontSlots[static_cast<std::size_t>(FontSlot)]);
  edit_->SetLimit(kTextMaxChars);
  ShowBuffer();
  const plat::Rect client = GetClientRect();
  edit_->Move(-1, -1, client.Width() + 2, client.Height() + 2);
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  plat::Window::SetCaption(Title);
}

void TTextWin::EvSize(unsigned sizeType, plat::Size clientSize) {
  TFontWin::EvSize(sizeType, clientSize);
  if (edit_) edit_->Move(-1, -1, clientSize.cx + 2, clientSize.cy + 2);
}

void TTextWin::EvClose() {
  if (Parent()) {
    CmClose();
  } else {
    TFontWin::EvClose();
  }
}

void TTextWin::EvSetFocus() {
  if (edit_) edit_->Focus();
}

// ---- text in and out ----

void TTextWin::TakeControlText() {
  if (edit_) TextBuffer = CutToChars(edit_->GetText(), kTextMaxChars);
}

void TTextWin::ShowBuffer() {
  if (!edit_) return;
  edit_->SetText(TextBuffer);
  edit_->SetModified(false);
  edit_->ScrollLines(-edit_->LineCount());
  edit_->SetSelection(0, 0);
  FreshSearch = 1;
}

void TTextWin::SetText(const std::string& text) {
  TextBuffer = CutToChars(text, kTextMaxChars);
  ShowBuffer();
}

std::string TTextWin::GetText() {
  TakeControlText();
  return TextBuffer;
}

void TTextWin::SetTitle(const std::string& title) {
  Title = title;
  plat::Window::SetCaption(Title);
}

void TTextWin::ShowWindow() {
  Show(plat::SW_SHOWNORMAL);
  Hidden = 0;
  BringToTop();
}

bool TTextWin::TextModified() const { return edit_ && edit_->IsModified(); }

void TTextWin::ClearModified() {
  TFontWin::ClearModified();
  if (edit_) edit_->SetModified(false);
}

bool TTextWin::ConfirmClose() { return TextModified() ? AskSave() : true; }

void TTextWin::ApplyFont() {
  if (!edit_) return;
  edit_->SetFont(FontSlots[static_cast<std::size_t>(FontSlot)]);
  TakeControlText();
  ShowBuffer();
}

void TTextWin::CutSelection() {
  if (!edit_) return;
  edit_->Cut();
  TakeControlText();
}

// ---- file layer ----

int TTextWin::ReadFile() {
  // Only a regular file: a FIFO would block and a device never end.
  const int fd = ::open(FileData.FileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return 11;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return 11;
  }
  // Four bytes per character at most.
  std::string bytes(static_cast<std::size_t>(kTextMaxChars) * 4, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
  TextBuffer = TextFromFileBytes(bytes);
  return 0;
}

bool TTextWin::WriteFile() {
  TakeControlText();
  std::vector<std::uint8_t> data(TextBuffer.begin(), TextBuffer.end());
  // The closing zero byte, as the text is stored.
  data.push_back(0);
  // A failure is reported by Save (message 12).
  return WriteFileAtomically(FileData.FileName, data);
}

int TTextWin::OpenFile() {
  const int code = ReadFile();
  if (code == 0) {
    ShowBuffer();
    Named = 1;
    LastFileName = FileData.FileName;
    UpdateCaption(false);
  }
  return code;
}

// ---- search ----

bool TTextWin::FindText(const std::string& pattern) {
  if (pattern.empty() || !edit_) return false;
  TakeControlText();
  int from = edit_->SelectionStart();
  if (!FreshSearch) ++from;
  FreshSearch = 0;
  const int found = FindFolded(TextBuffer, pattern, from);
  if (found < 0) {
    edit_->SetSelection(0, 0);
    FreshSearch = 1;
    return false;
  }
  edit_->SetSelection(found, found + static_cast<int>(Utf8CharCount(pattern)));
  ScrollToShowSelection(4);
  return true;
}

void TTextWin::ScrollToShowSelection(int lines) {
  if (!edit_ || edit_->LineCount() < lines) return;
  const int line = edit_->LineFromChar(edit_->SelectionEnd());
  edit_->ScrollLines(line + 1 - edit_->FirstVisibleLine() - lines);
}

// ---- commands ----

void TTextWin::CmPrint() {
  TakeControlText();
  std::string title;
  GetFileNamePart(title, FileData.FileName);
  const auto k = static_cast<std::size_t>(FontSlot);
  TTextout printout(title, TextBuffer, FontSlots[k], FontPointSizes[k], PrintLeft, PrintTop);
  // Without a printer the text goes into a PDF file named anew each time.
  if (Printer->Name().empty()) Printer->SetOutputFile("");
  ReportPrintResult(this, Printer->Print(this, printout, false));
}

void TTextWin::CmPrinterSetup() { Printer->Setup(this); }

void TTextWin::CmCopy() {
  if (edit_) edit_->Copy();
}

void TTextWin::CmCut() { CutSelection(); }

void TTextWin::CmPaste() {
  if (!edit_) return;
  edit_->Paste();
  TakeControlText();
}

void TTextWin::CmSelectAll() {
  if (edit_) edit_->SetSelection(0, edit_->Length());
}

void TTextWin::CmSearch() {
  std::string text = SearchText;
  TInpDlg dlg(this, plat::res::String(5), plat::res::String(6), text, 258);
  if (dlg.Execute() != plat::IDOK) return;
  SearchText = text;
  if (text.empty()) {
    ShowMessageById(9);
  } else if (!FindText(text)) {
    ShowMessageById(2);
  }
}

void TTextWin::CmSearchNext() {
  if (!FindText(SearchText)) ShowMessageById(2);
}

void TTextWin::CeSearchNext(plat::CommandEnabler& ce) { ce.Enable(!SearchText.empty()); }

void TTextWin::CmFromStart() {
  if (!edit_) return;
  edit_->ScrollLines(-edit_->FirstVisibleLine());
  edit_->SetSelection(0, 0);
  FreshSearch = 1;
}

void TTextWin::CmFont() {
  if (ChooseFontForSlot(FontSlot)) ApplyFont();
}

void TTextWin::CmMinusSign() {
  std::string text = "150";
  TInpDlg dlg(this, plat::res::String(3), plat::res::String(4), text, 12);
  if (dlg.Execute() != plat::IDOK) return;
  const std::int32_t c = ParseInt(text);
  if (c < 2 || c > 255) {
    ShowMessageById(1);
    return;
  }
  // The code is a Windows-1252 character (150 is the en dash).
  const std::string replacement = Cp1252ToUtf8(std::string(1, static_cast<char>(c)));
  TakeControlText();
  std::string replaced;
  replaced.reserve(TextBuffer.size());
  for (char ch : TextBuffer) {
    if (ch == '-') {
      replaced += replacement;
    } else {
      replaced += ch;
    }
  }
  TextBuffer = CutToChars(replaced, kTextMaxChars);
  ShowBuffer();
}

void TTextWin::CmSearchHelp() {
  const std::string text = plat::res::String(8) + "\r\n" + plat::res::String(9) + "\r\n" + plat::res::String(10) +
                           "\r\n" + plat::res::String(11);
  plat::MessageBox(this, text, plat::res::String(12), plat::MB_OK);
}

void TTextWin::CmClose() { CloseByHiding(); }

void TTextWin::CeSelection(plat::CommandEnabler& ce) { ce.Enable(edit_ && edit_->HasSelection()); }

void TTextWin::CePaste(plat::CommandEnabler& ce) { ce.Enable(plat::clipboard::HasText()); }

// ---------------------------------------------------------------------------

TTextout::TTextout(const std::string& title, const std::string& text, const plat::LogFont& font, int pointSize,
                   long double left, long double top)
    : plat::Printout(title),
      text_(text),
      font_(font),
      pointSize_(pointSize),
      left_(left < 0.25L ? 0.25L : left),
      top_(top < 0.25L ? 0.25L : top) {}

bool TTextout::HasPage(int page) {
  if (page < 1) return false;
  return page == 1 || position_ < text_.size();
}

void TTextout::PrintPage(int page, plat::DC& dc) {
  if (page < 1) return;
  const plat::DeviceCaps caps = dc.Caps();
  const int dpiX = caps.logPixelsX > 0 ? caps.logPixelsX : 96;
  const int dpiY = caps.logPixelsY > 0 ? caps.logPixelsY : 96;
  const int x = RoundToInt(left_ * dpiX) - caps.physicalOffsetX;
  int y = RoundToInt(top_ * dpiY) - caps.physicalOffsetY;
  // The right margin mirrors the left one.
  int right = caps.physicalWidth - RoundToInt(left_ * dpiX) - caps.physicalOffsetX;
  if (right <= x) right = caps.horzRes;
  const int width = right - x;

  plat::LogFont font = font_;
  font.height = FontHeightForPoints(std::abs(pointSize_ != 0 ? pointSize_ : 10), dpiY);
  const plat::LogFont oldFont = dc.SelectFont(font);
  const unsigned oldAlign = dc.SetTextAlign(plat::TA_LEFT | plat::TA_TOP);
  const int oldMode = dc.SetBkMode(plat::TRANSPARENT);
  const int lineHeight = std::max(dc.GetTextExtent("M").cy, 1);
  const long double pageInches = caps.horzSizeMm * 0.03937L;
  const long double usable = (pageInches <= 9.0L ? 10.0L : 7.5L) - top_;
  // Always room for one line, or the text would never end.
  const int linesPerPage = std::max(RoundToInt(usable * dpiY) / lineHeight, 1);

  int lines = 0;
  std::string line;
  auto emit = [&](const std::string& s) {
    dc.TextOut(x, y, s);
    y += lineHeight;
    ++lines;
  };
  while (lines < linesPerPage) {
    if (position_ >= text_.size()) {
      emit(line);
      break;
    }
    const char c = text_[position_];
    if (c == '\f' || c == '\r' || c == '\n') {
      emit(line);
      line.clear();
      ++position_;
      if (c == '\r' && position_ < text_.size() && text_[position_] == '\n') ++position_;
      if (c == '\f') break;
      continue;
    }
    // One character (all its bytes).
    std::size_t next = position_;
    NextUtf8Char(text_, next);
    const std::string candidate = line + text_.substr(position_, next - position_);
    if (!line.empty() && dc.GetTextExtent(candidate).cx > width) {
      // Wrap at the last blank of the line, else before this character.
      const std::size_t blank = line.rfind(' ');
      if (blank != std::string::npos && blank > 0) {
        emit(line.substr(0, blank));
        line.erase(0, blank + 1);
      } else {
        emit(line);
        line.clear();
      }
      continue;
    }
    line = candidate;
    position_ = next;
  }
  // A page full in the middle of a line: the rest starts the next page.
  if (!line.empty() && position_ < text_.size()) position_ -= std::min(position_, line.size());

  dc.SetBkMode(oldMode);
  dc.SetTextAlign(oldAlign);
  dc.SelectFont(oldFont);
}

}  // namespace kv
