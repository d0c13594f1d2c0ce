#include "shell/font_win.h"

#include "platform/common_dialogs.h"
#include "platform/dc.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"
#include "shell/print_format_dialogs.h"

namespace kv {

namespace {

enum : int {
  CM_NUMBER_FORMAT = 105,
};

}  // namespace

std::int32_t FontHeightForPoints(int points, int dpi) {
  // MulDiv(points, dpi, 72): the exact quotient rounded half away from zero.
  long long num = static_cast<long long>(points) * dpi;
  long long q = (num >= 0 ? num + 36 : num - 36) / 72;
  return static_cast<std::int32_t>(-q);
}

// ---- TFontWin ----

TFontWin::TFontWin(plat::Window* parent, const std::string& title) : TFileMsgWin(parent, title) {
  FontCaptionIds.fill(63);
  TextFontSlot = 4;
  FontChangeMarksModified = 1;
}

TFontWin::~TFontWin() = default;

const plat::CommandTable& TFontWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TFontWin>(
      &TFileMsgWin::Commands(), {
                                    {CM_NUMBER_FORMAT, &TFontWin::CmNumberFormat},
                                });
  return table;
}

void TFontWin::SetupWindow() {
  TFileMsgWin::SetupWindow();
  InitFonts();
}

void TFontWin::InitFonts() {
  plat::ClientDC dc(*this);
  InitFonts(dc.GetDeviceCaps(plat::LOGPIXELSY));
}

void TFontWin::InitFonts(int dpiY) {
  plat::LogFont base{};  // every field 0
  base.weight = plat::FW_NORMAL;
  base.escapement = 0;
  base.outPrecision = 8;   // outline precision
  base.clipPrecision = 2;  // stroke precision
  base.quality = 1;        // draft quality
  base.charSet = plat::ANSI_CHARSET;
  base.pitchAndFamily = 0x31;  // modern family, fixed pitch
  base.SetFace("Courier New");

  plat::LogFont times = base;
  times.SetFace("Times");
  times.pitchAndFamily = 2;  // variable pitch

  plat::LogFont symbol = base;
  symbol.SetFace("Symbol");
  symbol.charSet = plat::SYMBOL_CHARSET;

  const std::array<int, kFontSlotCount> points{12, 10, 10, 8, 12, 10, 10, 10, 10, 10};
  for (int i = 0; i < kFontSlotCount; ++i) {
    auto k = static_cast<std::size_t>(i);
    FontSlots[k] = i == 1 ? symbol : (i == 4 || i == 5) ? times : base;
    FontPointSizes[k] = points[k];
    FontSlots[k].height = FontHeightForPoints(points[k], dpiY);
  }
  FontEffects.fill(0);
  FontColours.fill(0);
}

bool TFontWin::ChooseFontForSlot(int slot) {
  if (slot < 0 || slot >= kFontSlotCount) return false;
  auto k = static_cast<std::size_t>(slot);
  plat::FontChoice choice;
  choice.font = FontSlots[k];
  choice.colour = FontColours[k];
  choice.pointSizeTenths = FontPointSizes[k] * 10;
  std::string caption = TruncateChars(plat::res::String(FontCaptionIds[k]), 255);
  if (!plat::ChooseFont(this, choice, FontEffects[k] != 0, caption)) return false;
  FontSlots[k] = choice.font;
  FontSlots[k].faceName.back() = '\0';
  FontPointSizes[k] = choice.pointSizeTenths / 10;
  FontColours[k] = choice.colour;
  if (FontChangeMarksModified) Modified = 1;
  EvCommandNotify(slot);
  return true;
}

void TFontWin::UpdateFieldWidth() { FieldWidth = static_cast<std::int16_t>(Decimals + 2); }

void TFontWin::EditNumberFormat() {
  TFWDlg dlg(this, NumberFormatTemplate(FormatKind));
  if (dlg.Execute() == plat::IDOK) UpdateFieldWidth();
}

void TFontWin::CmNumberFormat() { EditNumberFormat(); }

}  // namespace kv
