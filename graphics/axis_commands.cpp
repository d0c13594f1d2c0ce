// Commands that change how axes look (line widths for screen and print,
// label texts, filled arrow heads, the minus and π characters) and the
// arrow head the axes share with the plot windows.
#include <limits>
#include <vector>

#include "graphics/zor_wing.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"

namespace kv {

bool TZORWing::InputThickness(std::int16_t& value, int promptId) {
  std::string text = std::to_string(value);
  TInpDlg dlg(this, plat::res::String(5), plat::res::String(promptId), text, 20);
  if (dlg.Execute() != plat::IDOK) return false;
  const std::int32_t n = ParseInt(text);
  if (n < 0) {
    ShowMessageById(14);
    return false;
  }
  // A width beyond the field's range would wrap around.
  if (n > std::numeric_limits<std::int16_t>::max()) {
    ShowMessageById(17);
    return false;
  }
  if (n == value) return false;
  value = static_cast<std::int16_t>(n);
  return true;
}

void TZORWing::CmAxisDisplayWidth() {
  if (!InputThickness(AxisWidthDisplay, 16)) return;
  Modified = 1;
  if (AxesShown) {
    InvalidateBackBuffer(PaintBufferIndex);
    Invalidate(false);
  }
}

void TZORWing::CmAxisPrintWidth() {
  if (InputThickness(AxisWidthPrint, 15)) Modified = 1;
  if (AxisWidthPrint < 1) AxisWidthPrint = 1;
}

void TZORWing::CmGridDisplayWidth() {
  if (!InputThickness(GridWidthDisplay, 16)) return;
  Modified = 1;
  InvalidateBackBuffer(PaintBufferIndex);
  Invalidate(false);
}

void TZORWing::CmGridPrintWidth() {
  if (InputThickness(GridWidthPrint, 15)) Modified = 1;
  if (GridWidthPrint < 1) GridWidthPrint = 1;
}

void TZORWing::CmAxisLabels() {
  std::array<std::string, 3> texts = AxisNames;
  TGenDlg dlg(this, "AXVBLS", 20, &texts[0], &texts[1], &texts[2]);
  if (dlg.Execute() != plat::IDOK) return;
  const bool changed = texts != AxisNames;
  AxisNames = texts;
  if (changed) {
    InvalidateBackBuffer(PaintBufferIndex);
    Invalidate(false);
  }
}

void TZORWing::ToggleFilledArrowHeads() {
  FilledArrowHeads = FilledArrowHeads ? 0 : 1;
  UpdateMenuChecks(false);
  Modified = 1;
  InvalidateBackBuffer(1);
  Invalidate(false);
}

void TZORWing::CmMinusSign() {
  std::string text = std::to_string(LongHyphenChar);
  TInpDlg dlg(this, plat::res::String(3), plat::res::String(4), text, 10);
  bool redraw;
  if (dlg.Execute() == plat::IDOK) {
    const std::int32_t n = ParseInt(text);
    if (n < 32 || n > 255) {
      ShowMessageById(17);
      return;
    }
    redraw = !(LongHyphen && n == LongHyphenChar);
    LongHyphen = 1;
    LongHyphenChar = static_cast<std::int16_t>(n);
  } else {
    redraw = LongHyphen != 0;
    LongHyphen = 0;
  }
  if (redraw) {
    UpdateMenuChecks(false);
    RedrawAfterViewChange(false);
  }
}

void TZORWing::CmPiCharacter() {
  std::string text = std::to_string(PiChar);
  TInpDlg dlg(this, plat::res::String(320), plat::res::String(321), text, 10);
  if (dlg.Execute() != plat::IDOK) return;
  const std::int32_t n = ParseInt(text);
  if (n < 32 || n > 255) {
    ShowMessageById(17);
    return;
  }
  PiChar = static_cast<std::int16_t>(n);
  UpdateMenuChecks(false);
  RedrawAfterViewChange(false);
}

void TZORWing::DrawArrow(plat::DC& dc, const TPoint2D& c1, const TPoint2D& tip, const TPoint2D& c2, bool filled,
                         const TPenSpec& spec, const TPoint2D& vector, long double headLength) {
  if (TExportSink* sink = ActiveSink()) sink->Arrow({c1, tip, c2, vector, headLength, filled, ExportPenOf(spec)});
  if (!filled) {
    DrawWorldLine(dc, c1, tip, false);
    DrawWorldLine(dc, tip, c2, false);
    return;
  }
  const TPoint2D world[3] = {c1, tip, c2};
  std::vector<plat::Point> device(3);
  for (std::size_t i = 0; i < 3; ++i) WorldToPixel(world[i], device[i]);
  dc.Polygon(device);
}

}  // namespace kv
