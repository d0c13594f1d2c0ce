// The second layer of every plot and text window: ten font slots (which
// slot serves which kind of text is the window kind's choice, shown by its
// menu texts), the font dialog per slot and the number-format command.
// The slots travel through the common file header (settings_file.h).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/logfont.h"
#include "platform/types.h"
#include "core/binary_stream.h"
#include "shell/file_msg_win.h"

namespace kv {

inline constexpr int kFontSlotCount = 10;
// lfHeight of a font of `points` on a device of `dpi` dots per inch:
// -MulDiv(points, dpi, 72), rounded half away from zero.
std::int32_t FontHeightForPoints(int points, int dpi);

class TFontWin : public TFileMsgWin {
 public:
  TFontWin(plat::Window* parent, const std::string& title);
  ~TFontWin() override;

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;

  // The defaults of the ten slots for the screen's vertical resolution.
  void InitFonts();
  void InitFonts(int dpiY);
  void EditNumberFormat();  // command 105

  // ---- virtual operations ----
  // After a font of the slot was chosen; nothing here.
  virtual void EvCommandNotify(int slot) {}
  // The font dialog for one slot; true when the user chose a font.
  virtual bool ChooseFontForSlot(int slot);
  // Field width = decimals + 2.
  virtual void UpdateFieldWidth();

  // ---- fields ----
  std::array<plat::LogFont, kFontSlotCount> FontSlots{};
  // A copy of FontSlots while a plot is drawn for a printer or metafile.
  std::unique_ptr<std::array<plat::LogFont, kFontSlotCount>> SavedFonts;
  std::array<std::int32_t, kFontSlotCount> FontPointSizes{};
  std::array<std::int32_t, kFontSlotCount> FontCaptionIds{};
  std::int32_t TextFontSlot = 4;
  std::array<std::uint8_t, kFontSlotCount> FontEffects{};
  std::array<plat::Colour, kFontSlotCount> FontColours{};
  std::uint8_t FontChangeMarksModified = 1;

 private:
  void CmNumberFormat();
};

}  // namespace kv
