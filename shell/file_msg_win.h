// The lowest layer of every window of the program: its file name and
// modified flag, the commands Open, Save, Save as and Close with the
// questions around them, the caption built from the file name, the
// numbered messages, the plot-file protection (password and author block),
// and the print area and number format that the small dialogs of
// print_format_dialogs.h edit.  It knows no file format: ReadFile and
// WriteFile are filled by the derived windows.
//
// The window's open file: a reader or writer works on it through In() and
// Out().  Writing collects the bytes and CloseFile() puts them on disk
// through a temporary file and a rename, so a failed save never destroys
// the previous file.  Reading loads the whole file first; every read is
// bounded by its size.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"
#include "core/binary_stream.h"
#include "shell/model/protection_block.h"
#include "shell/text_helpers.h"

namespace kv {

// The file-dialog record of a window: its current file, the filter
// ("description|*.ext" pairs) and the default extension (no dot).
struct TFileDialogData {
  std::string FileName;
  std::string Filter;
  std::string DefaultExt;
};

// The print-area values of a window (inches).  Of PrintWidth and
// PrintScale the one in force is non-negative and the other is negated.
struct TPrintArea {
  long double PrintWidth = 3.0L;
  long double PrintLeft = 1.0L;
  long double PrintTop = 1.0L;
  long double PrintScale = -1.0L / 2.54L;
  std::uint8_t DrawFrame = 0;      // "Rahmen zeichnen"
  std::uint8_t ColourPrinter = 0;  // "Farbdrucker"
  friend bool operator==(const TPrintArea&, const TPrintArea&) = default;
};

class TFileMsgWin : public plat::Window {
 public:
  TFileMsgWin(plat::Window* parent, const std::string& title);
  ~TFileMsgWin() override;

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;

  // ---- virtual operations ----
  // Reads the window's current file; 0 or a message code.  Nothing here.
  virtual int ReadFile() { return 0; }
  // Activates the owner and destroys the window.
  void Destroy() override;
  // Writes the window's file to its current name; false here.
  virtual bool WriteFile() { return false; }
  // True when not modified, else the answer of AskSave().
  bool CanClose() override;
  // Writes the file under its name, asking for one when the window has
  // none yet; false when nothing was written.
  virtual bool Save();
  virtual void ClearModified() { Modified = 0; }
  virtual bool CanOpen() { return true; }
  virtual bool CanSave() { return true; }
  virtual bool CanSaveAs() { return true; }
  // Saving form: string 1 + " " + name.  Normal form: name, the extra text,
  // and "+" when the file is protected.
  virtual void UpdateCaption(bool saving, const char* extra = nullptr);
  virtual void ChooseFileToOpen();
  // Opens the file named in FileData; 0 or a message code.  0 here.
  virtual int OpenFile() { return 0; }
  virtual bool CloseByHiding();
  virtual void Hide();

  // ---- further operations ----
  // Opens FileToOpen, or with OpenLastFileFlag the last file; 0 when one
  // was opened, else 11 with the previous name kept.
  int OpenFileByName();
  bool AskSave();
  // True when the file does not exist or the user agrees to replace it.
  bool ConfirmOverwrite(const std::string& name);

  // ---- messages ----
  // Shows string 400 + n in a message box owned by the window, with the
  // given caption or "?".
  void ShowMessageById(int n, const char* caption = nullptr);
  // Asks with the program's own dialog: type 0 "OKMBOX", 1 "YNMBOX", any
  // other "YNCMBOX".  Returns 1 (OK), 2 (cancel or Escape), 6 (yes), 7 (no).
  int RunMessageDialog(const std::string& caption, const std::string& text, int type);
  // Shows status caption 600 + kind while long work runs; the two numbers
  // are not used by the captions the program has.
  void SetCaption(int kind, int a, int b);
  using plat::Window::SetCaption;

  // ---- the open file ----
  // Starts writing the named file; false when it cannot be created (its
  // folder does not exist).  Any file still open is dropped first.
  bool OpenForWriting(const std::string& path);
  // Loads the named file for reading; false when it cannot be read.
  bool OpenForReading(const std::string& path);
  // Ends the open file.  A write is put on disk now: false when that fails.
  bool CloseFile();
  // Drops the open file without writing anything.
  void AbandonFile();
  bool IsFileOpen() const { return out_ != nullptr || in_ != nullptr; }
  bool IsWriting() const { return out_ != nullptr; }
  ByteWriter* Out() { return out_.get(); }
  ByteReader* In() { return in_.get(); }
  // Counted strings on the open file.  Reading fails (false, dest kept)
  // when the stored length exceeds maxBytes (the NUL counted) or the file.
  void WriteCountedString(const std::string& s);
  bool ReadCountedString(std::string& dest, std::size_t maxBytes);

  // ---- protection (password.cpp) ----
  void ClearProtection();
  // True when the action guarded by `bits` may go ahead, asking for the
  // password when the window is locked and the mask holds one of the bits.
  bool CheckPassword(int bits);
  void WritePasswordBlock();
  // Reads the five strings; false (nothing changed) on a damaged block.
  bool ReadPasswordBlock();
  // The same in two steps, so a reader can apply only a complete file.
  bool ParsePasswordBlock(TPasswordBlock& out);
  void ApplyPasswordBlock(const TPasswordBlock& block);
  void CmPassword();  // 76
  void CmAuthor();    // 77
  void CeAuthor(plat::CommandEnabler& ce);

  // ---- print area, number format, About (print_format_dialogs.cpp, about.cpp) ----
  void EditPrintArea();  // 304
  TPrintArea GetPrintArea() const;
  void SetPrintArea(const TPrintArea& a);
  void ShowAbout();

  // ---- fields ----
  plat::Window* OwnerWindow = nullptr;
  TFileDialogData FileData;
  std::int32_t FileTypeCode = 0;
  std::int32_t FileVersion = 1;
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::int32_t HalfScreenWidth = 0;
  std::int32_t CaptionMenuHeight = 0;
  TPlacement Placement;
  std::uint8_t Modified = 0;
  std::uint8_t SettingsMarkModified = 1;
  std::uint8_t Named = 0;
  std::uint8_t OpenLastFileFlag = 0;
  std::uint8_t Hidden = 0;
  std::uint8_t AboutOpen = 0;
  std::string LastFileName;
  std::uint8_t CaptionShowsNamePart = 1;
  std::string FileToOpen;
  std::string TextBuffer;
  // The window kind's settings file (in the Windows directory) and help
  // texts: a general one and one per menu for commands 330..342.
  std::string SettingsFileName;
  std::string HelpName;
  std::array<std::string, 13> HelpNames{};

  // Print area (inches) and its dialog template "PRNSPX" + PrintTemplate.
  long double PrintWidth = 3.0L;
  long double PrintLeft = 1.0L;
  long double PrintTop = 1.0L;
  long double PrintScale = -1.0L / 2.54L;
  std::uint8_t PrintDrawFrame = 0;
  std::uint8_t ColourPrinter = 0;
  std::int16_t PrintTemplate = 1;

  // Protection: at most kProtectionTextMax characters each.
  std::string Password;
  std::string Author;
  std::string Date;
  std::string EMail;
  std::string Homepage;
  std::int16_t ProtectionMask = 0;
  std::uint8_t Unlocked = 1;

  // Number format: FormatKind is a bit mask of what the format dialog
  // offers (1 decimals, 2 field width, 4 scientific, 8 "*10^", 16 tabs).
  std::int32_t FormatKind = 1;
  std::uint8_t Scientific = 0;
  std::uint8_t StarExponent = 0;
  std::uint8_t UseTabs = 0;
  std::string TabSeparator = "\t";
  std::int16_t Decimals = 5;
  std::int16_t FieldWidth = 7;
  std::int16_t MinFieldWidth = 3;

 protected:
  // The name shown for a file: its name part when CaptionShowsNamePart.
  std::string CaptionName() const;

 private:
  void CmOpen();
  void CmSave();
  void CmSaveAs();
  void CmClose();
  void CmCloseByHiding();
  void CeOpen(plat::CommandEnabler& ce);
  void CeSave(plat::CommandEnabler& ce);
  void CeSaveAs(plat::CommandEnabler& ce);

  std::unique_ptr<ByteWriter> out_;
  std::string outPath_;
  std::vector<std::uint8_t> inData_;
  std::unique_ptr<ByteReader> in_;
};

// The same message operations for any window (the main frame is not a
// TFileMsgWin).
void ShowMessageById(plat::Window* owner, int n, const char* caption = nullptr);
int RunMessageDialog(plat::Window* owner, const std::string& caption, const std::string& text, int type);
// String 400 + n, cut to 255 characters ("" when the table has none).
std::string NumberedMessageText(int n);

// The About box's text and caption for a window of the given file version.
std::string AboutText();
std::string AboutCaption(int fileVersion);

}  // namespace kv
