#include "planewin/map_grid_dialog.h"

#include "planewin/dom2_win.h"

namespace kv {

namespace {

// The number fields are read as far as this many characters.
constexpr std::size_t kFieldLength = 28;

}  // namespace

TMapGridDlg::TMapGridDlg(TDom2Win& window, TDialogPosition* position)
    : TDlg(&window, "MAPGRID", position), window_(window) {}

const plat::CommandTable& TMapGridDlg::Commands() const {
  static const auto table =
      plat::CommandTable::Build<TMapGridDlg>(&TDlg::Commands(), {
                                                                    {kGridColourX, &TMapGridDlg::CmColourX},
                                                                    {kGridColourY, &TMapGridDlg::CmColourY},
                                                                });
  return table;
}

void TMapGridDlg::SetupWindow() {
  TDlg::SetupWindow();
  const TMapGrid g = window_.CurrentGrid();
  auto number = [this](int id, long double v) {
    std::string text;
    window_.FormatWindowNumber(v, text);
    SetItemText(id, text);
  };
  number(kGridEditXMin, g.xmin);
  number(kGridEditXMax, g.xmax);
  number(kGridEditYMin, g.ymin);
  number(kGridEditYMax, g.ymax);
  SetItemText(kGridEditXDivisions, std::to_string(g.nx));
  SetItemText(kGridEditYDivisions, std::to_string(g.ny));
  SetCheck(kGridShowLinesX, window_.Equation(0).visible != 0);
  SetCheck(kGridShowLinesY, window_.Equation(1).visible != 0);
  if (window_.IsColourWindowVisible()) window_.ChooseColourForSlot(4);
}

int TMapGridDlg::ReadGrid(TMapGrid& grid) {
  TMapGrid g;
  const std::pair<int, long double*> numbers[] = {
      {kGridEditXMin, &g.xmin}, {kGridEditXMax, &g.xmax}, {kGridEditYMin, &g.ymin}, {kGridEditYMax, &g.ymax}};
  for (const auto& [id, value] : numbers) {
    const int code = window_.TextToValue(GetItemText(id).substr(0, kFieldLength), *value);
    if (code != 0) return code;
  }
  for (const auto& [id, count] : {std::pair{kGridEditXDivisions, &g.nx}, std::pair{kGridEditYDivisions, &g.ny}}) {
    const int code = window_.ReadBoundedInt(GetItemText(id), 1, kMaxGridDivisions, *count);
    if (code != 0) return code;
  }
  grid = g;
  return 0;
}

void TMapGridDlg::CmOk() {
  TMapGrid g;
  const int code = ReadGrid(g);
  if (code != 0) {
    window_.ShowMessageById(code);
    return;
  }
  TEquation& x = window_.Equation(0);
  TEquation& y = window_.Equation(1);
  SetGridRanges(x, y, g);
  x.penColour = static_cast<std::uint16_t>(window_.ColourSlots[4]);
  y.penColour = static_cast<std::uint16_t>(window_.ColourSlots[5]);
  x.visible = IsChecked(kGridShowLinesX) ? 1 : 0;
  y.visible = IsChecked(kGridShowLinesY) ? 1 : 0;
  if (colourChanged) window_.HideColourWindow();
  TDlg::CmOk();
}

void TMapGridDlg::CmColourX() {
  window_.ChooseColourForSlot(4);
  colourChanged = 1;
}

void TMapGridDlg::CmColourY() {
  window_.ChooseColourForSlot(5);
  colourChanged = 1;
}

}  // namespace kv
