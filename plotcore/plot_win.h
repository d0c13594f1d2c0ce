// The plot layer of every plot window: the inventory of equations, their
// compiled trees and description lines, evaluation and mapping helpers, the
// 3D view of the window base, the drawing of segments, points and sampled
// and traced curves (with the export routing), the trajectories and
// sequences, the buffered paint that replaces the picture layer's, mouse
// interaction in plots and the animation loops the slider dialogs start.
//
// The implementation is split by concern: plot_win.cpp (construction,
// commands, paint, notifications), inventory.cpp, plot_compiling.cpp,
// plot_evaluation.cpp, plot_drawing.cpp, curve_drawing.cpp,
// trajectory_drawing.cpp, plot_values.cpp, plot_mouse.cpp, animation.cpp.
// The mathematics of the entries is in plotcore/model/ (free functions on
// TEquation and the engine: compiling, describing, curves, trajectories,
// shading, the sampler, tracer, stepper and 3D view); the methods here hand
// them the window's engine, view and settings.
//
// Virtual operations the window classes above override are marked with the
// role they play; their versions here are the base behaviour.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "plotcore/func_win.h"
#include "platform/dialog.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/curve_sampler.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/equation.h"
#include "plotcore/model/implicit_tracer.h"
#include "plotcore/model/trajectories.h"
#include "plotcore/model/view3d.h"

namespace kv {

// Command ids of the plot layers.
enum : int {
  kCmMouseFirst = 121,       // mouse modes 121..129 ("&Maus")
  kCmMouseBoxZoom = 121,     // "&Box ziehen (L) / Zoom zentrieren (R)"
  kCmMouseTrajectories = 122,
  kCmMouseText = 123,
  kCmMousePaste = 124,
  kCmMouseCoordinates = 125, // "&xy-Koord. (L) / Zentrieren (R)"
  kCmMouseLagrange = 126,
  kCmMouseDraw = 127,        // "&Zeichnen (L) / Entfernen (R)"
  kCmMouseCursor = 128,
  kCmMouseTerms = 129,
  kCmMouseLast = 129,
  kCmTraceStepLimit = 732,   // "Sch&rittzahl ..."
  kCmLoopClosing = 733,      // "Sch&leife schließen ..."
  kCmCriticalAngle = 734,    // "&Kritischer Winkel"
  kCmHiddenLines = 759,      // "&Verdeckte Linien ..."
  kCmFlatness = 763,         // "&Ebenheit ..."
  kCmInfiniteSlope = 790,    // "&Unendliche Steigung"
  kCmFillInsteadOfHatch = 811,
  kCmInventorySize = 885,    // "&Inventarumfang ..."
  kCmPointSize = 886,        // "&Punktgröße ..."
  kCmDrawOpaque = 891,       // "&Verdeckend"
  kCmDrawNotXor = 892,       // "&Nicht XODER"
  kCmDrawXor = 893,          // "&XODER"
};

// The letters "A".."W" into a list or combo box, one selected (1 = A).
void FillLetterList(plat::Dialog& d, int id, int selection);

// The places where the sampled runs of a curve are recorded for EPS, SVG
// and PiCTeX: one run per pen stroke.  A point on the device pixel of the
// run's last recorded point is held back instead of recorded; the run's
// last point takes its place when the run ends, so the run still ends
// where the curve does.
struct TCurveRecording {
  bool active = false;
  std::vector<std::vector<TPoint2D>> runs;
  TPoint2D last;             // the last point given to the current run
  bool held = false;         // `last` was held back
  plat::Point lastPixel;     // the pixel of the run's last recorded point
  bool lastInside = false;   // that point lay in the drawing area
};

class TPlotWin : public TFuncWin {
 public:
  TPlotWin(plat::Window* parent, const std::string& title);
  ~TPlotWin() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  // The buffered paint replaces the picture layer's.
  void Paint(plat::DC& dc, bool erase, const plat::Rect& rect) override;
  // Colour notifications: 0 background colour, 1 and 3 redraw flags.
  void EvViewNotify(std::int32_t code) override;
  // The graphics layer's update, then the label line height.
  void UpdateView() override;
  void EvLButtonDown(unsigned keys, plat::Point p) override;
  void EvRButtonDown(unsigned keys, plat::Point p) override;
  void EvLButtonDblClk(unsigned keys, plat::Point p) override;
  std::vector<std::string> FormulaTextsInUse() const override;
  // Every plot window draws into metafiles.
  bool CanMetafile() override { return true; }

  // ---- labels (plot_labels.cpp) ----
  // The points (kinds 209, 309) are the objects labels and pictures bind to.
  void FillBindingList(plat::Dialog& d, int id, int binding) override;
  // Both label lists and the term blocks.
  void FreeTexts() override;
  bool HasTexts() const override { return !TextLabels.empty() || !TermLabels.empty(); }
  // Term labels show their block's terms evaluated (term_text.h).
  std::string GetTextString(const TTextLabel& label) override;
  int LoadTermBlock(TTermBlock& block, int termIndex) override;
  int StoreTermBlock(TTermBlock& block, std::int16_t& termIndex, bool checkOnly) override;
  bool TermMode() const override { return MouseMode == kCmMouseTerms; }
  void UserFunctionsChanged() override;

  // ---- inventory ----
  TEquation& Equation(int i) { return inventory_->equations[static_cast<std::size_t>(i)]; }
  const TEquation& Equation(int i) const { return inventory_->equations[static_cast<std::size_t>(i)]; }
  bool IsValidIndex(int i) const { return i >= 0 && i <= equationCount; }
  std::string& EquationName(int i) { return inventory_->names[static_cast<std::size_t>(i)]; }
  std::uint8_t& EquationFlag(int i) { return inventory_->flags[static_cast<std::size_t>(i)]; }
  int InventorySize() const { return static_cast<int>(inventory_->equations.size()); }
  // The range window of a mapping draws the entries of its domain window:
  // while it borrows them, Equation() and its companions reach the owner's
  // arrays, and the last index and capacity follow the owner's.  nullptr
  // gives the window its own inventory back.
  void BorrowInventory(TPlotWin* owner);
  bool BorrowsInventory() const { return inventory_ != &ownInventory_; }
  // A number that stays with entry i through deletes, swaps and moves of
  // other entries (never 0); dialogs keep their choice by it.
  std::uint32_t EquationSerial(int i);
  // The index of the entry with that number, or -1 when it is gone.
  int FindEquationBySerial(std::uint32_t serial) const;
  void ExchangeEquationSerials(int i, int j);
  void ForgetEquationSerial(int i);
  // True when an entry can be appended; otherwise message 4 "kein Platz
  // mehr" when asked.
  bool CanAddEquation(bool showMessage);
  // New last index allowed (capacity); keeps the entries 0..min(count,
  // capacity) when copy is set, else empties the inventory.  False when the
  // new size is out of range (inventory unchanged).
  virtual bool ResizeInventory(int newCapacity, bool copy);
  int CountEquationsOfKind(int kind) const;
  // Appends an entry of the kind with the given formula texts (slots 0..),
  // the window's next colour, default density and pen width, compiles it
  // and makes it the current entry; its index, or -1 without room.
  int AppendEquation(int kind, std::initializer_list<std::string_view> texts);
  int AppendEquationTexts(int kind, const std::array<std::string, kFormulaSlots>& texts);
  // Removes entry i; later entries move down, sources, shadings, labels and
  // the current entry follow.
  void DeleteEquation(int i);
  void ClearInventory();

  // ---- compiling ----
  void CompileEquation(int i);
  void CompileAllEquations();
  // "(a;b;c)", "a;b;c" or "a,b,c" into three trees; false when a part does
  // not compile or the count is not three.
  bool CompileCoordinateTriple(std::string_view text, std::array<TreePtr, 3>& trees);
  void BuildDerivativeTrees(int i);
  void BuildCurvatureTrees(int i);
  void BuildLineEquationTree(int i);
  void BuildSegmentLineTree(int i);
  void InitPolynomialTree(int i);
  // Copy of the tree with the window's own X or Y tree substituted for the
  // token (the logarithmic windows replace it).
  TExprNode* BuildSubstitutedTree(const TExprNode* tree, int token) const;
  // Letters A..I of the tree become the entry's value-buffer numbers.
  void BindTableValues(int i, TExprNode* tree) const;
  bool HasLetterBinding(int i) const;
  // In all seven trees of entry i every node of token `from` becomes a leaf
  // of token `to`.
  void ReplaceTokenInEquation(int i, int from, int to);
  // The tokens and letters entry i uses, and the window's per-letter flags.
  void MarkEquationTokens(int i);
  void MarkUsedVariables();
  static void CollectTreeTokens(const TExprNode* tree, std::array<std::uint8_t, 256>& set);
  bool UsesLetter(int letter) const;
  // The implicit-curve and sight-line trees of 3D picking.
  void BuildSightLineTree(int i);
  const TExprNode* SightLineTree(int i) const;
  // The plane through samples 0, 1 and the first of the second grid row:
  // code 0 the form N·(P - P0); code > 0 solved for z (3), y (2) or x (1);
  // -6 and the number 0 when degenerate.
  TExprNode* BuildPlaneImplicitTree(int i, int& code);

  // ---- descriptions ----
  // One German line for entry i, never longer than `limit` characters.
  std::string DescribeEquation(int i, int limit) const;
  static std::string DescribeEquationByKind(const TEquation& e, int limit);

  // ---- evaluation and mapping ----
  void SetPointVariables(const TPoint3D& p);
  void SetPointVariables(const TPoint2D& p) { SetPointVariables(TPoint3D{p.x, p.y, 0}); }
  // Real parts of two trees at P; false when undefined.
  bool EvaluateMapPoint(const TPoint2D& p, TExprNode* first, TExprNode* second, TPoint2D& d);
  // Trees 0..3 of entry i into the segment's ends: 0, or 1 when undefined.
  int EvaluateSegmentEnds(int i, TPoint2D& p1, TPoint2D& p2);
  bool EvaluateCurvePoint3(const TPoint3D& p, TExprNode* const trees[3], TPoint3D& out);
  // Two trees of entry i at P with T and U saved and restored.
  bool EvaluateDerivativePair(int i, const TPoint3D& p, int firstSlot, int secondSlot, TPoint2D& out);
  // Logarithmic axes or the selected mapping applied to a world point;
  // false when it cannot be mapped.
  bool MapWorldPoint(TPoint2D& p);
  TPointMap PointMap();
  long double LogAxisToValue(long double v) const;
  // The x values the view shows, which a graph without an interval of its
  // own spans: the view's x range, on a logarithmic x axis the values
  // that axis carries (the view's margins carry none).
  void ShownValuesX(long double& lo, long double& hi) const;
  // The start point of an initial-value problem moved to where the window
  // shows it (kv::MoveToMappedPoint with this window's point map).
  bool MoveToMappedPoint(TPoint2D& p);
  // A velocity at a point given in values, carried onto the window's
  // logarithmic axes (chain rule); unchanged and true without them, false
  // where a logarithmic coordinate is not positive.
  bool ScaleVectorForLogAxes(const TPoint2D& at, TPoint2D& v) const;
  bool EvaluateReal(TExprNode* tree, long double& value);

  // ---- 3D view ----
  TView3D View3D;
  TPoint2D ProjectRotated(const TPoint3D& p) const { return kv::ProjectRotated(View3D, p); }
  bool ProjectToPixel(const TPoint3D& p, plat::Point& pixel) const;
  // The 2D world point by the view mode: the projection in 3D windows,
  // (x, y) otherwise.
  TPoint2D ProjectByViewMode(const TPoint3D& p) const;
  bool ProjectIfVisible(const TPoint3D& p, TPoint2D& out) const;
  // Whether a visible surface hides P from the observer.
  bool IsPointHidden(TPoint3D p);
  virtual bool HiddenByCylinderSurface(int i, const TPoint3D& p) { return false; }    // 302
  virtual bool HiddenByImplicitSurface(int i, const TPoint3D& p) { return false; }    // 305
  virtual bool HiddenByParametricSurface(int i, const TPoint3D& p) { return false; }  // 303, 306, 307, 316
  virtual bool HiddenByPlane(int i, const TPoint3D& p) { return false; }              // 315
  virtual bool HiddenByExplicitSurface(int i, const TPoint3D& p) { return false; }    // 301

  // ---- drawing primitives ----
  // The pen of a packed colour (index in the low 16 bits, width in the high).
  plat::Pen PenOf(std::uint32_t packedPen, int style) const;
  // Mode bit 0: the segment A-B (clipped to the view when clip is set)
  // through the export switch; mode > 1: an arrow head of world length
  // `head` at B when B lies in the view.
  void DrawSegment(plat::DC& dc, const TPoint2D& a, const TPoint2D& b, long double head, std::uint32_t packedPen,
                   int style, bool clip, int mode);
  // A marker of the window's size, or one pixel for style <= 0.
  void PlotPoint(plat::DC& dc, const TPoint2D& p, int colour, int style);
  // In a window with logarithmic axes: the plotted rectangle shrunk by one
  // pixel on every side.  What leaves the rectangle is cut to it, so that
  // nothing is drawn over the axis numbers beside it.
  TSegment2D LogFrameInside() const;
  // A step with an end outside the plotted rectangle of a window with
  // logarithmic axes is cut to LogFrameInside (false when nothing is left);
  // in other windows, and within the rectangle, it stays as it is.
  bool ClipToLogFrame(TPoint2D& a, TPoint2D& b) const;
  // ---- curve recording for EPS, SVG and PiCTeX ----
  void BeginCurveRecording(long n);
  void RecordCurvePoint(const TPoint2D& p);
  void MarkCurveBreak();
  void EndCurveRecording(int colour, int width, int style);
  void EndCurveRecording(const TExportPen& pen);
  const TCurveRecording& CurveRecording() const { return recording_; }
  // The freehand strokes: on the DC, or into the export while one runs.
  void DrawRoughPolyline(plat::DC& dc);
  // The colour a stroke of colour c takes on dc.  On the screen, and in the
  // EPS and SVG files, whose picture is filled with the background, a
  // stroke in the background's colour gives way to the colour the axes take
  // there (GetColourAvoidingBackground); the printer and metafiles, which
  // leave the page as it is, keep the stroke's own colour.
  plat::Colour StrokeColourOn(plat::DC& dc, plat::Colour c) const;

  // ---- main plot routines ----
  virtual void EquationsChanged(bool selectLast) {}                  // slot 92
  virtual bool IsEquationDrawable(int i) { return true; }            // slot 93
  // Every visible entry (slot 94); 65 when the stop key ended it.
  virtual int DrawEquations(plat::DC& dc);
  virtual void PaintBuffered(plat::DC& dc);                          // slot 95
  // The window base's bitmaps (the picture, the axes) lie under the plot:
  // making one stale makes the plot layer stale.
  void InvalidateBackBuffer(int index) override;
  // What the plot buffer holds: background, frame, axes and the entries.
  virtual void DrawPlotLayer(plat::DC& dc);
  // The axes of the plane under the entries, on the screen and on paper;
  // the 3D windows draw their own axes with their surfaces.
  virtual void DrawPlaneAxes(plat::DC& dc) { DrawAxes(dc); }
  virtual void PaintFromBuffer(plat::DC& dc) {}                      // slot 96
  virtual void RebuildDerivedEquations(int i) {}                     // slot 106
  virtual void UpdateSurfaceGrids() {}                               // slot 107
  // Labels and freehand strokes over the plot (slot 108).
  virtual void DrawPlot(plat::DC& dc);
  // Direction field of a family member (slot 112); 0 or the stop key.
  virtual int DrawFieldElements(plat::DC& dc, int i) { return 0; }
  virtual void RepaintNow(bool fit);                                 // slot 113
  virtual void NotifyDataWindow() {}                                 // slot 114
  // Repaints when a formula uses the parameter (slot 115).
  virtual void RedrawEquation(int parameter);
  virtual int DrawAnalysis(plat::DC& dc, int i, TEquationItem& item, std::string& text, int width,
                           int decimals) {
    return 0;
  }                                                                  // slot 116
  virtual void UpdateBox(int i) {}                                   // slot 118
  virtual void MouseMarkAdded(const TMouseMark& m) {}                // slot 119
  virtual void ClearMouseMarks();                                    // slot 120
  virtual void MouseMarksChanged() {}                                // slot 111
  // The drawer of one entry by kind; 65 when the stop key ended it.  The
  // core draws 201-203 (sampled), 204 (traced), 210 and 212 (items).
  virtual int DrawEquation(plat::DC& dc, int i);
  // Clears the drawn flag and invalidates without erasing.
  void InvalidatePlot();
  // Polls the stop key "A" unless the drawing is quiet.
  bool StopKeyPressed();
  // The code of any key waiting for the window (0 none) unless the drawing
  // is quiet: the drawers that any key stops.
  int KeyPressed();

  // ---- curves ----
  // Samples entry i (kinds 201, 202, 203) into the sink.
  TSampleStats SampleEquation(int i, TPolylineSink& sink);
  int DrawSampledCurve(plat::DC& dc, int i);
  // Traces entry i (kind 204: F in slot 2, gradient in 4 and 5); with
  // `continued`, the next pass of a continued search.
  TTraceStats TraceEquation(int i, TPolylineSink& sink, TContinuedSearch* continued = nullptr);
  // The piece of entry i's curve through a point.
  TTraceStats TraceEquationFrom(int i, const TPoint2D& point, TPolylineSink& sink);
  // Traces entry i's implicit curve onto the DC; with `kept` its runs are
  // also kept there, with `continued` it is the next pass of that search.
  // The stop key or 0.
  int DrawImplicitCurve(plat::DC& dc, int i, TTracedRuns* kept = nullptr, TContinuedSearch* continued = nullptr);
  // Draws runs kept from a trace of entry i with its pen.
  void DrawTracedRuns(plat::DC& dc, int i, const TTracedRuns& runs);
  TSamplerSettings SamplerSettings() const;
  TTracerSettings TracerSettings() const;
  // A start point of the implicit curve F (tree) in the box: up to 15
  // attempts, each two random points and bisection on their segment.
  bool FindImplicitStartPoint(TExprNode* tree, const TPoint2D& corner, const TPoint2D& extents, TPoint2D& out);
  // The 3 x 3 pixels around P differ from the background (colour < 0) or
  // match the colour.
  bool TestPixelNeighbourhood(plat::DC& dc, const TPoint2D& p, long colour);

  // ---- trajectories and sequences ----
  // The view, box, step and mapping trajectories run in.
  TTrajectoryView TrajectoryView();
  // The logarithmic axes a dy/dt item of this window is stepped on and a
  // sequence item keeps its start on (bit 0 x, bit 1 y); 0 outside a
  // window with logarithmic axes.
  int TrajectoryLogAxes() const;
  // A term of a sequence carried to where a range window or the
  // logarithmic axes show it (unchanged elsewhere); false when it has no
  // image.
  bool MapTrajectoryPoint(TPoint2D& p);
  // One step of entry i's system from (t, p); false where undefined.
  bool StepTrajectory(int i, int method, long double t, long double h, TPoint3D& p);
  // Runs an item; every point goes to the sink (world x, y, or its image in
  // a range window).  Returns the
  // steps made; `finished` tells whether it ran to its end.
  long RunTrajectory(int i, TEquationItem& item, TPolylineSink* sink, bool& finished, TPoint3D* end = nullptr);
  // Runs an item to the parameter value; false when it cannot get there.
  bool RunTrajectoryItem(int i, TEquationItem& item, long double target, TPoint3D& point);
  int ComputeTrajectoryOffscreen(int i, TEquationItem& item, TPoint3D& end, long double& t, int direction);
  // Creates an initial-value item at the head of entry i's list.
  TEquationItem& AddTrajectoryItem(int i, const TPoint3D& start, int method, long double h, long double steps,
                                   int direction);
  TEquationItem& AddItemForKind211(int i, const TPoint3D& start, long double h, int method, int colour,
                                   int width);
  // The terms of a sequence item, in values: start, then count iterations
  // of slots 0 and 1 (2 in 3D); stops early where undefined.
  std::vector<TPoint3D> IterateSequenceItem(int i, const TEquationItem& item, long count);
  // How many iterations a sequence item is drawn with: its step limit (0:
  // the start term alone), 100 where the limit is negative or undefined.
  static long SequenceTermCount(const TEquationItem& item);
  // Cobweb terms 0..termCount of x(n+1) = f(x(n)) of an explicit entry.
  std::vector<long double> IterateSequence(int i);
  // The start texts x0, y0, z0, t0 into the item's trees; false when a
  // non-empty text does not compile.
  bool CompileEquationItem(TEquationItem& item);
  // The start point and parameter of an item of kind `kind` from its texts
  // (start code above 1000); false, with the item unchanged, where a value
  // is undefined or has no place on the window's logarithmic axis.
  bool EvaluateItemStart(TEquationItem& item, int kind);
  // Whether this window keeps the start of items of the kind in axis
  // coordinates (the exponents on a logarithmic axis) rather than values:
  // the dy/dt and sequence items of a window with logarithmic axes do.
  bool ItemsKeepAxisCoordinates(int kind) const { return LogWindowType > 0 && kind != kKindOdeDyDx; }
  // A point of an item of the kind (its start, a step or a term) in values:
  // on a logarithmic axis that keeps exponents, the value they stand for.
  TPoint3D ItemPointValues(int kind, const TPoint3D& p) const;
  // Adds the trajectory of entry i from the start at parameter t0
  // (direction 0: both ways, two items) and draws it into the back buffers
  // and on the screen; the stop key or 0.
  int AddTrajectoryBuffered(int i, const TPoint3D& start, int direction, long double steps, int width,
                            long double t0 = 0);
  // Adds a sequence item of count iterations (its points of the size, the
  // entry's when 0) and draws it the same way.
  int DrawSequenceItemBuffered(int i, const TPoint3D& start, long count, int width = 0);
  // Traces the implicit curve of entry i through the point and draws it; the
  // stop key or 0.
  int AddTrajectoryAt(int i, const TPoint2D& point);
  int DrawTrajectories(plat::DC& dc, int i);
  int DrawFamilyTrajectories(plat::DC& dc, int i);
  int DrawFamilyItems(plat::DC& dc, int i);
  // The pause after a step of a followed solution: followDelay units of
  // 0.1 ms, during which the windows paint; then the stop key.  True when
  // it was read (a long pause reads it as often as a family's pause does).
  bool FollowWait();
  // A member (from 1) of a family shown one by one: the drawing so far
  // copied from dc to the screen, then the family delay (ms), during which
  // the windows paint and the stop key (with anyKey any key) ends the
  // family.  The key's code or 0.
  int ShowFamilyMember(plat::DC& dc, int member, int delay, bool anyKey = false);
  // Step of a new trajectory: 1 / trajectory density.
  long double DefaultTrajectoryStep() const { return trajectoryDensity > 0 ? 1.0L / trajectoryDensity : 0.0025L; }

  // ---- results and marks ----
  // Attaches a result unless one with the code and equal values is there;
  // whether it was added.
  bool AddResultPoint(int i, int code, const long double* values, int count, const std::string& text);
  bool ClearMouseMarkList();
  // Records a freehand stroke from the pressed point until the button is
  // released.
  void TrackMouseMarks(plat::Point start);
  // Deletes the stroke that passes within a few pixels of the point.
  bool EraseMouseMarks(plat::Point p);
  std::string FormatMouseCoordinates(const TPoint2D& p) const;

  // ---- texts, values and small helpers ----
  // String 345 "aktueller x-Wert" with its x replaced by the letter.
  std::string GetCurrentValueLabel(int letter) const;
  // Formula text k of entry i into an edit control.
  void ShowEquationText(int i, int k, plat::Dialog& d, int id) const;
  // A new pen width or colour of an entry, for its next drawing.
  void SetItemWidth(int i, int width);
  void SetItemColour(int i, int colour);
  // The seven overlay flags as bits 0..6; setting also stores the number of
  // the first set flag among the first six (1..6, 0 none).
  int GetOverlayMask() const;
  void SetOverlayMask(int mask);
  // One line of coordinates: x, y (and z in windows of dimension 3) in the
  // number format, separated by blanks, CR LF.
  void AppendValueLine(std::string& buffer, int code, int width, int decimals, const TPoint3D& p) const;
  // The list line of an item of the kind: its start point, in values.
  std::string FormatValueReport(const TEquationItem& item, int kind, int decimals) const;
  // The points of a dy/dx solution as the window draws it, for its table;
  // false when the window has no drawer of its own (the plot layer's run is
  // listed then).
  virtual bool CollectDyDxSteps(int i, TEquationItem& item, std::vector<TPoint2D>& points) { return false; }
  // The rows of an item's table, at most kMaxTableLines: t, x, y (z) of a
  // trajectory's steps (210, 310), x, y of a dy/dx solution (211), n, x, y
  // (z) of a sequence's terms (212, 312).  Cells are `width` wide
  // (FormatTableCell); width 0 or -1 joins them by the separator instead.
  static constexpr int kMaxTableLines = 10000;
  void DrawEquationItem(std::string& buffer, int i, TEquationItem& item, int width, int decimals,
                        std::string_view separator = "\t");

  // ---- mouse and view ----
  // Rubber-band box from the pressed point; a box of at least 3 x 3 pixels
  // becomes the view and the previous view is pushed.  Whether it zoomed.
  bool DragZoomBox(plat::Point start);
  // Half-extents times factor; recentre: the point becomes the centre,
  // otherwise the point stays under the cursor.
  void ZoomAtPoint(plat::Point p, long double factor, bool recentre);
  // Shows the world point beside the cursor while the button is held; the
  // last point.
  TPoint2D TrackMouseCoordinates(plat::Point start);

  // ---- animation (slider dialogs) ----
  // All loops stop on "A" or Escape and leave the parameter at the value
  // of the last frame shown.
  // Continuous: Space reverses, "S" step × 1.25, "L" × 0.8, "P" pauses
  // until "P"; a step is the slider range times the step factor divided by
  // the slider's step count.  Time mode (index 0 with timeMode set): only
  // the stop keys; a 50 ms window timer draws a frame of the time since the
  // start, cycling through the range, up to the end value when hasEnd.
  void AnimateParameter(int index, bool reversing, bool hasEnd, long double endValue);
  // Precomputed frames: frames + 1 pictures drawn first, then played:
  // "A" stops, Space reverses, "L" +5 ms, "S" -5 ms while above 5.
  void AnimateTimeParameter(int index, bool reversing, int frames);
  // Whole-number stepping: "A", Space, "S" -50 ms, "L" +50 ms (not below 0),
  // "P" pauses.
  void PlayPrecomputedFrames(int index, bool reversing, int steps);
  // Draws one frame at the parameter's current value (the quiet drawing).
  virtual void AnimationFrame(int index);
  // The number of slider positions of a parameter (the window's slider-step
  // settings where a layer has them).
  virtual int SliderStepCount(int index) const { return sliderSteps > 0 ? sliderSteps : 100; }
  void EvTimer(unsigned id) override;
  static constexpr unsigned kTimeParameterTimer = 1;

  // ---- fields ----
  std::int16_t equationCount = -1;     // last index
  std::int16_t equationCapacity = 35;  // highest last index allowed
  std::int16_t dimension = 2;
  std::int16_t currentEquation = -1;
  std::int16_t nextColour = 2;
  std::int16_t defaultPenWidth = 1;
  std::int16_t defaultDensity = 50;
  std::list<TShadeRecord> shadings;    // head first
  std::uint8_t shadeIntersection = 0;
  std::vector<TMouseMark> mouseMarks;
  std::int16_t mouseMarkPenWidth = 1;
  std::vector<TEquationLabel> equationLabels;
  std::int16_t MouseMode = kCmMouseBoxZoom;
  long double centreZoomFactor = 0.5L;
  std::int16_t LogWindowType = 0;      // > 0: logarithmic window (AxisKind tells the axes)
  // The values a logarithmic window shows: points beyond them have no image.
  TSegment2D LogValueRange{0, HUGE_VALL, 0, HUGE_VALL};
  std::int16_t selectedMapping = -1;   // entry of kind 401/402 points are mapped by
  std::uint8_t mappedFlag = 0;
  std::uint8_t angleInDegrees = 0;
  // Set while a tool adds a point of its own: the tool dialogs keep their
  // search where it is when the inventory changes.  Set and cleared by
  // TToolPointScope.
  std::uint8_t toolPointFlag = 0;
  long implicitStepLimit = 100000;
  std::int32_t trajectoryDensity = 400;
  std::uint8_t criticalAngle = 1;
  long double loopClosingTolerance = 1.5L;  // pixels
  std::uint8_t infiniteSlope = 0;
  // "Verfolgen" of the initial-value dialogs: set while a solution is drawn
  // step by step on the screen, waiting after each step (FollowWait).
  std::uint8_t followFlag = 0;
  std::int32_t followDelay = 10;
  // The run being followed: its item on the screen now and the steps of it
  // shown so far, and the items of the same run still to come.  A paint
  // meanwhile draws of them only what the screen shows already.
  struct TFollowedRun {
    const TEquationItem* item = nullptr;
    long shown = 0;
    std::vector<const TEquationItem*> waiting;
  };
  TFollowedRun followedRun;
  // The steps of the item that a drawing shows: -1 for all of them.
  long ShownSteps(const TEquationItem& item) const;
  std::uint8_t quietDrawing = 0;
  // Quiet drawing that still stops on "A" (the tour's photos).
  std::uint8_t stopKeyWhileQuiet = 0;
  std::uint8_t drawn = 0;
  std::uint8_t animating = 0;
  std::uint8_t timeMode = 0;
  std::uint8_t skipDerivedTrees = 0;   // compile without derivative and curvature trees
  std::int32_t frameDelay = 150;       // ms, precomputed frames
  std::int32_t steppingDelay = 500;    // ms, whole-number stepping
  long double animationStepFactor = 1.0L;
  std::int16_t sliderSteps = 100;
  std::array<std::uint8_t, tok::kVariableCount> usedLetters{};
  std::int16_t labelLineHeight = 16;
  std::array<std::uint8_t, 7> overlayFlags{};  // six Riemann rules and the display flag
  std::int16_t firstOverlayRule = 0;
  std::int16_t drawingColour = 2;
  std::uint8_t is3D = 0;

 protected:
  // A sink that draws into a DC through the export switch.
  class TDcSink;
  void DrawSegmentOnDc(plat::DC& dc, TPoint2D a, TPoint2D b);
  // Draws a late addition into both back buffers and the screen without a
  // full redraw; the drawer's result.
  template <class Draw>
  int DrawIntoBuffers(Draw draw);
  // Draws the whole plot now (an animation frame).
  void DrawAnimationFrame();
  int DrawSequenceItem(plat::DC& dc, int i, const TEquationItem& item);
  void FixIndicesAfterDelete(int i);

 private:
  // Where the terms of a sequence item are shown; a term without image (in
  // a range window) is left out, and the line breaks there.
  struct TSequencePicture {
    std::vector<TPoint2D> at;
    std::vector<std::uint8_t> hasImage;
  };
  TSequencePicture SequencePicture(int i, const TEquationItem& item);
  static int SequenceMarkerStyle(const TEquationItem& item);
  // The first n terms into dc: the lines between them when the entry
  // connects its points, then their markers.
  void DrawSequencePicture(plat::DC& dc, const TEquation& e, const TEquationItem& item, const TSequencePicture& p,
                           std::size_t n);
  // "Verfolgen": the terms one by one on the screen, each with the line to
  // it and its marker, a pause after each and the stop key read after it;
  // the number of terms shown.
  std::size_t FollowSequencePicture(const TEquation& e, const TEquationItem& item, const TSequencePicture& p);
  void CmMouseMode(int id);
  void CeMouseMode(plat::CommandEnabler& ce);
  void CmInventorySize();
  void EnsureInventoryArrays();
  // Ends the current recorded run at the last point it was given.
  void CloseCurveRun();

  struct TInventoryArrays {
    std::vector<TEquation> equations;
    std::vector<std::string> names;
    std::vector<std::uint8_t> flags;
    std::vector<std::uint32_t> serials;  // 0: not given out yet
    std::vector<TreePtr> sightLines;
    std::uint32_t nextSerial = 1;
  };
  TInventoryArrays ownInventory_;
  TInventoryArrays* inventory_ = &ownInventory_;
  TCurveRecording recording_;
  bool painting_ = false;
  // A command that a key ran in the middle of a drawing (an accelerator the
  // drawing's poll read) asks for a picture that drawing will not show: the
  // window paints again once the drawing has ended.
  int paintCommandDepth_ = 0;
  bool redrawAfterPaint_ = false;
  void NoteRedrawDuringPaint();
  // Ticks of the time parameter's timer not yet drawn.
  int timeTicks_ = 0;
  // Microseconds a followed solution's steps still have to wait.
  long followWaitDue_ = 0;
};

// Holds the window's tool-point flag while a tool adds its own point, so
// that the refill of the tool dialogs that the new entry causes does not
// start their searches again; the flag is cleared when the scope ends.
class TToolPointScope {
 public:
  explicit TToolPointScope(TPlotWin& window) : window_(window) { window_.toolPointFlag = 1; }
  ~TToolPointScope() { window_.toolPointFlag = 0; }
  TToolPointScope(const TToolPointScope&) = delete;
  TToolPointScope& operator=(const TToolPointScope&) = delete;

 private:
  TPlotWin& window_;
};

}  // namespace kv
