// The layer both windows of a plane mapping share (TPlotEWin > TMap2Win,
// the base of the domain window TDom2Win and of the range window TRan2Win).
// The domain window owns the entries; the range window borrows them and
// draws each point through the selected mapping (kind 401 z ==> F(z) or
// 402 (x,y) ==> (U,V)).  This layer draws the partial sums of complex
// series and the cursor cross, fits a window to the image of the grid,
// keeps the images of the freehand strokes and redraws the partner.
#pragma once

#include <cstdint>
#include <string>

#include "plot2d/plot2_win.h"

namespace kv {

class TDom2Win;
class TRan2Win;

enum : int {
  kCmMapPlaneXY = 410,       // "Ebene &xy"
  kCmMapPlaneZ = 411,        // "Ebene &z"
  kCmMapGrid = 758,          // "&Gitter ..."
  kCmFitToGrid = 764,        // "&Fenster anpassen" (Pos1)
  kCmMapTables = 873,        // "&Tabellen ..."
  kCmNewComplexPoint = 917,  // "&z ..."
  kCmNewSum = 918,           // "Su&mme ..."
  kCmNewMapping = 1102,      // "&Neu ..." (menu "&Abbild")
};

enum : int {
  kStrMapping = 156,  // "Abbildung"
  kStrRange = 157,    // "Wertebereich"
  kStrMa2Filter = 268,
  kStrMazFilter = 273,
};

class TMap2Win : public TPlotEWin {
 public:
  TMap2Win(plat::Window* parent, const std::string& title);

  const plat::CommandTable& Commands() const override;
  void Destroy() override;
  // The range window also hands its view to the domain window's mirror.
  void UpdateView() override;
  // Every view change of either window marks the domain window's view as
  // changed.
  void ChangeView(long double cx, long double cy, long double hx) override;
  void NewView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode) override;
  // One window of the pair draws at a time: the other, asked to paint
  // while the first polls the keyboard, shows its last picture and draws
  // afterwards (they share the entries and the parameters).
  void PaintBuffered(plat::DC& dc) override;
  // The 2D pass (labels and strokes), then the cursor cross.
  void DrawPlot(plat::DC& dc) override;
  // The partial sums of a kind-218 entry as a polyline from the origin.
  int DrawSum(plat::DC& dc, int i) override;
  // The view around the grid and the partial sums.
  void FitWindowToGraphs() override;
  // A new drawing also starts the sums' colours again.
  void ClearDrawing() override;

  // The domain window of the pair (this window or its domain); null while
  // a range window has none.
  TDom2Win* Domain();
  // Gives back what the range window borrowed; nothing here.
  virtual void ReleaseDomain() {}
  // The view around the images of the grid nodes (3 % room on each side).
  void FitRangeToGrid();
  // A copy of a freehand mark appended to this window's strokes, its point
  // replaced by its image (a point without one breaks the stroke).
  void AddMarkImage(const TMouseMark& m);
  // The cross at the image of a domain point, or none.
  void ShowCursorImage(const TPoint2D& p, bool shown);
  // Redraws at once: which = 0 only the overlays, else the whole plot.
  void RedrawNow(int which);
  // "Wertebereich [<name of the domain file>]".
  void UpdateRangeTitle();
  // The entry count and selected mapping of the domain window, which a
  // range window draws with.
  void FollowDomain();
  // A font slot (with its point size) of one window into another's.
  static void CopyFontSlot(TFontWin& from, int fromSlot, TFontWin& to, int toSlot);

  TDom2Win* DomainWindow = nullptr;  // set in the range window only
  TRan2Win* RangeWindow = nullptr;   // set in the domain window only
  TPlacement RangePlacement;
  std::uint8_t CursorShown = 0;
  TPoint2D CursorImage;

 private:
  void CmFitToGrid();
  void CmNewComplexPoint() { NewPoint(4); }
  void CmNewSum();
  void CeNewSum(plat::CommandEnabler& ce) { ce.Enable(ComplexMode()); }
  std::int16_t sumCounter_ = 0;
  bool paintDeferred_ = false;
};

}  // namespace kv
