// The 2D window with logarithmic axes (TPlotEWin > TLogWin): type 1
// "(log x ; y)", 2 "(x ; log y)" or 3 "(log x ; log y)", fixed at creation
// (a file of the current version brings its own).  It offers the 2D
// window's equations and tools but shows every point in decimal exponents
// on its logarithmic axes, draws one grid line per whole multiple of each
// power of ten, and keeps its view wide enough for the axis numbers beside
// the plotted rectangle.
#pragma once

#include <cstdint>
#include <string>

#include "planewin/model/log_axes.h"
#include "plot2d/plot2_win.h"

namespace kv {

enum : int {
  kStrLogFilter = 290,  // "Log Dateien (*.LKV)|*.lkv"
  kStrUntitled = 29,    // "Unbenannt"
};

class TLogWin : public TPlotEWin {
 public:
  TLogWin(plat::Window* parent, const std::string& caption, int axisType);

  void SetupWindow() override;
  void Destroy() override;
  // One line per whole multiple of each power of ten on a logarithmic
  // axis, the ordinary tick lines on a linear one; inside the plotted
  // rectangle only.
  void DrawGrid(plat::DC& dc, const TTickRange& range, const plat::Pen& gridPen, const plat::Pen& majorPrintPen,
                const TPenSpec& displaySpec, const TPenSpec& printSpec) override;
  // The view around the plotted rectangle with room for the axis numbers.
  void GridChanged() override;
  // The view fitted around the plotted rectangle for the page's size and
  // the printer's fonts while the page is drawn.
  bool PrintPlot(plat::DC& dc) override;
  // The view is fitted again at every new size, a file's among them.
  void EvSize(unsigned sizeType, plat::Size clientSize) override;
  // After a file was read: its view is the plotted rectangle.
  void OnViewChanged() override;
  // A new drawing is named "Unbenannt.lkv": saved, it opens again in a
  // window with logarithmic axes.
  void NewFile() override;

  // The type and the values it shows follow the plotted rectangle.
  void SetAxisType(int type);
  void UpdateValueRange();
  // The sizes of the outer axis numbers in the axis-scale font on dc.
  TAxisNumberExtents MeasureAxisNumbers(plat::DC& dc);

  std::int16_t AxisType = 1;
};

}  // namespace kv
