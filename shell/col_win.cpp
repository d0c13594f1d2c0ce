#include "shell/col_win.h"

#include "platform/resources.h"
#include "shell/generic_dialogs.h"
#include "shell/zor_win.h"

namespace kv {

namespace {

enum : int {
  CM_APPLY = 91,
  CM_CLOSE = 357,
  ID_RED = 211,
  ID_GREEN = 212,
  ID_BLUE = 213,
};

// The colour window's own background.
constexpr std::int16_t kBackgroundIndex = 19;
constexpr int kColumns = 8;
constexpr int kRows = 14;

}  // namespace

// ---- the RGB dialog ----

TEditRGBDlg::TEditRGBDlg(TColWin* colourWindow) : TDlg(colourWindow, "RGB"), colourWindow_(colourWindow) {}

const plat::CommandTable& TEditRGBDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TEditRGBDlg>(
      &TDlg::Commands(), {
                             {CM_APPLY, &TEditRGBDlg::CmApply},
                         });
  return table;
}

void TEditRGBDlg::SetupWindow() {
  TDlg::SetupWindow();
  for (int id : {ID_RED, ID_GREEN, ID_BLUE}) LimitText(id, 30);
  Refresh();
}

void TEditRGBDlg::Refresh() {
  if (!IsCreated()) return;
  const std::int16_t* index = colourWindow_->EditedIndex;
  const plat::Colour c = colourWindow_->GetColour(index ? *index : 0);
  SetItemText(ID_RED, std::to_string(plat::RedOf(c)));
  SetItemText(ID_GREEN, std::to_string(plat::GreenOf(c)));
  SetItemText(ID_BLUE, std::to_string(plat::BlueOf(c)));
}

void TEditRGBDlg::ShowAgain() {
  hidden_ = 0;
  Show(plat::SW_SHOW);
  Refresh();
}

bool TEditRGBDlg::Apply() {
  std::int16_t* index = colourWindow_->EditedIndex;
  // Black and white stay what they are.
  if (!index || *index <= 1 || *index >= kColourCount) return false;
  const std::int32_t red = ParseInt(GetItemText(ID_RED));
  const std::int32_t green = ParseInt(GetItemText(ID_GREEN));
  const std::int32_t blue = ParseInt(GetItemText(ID_BLUE));
  for (std::int32_t v : {red, green, blue}) {
    if (v < 0 || v > 255) {
      ShowMessageById(this, 17);
      return false;
    }
  }
  colourWindow_->ColourTable[static_cast<std::size_t>(*index)] = plat::Rgb(red, green, blue);
  colourWindow_->ColourEdited();
  colourWindow_->InvalidateBackBuffer(0);
  colourWindow_->Invalidate(false);
  return true;
}

// ---- the colour window ----

TColWin::TColWin(TZORWin* owner) : TPreWin(owner, ""), Owner(owner) {
  kv::SetPlacement(Placement, ScreenWidth / 4, CaptionMenuHeight + 40, ScreenWidth / 6, ScreenWidth / 3, 0);
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  AssignMenu("COLWMENU");
  ColourSlots[0] = kBackgroundIndex;
}

TColWin::~TColWin() = default;

const plat::CommandTable& TColWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TColWin>(
      &TPreWin::Commands(), {
                                {CM_CLOSE, &TColWin::CmClose},
                            });
  return table;
}

void TColWin::SetupWindow() {
  TPreWin::SetupWindow();
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  RGBDialog = std::make_unique<TEditRGBDlg>(this);
  RGBDialog->Create();
  RGBDialog->Hide();
  CopyOwnerColours();
}

void TColWin::Destroy() {
  if (IsDestroyed()) return;
  if (RGBDialog && !RGBDialog->IsDestroyed()) RGBDialog->Destroy();
  TPreWin::Destroy();
}

void TColWin::CopyOwnerColours() {
  if (Owner) {
    ColourTable = Owner->ColourTable;
    BuildGreyTables();
  }
  if (RGBDialog) RGBDialog->Refresh();
}

void TColWin::ShowColourWindow(int captionId, std::int16_t* index, std::int32_t target, const char* caption) {
  Target = target;
  EditedIndex = index;
  CopyOwnerColours();
  CaptionId = captionId;
  CaptionText = caption ? TruncateChars(caption, 50) : std::string();
  Show(plat::SW_SHOWNORMAL);
  Hidden = 0;
  Redraw();
}

void TColWin::ForgetIndex(const std::int16_t* index) {
  if (!index || index != EditedIndex) return;
  EditedIndex = nullptr;
  Hide();
}

void TColWin::Hide() {
  if (RGBDialog) RGBDialog->Hide();
  Show(plat::SW_HIDE);
  Hidden = 1;
}

void TColWin::ColourEdited() {
  if (!Owner || !EditedIndex) return;
  const auto k = static_cast<std::size_t>(*EditedIndex);
  if (k >= Owner->ColourTable.size()) return;
  Owner->ColourTable[k] = ColourTable[k];
  Owner->ColourTableChanged(Target);
}

void TColWin::Redraw() {
  InvalidateBackBuffer(0);
  Invalidate(false);
}

// ---- painting ----

void TColWin::Paint(plat::DC& dc, bool, const plat::Rect&) {
  if (ClientSizeChanged() || BackBuffers[0].IsNull()) CreateBackBuffers(0, dc);
  if (BufferValid[0]) {
    BlitBackBuffer(0, dc);
    return;
  }
  {
    plat::BitmapDC b(BackBuffers[0]);
    b.SetCaps(dc.Caps());
    PaintBackground(b);
    CellWidth = ClientWidth / kColumns;
    CellHeight = ClientHeight / kRows;
    const int w = CellWidth;
    const int h = CellHeight;
    for (int i = 1; i <= 6; ++i)
      for (int j = 1; j <= 10; ++j)
        FillColourRect(b, i * w, (j + 2) * h, (i + 1) * w + 1, (j + 3) * h + 1, (j - 1) * 6 + i, false);
    FillColourRect(b, w, 2 * h, 2 * w + 1, 3 * h + 1, 0, false);
    FillColourRect(b, 3 * w, h, 5 * w, 2 * h, EditedIndex ? *EditedIndex : 0, true);
  }
  BlitBackBuffer(0, dc);
  BufferValid[0] = 1;
  plat::Window::SetCaption(CaptionId >= 0 ? plat::res::String(CaptionId) : CaptionText);
}

// ---- mouse ----

bool TColWin::CellSize(int& width, int& height) {
  // Before the first paint the cells follow the client size.
  width = CellWidth > 0 ? CellWidth : GetClientRect().Width() / kColumns;
  height = CellHeight > 0 ? CellHeight : GetClientRect().Height() / kRows;
  return width > 0 && height > 0;
}

void TColWin::EvLButtonDown(unsigned, plat::Point p) {
  int w, h;
  if (!CellSize(w, h) || p.x < 0 || p.y < 0) return;
  PickCell(p.x / w, p.y / h - 2);
}

void TColWin::EvRButtonDown(unsigned, plat::Point p) {
  int w, h;
  if (!CellSize(w, h) || p.x < 0 || p.y < 0 || !EditedIndex) return;
  const int column = p.x / w;
  if (column > 0 && column < 6 && p.y / h == 1 && *EditedIndex != 0 && *EditedIndex != 1 && RGBDialog)
    RGBDialog->ShowAgain();
}

void TColWin::PickCell(int column, int row) {
  if (column <= 0 || column >= 7 || row < 0 || row >= 11) return;
  int index;
  if (row == 0) {
    if (column != 1) return;
    index = 0;
  } else {
    index = (row - 1) * 6 + column;
  }
  if (!EditedIndex) return;
  *EditedIndex = static_cast<std::int16_t>(index);
  Redraw();
  if (Owner) Owner->ColourIndexChanged(EditedIndex, Target);
  if (!RGBDialog) return;
  if (index == 0 || index == 1) {
    RGBDialog->Hide();
  } else {
    RGBDialog->Refresh();
  }
}

}  // namespace kv
