// The first two layers of the 2D window on top of the shared plot layers:
// TPlotAWin holds the 2D window's identity (file type, menu, settings
// file, file dialog) and the calculus computations; TPlotBWin the first
// group of calculus dialogs.  The dialogs arrive with their tools; the
// layers already stand in the chain so that the layers above build on them.
#pragma once

#include <cstdint>
#include <string>

#include "entry/plot111_win.h"
#include "plot2d/model/curve_crossing.h"

namespace kv {

inline constexpr std::int32_t kFileType2D = 841;

enum : int {
  kCmConnectPoints = 702,  // "&Punkte verbinden"
};

class TPlotAWin : public TPlot111Win {
 public:
  TPlotAWin(plat::Window* parent, const std::string& title);
  ~TPlotAWin() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void UpdateMenuChecks(bool drawMenuBar) override;
  // The 2D kinds, unless an entry is kept out of sight (sub-value B
  // negative).
  bool IsEquationDrawable(int i) override;

  // ---- points of the calculus tools (plot_a_points.cpp) ----
  // Appends a point entry at (x; y) with the window's marker size,
  // compiles, labels and draws it; its index, or -1 when there is no room.
  int AddPointItem(long double x, long double y);
  // Moves the start of trajectory item `item` of entry `path` onto the
  // first crossing of its run with the implicit entry `curve`.
  CrossingResult RefineCurveCrossing(int path, TEquationItem& item, int curve, TPoint3D& end);
  // Polled by the tools' searches: "A" or Escape stops them.
  bool ToolSearchStopped();

  // Set by "&Punkte verbinden": the curve drawer shows each sample as a
  // point instead of joining them.
  std::uint8_t samplesAsPoints = 0;
  // The equation chosen by the mouse-data dialog (-1 none).
  std::int16_t mouseDataEquation = -1;

 private:
  void CmConnectPoints();
};

class TPlotBWin : public TPlotAWin {
 public:
  TPlotBWin(plat::Window* parent, const std::string& title);
  ~TPlotBWin() override;

  // True when one of the first three side windows is open and shown.
  virtual bool HasOpenSideWindow() { return false; }
  // Re-titles the dialogs whose captions carry the file name.
  virtual void RefreshDialogCaptions() {}
};

}  // namespace kv
