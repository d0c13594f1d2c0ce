// The generic dialogs many commands reuse: the program's own message dialog
// (OK, yes/no, yes/no/cancel with German buttons), up to seven text fields
// with or without two check boxes, and the one-, two- or three-value input
// dialogs.  Values go into the controls at set-up and back into the
// caller's buffers when the dialog closes with OK, so a cancelled dialog
// leaves them unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/text_encoding.h"
#include "platform/logfont.h"
#include "shell/dialog_base.h"

namespace kv {

// "OKMBOX", "YNMBOX" or "YNCMBOX": static 231 shows the text; 88 ends with
// 6 (yes), 89 with 7 (no), OK with 1 and cancel with 2.
class TMsgDlg : public TDlg {
 public:
  TMsgDlg(plat::Window* parent, const std::string& templateName, const std::string& caption,
          const std::string& text);
  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;

 private:
  void CmYes();
  void CmNo();
  std::string caption_;
  std::string text_;
};

// Up to seven edits 211..217, one per given buffer (buffer 1 required).
class TGenDlg : public TDlg {
 public:
  TGenDlg(plat::Window* parent, const std::string& templateName, int textLimit, std::string* buffer1,
          std::string* buffer2 = nullptr, std::string* buffer3 = nullptr, std::string* buffer4 = nullptr,
          std::string* buffer5 = nullptr, std::string* buffer6 = nullptr, std::string* buffer7 = nullptr);
  void SetupWindow() override;
  bool CanClose() override;

 protected:
  std::array<std::string*, 7> buffers_;
  int textLimit_;
};

// TGenDlg with the check boxes 271 and (optionally) 272.
class TGenBoolDlg : public TGenDlg {
 public:
  TGenBoolDlg(plat::Window* parent, const std::string& templateName, std::uint8_t* flag1, std::uint8_t* flag2,
              int textLimit, std::string* buffer1, std::string* buffer2 = nullptr, std::string* buffer3 = nullptr,
              std::string* buffer4 = nullptr, std::string* buffer5 = nullptr, std::string* buffer6 = nullptr);
  void SetupWindow() override;
  bool CanClose() override;

 private:
  std::uint8_t* flag1_;
  std::uint8_t* flag2_;
};

// "ONEINPUT": a prompt above one edit.  The buffer has `bufferSize` bytes in
// the classic sense: the edit accepts at most bufferSize - 2 characters.
class TInpDlg : public TDlg {
 public:
  TInpDlg(plat::Window* parent, const std::string& caption, const std::string& prompt, std::string& buffer,
          int bufferSize, const plat::LogFont* font = nullptr);
  void SetupWindow() override;
  bool CanClose() override;

 private:
  std::string caption_;
  std::string prompt_;
  std::string& buffer_;
  int bufferSize_;
  bool hasFont_;
  plat::LogFont font_;
};

// Two (or three) prompts left of their edits, usually on "TWOINPUT".
class TInp2Dlg : public TDlg {
 public:
  TInp2Dlg(plat::Window* parent, const std::string& caption, const std::string& templateName,
           const std::string& prompt1, const std::string& prompt2, std::string& buffer1, std::string& buffer2,
           int bufferSize, const std::string* prompt3 = nullptr, std::string* buffer3 = nullptr);
  void SetupWindow() override;
  bool CanClose() override;

 private:
  std::string caption_;
  std::array<std::string, 3> prompts_;
  std::array<std::string*, 3> buffers_;
  int bufferSize_;
};

// Asks for an integer in the one-value dialog: cancel returns 12 and leaves
// the value; OK stores the parsed integer and returns 17 when it lies outside
// lo..hi, else 0.
int AskIntInRange(plat::Window* parent, const std::string& caption, const std::string& prompt, int lo, int hi,
                  int& value);

}  // namespace kv
