#include "graphics/grid_dialog.h"

#include <cmath>

#include "graphics/grid_win.h"
#include "platform/dc.h"
#include "core/constants.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

enum : int {
  kApply = 91,
  kEditTickLength = 211,
  kEditIntervalX = 212,
  kEditDecimalsX = 213,
  kEditFrequencyX = 214,
  kEditIntervalY = 215,
  kEditDecimalsY = 216,
  kEditFrequencyY = 217,
  kEditSectors = 218,
  kRadioBoth = 251,
  kRadioX = 252,
  kRadioY = 253,
  kRadioPolar = 254,
  kRadioAtAxes = 255,
  kRadioAtFrame = 256,
  kCheckAxes = 271,
  kCheckTicks = 272,
  kCheckArrows = 273,
  kCheckRaster = 274,
  kCheckLabels = 275,
  kCheckScaleX = 276,
  kCheckPiX = 277,
  kCheckScaleY = 278,
  kCheckPiY = 279,
  kCheckPolar = 280,
  kCheckRectangular = 281,
  kCheckQuadrant1 = 282,  // 282..285: quadrants I..IV
  kCheckDots = 286,
};

constexpr int kLongField = 20;
constexpr int kShortField = 9;

struct GridBitBox {
  int id;
  std::int16_t bit;
};
constexpr GridBitBox kGridBitBoxes[] = {
    {kCheckQuadrant1, kGridQuadrant1},     {kCheckQuadrant1 + 1, kGridQuadrant2},
    {kCheckQuadrant1 + 2, kGridQuadrant3}, {kCheckQuadrant1 + 3, kGridQuadrant4},
    {kCheckRectangular, kGridRectangular}, {kCheckPolar, kGridPolarSectors},
    {kCheckDots, kGridAsDots},
};

std::string DecimalsText(int decimals) {
  std::string text = std::to_string(decimals % 10);
  if (decimals > 9) text += '@';
  return text;
}

// Stores a byte setting from a check box; whether it changed.
bool TakeCheck(std::uint8_t& field, bool checked) {
  const std::uint8_t v = checked ? 1 : 0;
  const bool changed = field != v;
  field = v;
  return changed;
}

}  // namespace

TGridDlg::TGridDlg(TGridWin& window, const std::string& templateName, TDialogPosition* position)
    : TDlg(&window, templateName, position), window_(window) {}

const plat::CommandTable& TGridDlg::Commands() const {
  static const auto table =
      plat::CommandTable::Build<TGridDlg>(&TDlg::Commands(), {{kApply, &TGridDlg::CmApplySettings}});
  return table;
}

void TGridDlg::ShowAgain() {
  hidden_ = 0;
  Show(plat::SW_SHOW);
}

void TGridDlg::SetupWindow() {
  TDlg::SetupWindow();
  screenWidth_ = plat::ScreenCaps().horzRes;
  if (screenWidth_ < 1) screenWidth_ = 1;
  const TGridWin& w = window_;
  for (int id : {kEditTickLength, kEditIntervalX, kEditIntervalY, kEditSectors}) LimitText(id, kLongField);
  for (int id : {kEditDecimalsX, kEditDecimalsY, kEditFrequencyX, kEditFrequencyY}) LimitText(id, kShortField);

  SetCheck(kCheckAxes, w.AxesShown != 0);
  SetCheck(kRadioBoth, w.AxisChoice == 3);
  SetCheck(kRadioX, w.AxisChoice == 1);
  SetCheck(kRadioY, w.AxisChoice == 2);
  SetCheck(kRadioPolar, w.AxisChoice == 4);
  SetCheck(kCheckTicks, w.TicksShown != 0);
  SetCheck(kCheckArrows, w.ArrowsShown != 0);
  SetCheck(kCheckRaster, w.RasterShown != 0);
  SetCheck(kCheckLabels, w.LabelsShown != 0);
  SetCheck(kCheckScaleX, (w.ScaleBits & kScaleNumbersX) != 0);
  SetCheck(kCheckScaleY, (w.ScaleBits & kScaleNumbersY) != 0);
  SetCheck(kCheckPiX, w.PiX != 0);
  SetCheck(kCheckPiY, w.PiY != 0);
  SetCheck(kRadioAtFrame, (w.ScaleBits & kScaleAtFrame) != 0);
  SetCheck(kRadioAtAxes, (w.ScaleBits & kScaleAtFrame) == 0);
  for (const auto& box : kGridBitBoxes) SetCheck(box.id, (w.GridBits & box.bit) != 0);

  WriteDecimals();
  SetItemText(kEditTickLength, FormatNumber(100.0L / screenWidth_ * w.TickLength, 3, 1));
  SetItemText(kEditSectors, std::to_string(w.PolarSectors));
  WriteNumbers();
  HideByAxisKind();
}

void TGridDlg::HideByAxisKind() {
  const int kind = window_.AxisKind;
  auto hide = [this](std::initializer_list<int> ids) {
    for (int id : ids) ShowItem(id, false);
  };
  if (kind > 0) {
    hide({kRadioBoth, kRadioX, kRadioY, kRadioPolar, kRadioAtAxes, kRadioAtFrame, kCheckTicks, kCheckRaster,
          kCheckPolar, kCheckRectangular, kCheckQuadrant1, kCheckQuadrant1 + 1, kCheckQuadrant1 + 2,
          kCheckQuadrant1 + 3, kEditTickLength, kEditSectors, kGridStaticTickLength, kGridStaticQuadrants,
          kGridStaticScaleAt});
  }
  if (kind & 1) hide({kEditIntervalX, kEditDecimalsX, kCheckPiX});
  if (kind & 2) hide({kEditIntervalY, kEditDecimalsY, kCheckPiY});
  if (kind == 3) {
    hide({kCheckAxes, kCheckArrows, kCheckLabels, kGridStaticInterval, kGridStaticDecimals, kGridStaticPi,
          kGridStaticGroup});
  }
}

void TGridDlg::WriteNumbers() {
  const TGridWin& w = window_;
  std::string x = FormatNumber(w.TickIntervalX, 8, 6);
  if (w.OriginMark) x += '@';
  SetItemText(kEditIntervalX, x);
  SetItemText(kEditIntervalY, FormatNumber(w.TickIntervalY, 8, 6));
  SetItemText(kEditFrequencyX, std::to_string(w.LabelFrequencyX));
  SetItemText(kEditFrequencyY, std::to_string(w.LabelFrequencyY));
  WriteDecimals();
}

void TGridDlg::WriteDecimals() {
  SetItemText(kEditDecimalsX, DecimalsText(window_.DecimalsX));
  SetItemText(kEditDecimalsY, DecimalsText(window_.DecimalsY));
}

void TGridDlg::CmApplySettings() {
  if (ReadSettings()) window_.GridSettingsApplied();
  WriteNumbers();
}

bool TGridDlg::ReadSettings() {
  TGridWin& w = window_;
  bool changed = false;
  auto text = [this](int id, int limit) { return TruncateChars(GetItemText(id), limit); };

  // Axes and their selection.
  std::int16_t choice = 0;
  if (IsChecked(kRadioBoth)) {
    choice = 3;
  } else if (IsChecked(kRadioX)) {
    choice = 1;
  } else if (IsChecked(kRadioY)) {
    choice = 2;
  } else if (IsChecked(kRadioPolar)) {
    choice = 4;
  }
  const bool axes = IsChecked(kCheckAxes);
  if ((!w.AxesShown && axes && choice != 0) || (w.AxesShown && (!axes || choice != w.AxisChoice))) changed = true;
  w.AxesShown = axes ? 1 : 0;
  w.AxisChoice = choice;

  if (TakeCheck(w.TicksShown, IsChecked(kCheckTicks))) changed = true;

  // Intervals; an "@" after the x interval marks the origin.
  auto readInterval = [&](std::string s, long double& interval) {
    long double v = 0;
    if (w.TextToNumber(s, v) == 0 && v > kTolerance && std::fabs(v - interval) > kTolerance) {
      if (w.TicksShown) changed = true;
      w.TickNoticeState = 0;
      interval = v;
    }
  };
  std::string sx = text(kEditIntervalX, kLongField);
  const std::size_t at = sx.find('@');
  if (TakeCheck(w.OriginMark, at != std::string::npos)) changed = true;
  if (at != std::string::npos) sx.resize(at);
  readInterval(sx, w.TickIntervalX);
  readInterval(text(kEditIntervalY, kLongField), w.TickIntervalY);

  const std::int16_t scale = static_cast<std::int16_t>((IsChecked(kCheckScaleX) ? kScaleNumbersX : 0) |
                                                       (IsChecked(kCheckScaleY) ? kScaleNumbersY : 0) |
                                                       (IsChecked(kRadioAtFrame) ? kScaleAtFrame : 0));
  if (scale != w.ScaleBits) changed = true;
  w.ScaleBits = scale;

  if (TakeCheck(w.PiX, IsChecked(kCheckPiX)) && (scale & kScaleNumbersX)) changed = true;
  if (TakeCheck(w.PiY, IsChecked(kCheckPiY)) && (scale & kScaleNumbersY)) changed = true;

  auto readFrequency = [&](int id, std::int16_t& frequency, std::int16_t bit) {
    const std::int32_t n = ParseInt(text(id, kShortField));
    if (n < 1 || n > 98) return;
    if (n != frequency && w.TicksShown && (scale & bit)) changed = true;
    frequency = static_cast<std::int16_t>(n);
  };
  readFrequency(kEditFrequencyX, w.LabelFrequencyX, kScaleNumbersX);
  readFrequency(kEditFrequencyY, w.LabelFrequencyY, kScaleNumbersY);

  // Tick length in per cent of the screen width.
  long double percent = 0;
  if (w.TextToNumber(text(kEditTickLength, kLongField), percent) == 0 && percent > 0.2L && percent < 98.0L) {
    const std::int32_t pixels = RoundToInt(screenWidth_ * percent * 0.01L);
    if (pixels != w.TickLength && w.TicksShown) changed = true;
    w.TickLength = static_cast<std::int16_t>(pixels);
    w.ShortTickLength = static_cast<std::int16_t>(pixels * 7 / 10);
  }

  if (TakeCheck(w.ArrowsShown, IsChecked(kCheckArrows)) && w.AxesShown) changed = true;
  if (TakeCheck(w.RasterShown, IsChecked(kCheckRaster))) changed = true;

  std::int16_t bits = 0;
  for (const auto& box : kGridBitBoxes)
    if (IsChecked(box.id)) bits = static_cast<std::int16_t>(bits | box.bit);
  if (bits != w.GridBits) changed = true;
  w.GridBits = bits;

  if (TakeCheck(w.LabelsShown, IsChecked(kCheckLabels)) && w.AxesShown) changed = true;

  // Decimals: "n@" adds the suffix character after the numbers, "n@code"
  // also chooses that character (33..255).
  auto readDecimals = [&](int id, std::int16_t& decimals) {
    std::string s = text(id, kShortField);
    const std::size_t mark = s.find('@');
    if (mark != std::string::npos) {
      const std::string after = s.substr(mark + 1);
      if (!after.empty()) {
        const std::int32_t code = ParseInt(after);
        if (code > 32 && code < 256) {
          if (code != w.SuffixChar) changed = true;
          w.SuffixChar = static_cast<std::int16_t>(code);
        }
      }
      s.resize(mark);
    }
    std::int32_t n = ParseInt(s);
    if (n < 0 || n > 9) return;
    if (mark != std::string::npos) n += 10;
    if (n != decimals) changed = true;
    decimals = static_cast<std::int16_t>(n);
  };
  readDecimals(kEditDecimalsX, w.DecimalsX);
  readDecimals(kEditDecimalsY, w.DecimalsY);
  WriteDecimals();

  const std::int32_t sectors = ParseInt(text(kEditSectors, kLongField));
  if (sectors >= 4 && sectors <= 100 && sectors != w.PolarSectors) {
    changed = true;
    w.PolarSectors = static_cast<std::int16_t>(sectors);
  }
  return changed;
}

}  // namespace kv
