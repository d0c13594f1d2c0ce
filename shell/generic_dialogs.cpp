#include "shell/generic_dialogs.h"

#include "shell/text_helpers.h"

namespace kv {

// ---- TMsgDlg ----

TMsgDlg::TMsgDlg(plat::Window* parent, const std::string& templateName, const std::string& caption,
                 const std::string& text)
    : TDlg(parent, templateName), caption_(caption), text_(text) {}

const plat::CommandTable& TMsgDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TMsgDlg>(&TDlg::Commands(), {
                                                                                      {88, &TMsgDlg::CmYes},
                                                                                      {89, &TMsgDlg::CmNo},
                                                                                  });
  return table;
}

void TMsgDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetItemText(231, text_);
  SetCaption(caption_);
}

void TMsgDlg::CmYes() { EndDialog(plat::IDYES); }
void TMsgDlg::CmNo() { EndDialog(plat::IDNO); }

// ---- TGenDlg ----

TGenDlg::TGenDlg(plat::Window* parent, const std::string& templateName, int textLimit, std::string* buffer1,
                 std::string* buffer2, std::string* buffer3, std::string* buffer4, std::string* buffer5,
                 std::string* buffer6, std::string* buffer7)
    : TDlg(parent, templateName),
      buffers_{buffer1, buffer2, buffer3, buffer4, buffer5, buffer6, buffer7},
      textLimit_(textLimit) {}

void TGenDlg::SetupWindow() {
  TDlg::SetupWindow();
  for (int k = 0; k < 7; ++k) {
    if (!buffers_[static_cast<size_t>(k)]) continue;
    LimitText(211 + k, textLimit_ - 1);
    SetItemText(211 + k, TruncateChars(*buffers_[static_cast<size_t>(k)], textLimit_ - 1));
  }
}

bool TGenDlg::CanClose() {
  for (int k = 0; k < 7; ++k)
    if (auto* b = buffers_[static_cast<size_t>(k)]) *b = TruncateChars(GetItemText(211 + k), textLimit_ - 1);
  return TDlg::CanClose();
}

// ---- TGenBoolDlg ----

TGenBoolDlg::TGenBoolDlg(plat::Window* parent, const std::string& templateName, std::uint8_t* flag1,
                         std::uint8_t* flag2, int textLimit, std::string* buffer1, std::string* buffer2,
                         std::string* buffer3, std::string* buffer4, std::string* buffer5, std::string* buffer6)
    : TGenDlg(parent, templateName, textLimit, buffer1, buffer2, buffer3, buffer4, buffer5, buffer6),
      flag1_(flag1),
      flag2_(flag2) {}

void TGenBoolDlg::SetupWindow() {
  TGenDlg::SetupWindow();
  SetCheck(271, *flag1_ != 0);
  if (flag2_) SetCheck(272, *flag2_ != 0);
}

bool TGenBoolDlg::CanClose() {
  *flag1_ = IsChecked(271) ? 1 : 0;
  if (flag2_) *flag2_ = IsChecked(272) ? 1 : 0;
  return TGenDlg::CanClose();
}

// ---- TInpDlg ----

TInpDlg::TInpDlg(plat::Window* parent, const std::string& caption, const std::string& prompt, std::string& buffer,
                 int bufferSize, const plat::LogFont* font)
    : TDlg(parent, "ONEINPUT"),
      caption_(caption),
      prompt_(prompt),
      buffer_(buffer),
      bufferSize_(bufferSize),
      hasFont_(font != nullptr),
      font_(font ? *font : plat::LogFont{}) {}

void TInpDlg::SetupWindow() {
  TDlg::SetupWindow();
  LimitText(211, bufferSize_ - 2);
  if (hasFont_) {
    SetItemFont(231, font_);
    SetItemFont(211, font_);
  }
  SetItemText(231, prompt_);
  SetItemText(211, TruncateChars(buffer_, bufferSize_ - 2));
  SetCaption(caption_);
}

bool TInpDlg::CanClose() {
  buffer_ = TruncateChars(GetItemText(211), bufferSize_ - 2);
  return TDlg::CanClose();
}

// ---- TInp2Dlg ----

TInp2Dlg::TInp2Dlg(plat::Window* parent, const std::string& caption, const std::string& templateName,
                   const std::string& prompt1, const std::string& prompt2, std::string& buffer1,
                   std::string& buffer2, int bufferSize, const std::string* prompt3, std::string* buffer3)
    : TDlg(parent, templateName),
      caption_(caption),
      prompts_{prompt1, prompt2, prompt3 ? *prompt3 : std::string()},
      buffers_{&buffer1, &buffer2, buffer3},
      bufferSize_(bufferSize) {}

void TInp2Dlg::SetupWindow() {
  TDlg::SetupWindow();
  int n = buffers_[2] ? 3 : 2;
  for (int k = 0; k < n; ++k) {
    auto i = static_cast<size_t>(k);
    LimitText(211 + k, bufferSize_ - 2);
    SetItemText(231 + k, prompts_[i]);
    SetItemText(211 + k, TruncateChars(*buffers_[i], bufferSize_ - 2));
  }
  if (n == 3) {
    ShowItem(233, true);
    ShowItem(213, true);
  }
  SetCaption(caption_);
}

bool TInp2Dlg::CanClose() {
  for (int k = 0; k < 3; ++k)
    if (auto* b = buffers_[static_cast<size_t>(k)]) *b = TruncateChars(GetItemText(211 + k), bufferSize_ - 2);
  return TDlg::CanClose();
}

// ---- AskIntInRange ----

int AskIntInRange(plat::Window* parent, const std::string& caption, const std::string& prompt, int lo, int hi,
                  int& value) {
  std::string text = std::to_string(value);
  TInpDlg dlg(parent, caption, prompt, text, 50);
  if (dlg.Execute() != plat::IDOK) return 12;
  value = ParseInt(text);
  if (value < lo || value > hi) return 17;
  return 0;
}

}  // namespace kv
