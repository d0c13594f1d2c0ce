// The option layer of the plot windows: kind lookups, equation labels,
// drawing modes and shading (hatched or filled regions above, below or
// between graphs), inequalities of implicit curves and random darts thrown
// into their regions, the tracer and 3D option commands, and the menu
// checks of these options.
//
// Implementation: plot0_win.cpp (commands, options, labels, lookups) and
// shading.cpp (shading, inequalities, darts).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "plotcore/model/shading_geometry.h"
#include "plotcore/plot_win.h"

namespace kv {

// Start offsets (pixels) of the inequality lattices: the n-th region's own
// lattice starts at (X[n mod 9], Y[n mod 9]), so that the dots of
// overlapping regions lie side by side; the common region's at one of the
// first five.
inline constexpr int kLatticeStartX[9] = {0, 2, 0, 1, 2, 0, 2, 1, 1};
inline constexpr int kLatticeStartY[9] = {0, 1, 2, 0, 2, 1, 0, 2, 1};

class TPlot0Win : public TPlotWin {
 public:
  TPlot0Win(plat::Window* parent, const std::string& title);
  ~TPlot0Win() override;

  const plat::CommandTable& Commands() const override;
  void UpdateMenuChecks(bool drawMenuBar) override;
  int DrawEquations(plat::DC& dc) override;
  void DrawPlot(plat::DC& dc) override;
  // "Bitmap in Ablage": the window's picture (drawn first when it has none).
  bool PaintToBitmap(plat::DC& dc) override { return CopyBackBuffer(dc); }
  bool CopyBackBuffer(plat::DC& dc);
  // Printing: printer fonts and text scale, the plot clipped to its area.
  bool PrintPlot(plat::DC& dc) override { return DrawIntoDC(dc); }
  bool DrawIntoDC(plat::DC& dc);

  // ---- exports ----
  // The runs of the three vector formats: the creator text (EPS, SVG), then
  // the frame, the equations and the whole plot drawn while the format
  // records (graphics/export_runs.cpp).
  void ExportEps() override;
  void ExportSvg() override;
  void ExportPictex() override;
  // Frame, equations and the plot over them: every drawing of the whole
  // plot for an export or a metafile.
  void DrawWholePlot(plat::DC& dc);
  // The whole plot into a metafile DC at `scale` times the client size,
  // lines and markers widened by the same factor.
  void RenderScaled(plat::DC& dc, int scale);
  void MetafileHook(plat::DC& dc, int scale) override { RenderScaled(dc, scale); }

  // ---- lookups ----
  // The first entry of one of the kinds (0 = none) whose sub-value B is not
  // negative; with visibleOnly also visible; -1 when none.
  int FindEquationOfKinds(std::initializer_list<int> kinds, bool visibleOnly = false) const;
  // (k / 100 - 2)·25 + k mod 100: the index of a kind in the kind tables.
  static int KindIndex(int kind) { return (kind / 100 - 2) * 25 + kind % 100; }
  bool HasValueTable(int i) const;
  // The point of entry n of kind 209/309, else the view centre.
  TPoint2D GetEquationPoint(int n);

  // Guide-line codes of point entries as six digits 0..3 (digit k: piece k
  // of the guide table) and back; ParseVariableRoles gives -1 for a text of
  // another form.
  static std::string FormatVariableRoles(int roles);
  static int ParseVariableRoles(std::string_view text);

  // ---- mouse (plot_labels.cpp) ----
  // The text, picture and term modes (123, 124, 129) here, the others below.
  void EvLButtonDown(unsigned keys, plat::Point p) override;
  void EvRButtonDown(unsigned keys, plat::Point p) override;
  // Drags the text label, term label, picture or equation label under the
  // point; whether there was one.
  bool PickAndDragText(plat::Point p);
  // The equation label under the point with its offset and size; -1 when none.
  // Hidden labels are not hit.
  int HitTestEquationLabel(plat::Point p, plat::Point& offset, plat::Size& size);

  // ---- labels ----
  TPoint2D GetBindingPoint(int object) override { return GetEquationPoint(object); }
  // Frame-bound labels of both lists.
  void ScaleTexts(long double newHx, long double newHy, long double oldHx, long double oldHy) override;
  // Text labels, term labels and pictures over the plot.
  void DrawPlacedObjects(plat::DC& dc);
  // The label of the newest entry: its description cut at 60 characters,
  // in its colour, below the previous label.
  void AddEquationLabel();
  void UpdateEquationLabel(int i);  // slot 124
  // Stacked by the line height of the font dc draws them in (a PiCTeX file
  // by its own text line), starting inside the plotted rectangle.
  void DrawEquationLabels(plat::DC& dc);
  // The top-left corner (world) of each label as dc shows it.
  std::vector<TPoint2D> EquationLabelPlaces(plat::DC& dc);
  void FreeTextList() { equationLabels.clear(); }
  int MeasureLineHeight(plat::DC& dc);
  // Asks the point size (at least 1) and redraws.
  void AskPointSize();

  // ---- inequalities, darts ----
  // Entry i's inequality (kind 204 with sign 1: F < 0, -1: F > 0), or all
  // inequalities for -1 (true when there are none).
  bool PointSatisfiesInequalities(long double x, long double y, int i);
  // Darts in the view inside the region (an entry or -1 for all); true with
  // the mean of the hits.  The count is dartCount; with showPoints each hit
  // is marked on dc.  area, when given, gets the region's estimated area.
  // The key "A" stops the throwing early; the estimate then rests on the
  // darts thrown so far.
  bool ThrowDartsInWindow(TPoint2D& mean, int region, bool showPoints, plat::DC* dc = nullptr,
                          long double* area = nullptr);
  // Random darts for the inequality display: hits drawn in the entry's
  // region colour; counters[0] darts, counters[1] hits.
  int ThrowDarts(plat::DC& dc, long counters[2], int i);
  // Lattice dots where all inequalities hold, from a random start offset.
  void DotInequalities(plat::DC& dc);
  // The dots of region i (-1: all inequalities) in the colour: a lattice
  // from the device point (x0, y0) over the plot area, spaced 3 pixels
  // (times the scale while a scaled copy is drawn); each dot is doubled by
  // the pixel one to the right and one down while the print thickness
  // (FrameWidth) is positive.
  void DotLattice(plat::DC& dc, int x0, int y0, int i, plat::Colour colour);

  // ---- shading ----
  // The y range of a column of the record: false where it has none.
  bool ShadeSpan(const TShadeRecord& s, long double x, long double& yLow, long double& yHigh);
  // Shades one record; 0, or 65 when the stop key ended it.
  int ShadeRecord(plat::DC& dc, TShadeRecord& s);
  // The region of all records together (shadeIntersection).
  void FillCombinedRegions(plat::DC& dc);
  void HatchCombinedRegions(plat::DC& dc) { FillCombinedRegions(dc); }
  // Letters 1..23 tied to the ends copy their current value into from / to.
  void RefreshBoundShading(TShadeRecord& s);
  int ShadeAll(plat::DC& dc);
  // The drawing area and view for the shading geometry.
  TShadeArea ShadeArea() const;

  // ---- options ----
  std::int16_t drawingMode = kCmDrawOpaque;
  std::uint8_t fillInsteadOfHatch = 0;
  std::int16_t regionMode = 0;   // bit 0 centroid, 2 added without intersection
  std::int32_t dartCount = 1000;
  std::int16_t regionColour = 11;

 private:
  void CmDrawingMode(int id);
  void CmFillInsteadOfHatch();
  void CmCriticalAngle();
  void CmInfiniteSlope();
  void CmTraceStepLimit();
  void CmLoopClosing();
  void CmHiddenLines();
  void CmFlatness();
  void CmPointSize() { AskPointSize(); }
  // Fills or hatches the pixel span [top, bottom] of column x.
  void ShadeColumn(plat::DC& dc, int x, int top, int bottom, int pattern, plat::Colour colour);
  int RopOfDrawingMode() const;
};

}  // namespace kv
