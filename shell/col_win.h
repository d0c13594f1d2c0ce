// The colour window of a plot window: its 61 colours as a grid of swatches.
// It edits one colour index at a time, handed over by address (a colour
// slot of the window, an equation's colour, ...): a left click on a swatch
// picks that colour, a right click on the sample opens the "RGB" dialog,
// which changes the colour itself in the window's colour table.
//
// The grid: 8 columns by 14 rows of cells.  Row 1 holds the sample of the
// edited colour (columns 3 and 4), row 2 the black swatch (column 1),
// rows 3..12 the colours 1..60, six to a row in columns 1..6.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/dialog_base.h"
#include "shell/pre_win.h"

namespace kv {

class TZORWin;
class TColWin;

// "RGB": red, green and blue (0..255) of the colour being edited.
class TEditRGBDlg : public TDlg {
 public:
  explicit TEditRGBDlg(TColWin* colourWindow);
  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  // The three values of the edited colour into the edits.
  void Refresh() override;
  void ShowAgain();
  void CmOk() override { Apply(); }
  void CmCancel() override { Hide(); }
  // Stores the edited values; message 17 (nothing changed) for a value
  // outside 0..255.
  bool Apply();

 private:
  void CmApply() { Apply(); }
  TColWin* colourWindow_;
};

class TColWin : public TPreWin {
 public:
  explicit TColWin(TZORWin* owner);
  ~TColWin() override;

  void SetupWindow() override;
  void Destroy() override;
  const plat::CommandTable& Commands() const override;
  void Paint(plat::DC& dc, bool erase, const plat::Rect& rect) override;
  void EvLButtonDown(unsigned keys, plat::Point p) override;
  void EvRButtonDown(unsigned keys, plat::Point p) override;
  void Hide() override;
  // Closing hides: the window lives as long as its owner.
  void EvClose() override { Hide(); }
  // The own table's entry at the edited index into the owner's table.
  void ColourEdited() override;

  void CopyOwnerColours();
  // Shows the window editing *index; the caption is string captionId, or
  // `caption` when captionId is below 0.
  void ShowColourWindow(int captionId, std::int16_t* index, std::int32_t target, const char* caption);
  // Picks the colour of a cell (column 1..6, row 0 the black swatch, rows
  // 1..10 the colours); other cells do nothing.
  void PickCell(int column, int row);
  // The edited index is going away: stop editing it.
  void ForgetIndex(const std::int16_t* index);

  TZORWin* Owner;
  std::int32_t Target = 0;
  std::int32_t CellWidth = 0;
  std::int32_t CellHeight = 0;
  std::int32_t CaptionId = -1;
  std::string CaptionText;
  std::int16_t* EditedIndex = nullptr;
  std::unique_ptr<TEditRGBDlg> RGBDialog;

 private:
  void CmClose() { Hide(); }
  // Cell size, also before the first paint.
  bool CellSize(int& width, int& height);
  void Redraw();
};

}  // namespace kv
